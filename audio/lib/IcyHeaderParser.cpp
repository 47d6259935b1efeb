#include "audio/lib/IcyHeaderParser.h"

#include <cctype>
#include <string_view>

namespace horavia::audiolib {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

bool SuccessStatus(std::string_view line) {
    std::string_view rest;
    if (StartsWithNoCase(line, "HTTP/1.0 ") || StartsWithNoCase(line, "HTTP/1.1 ")) {
        rest = line.substr(9);
    } else if (StartsWithNoCase(line, "ICY ")) {
        rest = line.substr(4);
    } else {
        return false;
    }
    // redirects and errors are not followed: only 200 plays
    return rest.size() >= 3 && rest.substr(0, 3) == "200" && (rest.size() == 3 || rest[3] == ' ');
}

// A decimal within 1..limit, nothing else; -1 otherwise.
long ParseBounded(std::string_view text, long limit) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > 9) {
        return -1;
    }
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        v = v * 10 + (c - '0');
    }
    return v >= 1 && v <= limit ? v : -1;
}

} // namespace

IcyHeaderParser::Status IcyHeaderParser::EndLine() {
    if (current_.empty()) {
        if (lines_.empty()) {
            return Status::Invalid;
        }
        return Status::Done;
    }
    if (lines_.size() >= MaxLines) {
        return Status::Invalid;
    }
    if (lines_.empty()) {
        if (!SuccessStatus(current_)) {
            return Status::Invalid;
        }
    } else if (StartsWithNoCase(current_, "icy-metaint:")) {
        metaInterval_ = ParseBounded(std::string_view(current_).substr(12), MaxMetaInterval);
        if (metaInterval_ < 0) {
            return Status::Invalid;
        }
    }
    lines_.push_back(std::move(current_));
    current_.clear();
    return Status::NeedMore;
}

IcyHeaderParser::Status IcyHeaderParser::Feed(const char* data, std::size_t size, std::size_t& consumed) {
    consumed = 0;
    while (status_ == Status::NeedMore && consumed < size) {
        const char c = data[consumed++];
        if (sawCr_) {
            sawCr_ = false;
            if (c != '\n') {
                status_ = Status::Invalid;
                break;
            }
            status_ = EndLine();
            continue;
        }
        if (c == '\r') {
            sawCr_ = true;
        } else if (c == '\n') {
            status_ = EndLine();
        } else if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) {
            // a NUL would cut the tag list short and other control bytes have no place in a header
            status_ = Status::Invalid;
        } else if (current_.size() >= MaxLineLength) {
            status_ = Status::Invalid;
        } else {
            current_ += c;
        }
    }
    return status_;
}

std::string IcyHeaderParser::IcyTags() const {
    std::string out;
    for (std::size_t i = 1; i < lines_.size(); ++i) {
        out += lines_[i];
        out += '\0';
    }
    if (!out.empty()) {
        out += '\0';
    }
    return out;
}

} // namespace horavia::audiolib
