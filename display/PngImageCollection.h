#pragma once

#include "display/PngImageCollectionItem.h"

#include <string>
#include <string_view>
#include <vector>

namespace horavia {

// An ordered list of named pictures. Glyphs and frame pieces are fetched by position and buttons
// resolve their names to positions once, so items are only ever appended while the collection is
// built and never reordered.
class TPngImageCollection final {
public:
    void Add(std::string name, TPngImage image);

    int Count() const { return static_cast<int>(items_.size()); }

    // The picture at a zero-based position; throws std::out_of_range outside 0 .. Count() - 1.
    const TPngImage& Item(int index) const;
    // The name of the item at a position; throws std::out_of_range like Item.
    const std::string& Name(int index) const;

    // Position of the first item whose name equals name exactly (case-sensitive, whole text),
    // or -1 when none does.
    int IndexOf(std::string_view name) const;

private:
    const TPngImageCollectionItem& At(int index) const;

    std::vector<TPngImageCollectionItem> items_;
};

} // namespace horavia
