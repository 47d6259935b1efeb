// libFuzzer target: a hostile server's response head, fed in arbitrary pieces, and the player's walk over
// the resulting tag list. Neither may read out of bounds, loop without end or accept an unbounded head.

#include "audio/RsySoundPlayer.h"
#include "audio/lib/IcyHeaderParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using horavia::audiolib::IcyHeaderParser;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IcyHeaderParser parser;
    std::size_t offset = 0;
    // the first byte picks the piece size, so that splits in every place are tried
    const std::size_t piece = size > 0 ? (data[0] % 17) + 1 : 1;
    while (offset < size && parser.Result() == IcyHeaderParser::Status::NeedMore) {
        const std::size_t n = size - offset < piece ? size - offset : piece;
        std::size_t used = 0;
        parser.Feed(reinterpret_cast<const char*>(data) + offset, n, used);
        if (used > n)
            std::abort();
        offset += used;
    }
    if (parser.Lines().size() > IcyHeaderParser::MaxLines)
        std::abort();
    for (const auto& line : parser.Lines())
        if (line.size() > IcyHeaderParser::MaxLineLength)
            std::abort();
    if (parser.Result() == IcyHeaderParser::Status::Done) {
        const std::string tags = parser.IcyTags();
        horavia::TRsySoundPlayer::ParseBroadcastInfo(tags.c_str());
    }
    // the player's walk must also stop on a list that is not closed properly
    std::string raw(reinterpret_cast<const char*>(data), size);
    raw += '\0';
    horavia::TRsySoundPlayer::ParseBroadcastInfo(raw.c_str());
    return 0;
}
