#pragma once
// A small lenient pull-model XML reader. Each ReadElement call yields one start tag,
// end tag, text run, processing instruction or comment. It knows no document type,
// namespaces or character references and checks only that end tags match.
//
// Content rules for XML this program reads (properties, level files, lessons):
// no byte-order mark; "<!--" followed by whitespace; "&gt;" for '>' in text; no bare
// '&'; double quotes anywhere outside instructions and comments are dropped (write
// "&quot;"); apostrophes do not quote attribute values.
#include <cstdio>
#include <map>
#include <memory>
#include <string_view>
#include <string>
#include <vector>

namespace Zant {

// The names of the open elements, outermost first, joined by "/" when asked for.
// Kept as a shared stack of names so that every element can hold the path it began
// in at no cost: copying the joined text into each element made reading deeply
// nested documents quadratic.
class XMLSection {
public:
    XMLSection() = default;
    XMLSection(const XMLSection&) = default;
    XMLSection(XMLSection&&) noexcept = default;
    XMLSection& operator=(const XMLSection&) = default;
    XMLSection& operator=(XMLSection&&) noexcept = default;
    ~XMLSection();

    bool Empty() const { return !mTop; }
    // The joined path ("" at the top level); costs the path's length.
    std::string Path() const;
    // The part of the path after its last "/" (the innermost open name).
    const std::string& Innermost() const;
    // Appends "/" and the name (just the name on an empty path); a name holding "/"
    // adds one level for each part, as the joined text reads.
    void Push(const std::string& name);
    // Removes the innermost part; nothing on an empty path.
    void Pop();
    void Clear();

private:
    struct Node {
        std::string mName;
        std::shared_ptr<const Node> mParent;
        size_t mLength = 0; // length of the joined path up to this node
    };
    std::shared_ptr<const Node> mTop;
};

class XMLElement {
public:
    enum {
        TYPE_NONE = 0,
        TYPE_START = 1,
        TYPE_END = 2,
        TYPE_TEXT = 3,
        TYPE_INSTRUCTION = 4,
        TYPE_COMMENT = 5,
    };

    int mType = TYPE_NONE;
    XMLSection mSection;      // the reader's open-element path when this element began
    std::string mValue;       // tag name, text, instruction target, or "!--"
    std::string mInstruction; // instruction body or comment text, not entity-decoded
    std::map<std::string, std::string> mAttributes;
    std::vector<std::string> mAttributeOrder; // a repeated name is listed again; "/" never

    // Inserts or overwrites; true when the name was new.
    bool AddAttribute(const std::string& name, const std::string& value);
};

class XMLParser {
public:
    XMLParser() = default;
    virtual ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Clears the section path and error, line 1; the pending text stays.
    void Init();
    // Init, then text replaces whatever was pending.
    void SetStringSource(const std::string& text);
    // Init and read from the named file once the pending text is used up.
    // False (with an error text) when the file cannot be opened.
    bool OpenFile(const std::string& fileName);

    // True when an element was read. False at the end of the document (HasFailed
    // false) or on an error (HasFailed true, GetErrorText says why).
    bool ReadElement(XMLElement& element);

    bool HasFailed() const { return mHasFailed; }
    std::string GetErrorText() const { return mErrorText; }
    std::string GetFileName() const { return mFileName; }
    int GetCurrentLineNum() const { return mLineNum; }
    void SetFailed(const std::string& text);
    void SetAllowComments(bool allow) { mAllowComments = allow; }

private:
    bool NextChar(unsigned char& c);
    void PutBack(const std::string& text);
    void CloseFile();

    std::string mFileName;
    std::string mErrorText;
    int mLineNum = 0;
    std::FILE* mFile = nullptr;
    bool mHasFailed = false;
    bool mAllowComments = false;
    // Pending text: characters put back by the reader (stored reversed, read from the
    // back) come before the unread rest of the source. An index keeps reading linear.
    std::string mPushedBack;
    std::string mSource;
    size_t mSourcePos = 0;
    XMLSection mSection;
};

// Replaces the entities lt, amp, gt, quot, apos, nbsp (a space) and cr (a newline).
// Any other "&name;" becomes a single '&'; an '&' with no ';' after it stays.
std::string XMLDecodeString(const std::string& text);

} // namespace Zant
