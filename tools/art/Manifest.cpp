#include "tools/art/Manifest.h"

#include <fstream>
#include <sstream>

namespace Zant::Art {

const ImageSpec* Manifest::Find(const std::string& name) const
{
    for (const ImageSpec& entry : images)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

namespace {

bool ParseInt(const std::string& s, int& out)
{
    if (s.empty() || s.size() > 6)
        return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

bool ParseSize(const std::string& s, int& w, int& h)
{
    size_t x = s.find('x');
    return x != std::string::npos && ParseInt(s.substr(0, x), w) && ParseInt(s.substr(x + 1), h) && w > 0 && h > 0;
}

bool ParseLayout(const std::string& s, ImageSpec& entry)
{
    if (s == "single") {
        entry.layout = Layout::Single;
        return true;
    }
    if (s == "nine") {
        entry.layout = Layout::NinePart;
        return true;
    }
    if (s.size() < 2)
        return false;
    if (s[0] == 'h' || s[0] == 'v') {
        int n = 0;
        if (!ParseInt(s.substr(1), n) || n < 1)
            return false;
        entry.layout = s[0] == 'h' ? Layout::Horizontal : Layout::Vertical;
        (s[0] == 'h' ? entry.columns : entry.rows) = n;
        return true;
    }
    if (s[0] == 'g') {
        int c = 0, r = 0;
        if (!ParseSize(s.substr(1), c, r))
            return false;
        entry.layout = Layout::Grid;
        entry.columns = c;
        entry.rows = r;
        return true;
    }
    return false;
}

bool ParseAlpha(const std::string& s, ImageSpec& entry)
{
    std::string kind = s;
    size_t comma = s.find(',');
    if (comma != std::string::npos) {
        if (s.substr(comma + 1) != "loop")
            return false;
        entry.loops = true;
        kind = s.substr(0, comma);
    }
    if (kind == "opaque")
        entry.alpha = AlphaUse::Opaque;
    else if (kind == "alpha")
        entry.alpha = AlphaUse::Transparent;
    else if (kind == "additive")
        entry.alpha = AlphaUse::Additive;
    else
        return false;
    return true;
}

} // namespace

bool ParseManifest(const std::string& text, Manifest& out, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::string note;
        size_t bar = line.find('|');
        if (bar != std::string::npos) {
            note = line.substr(bar + 1);
            size_t first = note.find_first_not_of(' ');
            note = first == std::string::npos ? "" : note.substr(first);
            line = line.substr(0, bar);
        }
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind) || kind[0] == '#')
            continue;
        auto fail = [&](const std::string& what) {
            error = "line " + std::to_string(number) + ": " + what;
            return false;
        };
        if (kind == "font") {
            std::string name, file;
            if (!(words >> name >> file))
                return fail("a font needs a name and a file");
            out.fonts[name] = file;
            continue;
        }
        if (kind != "image")
            return fail("unknown row '" + kind + "'");
        ImageSpec entry;
        std::string size, layout, alpha;
        if (!(words >> entry.name >> size >> layout >> alpha >> entry.owner))
            return fail("an image needs name, size, layout, alpha and class");
        if (!ParseSize(size, entry.width, entry.height))
            return fail("bad size '" + size + "'");
        if (!ParseLayout(layout, entry))
            return fail("bad layout '" + layout + "'");
        if (!ParseAlpha(alpha, entry))
            return fail("bad alpha use '" + alpha + "'");
        if (entry.width % entry.columns != 0 || entry.height % entry.rows != 0)
            return fail(entry.name + ": size does not divide into its cels");
        if (entry.layout == Layout::NinePart && (entry.width % 3 != 0 || entry.height % 3 != 0))
            return fail(entry.name + ": a nine-part image needs sides that are multiples of 3");
        if (out.Find(entry.name))
            return fail(entry.name + " is listed twice");
        entry.note = note;
        out.images.push_back(entry);
    }
    return true;
}

bool LoadManifest(const std::string& path, Manifest& out, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    return ParseManifest(buffer.str(), out, error);
}

} // namespace Zant::Art
