#include "audio/lib/Utf16.h"

namespace horavia::audiolib {

namespace {

void Append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xc0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xe0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
}

} // namespace

std::string Utf16ToUtf8(const char16_t* text) {
    std::string out;
    if (!text) {
        return out;
    }
    for (std::size_t i = 0; i < MaxWidePath && text[i] != 0; ++i) {
        const char16_t u = text[i];
        if (u >= 0xd800 && u <= 0xdbff && i + 1 < MaxWidePath && text[i + 1] >= 0xdc00 && text[i + 1] <= 0xdfff) {
            Append(out, 0x10000 + ((static_cast<char32_t>(u) - 0xd800) << 10) + (text[i + 1] - 0xdc00));
            ++i;
        } else if (u >= 0xd800 && u <= 0xdfff) {
            Append(out, 0xfffd);
        } else {
            Append(out, u);
        }
    }
    return out;
}

} // namespace horavia::audiolib
