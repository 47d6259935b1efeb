#pragma once

#include "display/PngImage.h"

#include <string>

namespace horavia {

// One picture of an image collection with the name it is looked up by.
struct TPngImageCollectionItem {
    std::string Name;
    TPngImage PngImage;
};

} // namespace horavia
