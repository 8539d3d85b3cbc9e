#pragma once
// The demo file and its event stream.
//
// File (numbers little-endian): magic 0x42BEEF78; version (2; 1 has no marker
// block); the run's random seed; u16 length and the product version text; u32
// length and the marker block (u32 count, then per marker a u16-length name and a
// u32 update); u32 total update count; then the stream.
//
// Stream: records in bit order, each stamped with the update it happened at. A
// header holds the updates since the previous record (4 bits), a short-record bit,
// and a 1-bit (short) or 5-bit (long) code; the record's data follow. Gaps of more
// than 15 updates are bridged by filler records. The stream ends where fewer bits
// are left than the smallest record needs: what trails the last record is the
// padding to a whole byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/app/RegistryDemoResult.h"
#include "framework/app/ZantApp.h"

namespace Zant {

class Buffer;

inline constexpr uint32_t DEMO_MAGIC = 0x42BEEF78;
inline constexpr uint32_t DEMO_VERSION = 2; // 1 is read too (no marker block)
// Shown when playback leaves the recorded run (a damaged or cut stream, or a
// program that no longer does what the recorded one did).
inline constexpr const char* DEMO_OUT_OF_STEP_TEXT = "The demo file is damaged or out of step with this program.";
inline constexpr size_t DEMO_MAX_VERSION_TEXT = 255;
// The smallest record: a long header, or a short header with its data.
inline constexpr int DEMO_MIN_RECORD_BITS = 10;
inline constexpr int DEMO_MAX_DELTA = 15;

// Short record codes.
enum {
    DEMO_SHORT_MOUSE_MOVE = 0,   // dx, dy: 6 bits each, signed
    DEMO_SHORT_MOUSE_BUTTON = 1, // down: 1 bit; button: 3 bits signed (1, 2, -1, -2)
};

// Long record codes (10 to 13 are the registry's, RegistryDemoResult.h).
enum {
    DEMO_MOUSE_POSITION = 0,   // x, y: 12 bits each, signed
    DEMO_ACTIVATE = 1,         // active: 1 bit
    DEMO_SIZE = 2,             // minimised: a byte
    DEMO_KEY_DOWN = 3,         // key: 8 bits
    DEMO_KEY_UP = 4,           // key: 8 bits
    DEMO_KEY_CHAR = 5,         // character: 8 bits
    DEMO_CLOSE = 6,            // the window was closed (or the recorded run shut down)
    DEMO_MOUSE_ENTERED = 7,    //
    DEMO_MOUSE_LEFT = 8,       //
    DEMO_LOADING_FINISHED = 9, //
    DEMO_FILE_EXISTS = 14,     // exists: 1 bit
    DEMO_FILE_READ = 15,       // success: 1 bit; then u32 length and the bytes
    DEMO_FILE_WRITE = 16,      // success: 1 bit
    DEMO_TRANSFER_RESULT = 17, // u32 transfer id; result: 8 bits; content: u32 length and bytes
    DEMO_SYNC_BUFFER = 18,     // u32 length and the bytes
    DEMO_SYNC_STRING = 19,     // u16 length and the bytes
    DEMO_FILE_DELETE = 20,     // success: 1 bit
    DEMO_FILLER = 31,          // bridges a gap of 15 updates
};

// Mouse positions fit 12 signed bits.
inline constexpr int DEMO_MOUSE_MIN = -2048;
inline constexpr int DEMO_MOUSE_MAX = 2047;
// A relative move fits 6 signed bits; a larger one is stored as a position.
inline constexpr int DEMO_SHORT_MOVE_LIMIT = 32;

struct DemoRecordHeader {
    int mDelta = 0;
    bool mShort = false;
    int mCode = 0;
};

// The data of one record; which fields are used depends on the code.
struct DemoRecordData {
    int mX = 0, mY = 0;       // moves and positions
    bool mDown = false;       // button records
    int mButton = 0;          //
    int mValue = 0;           // active, minimised, key, character, transfer result
    bool mSuccess = false;    // file results (exists, read, write, delete)
    uint32_t mId = 0;         // transfer id
    std::string mBytes;       // file read, transfer content, sync buffer and string
    RegistryDemoResult mRegistry; // codes 10 to 13
};

// Bits left to read in the stream.
size_t DemoBitsLeft(const Buffer& stream);

void WriteDemoRecordHeader(Buffer& stream, int delta, bool isShort, int code);
// False (nothing read) when the stream holds fewer bits than the smallest record.
bool ReadDemoRecordHeader(Buffer& stream, DemoRecordHeader& header);

// Reads the record's data. False when the code is unknown or the data run past the
// end of the stream (a length is never trusted beyond the bits that are left).
bool ReadDemoRecordData(Buffer& stream, const DemoRecordHeader& header, DemoRecordData& data);

// Whether a long record carries an outside result (taken by the operation that
// asked for it) rather than an input event (replayed between updates).
bool IsDemoResultCode(int code);

// A string stored with a u16 length; false when it runs past the stream's end.
bool ReadDemoString(Buffer& stream, std::string& text);
// A u32 length and the bytes; false when they run past the stream's end.
bool ReadDemoLongBytes(Buffer& stream, std::string& bytes);

struct DemoFileContents {
    uint32_t mVersion = DEMO_VERSION;
    uint32_t mSeed = 0;
    std::string mProductVersion;
    std::vector<DemoMarker> mMarkers;
    int mTotalUpdates = 0;
    std::string mStream;
};

std::string EncodeDemoFile(const DemoFileContents& demo);

// Reads a whole demo file. On failure the error is "Invalid demo file." or "This
// demo file appears to be for '<version>'"; the stream is checked record by record
// so that playback never meets a record it cannot read.
bool DecodeDemoFile(const std::string& file, const std::string& productVersion, DemoFileContents& demo,
                    std::string& error);

// Walks every record of a stream: known codes, data within the stream, at most one
// loading-finished record, no record after the total update count, and nothing but
// zero padding after the last record.
bool CheckDemoStream(const std::string& stream, int totalUpdates);

} // namespace Zant
