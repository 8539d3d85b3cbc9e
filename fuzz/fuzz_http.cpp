// Feeds any bytes to the HTTP reply parser, whole and in pieces whose sizes come
// from the first byte, then closes the connection.
#include <cstddef>
#include <cstdint>

#include "framework/net/HttpReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    {
        Zant::HttpReplyParser whole;
        whole.Feed(text, size);
        whole.Closed();
        (void)whole.Result();
    }
    if (size > 0) {
        const size_t piece = 1 + data[0] % 17;
        Zant::HttpReplyParser split;
        for (size_t at = 1; at < size && !split.Finished(); at += piece)
            split.Feed(text + at, piece < size - at ? piece : size - at);
        split.Closed();
        (void)split.Content().size();
    }
    return 0;
}
