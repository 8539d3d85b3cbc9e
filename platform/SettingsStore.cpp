#include "platform/SettingsStore.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include "platform/Log.h"
#include "platform/Paths.h"

namespace Platform {

namespace {

std::string Fold(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::vector<std::string> SplitKeyPath(const std::string& keyPath)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= keyPath.size()) {
        size_t end = keyPath.find('\\', start);
        if (end == std::string::npos)
            end = keyPath.size();
        if (end > start)
            parts.push_back(keyPath.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

const char kHex[] = "0123456789abcdef";

std::string Escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x20 || c >= 0x7F || c == '%' || c == '#') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Unescape(const std::string& text, std::string& out)
{
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::string ToHex(const std::string& data)
{
    std::string out;
    out.reserve(data.size() * 2);
    for (unsigned char c : data) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

bool FromHex(const std::string& text, std::string& out)
{
    if (text.size() % 2 != 0)
        return false;
    out.clear();
    out.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

// Decimal digits only, no sign, at most max.
bool ParseUnsigned(const std::string& text, uint64_t max, uint64_t& value)
{
    if (text.empty() || text.size() > 10)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value <= max;
}

// Whether a key path and its names are within the store's limits.
bool SaneKeyPath(const std::string& keyPath, const std::vector<std::string>& components)
{
    if (keyPath.size() > SettingsStore::MAX_PATH_BYTES)
        return false;
    for (const std::string& part : components)
        if (part.size() > SettingsStore::MAX_NAME_BYTES)
            return false;
    return true;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        if (tab == std::string::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

} // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(const std::string& filePath) : mFilePath(filePath)
{
    Load();
}

SettingsStore::~SettingsStore() = default;

const char* const SettingsStore::HEADER_LINE =
    "# Plindor settings: key path, value name, type, value (tab-separated), closed by the line \"# end\"";
const char* const SettingsStore::END_LINE = "# end";

void SettingsStore::Load()
{
    // A process killed while saving leaves its temporary file behind; left alone they
    // would pile up beside the store.
    if (const int stale = RemoveStaleTemporaries(mFilePath); stale > 0)
        DebugOutput("SettingsStore: removed " + std::to_string(stale) + " leftover temporary file(s) of " +
                    mFilePath + "\n");
    uint64_t size = 0;
    const int fd = OpenRegularFileDescriptor(mFilePath, &size);
    if (fd < 0) {
        // Only a missing file means no store yet: anything else standing there may
        // hold every player's figures and the roster.
        if (errno != ENOENT)
            Refuse(FileState::Unreadable, mFilePath + " cannot be read (" +
                                              (errno == EINVAL ? "not a regular file" : std::strerror(errno)) + ")");
        return;
    }
    // Every line kept would be held in memory and written again at every change.
    if (size > MAX_FILE_BYTES) {
        close(fd);
        Refuse(FileState::Damaged, mFilePath + " is larger than " + std::to_string(MAX_FILE_BYTES) + " bytes");
        return;
    }
    // Read a chunk at a time so that only the line being read is held.
    Clear();
    LineReader reader(*this);
    char chunk[65536];
    uint64_t total = 0;
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            close(fd);
            // The lines read whole so far are kept; the one cut by the error is not.
            Refuse(FileState::Unreadable, mFilePath + " cannot be read (" + std::strerror(error) + ")");
            return;
        }
        if (n == 0)
            break;
        total += static_cast<uint64_t>(n);
        if (total > MAX_FILE_BYTES) {
            close(fd);
            Refuse(FileState::Damaged, mFilePath + " grew past " + std::to_string(MAX_FILE_BYTES) + " bytes");
            return;
        }
        reader.Feed(chunk, static_cast<size_t>(n));
    }
    close(fd);
    if (const int bad = reader.Finish(); bad > 0)
        Refuse(FileState::Damaged, std::to_string(bad) + " unreadable line(s) in " + mFilePath + " passed over");
    else if (reader.Incomplete())
        Refuse(FileState::Damaged, mFilePath + " is cut short or holds nothing readable");
}

void SettingsStore::Refuse(FileState state, const std::string& why)
{
    DebugOutput("SettingsStore: " + why + "\n");
    mFileState = state;
    mAsidePending = true;
}

bool SettingsStore::SetRefusedFileAside()
{
    if (!mAsidePending)
        return true;
    std::string aside;
    if (SetFileAside(mFilePath, ".bad", aside)) {
        DebugOutput("SettingsStore: kept " + mFilePath + " as " + aside + "\n");
        mAsidePath = aside;
    } else if (PathTaken(mFilePath)) {
        // Never written over: the write fails, and the next one tries again.
        DebugOutput("SettingsStore: cannot move " + mFilePath + " aside\n");
        return false;
    }
    mAsidePending = false;
    return true;
}

bool SettingsStore::TakeRefusedFile(RefusedFile& refused)
{
    std::lock_guard<std::mutex> guard(mLock);
    if (mAsidePath.empty() || mRefusalTold)
        return false;
    mRefusalTold = true;
    refused.state = mFileState;
    refused.path = mFilePath;
    refused.asidePath = mAsidePath;
    return true;
}

SettingsStore::Key* SettingsStore::FindKey(const std::string& keyPath)
{
    Key* key = &mRoot;
    for (const std::string& part : SplitKeyPath(keyPath)) {
        auto it = key->mKeys.find(Fold(part));
        if (it == key->mKeys.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

SettingsStore::Key* SettingsStore::MakeKey(const std::vector<std::string>& components)
{
    Key* key = &mRoot;
    for (const std::string& part : components) {
        std::unique_ptr<Key>& child = key->mKeys[Fold(part)];
        if (!child) {
            child = std::make_unique<Key>();
            child->mName = part;
        }
        key = child.get();
    }
    return key;
}

bool SettingsStore::KeyExists(const std::string& keyPath)
{
    std::lock_guard<std::mutex> guard(mLock);
    return FindKey(keyPath) != nullptr;
}

bool SettingsStore::CreateKey(const std::string& keyPath)
{
    std::lock_guard<std::mutex> guard(mLock);
    if (FindKey(keyPath))
        return true;
    const std::vector<std::string> components = SplitKeyPath(keyPath);
    if (!SaneKeyPath(keyPath, components))
        return false;
    const std::string before = Snapshot();
    MakeKey(components);
    return Commit(before);
}

bool SettingsStore::SetValue(const std::string& keyPath, const std::string& name, int type, const uint8_t* data,
                             size_t length)
{
    std::lock_guard<std::mutex> guard(mLock);
    // What the file could not give back is not kept either.
    const std::vector<std::string> components = SplitKeyPath(keyPath);
    if (!SaneKeyPath(keyPath, components) || name.size() > MAX_NAME_BYTES || length > MAX_DATA_BYTES)
        return false;
    const std::string before = Snapshot();
    Key* key = MakeKey(components);
    Value& value = key->mValues[Fold(name)];
    value.mName = name;
    value.mType = type;
    value.mData.assign(reinterpret_cast<const char*>(data), length);
    return Commit(before);
}

bool SettingsStore::SetString(const std::string& keyPath, const std::string& name, const std::string& text)
{
    return SetValue(keyPath, name, SETTINGS_SZ, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

bool SettingsStore::SetDword(const std::string& keyPath, const std::string& name, uint32_t value)
{
    const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    return SetValue(keyPath, name, SETTINGS_DWORD, bytes, 4);
}

bool SettingsStore::GetValue(const std::string& keyPath, const std::string& name, int& type, std::string& data)
{
    std::lock_guard<std::mutex> guard(mLock);
    Key* key = FindKey(keyPath);
    if (!key)
        return false;
    auto it = key->mValues.find(Fold(name));
    if (it == key->mValues.end())
        return false;
    type = it->second.mType;
    data = it->second.mData;
    return true;
}

bool SettingsStore::DeleteValue(const std::string& keyPath, const std::string& name)
{
    std::lock_guard<std::mutex> guard(mLock);
    Key* key = FindKey(keyPath);
    if (!key || key->mValues.count(Fold(name)) == 0)
        return false;
    const std::string before = Snapshot();
    key->mValues.erase(Fold(name));
    return Commit(before);
}

bool SettingsStore::DeleteKey(const std::string& keyPath)
{
    std::lock_guard<std::mutex> guard(mLock);
    std::vector<std::string> parts = SplitKeyPath(keyPath);
    if (parts.empty())
        return false;
    const std::string last = Fold(parts.back());
    parts.pop_back();
    Key* parent = &mRoot;
    for (const std::string& part : parts) {
        auto it = parent->mKeys.find(Fold(part));
        if (it == parent->mKeys.end())
            return false;
        parent = it->second.get();
    }
    auto it = parent->mKeys.find(last);
    if (it == parent->mKeys.end() || !it->second->mKeys.empty())
        return false;
    const std::string before = Snapshot();
    parent->mKeys.erase(it);
    return Commit(before);
}

bool SettingsStore::ListSubKeys(const std::string& keyPath, std::vector<std::string>& names)
{
    std::lock_guard<std::mutex> guard(mLock);
    names.clear();
    Key* key = FindKey(keyPath);
    if (!key)
        return false;
    for (const auto& [folded, child] : key->mKeys)
        names.push_back(child->mName);
    return true;
}

bool SettingsStore::ListValues(const std::string& keyPath, std::vector<std::string>& names)
{
    std::lock_guard<std::mutex> guard(mLock);
    names.clear();
    Key* key = FindKey(keyPath);
    if (!key)
        return false;
    for (const auto& [folded, value] : key->mValues)
        names.push_back(value.mName);
    return true;
}

bool SettingsStore::CanWrite()
{
    std::lock_guard<std::mutex> guard(mLock);
    return WriteFile(Serialize());
}

void SettingsStore::BeginBatch()
{
    std::lock_guard<std::mutex> guard(mLock);
    if (mBatchDepth++ == 0) {
        mBatchBefore = Serialize();
        mBatchChanged = false;
    }
}

bool SettingsStore::EndBatch()
{
    std::lock_guard<std::mutex> guard(mLock);
    if (mBatchDepth == 0 || --mBatchDepth > 0)
        return true;
    std::string before = std::move(mBatchBefore);
    mBatchBefore.clear();
    if (!mBatchChanged)
        return true;
    return Commit(before);
}

std::string SettingsStore::Snapshot() { return mBatchDepth > 0 ? std::string() : Serialize(); }

bool SettingsStore::Commit(const std::string& before)
{
    if (mBatchDepth > 0) {
        mBatchChanged = true;
        return true;
    }
    if (WriteFile(Serialize()))
        return true;
    // What could not be stored must not be seen either: back to the old contents.
    Parse(before);
    return false;
}

bool SettingsStore::WriteFile(const std::string& text)
{
    if (mFailWrites || mWritesLeft == 0)
        return false;
    if (mWritesLeft > 0)
        --mWritesLeft;
    if (mFilePath.empty())
        return true;
    const bool refusedInPlace = mAsidePending;
    if (!SetRefusedFileAside())
        return false;
    if (!WriteFileAtomic(mFilePath, text)) {
        DebugOutput("SettingsStore: cannot write " + mFilePath + "\n");
        // A full disk ends the start before the player hears of the refused file:
        // back in its place, the next start finds it and tells.
        if (refusedInPlace && !mAsidePath.empty() &&
            renameat2(AT_FDCWD, mAsidePath.c_str(), AT_FDCWD, mFilePath.c_str(), RENAME_NOREPLACE) == 0) {
            mAsidePath.clear();
            mAsidePending = true;
        }
        return false;
    }
    return true;
}

void SettingsStore::SerializeKey(const Key& key, const std::string& path, std::string& out) const
{
    const std::string escapedPath = Escape(path);
    for (const auto& [folded, value] : key.mValues) {
        out += escapedPath;
        out += '\t';
        out += Escape(value.mName);
        out += '\t';
        if (value.mType == SETTINGS_SZ) {
            out += "sz\t" + Escape(value.mData);
        } else if (value.mType == SETTINGS_DWORD && value.mData.size() == 4) {
            const auto* b = reinterpret_cast<const uint8_t*>(value.mData.data());
            const uint32_t v = b[0] | (b[1] << 8) | (b[2] << 16) | (uint32_t(b[3]) << 24);
            out += "dword\t" + std::to_string(v);
        } else if (value.mType == SETTINGS_BINARY) {
            out += "binary\t" + ToHex(value.mData);
        } else {
            out += "type" + std::to_string(static_cast<uint32_t>(value.mType)) + "\t" + ToHex(value.mData);
        }
        out += '\n';
    }
    if (key.mValues.empty() && key.mKeys.empty() && !path.empty())
        out += escapedPath + "\n";
    for (const auto& [folded, child] : key.mKeys)
        SerializeKey(*child, path.empty() ? child->mName : path + "\\" + child->mName, out);
}

std::string SettingsStore::Serialize()
{
    std::string out = std::string(HEADER_LINE) + "\n";
    SerializeKey(mRoot, "", out);
    out += std::string(END_LINE) + "\n";
    return out;
}

void SettingsStore::Clear()
{
    mRoot.mValues.clear();
    mRoot.mKeys.clear();
}

void SettingsStore::LineReader::Feed(const char* data, size_t length)
{
    mAnyText = mAnyText || length > 0;
    while (length > 0) {
        const char* newline = static_cast<const char*>(std::memchr(data, '\n', length));
        const size_t take = newline ? static_cast<size_t>(newline - data) : length;
        // A line longer than any the store writes is not copied, let alone kept: every
        // later write would carry it.
        if (!mOverlong && mLine.size() + take > MAX_LINE_BYTES) {
            mOverlong = true;
            std::string().swap(mLine);
        }
        if (!mOverlong)
            mLine.append(data, take);
        if (!newline)
            return;
        EndLine(true);
        data = newline + 1;
        length -= take + 1;
    }
}

void SettingsStore::LineReader::EndLine(bool ended)
{
    const bool first = !mStarted;
    mStarted = true;
    // In a file the store wrote, a last line without its line break was cut short:
    // what is left of it may still read as a value, with the wrong figure.
    if (mOverlong || (mHeader && !ended) || !mStore.ReadLine(mLine)) {
        ++mBad;
    } else if (!mLine.empty()) {
        ++mLines;
        if (first && mLine == HEADER_LINE)
            mHeader = true;
        else if (mHeader && mLine == END_LINE)
            mEnded = true;
    }
    mOverlong = false;
    mLine.clear();
}

int SettingsStore::LineReader::Finish()
{
    if (mOverlong || !mLine.empty())
        EndLine(false);
    return mBad;
}

bool SettingsStore::LineReader::Incomplete() const { return (mAnyText && mLines == 0) || (mHeader && !mEnded); }

int SettingsStore::Parse(const std::string& text)
{
    Clear();
    LineReader reader(*this);
    reader.Feed(text.data(), text.size());
    return reader.Finish();
}

bool SettingsStore::ReadLine(std::string& line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.empty())
        return true;
    // The store writes every control byte but the field separator escaped: these are
    // from a damaged file (a power cut leaves zeros).
    for (unsigned char c : line)
        if (c < 0x20 && c != '\t')
            return false;
    if (line[0] == '#')
        return true;

    const std::vector<std::string> fields = SplitTabs(line);
    std::string keyPath;
    if ((fields.size() != 1 && fields.size() != 4) || !Unescape(fields[0], keyPath))
        return false;
    const std::vector<std::string> components = SplitKeyPath(keyPath);
    if (!SaneKeyPath(keyPath, components))
        return false;
    if (fields.size() == 1) {
        MakeKey(components);
        return true;
    }
    std::string name, data;
    int type = 0;
    const std::string& kind = fields[2];
    const std::string& field = fields[3];
    bool ok = Unescape(fields[1], name);
    uint64_t number = 0;
    if (!ok) {
    } else if (kind == "sz") {
        type = SETTINGS_SZ;
        ok = Unescape(field, data);
    } else if (kind == "dword") {
        type = SETTINGS_DWORD;
        ok = ParseUnsigned(field, 0xFFFFFFFFull, number);
        const uint32_t v = static_cast<uint32_t>(number);
        data = std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
    } else if (kind == "binary") {
        type = SETTINGS_BINARY;
        ok = FromHex(field, data);
    } else if (kind.rfind("type", 0) == 0 && ParseUnsigned(kind.substr(4), 0xFFFFFFFFull, number)) {
        type = static_cast<int>(static_cast<uint32_t>(number));
        ok = FromHex(field, data);
    } else {
        ok = false;
    }
    if (!ok || name.size() > MAX_NAME_BYTES || data.size() > MAX_DATA_BYTES)
        return false;
    Key* key = MakeKey(components);
    Value& value = key->mValues[Fold(name)];
    value.mName = name;
    value.mType = type;
    value.mData = std::move(data);
    return true;
}

// ---- The process-wide store

namespace {

std::atomic<SettingsStore*> gInstalledStore{nullptr};

} // namespace

SettingsStore& GetSettingsStore()
{
    if (SettingsStore* store = gInstalledStore.load())
        return *store;
    static SettingsStore userStore(UserDataFolder() + "/settings.txt");
    return userStore;
}

void SetSettingsStore(SettingsStore* store)
{
    gInstalledStore.store(store);
}

} // namespace Platform
