#pragma once
// Reads an HTTP/1.x reply as it arrives, in pieces of any size: the status line,
// the headers that say how long the body is, and the body itself (plain, of a
// given length, or chunked). The reply comes from outside: every length and count
// is checked, and a reply that is malformed or breaks off is a failure, never a
// short body passed off as complete.
#include <cstddef>
#include <string>

namespace Zant {

class HttpReplyParser {
public:
    // Result codes, shared with HTTPTransfer.
    static constexpr int RESULT_DONE = 0;
    static constexpr int RESULT_NOT_FOUND = 3;
    static constexpr int RESULT_BAD_STATUS = 4;
    static constexpr int RESULT_BROKEN = 6;

    // A body larger than this is refused rather than held in memory.
    static constexpr size_t MAX_CONTENT = 64u * 1024 * 1024;
    // A status or header line (or chunk-size line) longer than this is refused.
    static constexpr size_t MAX_LINE = 16 * 1024;

    // Takes the next received bytes; does nothing once finished.
    void Feed(const char* data, size_t size);
    // The server closed the connection (or reading failed).
    void Closed();

    bool Finished() const { return mState == State::Done || mState == State::Failed; }
    // RESULT_DONE when the body arrived to its end; a failure code otherwise.
    // Only meaningful once Finished().
    int Result() const { return mResult; }
    const std::string& Content() const { return mContent; }
    std::string TakeContent() { return std::move(mContent); }
    const std::string& Error() const { return mError; }

private:
    enum class State { Headers, Body, ChunkSize, ChunkData, ChunkEnd, Done, Failed };

    void Process();
    bool HandleHeaderLine(const std::string& line);
    bool TakeLine(std::string& line);
    void Fail(int code, const std::string& error);
    void Finish();
    bool AppendContent(const char* data, size_t size);

    State mState = State::Headers;
    int mResult = RESULT_BROKEN;
    std::string mError;
    std::string mBuffer;       // received, not yet consumed
    size_t mPos = 0;           // read position in mBuffer
    std::string mContent;
    bool mStatusSeen = false;
    bool mChunked = false;
    long long mRemaining = 0;  // bytes of body still expected; 0 = until closed
    long long mChunkLeft = 0;
};

} // namespace Zant
