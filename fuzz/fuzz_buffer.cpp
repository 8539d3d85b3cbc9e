// Reads any bytes through every Buffer read, in an order and with bit counts the
// input itself chooses, as the demo and profile readers do with stored data.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/util/Buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first bytes choose the reads; the rest is the stream.
    const size_t ops = data[0] % 32;
    if (size < 1 + ops)
        return 0;
    Zant::Buffer buffer;
    buffer.SetData(data + 1 + ops, size - 1 - ops);
    uint8_t scratch[64];
    for (size_t i = 0; i < ops * 4 && !buffer.AtEnd(); ++i) {
        const uint8_t op = data[1 + i % ops];
        switch (op % 10) {
        case 0: buffer.ReadNumBits(op / 10 - 3, op & 1); break;
        case 1: buffer.ReadByte(); break;
        case 2: buffer.ReadBoolean(); break;
        case 3: buffer.ReadShort(); break;
        case 4: buffer.ReadLong(); break;
        case 5: buffer.ReadString(); break;
        case 6: buffer.ReadLongString(); break;
        case 7: buffer.ReadBytes(scratch, op % 64); break;
        case 8: buffer.ReadLine(); break;
        case 9: buffer.SeekFront(); buffer.ReadNumBits(op % 8, false); break;
        }
    }
    // A reader that loops until the end must always finish.
    while (!buffer.AtEnd())
        buffer.ReadLine();
    return 0;
}
