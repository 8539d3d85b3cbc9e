#pragma once
// The value layer of the font descriptor language: a command line is a sequence of
// values separated by blanks, tabs, newlines or commas, where a value is a word, a
// number, a quoted string or a parenthesised list, and words may name values
// defined earlier. FontData builds the commands on top of this.
#include <map>
#include <string>
#include <vector>

namespace Zant {

class DataElement {
public:
    explicit DataElement(bool isList) : mIsList(isList) {}
    virtual ~DataElement() = default;
    // A new deep copy the caller owns.
    virtual DataElement* Duplicate() const = 0;

    bool mIsList;
};

// One value, its text exactly as written (quotes included).
class SingleDataElement : public DataElement {
public:
    SingleDataElement() : DataElement(false) {}
    explicit SingleDataElement(std::string text) : DataElement(false), mString(std::move(text)) {}
    DataElement* Duplicate() const override { return new SingleDataElement(*this); }

    std::string mString;
};

// A list that owns its children; copies are deep.
class ListDataElement : public DataElement {
public:
    ListDataElement() : DataElement(true) {}
    ListDataElement(const ListDataElement& other);
    ListDataElement& operator=(const ListDataElement& other);
    ~ListDataElement() override;
    DataElement* Duplicate() const override { return new ListDataElement(*this); }
    void Clear();

    std::vector<DataElement*> mElementVector;
};

class DescriptorParser {
public:
    // How deep lists may nest; deeper input is refused instead of exhausting the stack.
    static constexpr int MAX_LIST_DEPTH = 64;

    DescriptorParser() = default;
    DescriptorParser(const DescriptorParser&) = delete;
    DescriptorParser& operator=(const DescriptorParser&) = delete;
    virtual ~DescriptorParser();

    // Appends the values of text from pos on to list, advancing pos past what was
    // read. With expectListEnd the call reads one list body and consumes its ")".
    bool ReadToken(const std::string& text, ListDataElement& list, bool expectListEnd, size_t& pos);
    // target = source with every name replaced by a copy of its definition and every
    // quoted string unquoted.
    bool ResolveDefine(const ListDataElement& source, ListDataElement& target);
    // A list is resolved into target; a single value must name a defined list.
    bool DataToList(const DataElement* element, ListDataElement& target);
    bool DataToStringVector(const DataElement* element, std::vector<std::string>& strings);
    // Integers: an optional "-" and decimal digits that fit an int.
    bool DataToIntVector(const DataElement* element, std::vector<int>& ints);
    // Finite decimal numbers, read the same in every locale.
    bool DataToDoubleVector(const DataElement* element, std::vector<double>& doubles);

    // Reports header + text (+ " on " + current line) and returns false.
    bool Error(const std::string& text);

    // Whole-string number parsing, the same in every locale.
    static bool ParseInt(const std::string& text, int& value);
    static bool ParseDouble(const std::string& text, double& value);
    // A text that starts with a digit, "-", "+" or a quote is a value, not a name.
    static bool IsValueToken(const std::string& text);
    // The quoted text without its quotes: a doubled quote stands for one.
    static std::string Unquote(const std::string& text);
    // The definition of name (compared upper-cased), or null.
    DataElement* FindDefine(const std::string& name) const;
    // Replaces any definition of name (upper-cased); takes ownership of value.
    void SetDefine(const std::string& name, DataElement* value);

protected:
    // Shows a finished error message; the base writes it to the log.
    virtual void ShowError(const std::string& message);

    bool ReadList(const std::string& text, ListDataElement& list, bool expectListEnd, size_t& pos, int depth);

    std::map<std::string, DataElement*> mDefineMap;
    std::string mErrorHeader;
    std::string mCurrentLine;
};

} // namespace Zant
