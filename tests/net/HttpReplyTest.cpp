// The reply parser on whole replies fed in pieces of several sizes: the result
// must not depend on how the bytes were split by the network.
#include <gtest/gtest.h>

#include <string>

#include "framework/net/HttpReply.h"

using Zant::HttpReplyParser;

namespace {

struct Parsed {
    int result;
    std::string content;
};

Parsed ParseInPieces(const std::string& reply, size_t piece, bool close)
{
    HttpReplyParser parser;
    for (size_t at = 0; at < reply.size() && !parser.Finished(); at += piece)
        parser.Feed(reply.data() + at, std::min(piece, reply.size() - at));
    if (close)
        parser.Closed();
    EXPECT_TRUE(parser.Finished());
    return {parser.Result(), parser.Content()};
}

const std::string kLongBody(700, 'z');

} // namespace

TEST(HttpReply, WholeAndSplitReplies)
{
    struct Case {
        const char* name;
        std::string reply;
        bool closeAfter; // the server closes the connection after the bytes
        int result;
        std::string content;
    } cases[] = {
        {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA", false, 0, "hello"},
        {"length lower-case", "HTTP/1.0 200 OK\r\ncontent-length: 3\r\n\r\nabc", false, 0, "abc"},
        {"until close", "HTTP/1.0 200 OK\r\nServer: x\r\n\r\n" + kLongBody, true, 0, kLongBody},
        {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nWiki\r\n5  \r\npedia\r\n0\r\n\r\n", false, 0,
         "Wikipedia"},
        {"chunked long", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2bc\r\n" + kLongBody + "\r\n1;ext=1\r\n!\r\n0\r\n\r\n",
         false, 0, kLongBody + "!"},
        {"other encoding is chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n1\r\nq\r\n0\r\n\r\n", false,
         0, "q"},
        {"identity", "HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\nplain", true, 0, "plain"},
        {"404", "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nabc", false, 3, ""},
        {"500", "HTTP/1.1 500 Oops\r\n\r\n", false, 4, ""},
        {"short status line", "HTTP/1.1 20\r\n\r\n", false, 4, ""},
        {"no status line", "Content-Length: 2\r\n\r\nab", false, 4, ""},
        {"headers broken off", "HTTP/1.1 200 OK\r\nContent-Le", true, 6, ""},
        {"nothing at all", "", true, 6, ""},
        {"length broken off", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", true, 6, "abc"},
        {"chunk broken off", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9\r\nabc", true, 6, "abc"},
        {"no zero chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\na\r\n", true, 6, "a"},
        {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nabc", false, 6, ""},
        {"negative chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n-5\r\nabc", false, 6, ""},
        {"chunk size beyond int", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFF\r\nabc", false, 6, ""},
        {"chunk without CR LF", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\naXX0\r\n\r\n", false, 6, "a"},
        {"huge length", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n", false, 6, ""},
    };
    for (const Case& c : cases) {
        for (size_t piece : {size_t(1), size_t(3), size_t(256), c.reply.size() + 1}) {
            const Parsed p = ParseInPieces(c.reply, piece, c.closeAfter);
            EXPECT_EQ(p.result, c.result) << c.name << " in pieces of " << piece;
            if (p.result == 0) {
                EXPECT_EQ(p.content, c.content) << c.name << " in pieces of " << piece;
            }
        }
    }
}

TEST(HttpReply, EndlessHeaderLineIsRefused)
{
    HttpReplyParser parser;
    const std::string junk(4096, 'a');
    for (int i = 0; i < 10 && !parser.Finished(); ++i)
        parser.Feed(junk.data(), junk.size());
    ASSERT_TRUE(parser.Finished());
    EXPECT_EQ(parser.Result(), 6);
    EXPECT_FALSE(parser.Error().empty());
}
