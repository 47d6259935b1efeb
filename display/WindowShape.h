#pragma once

#include "display/PngImage.h"
#include "display/Rect.h"

#include <vector>

namespace horavia {

// The window's outline from its shape picture: for every row, each maximal run of pixels whose
// colour differs from the outside colour (the picture's bottom-left pixel) gives one rectangle,
// one row high. The picture is used at its own size, so the outline covers only its rows.
std::vector<TRect> ShapeRuns(const TPngImage& shape);

} // namespace horavia
