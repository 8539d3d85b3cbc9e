#include "tools/music/Score.h"

#include <cctype>
#include <map>
#include <sstream>

namespace Zant::Music {

const Pattern* Score::Find(const std::string& name) const
{
    for (const Pattern& p : patterns)
        if (p.name == name) return &p;
    return nullptr;
}

int ParseNoteName(const std::string& name)
{
    static const int kPitch[7] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    if (name.size() < 2) return -1;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    if (letter < 'a' || letter > 'g') return -1;
    size_t pos = 1;
    int pitch = kPitch[letter - 'a'];
    if (name[pos] == '#') { ++pitch; ++pos; }
    else if (name[pos] == 'b' && pos + 1 < name.size()) { --pitch; ++pos; }
    if (pos >= name.size()) return -1;
    bool negative = false;
    if (name[pos] == '-') { negative = true; ++pos; }
    if (pos + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[pos]))) return -1;
    const int octave = (name[pos] - '0') * (negative ? -1 : 1);
    const int note = (octave + 1) * 12 + pitch;
    return note >= 0 && note <= 119 ? note : -1;
}

namespace {

struct Fault {
    std::string what;
};

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

bool ToInt(const std::string& s, int& value)
{
    if (s.empty() || s.size() > 6) return false;
    value = 0;
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// Splits brackets off their neighbours and expands "$name" phrases.
std::vector<std::string> Tokens(const std::string& text, const std::map<std::string, std::string>& lets, int depth = 0)
{
    if (depth > 16) throw Fault{"phrases nest too deep"};
    std::string spaced;
    for (char c : text) {
        if (c == '[' || c == ']') spaced += ' ';
        spaced += c;
        if (c == '[') spaced += ' ';
    }
    std::vector<std::string> out;
    for (const std::string& w : Words(spaced)) {
        if (w == "|") continue;
        if (w[0] == '$') {
            const auto it = lets.find(w.substr(1));
            if (it == lets.end()) throw Fault{"unknown phrase " + w};
            for (std::string& t : Tokens(it->second, lets, depth + 1)) out.push_back(std::move(t));
        } else {
            out.push_back(w);
        }
    }
    return out;
}

// Expands "[ ... ]xN" groups.
void Expand(const std::vector<std::string>& in, size_t& pos, std::vector<std::string>& out, bool nested)
{
    while (pos < in.size()) {
        const std::string& t = in[pos++];
        if (t == "[") {
            std::vector<std::string> group;
            Expand(in, pos, group, true);
            const std::string& close = in[pos - 1];
            int times = 1;
            if (close.size() > 1 && (close[1] != 'x' || !ToInt(close.substr(2), times) || times < 1 || times > 64))
                throw Fault{"bad repeat " + close};
            for (int k = 0; k < times; ++k) out.insert(out.end(), group.begin(), group.end());
        } else if (t[0] == ']') {
            if (!nested) throw Fault{"unmatched ]"};
            return;
        } else {
            out.push_back(t);
        }
    }
    if (nested) throw Fault{"unclosed ["};
}

// '#' begins a comment at the start of a line or after a blank; elsewhere it
// is a sharp.
size_t CommentStart(const std::string& line)
{
    for (size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) return i;
    return std::string::npos;
}

struct ChannelLine {
    int instrument = 0;
    int volume = -1;
    int transpose = 0;
    int rowsWritten = 0;
    int length = 4;
};

class PatternBuilder {
public:
    PatternBuilder(Pattern& pattern, const InstrumentLookup& instruments) : mPattern(pattern), mInstruments(instruments) {}

    void Line(int channel, const std::vector<std::string>& header, const std::vector<std::string>& tokens)
    {
        ChannelLine& line = mLines[channel];
        if (!header.empty()) {
            const auto ins = mInstruments(header[0]);
            if (!ins) throw Fault{"unknown instrument " + header[0]};
            line.instrument = ins->index;
            for (size_t i = 1; i < header.size(); ++i) {
                const std::string& h = header[i];
                int v = 0;
                if (h[0] == 'v' && ToInt(h.substr(1), v) && v <= 64) line.volume = v;
                else if ((h[0] == '+' || h[0] == '-') && ToInt(h.substr(1), v) && v <= 48) line.transpose = h[0] == '-' ? -v : v;
                else throw Fault{"bad channel option " + h};
            }
        } else if (line.instrument == 0) {
            throw Fault{"channel " + std::to_string(channel + 1) + " continues before it names an instrument"};
        }
        for (const std::string& t : tokens) Token(channel, line, t);
    }

    void Finish() const
    {
        for (const auto& [channel, line] : mLines)
            if (line.rowsWritten != static_cast<int>(mPattern.rows.size()))
                throw Fault{"pattern " + mPattern.name + " channel " + std::to_string(channel + 1) + " has " +
                            std::to_string(line.rowsWritten) + " rows, not " + std::to_string(mPattern.rows.size())};
    }

private:
    void Token(int channel, ChannelLine& line, const std::string& token)
    {
        // Split off the suffixes: ":len", "@vol", "{Xhh}".
        size_t end = token.find_first_of(":@{");
        std::string body = token.substr(0, end);
        char effect = 0;
        int param = 0;
        while (end != std::string::npos && end < token.size()) {
            const char kind = token[end];
            size_t next = token.find_first_of(":@{", end + 1);
            if (kind == '{') {
                const size_t close = token.find('}', end);
                if (close == std::string::npos || close != end + 4) throw Fault{"bad effect in " + token};
                effect = static_cast<char>(std::toupper(static_cast<unsigned char>(token[end + 1])));
                if (effect < 'A' || effect > 'Z') throw Fault{"bad effect in " + token};
                param = std::stoi(token.substr(end + 2, 2), nullptr, 16);
                next = close + 1 < token.size() ? close + 1 : std::string::npos;
            } else {
                int v = 0;
                if (!ToInt(token.substr(end + 1, next == std::string::npos ? std::string::npos : next - end - 1), v))
                    throw Fault{"bad number in " + token};
                if (kind == ':') {
                    if (v < 1) throw Fault{"zero length in " + token};
                    line.length = v;
                } else {
                    if (v > 64) throw Fault{"volume above 64 in " + token};
                    line.volume = v;
                }
            }
            end = next;
        }

        Cell cell;
        if (body == "_") {
            // hold: nothing new
        } else if (body == "r") {
            cell.note = kNoteOff;
        } else if (body == "^") {
            cell.note = kNoteCut;
        } else {
            int instrument = line.instrument;
            const size_t dot = body.find('.');
            std::string noteName = body;
            if (dot != std::string::npos) {
                const auto ins = mInstruments(body.substr(0, dot));
                if (!ins) throw Fault{"unknown instrument in " + token};
                instrument = ins->index;
                noteName = body.substr(dot + 1);
            }
            int note = ParseNoteName(noteName);
            if (note >= 0) {
                note += line.transpose;
            } else if (dot == std::string::npos) {
                const auto ins = mInstruments(body);
                if (!ins) throw Fault{"not a note: " + token};
                instrument = ins->index;
                note = ins->defaultNote;
            }
            if (note < 0 || note > 119) throw Fault{"note out of range: " + token};
            cell.note = static_cast<uint8_t>(note);
            cell.instrument = static_cast<uint8_t>(instrument);
            cell.volume = static_cast<uint8_t>(line.volume >= 0 ? line.volume : 64);
        }
        const int rows = static_cast<int>(mPattern.rows.size());
        if (line.rowsWritten + line.length > rows)
            throw Fault{"pattern " + mPattern.name + " channel " + std::to_string(channel + 1) + " runs past row " +
                        std::to_string(rows) + " at " + token};
        for (int r = 0; r < line.length; ++r) {
            Cell& target = mPattern.rows[line.rowsWritten + r][channel];
            if (r == 0) target = cell;
            if (effect) { target.effect = effect; target.param = static_cast<uint8_t>(param); }
        }
        line.rowsWritten += line.length;
    }

    Pattern& mPattern;
    const InstrumentLookup& mInstruments;
    std::map<int, ChannelLine> mLines;
};

} // namespace

std::optional<Score> ParseScore(const std::string& text, const InstrumentLookup& instruments, std::string& error)
{
    Score score;
    std::map<std::string, std::string> lets;
    std::optional<PatternBuilder> builder;
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    try {
        while (std::getline(in, raw)) {
            ++lineNo;
            const std::string line = raw.substr(0, CommentStart(raw));
            const std::vector<std::string> words = Words(line);
            if (words.empty()) continue;
            const std::string& head = words[0];
            if (builder) {
                if (head == "end") {
                    builder->Finish();
                    builder.reset();
                    continue;
                }
                const size_t colon = line.find(':');
                int channel = 0;
                if (colon == std::string::npos || !ToInt(head, channel) || channel < 1 || channel > kScoreChannels)
                    throw Fault{"expected \"<channel> [instrument] : notes\" or \"end\""};
                std::vector<std::string> header = Words(line.substr(0, colon));
                header.erase(header.begin());
                std::vector<std::string> flat;
                size_t pos = 0;
                Expand(Tokens(line.substr(colon + 1), lets), pos, flat, false);
                builder->Line(channel - 1, header, flat);
            } else if (head == "let") {
                const size_t eq = line.find('=');
                if (words.size() < 3 || words[2] != "=" || eq == std::string::npos) throw Fault{"expected \"let name = notes\""};
                lets[words[1]] = line.substr(eq + 1);
            } else if (head == "pattern") {
                int rows = 0;
                if (words.size() != 3 || !ToInt(words[2], rows) || rows < 1 || rows > 200)
                    throw Fault{"expected \"pattern name rows\" with 1..200 rows"};
                if (score.Find(words[1])) throw Fault{"pattern " + words[1] + " defined twice"};
                score.patterns.push_back({words[1], std::vector<Row>(rows)});
                builder.emplace(score.patterns.back(), instruments);
            } else if (head == "section") {
                const size_t colon = line.find(':');
                if (colon == std::string::npos) throw Fault{"expected \"section order loop|once tempo T [from K] : patterns\""};
                const std::vector<std::string> h = Words(line.substr(0, colon));
                Section s;
                if (h.size() < 3 || !ToInt(h[1], s.order) || (h[2] != "loop" && h[2] != "once"))
                    throw Fault{"expected \"section order loop|once ...\""};
                s.loop = h[2] == "loop";
                for (size_t i = 3; i + 1 < h.size(); i += 2) {
                    int v = 0;
                    if (!ToInt(h[i + 1], v)) throw Fault{"bad number after " + h[i]};
                    if (h[i] == "tempo" && v >= 32 && v <= 255) s.tempo = v;
                    else if (h[i] == "from") s.loopFrom = v;
                    else throw Fault{"bad section option " + h[i]};
                }
                if ((h.size() - 3) % 2 != 0) throw Fault{"section option without a value"};
                s.patterns = Words(line.substr(colon + 1));
                if (s.patterns.empty()) throw Fault{"section without patterns"};
                for (const std::string& p : s.patterns)
                    if (!score.Find(p)) throw Fault{"unknown pattern " + p};
                if (s.loopFrom >= static_cast<int>(s.patterns.size())) throw Fault{"loop start past the section's end"};
                score.sections.push_back(s);
            } else {
                throw Fault{"unknown word " + head};
            }
        }
        if (builder) throw Fault{"pattern " + score.patterns.back().name + " has no end"};
    } catch (const Fault& f) {
        error = "line " + std::to_string(lineNo) + ": " + f.what;
        return std::nullopt;
    } catch (const std::exception& e) {
        error = "line " + std::to_string(lineNo) + ": " + e.what();
        return std::nullopt;
    }
    return score;
}

} // namespace Zant::Music
