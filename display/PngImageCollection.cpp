#include "display/PngImageCollection.h"

#include <stdexcept>

namespace horavia {

void TPngImageCollection::Add(std::string name, TPngImage image) {
    items_.push_back({std::move(name), std::move(image)});
}

const TPngImageCollectionItem& TPngImageCollection::At(int index) const {
    if (index < 0 || index >= Count()) {
        throw std::out_of_range("image position " + std::to_string(index) + " outside a collection of " +
                                std::to_string(Count()));
    }
    return items_[static_cast<std::size_t>(index)];
}

const TPngImage& TPngImageCollection::Item(int index) const {
    return At(index).PngImage;
}

const std::string& TPngImageCollection::Name(int index) const {
    return At(index).Name;
}

int TPngImageCollection::IndexOf(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        if (items_[static_cast<std::size_t>(i)].Name == name) {
            return i;
        }
    }
    return -1;
}

} // namespace horavia
