#include "tools/art/Manifest.h"

#include <fstream>
#include <sstream>

namespace Zant::Art {

const ImageSpec* Manifest::Find(const std::string& name) const
{
    for (const ImageSpec& spec : images)
        if (spec.name == name)
            return &spec;
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

bool ParseLayout(const std::string& s, ImageSpec& spec)
{
    if (s == "single") {
        spec.layout = Layout::Single;
        return true;
    }
    if (s == "nine") {
        spec.layout = Layout::NinePart;
        return true;
    }
    if (s.size() < 2)
        return false;
    if (s[0] == 'h' || s[0] == 'v') {
        int n = 0;
        if (!ParseInt(s.substr(1), n) || n < 1)
            return false;
        spec.layout = s[0] == 'h' ? Layout::Horizontal : Layout::Vertical;
        (s[0] == 'h' ? spec.columns : spec.rows) = n;
        return true;
    }
    if (s[0] == 'g') {
        int c = 0, r = 0;
        if (!ParseSize(s.substr(1), c, r))
            return false;
        spec.layout = Layout::Grid;
        spec.columns = c;
        spec.rows = r;
        return true;
    }
    return false;
}

bool ParseAlpha(const std::string& s, ImageSpec& spec)
{
    std::string kind = s;
    size_t comma = s.find(',');
    if (comma != std::string::npos) {
        if (s.substr(comma + 1) != "loop")
            return false;
        spec.loops = true;
        kind = s.substr(0, comma);
    }
    if (kind == "opaque")
        spec.alpha = AlphaUse::Opaque;
    else if (kind == "alpha")
        spec.alpha = AlphaUse::Transparent;
    else if (kind == "additive")
        spec.alpha = AlphaUse::Additive;
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
        ImageSpec spec;
        std::string size, layout, alpha;
        if (!(words >> spec.name >> size >> layout >> alpha >> spec.owner))
            return fail("an image needs name, size, layout, alpha and class");
        if (!ParseSize(size, spec.width, spec.height))
            return fail("bad size '" + size + "'");
        if (!ParseLayout(layout, spec))
            return fail("bad layout '" + layout + "'");
        if (!ParseAlpha(alpha, spec))
            return fail("bad alpha use '" + alpha + "'");
        if (spec.width % spec.columns != 0 || spec.height % spec.rows != 0)
            return fail(spec.name + ": size does not divide into its cels");
        if (spec.layout == Layout::NinePart && (spec.width % 3 != 0 || spec.height % 3 != 0))
            return fail(spec.name + ": a nine-part image needs sides that are multiples of 3");
        if (out.Find(spec.name))
            return fail(spec.name + " is listed twice");
        spec.note = note;
        out.images.push_back(spec);
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
