#pragma once

#include <cstddef>
#include <string>

namespace horavia::audiolib {

// Longest wide file name taken, in UTF-16 units; a text without its terminating NUL is cut here.
inline constexpr std::size_t MaxWidePath = 32768;

// Converts a NUL-terminated UTF-16 text to UTF-8. Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const char16_t* text);

} // namespace horavia::audiolib
