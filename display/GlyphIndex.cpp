#include "display/GlyphIndex.h"

#include <string_view>

namespace horavia {

int GlyphIndex(char c, bool large) {
    constexpr std::string_view digits = "0123456789";
    if (const auto at = digits.find(c); at != std::string_view::npos) {
        return static_cast<int>(at) + (large ? 0 : 10);
    }
    if (large) {
        switch (c) {
        case ':':
            return 20;
        case 'A':
            return 22;
        case 'P':
            return 23;
        default:
            return -1;
        }
    }
    return c == '/' ? 21 : -1;
}

} // namespace horavia
