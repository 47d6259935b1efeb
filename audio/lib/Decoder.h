#pragma once

#include "audio/lib/BassTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace horavia::audiolib {

// Which formats one stream-creating entry point accepts: the family column of AudioFormats.def, and
// Network for a stream from a server. Each plug-in call takes only its own family, so a file of another
// format opened through it is refused.
enum class FormatFamily { Core, Wma, Aac, Mp4, Alac, Ape, Network };

// Decodes one sound to 16-bit stereo 44100 Hz PCM with FFmpeg. Not thread-safe: one thread at a time.
class Decoder final {
public:
    // reads up to size bytes of a network stream into buf; returns the count, 0 at the end, <0 on failure
    using ReadFn = std::function<int(std::uint8_t* buf, int size)>;

    static constexpr int OutputRate = 44100;
    static constexpr int OutputChannels = 2;
    static constexpr int BytesPerFrame = 4;

    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Opens a local regular file (UTF-8 path) through the file protocol only. With prescan the length is
    // measured by reading every packet. Returns null and sets error (a BASS_ERROR_* code) when the file is
    // missing, not a regular file, or not of the family.
    static std::unique_ptr<Decoder> OpenFile(const std::string& path, FormatFamily family, bool prescan, int& error);
    // Opens a stream delivered by read (network); the length stays unknown.
    static std::unique_ptr<Decoder> OpenReader(ReadFn read, int& error);

    // Appends the next piece of decoded PCM to out; false once the sound has ended (or cannot go on).
    bool DecodeMore(std::vector<std::uint8_t>& out);

    // decoded length in bytes; BASS_LENGTH_UNKNOWN when the source does not tell
    bass::QWORD LengthBytes() const;
    bass::DWORD ChannelType() const;
    // bits per sample of the source, 0 when compressed
    bass::DWORD SourceResolution() const;
    // the source's own sample rate (Hz) and channel count, as its first frames declare them
    bass::DWORD SourceRate() const;
    bass::DWORD SourceChannels() const;

private:
    struct Impl;
    explicit Decoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace horavia::audiolib
