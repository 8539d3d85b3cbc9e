#include "framework/util/XMLParser.h"

#include "platform/Paths.h"

namespace Zant {

namespace {

bool IsXMLWhitespace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool EndsWith(const std::string& s, char a, char b)
{
    return s.size() >= 2 && s[s.size() - 2] == a && s[s.size() - 1] == b;
}

} // namespace

XMLSection::~XMLSection()
{
    Clear();
}

void XMLSection::Clear()
{
    // Unlink one node at a time: letting the last owner go would free a deep path by
    // recursion, one stack frame a level.
    std::shared_ptr<const Node> node = std::move(mTop);
    while (node && node.use_count() == 1) {
        std::shared_ptr<const Node> parent = node->mParent;
        node = std::move(parent);
    }
}

std::string XMLSection::Path() const
{
    if (!mTop)
        return {};
    std::string path(mTop->mLength, '/');
    for (const Node* n = mTop.get(); n; n = n->mParent.get())
        path.replace(n->mLength - n->mName.size(), n->mName.size(), n->mName);
    return path;
}

const std::string& XMLSection::Innermost() const
{
    static const std::string kNone;
    return mTop ? mTop->mName : kNone;
}

void XMLSection::Push(const std::string& name)
{
    if (!mTop && name.empty())
        return; // the joined text stays empty
    size_t start = 0;
    for (;;) {
        const size_t slash = name.find('/', start);
        const size_t end = slash == std::string::npos ? name.size() : slash;
        auto node = std::make_shared<Node>();
        node->mName = name.substr(start, end - start);
        node->mLength = (mTop ? mTop->mLength + 1 : 0) + node->mName.size();
        node->mParent = std::move(mTop);
        mTop = std::move(node);
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
}

void XMLSection::Pop()
{
    if (mTop)
        mTop = mTop->mParent;
}

bool XMLElement::AddAttribute(const std::string& name, const std::string& value)
{
    auto [it, inserted] = mAttributes.insert_or_assign(name, value);
    (void)it;
    if (name != "/")
        mAttributeOrder.push_back(name);
    return inserted;
}

XMLParser::~XMLParser()
{
    CloseFile();
}

void XMLParser::CloseFile()
{
    if (mFile) {
        std::fclose(mFile);
        mFile = nullptr;
    }
}

void XMLParser::Init()
{
    mSection.Clear();
    mErrorText.clear();
    mLineNum = 1;
    mHasFailed = false;
}

void XMLParser::SetStringSource(const std::string& text)
{
    Init();
    mPushedBack.clear();
    mSource = text;
    mSourcePos = 0;
}

bool XMLParser::OpenFile(const std::string& fileName)
{
    Init();
    CloseFile();
    mFileName = fileName;
    mFile = Platform::OpenRegularFile(fileName);
    if (!mFile) {
        SetFailed("Unable to open file");
        return false;
    }
    return true;
}

void XMLParser::SetFailed(const std::string& text)
{
    mHasFailed = true;
    mErrorText = text;
}

bool XMLParser::NextChar(unsigned char& c)
{
    if (!mPushedBack.empty()) {
        c = static_cast<unsigned char>(mPushedBack.back());
        mPushedBack.pop_back();
    } else if (mSourcePos < mSource.size()) {
        c = static_cast<unsigned char>(mSource[mSourcePos++]);
    } else if (mFile) {
        int ch = std::fgetc(mFile);
        if (ch == EOF)
            return false;
        c = static_cast<unsigned char>(ch);
    } else {
        return false;
    }
    if (c == '\n')
        ++mLineNum;
    return true;
}

void XMLParser::PutBack(const std::string& text)
{
    mPushedBack.append(text.rbegin(), text.rend());
}

bool XMLParser::ReadElement(XMLElement& element)
{
    for (;;) {
        element.mType = XMLElement::TYPE_NONE;
        element.mSection = mSection;
        element.mValue.clear();
        element.mInstruction.clear();
        element.mAttributes.clear();
        element.mAttributeOrder.clear();

        bool inQuotes = false;
        bool spacePending = false;
        bool inAttributes = false;
        bool afterEquals = false;
        std::string attrName;
        std::string attrValue;
        std::string lastAttrName;

        auto commitAttribute = [&] {
            element.AddAttribute(XMLDecodeString(attrName), XMLDecodeString(attrValue));
            attrName.clear();
            attrValue.clear();
        };

        bool finished = false;
        while (!finished) {
            unsigned char c;
            if (!NextChar(c)) {
                if (element.mType == XMLElement::TYPE_NONE)
                    return false;
                SetFailed("Unexpected End of File");
                return false;
            }

            int& type = element.mType;
            if (type == XMLElement::TYPE_COMMENT) {
                std::string& text = element.mInstruction;
                text += static_cast<char>(c);
                if (c == '>' && text.size() >= 3 && text[text.size() - 2] == '-' && text[text.size() - 3] == '-') {
                    text.resize(text.size() - 3);
                    finished = true;
                }
                continue;
            }
            if (type == XMLElement::TYPE_INSTRUCTION) {
                // The target name runs up to the first whitespace; the body keeps it.
                std::string& text = (element.mInstruction.empty() && !IsXMLWhitespace(c)) ? element.mValue
                                                                                           : element.mInstruction;
                text += static_cast<char>(c);
                if (c == '>' && EndsWith(text, '?', '>')) {
                    text.resize(text.size() - 2);
                    finished = true;
                }
                continue;
            }

            if (c == '"') {
                inQuotes = !inQuotes;
                continue;
            }
            if (!inQuotes) {
                if (c == '<') {
                    if (type == XMLElement::TYPE_TEXT) {
                        PutBack("<");
                        finished = true;
                    } else if (type == XMLElement::TYPE_NONE) {
                        type = XMLElement::TYPE_START;
                    } else {
                        SetFailed("Unexpected '<'");
                        return false;
                    }
                    continue;
                }
                if (c == '>') {
                    if (type == XMLElement::TYPE_START) {
                        bool selfClosing = false;
                        if (attrName == "/") {
                            // "<b />": the lone slash stays in progress and is added on finishing.
                            selfClosing = true;
                        } else {
                            const bool attrInProgress = !attrName.empty();
                            if (attrInProgress) {
                                lastAttrName = XMLDecodeString(attrName);
                                commitAttribute();
                            }
                            if (!lastAttrName.empty()) {
                                auto it = element.mAttributes.find(lastAttrName);
                                if (it != element.mAttributes.end() && !it->second.empty() && it->second.back() == '/') {
                                    it->second.pop_back();
                                    selfClosing = true;
                                }
                            } else if (!attrInProgress && !element.mValue.empty() && element.mValue.back() == '/') {
                                element.mValue.pop_back();
                                selfClosing = true;
                            }
                        }
                        if (selfClosing)
                            PutBack("</" + element.mValue + ">");
                        mSection.Push(element.mValue);
                        finished = true;
                    } else if (type == XMLElement::TYPE_END) {
                        if (mSection.Empty()) {
                            SetFailed("Unexpected End");
                            return false;
                        }
                        const std::string& inner = mSection.Innermost();
                        if (inner != element.mValue) {
                            SetFailed("End '" + element.mValue + "' Doesn't Match Start '" + inner + "'");
                            return false;
                        }
                        mSection.Pop();
                        finished = true;
                    } else {
                        SetFailed("Unexpected '>'");
                        return false;
                    }
                    continue;
                }
                if (type == XMLElement::TYPE_START && element.mValue.empty()) {
                    if (c == '/') {
                        type = XMLElement::TYPE_END;
                        continue;
                    }
                    if (c == '?') {
                        type = XMLElement::TYPE_INSTRUCTION;
                        continue;
                    }
                }
                if (IsXMLWhitespace(c)) {
                    if (!element.mValue.empty())
                        spacePending = true;
                    if (type == XMLElement::TYPE_START && element.mValue == "!--")
                        type = XMLElement::TYPE_COMMENT;
                    continue;
                }
                if (c < 33) {
                    SetFailed("Illegal Character");
                    return false;
                }
            }

            // An ordinary character.
            if (type == XMLElement::TYPE_NONE)
                type = XMLElement::TYPE_TEXT;
            if (type == XMLElement::TYPE_TEXT || type == XMLElement::TYPE_END) {
                if (spacePending) {
                    element.mValue += ' ';
                    spacePending = false;
                }
                element.mValue += static_cast<char>(c);
                continue;
            }
            // TYPE_START
            if (spacePending) {
                if (!inAttributes) {
                    inAttributes = true;
                    afterEquals = false;
                } else if ((!afterEquals && c != '=') || (afterEquals && !attrValue.empty())) {
                    commitAttribute();
                    lastAttrName.clear();
                    afterEquals = false;
                }
                spacePending = false;
            }
            if (!inAttributes)
                element.mValue += static_cast<char>(c);
            else if (c == '=')
                afterEquals = true;
            else if (afterEquals)
                attrValue += static_cast<char>(c);
            else
                attrName += static_cast<char>(c);
        }

        if (!attrName.empty())
            commitAttribute();
        element.mValue = XMLDecodeString(element.mValue);
        if (element.mType == XMLElement::TYPE_COMMENT && !mAllowComments)
            continue;
        return true;
    }
}

std::string XMLDecodeString(const std::string& text)
{
    static const struct {
        const char* name;
        char ch;
    } kEntities[] = {
        {"lt", '<'}, {"amp", '&'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}, {"cr", '\n'},
    };
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const size_t semi = text.find(';', i);
        if (semi == std::string::npos) {
            out += '&';
            continue;
        }
        const std::string_view name(text.data() + i + 1, semi - i - 1);
        char ch = '&';
        for (const auto& e : kEntities) {
            if (name == e.name) {
                ch = e.ch;
                break;
            }
        }
        out += ch;
        i = semi;
    }
    return out;
}

} // namespace Zant
