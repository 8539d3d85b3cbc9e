#include "framework/net/HttpReply.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "framework/net/NetText.h"

namespace Zant {

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix, std::string* rest)
{
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size() ||
            std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    if (rest)
        *rest = text.substr(i);
    return true;
}

} // namespace

void HttpReplyParser::Fail(int code, const std::string& error)
{
    mState = State::Failed;
    mResult = code;
    mError = error;
    mBuffer.clear();
    mPos = 0;
}

void HttpReplyParser::Finish()
{
    mState = State::Done;
    mResult = RESULT_DONE;
    mBuffer.clear();
    mPos = 0;
}

bool HttpReplyParser::AppendContent(const char* data, size_t size)
{
    if (size > MAX_CONTENT - mContent.size()) {
        Fail(RESULT_BROKEN, "reply body larger than " + std::to_string(MAX_CONTENT) + " bytes");
        return false;
    }
    mContent.append(data, size);
    return true;
}

void HttpReplyParser::Feed(const char* data, size_t size)
{
    if (Finished() || size == 0)
        return;
    // Consumed bytes are dropped before more are kept, so the buffer holds at most
    // one unfinished line or chunk piece.
    mBuffer.erase(0, mPos);
    mPos = 0;
    mBuffer.append(data, size);
    Process();
}

void HttpReplyParser::Closed()
{
    if (Finished())
        return;
    switch (mState) {
    case State::Headers:
        Fail(RESULT_BROKEN, "connection closed before the end of the headers");
        break;
    case State::Body:
        if (mRemaining > 0)
            Fail(RESULT_BROKEN, "connection closed " + std::to_string(mRemaining) + " bytes before the end of the body");
        else
            Finish();
        break;
    default:
        Fail(RESULT_BROKEN, "connection closed inside a chunked body");
        break;
    }
}

bool HttpReplyParser::TakeLine(std::string& line)
{
    const size_t end = mBuffer.find("\r\n", mPos);
    if (end == std::string::npos) {
        if (mBuffer.size() - mPos > MAX_LINE)
            Fail(RESULT_BROKEN, "reply line longer than " + std::to_string(MAX_LINE) + " bytes");
        return false;
    }
    if (end - mPos > MAX_LINE) {
        Fail(RESULT_BROKEN, "reply line longer than " + std::to_string(MAX_LINE) + " bytes");
        return false;
    }
    line = mBuffer.substr(mPos, end - mPos);
    mPos = end + 2;
    return true;
}

bool HttpReplyParser::HandleHeaderLine(const std::string& line)
{
    std::string rest;
    if (line.empty()) {
        if (!mStatusSeen) {
            Fail(RESULT_BAD_STATUS, "reply without a status line");
            return false;
        }
        mState = mChunked ? State::ChunkSize : State::Body;
        return true;
    }
    if (line.rfind("HTTP/1.", 0) == 0) {
        // "HTTP/1.x 200 OK": the code is characters 9 to 11.
        const std::string status = line.size() >= 12 ? line.substr(9, 3) : std::string();
        if (status == "404") {
            Fail(RESULT_NOT_FOUND, "server answered 404");
            return false;
        }
        if (status != "200") {
            Fail(RESULT_BAD_STATUS, "server answered: " + line.substr(0, 64));
            return false;
        }
        mStatusSeen = true;
    } else if (StartsWithNoCase(line, "Transfer-Encoding: ", &rest)) {
        if (TrimWhitespace(rest) != "identity")
            mChunked = true;
    } else if (StartsWithNoCase(line, "Content-Length: ", &rest)) {
        long long length = 0;
        for (char c : rest) {
            if (c < '0' || c > '9')
                break;
            length = length * 10 + (c - '0');
            if (length > static_cast<long long>(MAX_CONTENT)) {
                Fail(RESULT_BROKEN, "announced body larger than " + std::to_string(MAX_CONTENT) + " bytes");
                return false;
            }
        }
        mRemaining = length;
    }
    return true;
}

void HttpReplyParser::Process()
{
    while (!Finished()) {
        const size_t avail = mBuffer.size() - mPos;
        std::string line;
        switch (mState) {
        case State::Headers:
            if (!TakeLine(line) || !HandleHeaderLine(line))
                return;
            break;
        case State::Body: {
            if (avail == 0)
                return;
            if (mRemaining == 0) {
                if (!AppendContent(mBuffer.data() + mPos, avail))
                    return;
                mPos += avail;
                return;
            }
            const size_t take = static_cast<size_t>(std::min<long long>(mRemaining, static_cast<long long>(avail)));
            if (!AppendContent(mBuffer.data() + mPos, take))
                return;
            mPos += take;
            mRemaining -= static_cast<long long>(take);
            if (mRemaining == 0)
                Finish();
            break;
        }
        case State::ChunkSize: {
            if (!TakeLine(line))
                return;
            // Chunk extensions (";name=value") say nothing about the size.
            const size_t semi = line.find(';');
            if (semi != std::string::npos)
                line.erase(semi);
            int size = 0;
            const std::string digits = TrimWhitespace(line);
            if (digits.empty() || digits[0] == '-' || !ParseInt("0x" + digits, size)) {
                Fail(RESULT_BROKEN, "bad chunk size line");
                return;
            }
            if (size == 0) {
                Finish();
                return;
            }
            mChunkLeft = size;
            mState = State::ChunkData;
            break;
        }
        case State::ChunkData: {
            if (avail == 0)
                return;
            const size_t take = static_cast<size_t>(std::min<long long>(mChunkLeft, static_cast<long long>(avail)));
            if (!AppendContent(mBuffer.data() + mPos, take))
                return;
            mPos += take;
            mChunkLeft -= static_cast<long long>(take);
            if (mChunkLeft == 0)
                mState = State::ChunkEnd;
            break;
        }
        case State::ChunkEnd:
            if (avail < 2)
                return;
            if (mBuffer.compare(mPos, 2, "\r\n") != 0) {
                Fail(RESULT_BROKEN, "chunk not followed by CR LF");
                return;
            }
            mPos += 2;
            mState = State::ChunkSize;
            break;
        default:
            return;
        }
    }
}

} // namespace Zant
