#include "audio/lib/IcyHeaderParser.h"

#include <gtest/gtest.h>

#include <string>

namespace horavia::audiolib {
namespace {

using Status = IcyHeaderParser::Status;

Status FeedAll(IcyHeaderParser& p, const std::string& text, std::size_t& consumed) {
    return p.Feed(text.data(), text.size(), consumed);
}

TEST(IcyHeaderParser, ReadsAnIcyHeadAndLeavesTheBody) {
    IcyHeaderParser p;
    const std::string head = "ICY 200 OK\r\nicy-name:Radio\r\nicy-br:128\r\nicy-metaint:8192\r\n\r\n";
    std::size_t used = 0;
    EXPECT_EQ(FeedAll(p, head + "BODY", used), Status::Done);
    EXPECT_EQ(used, head.size());
    ASSERT_EQ(p.Lines().size(), 4u);
    EXPECT_EQ(p.Lines()[1], "icy-name:Radio");
    EXPECT_EQ(p.MetaInterval(), 8192);
    EXPECT_EQ(p.IcyTags(), std::string("icy-name:Radio\0icy-br:128\0icy-metaint:8192\0\0", 44));
}

TEST(IcyHeaderParser, AcceptsBareLineFeedsAndBytesInPieces) {
    IcyHeaderParser p;
    const std::string head = "HTTP/1.0 200 OK\nContent-Type: audio/mpeg\n\n";
    std::size_t used = 0;
    for (char c : head.substr(0, head.size() - 1)) {
        EXPECT_EQ(p.Feed(&c, 1, used), Status::NeedMore);
    }
    EXPECT_EQ(p.Feed(&head.back(), 1, used), Status::Done);
    EXPECT_EQ(p.MetaInterval(), 0);
}

TEST(IcyHeaderParser, RefusesErrorsAndRedirects) {
    for (const char* head : {"HTTP/1.1 404 Not Found\r\n\r\n", "HTTP/1.1 302 Found\r\nLocation: http://x/\r\n\r\n",
                             "HTTP/1.1 2000 OK\r\n\r\n", "SOMETHING 200\r\n\r\n", "\r\n"}) {
        IcyHeaderParser p;
        std::size_t used = 0;
        EXPECT_EQ(FeedAll(p, head, used), Status::Invalid) << head;
    }
}

TEST(IcyHeaderParser, CutsOffAnEndlessLine) {
    IcyHeaderParser p;
    std::size_t used = 0;
    EXPECT_EQ(FeedAll(p, "ICY 200 OK\r\nicy-name:", used), Status::NeedMore);
    const std::string flood(IcyHeaderParser::MaxLineLength, 'A');
    EXPECT_EQ(FeedAll(p, flood, used), Status::Invalid);
    // once refused it stays refused
    EXPECT_EQ(FeedAll(p, "\r\n\r\n", used), Status::Invalid);
}

TEST(IcyHeaderParser, CutsOffTooManyLines) {
    IcyHeaderParser p;
    std::size_t used = 0;
    std::string head = "ICY 200 OK\r\n";
    for (std::size_t i = 0; i < IcyHeaderParser::MaxLines + 5; ++i) {
        head += "x-a:b\r\n";
    }
    EXPECT_EQ(FeedAll(p, head, used), Status::Invalid);
    EXPECT_LE(p.Lines().size(), IcyHeaderParser::MaxLines);
}

TEST(IcyHeaderParser, RefusesControlBytesAndBadMetaIntervals) {
    for (const std::string& head :
         {std::string("ICY 200 OK\r\nicy-name:a\0b\r\n\r\n", 27),
          std::string("ICY 200 OK\r\nicy-name:a\x1b[2J\r\n\r\n"), std::string("ICY 200 OK\r\nicy-metaint:-5\r\n\r\n"),
          std::string("ICY 200 OK\r\nicy-metaint:99999999999\r\n\r\n"),
          std::string("ICY 200 OK\r\nicy-metaint:0\r\n\r\n"), std::string("ICY 200 OK\r\rx\r\n\r\n")}) {
        IcyHeaderParser p;
        std::size_t used = 0;
        EXPECT_EQ(FeedAll(p, head, used), Status::Invalid) << head;
    }
}

} // namespace
} // namespace horavia::audiolib
