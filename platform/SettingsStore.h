#pragma once
// The settings store: a tree of keys holding typed values, kept in one readable text
// file in the per-user data folder, standing where the game expects its registry.
//
// Key paths are key names joined by '\' ("SOFTWARE\Vorlix\Plindor\Users\Bob"; empty
// components are passed over). Key and value names compare without regard to ASCII
// letter case and keep the spelling they were made with. Values keep their type
// number and their bytes as given (strings have no terminating zero). Sub-keys are
// listed in case-insensitive sorted order. Names are data, never file names.
//
// Every change is written to the file at once (temporary file, flush, rename); a
// change whose write fails is undone in memory and reported as a failure, and the old
// file stays whole. Changes made inside a batch are written together when the batch
// ends, so that a process killed part way leaves either all of them or none. Without
// a file the store lives in memory only.
//
// File format, one entry a line, fields separated by tabs:
//   key path <TAB> value name <TAB> type <TAB> value
//   key path                         (a key without values)
// type is "sz" (value: the text), "dword" (value: unsigned decimal), "binary"
// (value: hex bytes) or "type<N>" (value: hex bytes). In key paths, names and text,
// bytes below 0x20, 0x7F and above, '%' and '#' are written as %XX. Lines starting
// with '#' and lines that cannot be read are passed over (the rest still loads); so
// are lines, names and values longer than any the program writes (the limits below),
// which the store also refuses to make. The file starts with HEADER_LINE and ends
// with END_LINE, so that a file cut short, even between two lines, is told from a
// whole one (a file without the header, made by hand or by an older program, needs
// no end line).
//
// A file that is there but cannot be read (no permission, a read error, a FIFO, a
// folder) or is damaged (a line passed over, a file cut short, one with no readable
// line, or one over MAX_FILE_BYTES, which is not read at all) is refused: the store
// goes on with the lines it read, and its first write moves the file aside as it
// stands, as "settings.txt.bad" (never over an earlier one), or fails when it cannot.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

enum SettingsType { SETTINGS_SZ = 1, SETTINGS_BINARY = 3, SETTINGS_DWORD = 4 };

class SettingsStore {
public:
    // Longest key name or value name, value data, key path, and file line.
    static constexpr size_t MAX_NAME_BYTES = 1024;
    static constexpr size_t MAX_DATA_BYTES = 65536;
    static constexpr size_t MAX_PATH_BYTES = 4096;
    static constexpr size_t MAX_LINE_BYTES = 3 * (MAX_PATH_BYTES + MAX_NAME_BYTES + MAX_DATA_BYTES) + 64;
    // Largest file read; the program's own store is a few kilobytes.
    static constexpr uint64_t MAX_FILE_BYTES = 16u << 20;
    static const char* const HEADER_LINE;
    static const char* const END_LINE;

    // What the file was found to be when the store read it.
    enum class FileState { Read, Unreadable, Damaged };
    // A refused file once it has been moved aside, for the player to be told.
    struct RefusedFile {
        FileState state = FileState::Read;
        std::string path;
        std::string asidePath;
    };

    // In memory only; writes succeed unless SetFailWrites says otherwise.
    SettingsStore();
    // Backed by filePath, read at once when it exists.
    explicit SettingsStore(const std::string& filePath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    const std::string& FilePath() const { return mFilePath; }

    bool KeyExists(const std::string& keyPath);
    // Makes every missing key along the path. False when the change cannot be written.
    bool CreateKey(const std::string& keyPath);
    // Creates the key as needed and sets the value. False when it cannot be written.
    bool SetValue(const std::string& keyPath, const std::string& name, int type, const uint8_t* data,
                  size_t length);
    bool SetString(const std::string& keyPath, const std::string& name, const std::string& text);
    bool SetDword(const std::string& keyPath, const std::string& name, uint32_t value);
    // False when the key or the value is missing.
    bool GetValue(const std::string& keyPath, const std::string& name, int& type, std::string& data);
    // False when the key or the value is missing or the write fails.
    bool DeleteValue(const std::string& keyPath, const std::string& name);
    // False when the key is missing, has sub-keys, is the root, or the write fails.
    bool DeleteKey(const std::string& keyPath);
    // Names of the direct sub-keys; false when the key is missing.
    bool ListSubKeys(const std::string& keyPath, std::vector<std::string>& names);
    // Names of the values of a key in sorted order; false when the key is missing.
    bool ListValues(const std::string& keyPath, std::vector<std::string>& names);

    // Whether a change could be written now (rewrites the file as it stands).
    bool CanWrite();

    // Read when the file was missing or whole.
    FileState GetFileState() const { return mFileState; }
    // True once, after the first write has moved a refused file aside.
    bool TakeRefusedFile(RefusedFile& refused);

    // Changes up to the matching EndBatch are kept in memory and written once, by the
    // outermost EndBatch. When that write fails, every change of the batch is undone
    // and the result is false. Other threads' changes meanwhile join the batch.
    void BeginBatch();
    bool EndBatch();

    // Test hooks: every write fails as if the file could not be written; or the next
    // `writes` writes succeed and the later ones fail, as for a process killed part
    // way through (negative: no limit).
    void SetFailWrites(bool fail) { mFailWrites = fail; }
    void SetWritesLeft(int writes) { mWritesLeft = writes; }

    // The file's text for the current contents, and the reverse. Parse replaces the
    // contents and returns how many lines could not be read.
    std::string Serialize();
    int Parse(const std::string& text);

private:
    // Splits text fed in pieces into lines and hands each to the store; lines longer
    // than MAX_LINE_BYTES are passed over as they stream, never held.
    class LineReader {
    public:
        explicit LineReader(SettingsStore& store) : mStore(store) {}
        void Feed(const char* data, size_t length);
        // Ends the last line when the text has no final line break; the count of
        // lines that could not be read.
        int Finish();
        // Finish gave no count of lines passed over, yet the text is not whole: it
        // was cut short or held nothing readable.
        bool Incomplete() const;

    private:
        // ended: the line had its line break.
        void EndLine(bool ended);
        SettingsStore& mStore;
        std::string mLine;
        bool mOverlong = false;
        int mBad = 0;
        int mLines = 0; // read and not blank, comments included
        bool mStarted = false;
        bool mHeader = false;
        bool mEnded = false;
        bool mAnyText = false;
    };

    void Clear();
    // Adds one line of the file (line end included or not); false when it is unreadable.
    bool ReadLine(std::string& line);

private:
    struct Value {
        std::string mName;
        int mType = 0;
        std::string mData;
    };
    struct Key {
        std::string mName;
        std::map<std::string, Value> mValues;              // by folded name
        std::map<std::string, std::unique_ptr<Key>> mKeys; // by folded name
    };

    Key* FindKey(const std::string& keyPath);
    Key* MakeKey(const std::vector<std::string>& components);
    void SerializeKey(const Key& key, const std::string& path, std::string& out) const;
    // The contents to go back to when the coming change cannot be written (none
    // inside a batch, which keeps its own).
    std::string Snapshot();
    // Writes the contents; on failure restores the contents given by before. Inside
    // a batch the write waits for the batch's end.
    bool Commit(const std::string& before);
    bool WriteFile(const std::string& text);
    // Moves a refused file out of the way of the first write; false when it stays.
    bool SetRefusedFileAside();
    void Load();
    void Refuse(FileState state, const std::string& why);

    std::mutex mLock;
    std::string mFilePath;
    Key mRoot;
    bool mFailWrites = false;
    int mWritesLeft = -1;
    int mBatchDepth = 0;
    bool mBatchChanged = false;
    std::string mBatchBefore;
    FileState mFileState = FileState::Read;
    bool mAsidePending = false;
    std::string mAsidePath;
    bool mRefusalTold = false;
};

// The store in the per-user data folder ("settings.txt"), made on first use, unless a
// test has installed another.
SettingsStore& GetSettingsStore();
void SetSettingsStore(SettingsStore* store); // null restores the per-user store

} // namespace Platform
