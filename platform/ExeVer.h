#pragma once

#include <QString>

#include <cstdint>

namespace horavia {

// The four parts of a program version, as the About tab shows them.
struct ExeVersion {
    std::uint16_t Major = 0;
    std::uint16_t Minor = 0;
    std::uint16_t Release = 0;
    std::uint16_t Build = 0;

    friend bool operator==(const ExeVersion&, const ExeVersion&) = default;
};

// The version block of the running program, read from its own file; zeros when it has none.
ExeVersion GetExeVersion();

// The version block of the ELF file at path. A file that is missing, unreadable, not ELF, truncated or
// without the block gives zeros; nothing in the file is trusted beyond its bounds.
ExeVersion GetExeVersion(const QString& path);

// "major.minor.release.build" in decimal, e.g. "1.1.0.6".
QString FormatExeVersion(const ExeVersion& version);

// The note the version travels in: an ELF note of this owner name and type whose descriptor is the four
// parts as 16-bit numbers in the file's byte order.
inline constexpr char VersionNoteOwner[] = "Horavia";
inline constexpr std::uint32_t VersionNoteType = 0x56455230; // "VER0"

} // namespace horavia
