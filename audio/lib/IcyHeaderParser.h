#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace horavia::audiolib {

// Reads the response head of an HTTP or ICY (SHOUTcast) server. The head comes from the network and is
// not trusted: lines and their number are bounded, control bytes are refused, and only a plain success
// status is taken.
class IcyHeaderParser final {
public:
    static constexpr std::size_t MaxLineLength = 1024;
    static constexpr std::size_t MaxLines = 64;
    static constexpr long MaxMetaInterval = 1 << 20;

    enum class Status { NeedMore, Done, Invalid };

    // Takes the next bytes; consumed tells how many belonged to the head (the rest is the body).
    Status Feed(const char* data, std::size_t size, std::size_t& consumed);

    Status Result() const { return status_; }
    // every line of the head, the status line first, without line ends
    const std::vector<std::string>& Lines() const { return lines_; }
    // bytes of audio between two metadata blocks; 0 when the server sends none
    long MetaInterval() const { return metaInterval_; }
    // the header lines, each NUL-terminated, closed by an empty string; empty when there are none
    std::string IcyTags() const;

private:
    Status EndLine();

    std::vector<std::string> lines_;
    std::string current_;
    bool sawCr_ = false;
    long metaInterval_ = 0;
    Status status_ = Status::NeedMore;
};

} // namespace horavia::audiolib
