#include "platform/SettingsStore.h"

#include <atomic>
#include <cstdio>
#include <cstring>

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

void SettingsStore::Load()
{
    // A process killed while saving leaves its temporary file behind; left alone they
    // would pile up beside the store.
    if (const int stale = RemoveStaleTemporaries(mFilePath); stale > 0)
        DebugOutput("SettingsStore: removed " + std::to_string(stale) + " leftover temporary file(s) of " +
                    mFilePath + "\n");
    std::FILE* f = OpenRegularFile(mFilePath);
    if (!f)
        return; // no store yet: everything starts empty
    // Read a chunk at a time so that only the line being read is held, however large
    // the file has grown.
    Clear();
    LineReader reader(*this);
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        reader.Feed(chunk, n);
    std::fclose(f);
    const int bad = reader.Finish();
    if (bad > 0)
        DebugOutput("SettingsStore: " + std::to_string(bad) + " unreadable line(s) in " + mFilePath +
                    " passed over\n");
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
    if (!WriteFileAtomic(mFilePath, text)) {
        DebugOutput("SettingsStore: cannot write " + mFilePath + "\n");
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
    std::string out = "# Plindor settings: key path, value name, type, value (tab-separated)\n";
    SerializeKey(mRoot, "", out);
    return out;
}

void SettingsStore::Clear()
{
    mRoot.mValues.clear();
    mRoot.mKeys.clear();
}

void SettingsStore::LineReader::Feed(const char* data, size_t length)
{
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
        EndLine();
        data = newline + 1;
        length -= take + 1;
    }
}

void SettingsStore::LineReader::EndLine()
{
    if (mOverlong || !mStore.ReadLine(mLine))
        ++mBad;
    mOverlong = false;
    mLine.clear();
}

int SettingsStore::LineReader::Finish()
{
    if (mOverlong || !mLine.empty())
        EndLine();
    return mBad;
}

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
    if (line.empty() || line[0] == '#')
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
