// Makes the game's bitmap fonts: for each font a descriptor script and its glyph
// images in the program's data folder, a metrics file the tests compare against,
// and a contact sheet with a sample of every font.
//
// fontmaker DATA_DIR SHEET_PNG METRICS_TXT KEY=FACE_FILE...
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Png.h"
#include "Raster.h"

using namespace FontTool;

namespace {

struct FontJob {
    const char* descriptor; // file name the game opens
    const char* image;      // base name of its images
    const char* face;       // key of the face file
    int pixels;             // the size the name gives: the em in pixels, as the screens were laid out for
    Effect effect;
    double slant;
    bool shadow;
    bool glow;
    // Faces with a small x-height are drawn larger to read like the named face.
    double scale = 1.0;
    // Pixels of a rim round each letter, drawn only for fonts tagged LightRim
    // (white) or DarkRim (black): words drawn over pictures whose colours the
    // text cannot choose (a creature's body, a pale panel under a pale text
    // colour) stay legible on any of them. One pixel outlines the letters;
    // more fills their counters into a plate.
    int rim = 0;
};

// Each descriptor is rendered from the free face nearest to the one its name gives, at
// the pixel size its name gives, so that texts fill the panels drawn for them: a slab
// serif for Rockwell, a narrow humanist sans for the condensed Myriad.
const FontJob JOBS[] = {
    {"Rockwell13.txt", "rockwell13", "slab", 13, Effect::None, 0, false, false, 1.0, 1},
    {"Rockwell13Bold.txt", "rockwell13bold", "slab-bold", 13, Effect::None, 0, false, false, 1.0, 1},
    {"GillSansMT10Bold.txt", "gillsansmt10bold", "gill-bold", 10, Effect::None, 0, false, false, 1.2},
    {"CourierFinalDraft15Bold.txt", "courierfinaldraft15bold", "courier-bold", 15, Effect::None, 0, false, false},
    {"12ptfont.txt", "12ptfont", "sans-bold", 12, Effect::None, 0, true, false, 1.0, 1},
    {"12ptfontglow.txt", "12ptfontglow", "sans-bold", 12, Effect::None, 0, false, true},
    {"MyriadCondensedWeb28BoldGL.txt", "myriadcondensedweb28boldgl", "cond-bold", 28, Effect::None, 0, false, true},
    {"MyriadCondensedWeb28Bold.txt", "myriadcondensedweb28bold", "cond-bold", 28, Effect::None, 0, true, false, 1.0, 1},
    {"UnsteadyOversteer22.txt", "unsteadyoversteer22", "sans-bold", 22, Effect::Rough, 0.3, true, false, 1.0, 2},
    {"MyriadCondensedWeb12Bold.txt", "myriadcondensedweb12bold", "cond-bold", 12, Effect::None, 0, false, false, 1.0, 1},
    {"MyriadCondensedWeb14Bold.txt", "myriadcondensedweb14bold", "cond-bold", 14, Effect::None, 0, false, false, 1.0, 1},
    {"MyriadCondensedWeb15.txt", "myriadcondensedweb15", "cond", 15, Effect::None, 0, false, false, 1.0, 1},
    {"SwissCheesed24.txt", "swisscheesed24", "sans-bold", 24, Effect::Holes, 0, true, false, 1.0, 1},
};

int PixelSize(const FontJob& job)
{
    return static_cast<int>(std::lround(job.pixels * job.scale));
}

const int FIRST_CHAR = 32;
const int LAST_CHAR = 126;
const char* const SAMPLE = "THE QUICK BROWN FOX";

// One strip of glyph cells, all as tall as the line plus the layer's padding.
struct Strip {
    int pad = 0;
    int height = 0;
    std::vector<int> cellX;
    std::vector<int> cellWidth;
    std::vector<int> offsetX; // pen x of the cell's left edge
    RgbaImage pixels;
};

Strip LayOut(const std::vector<Glyph>& glyphs, const std::vector<Coverage>& inks, const FaceMetrics& m, int pad,
             bool additive)
{
    Strip s;
    s.pad = pad;
    s.height = m.ascent + m.descent + 2 * pad;
    int x = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Coverage& ink = inks[i];
        int left = std::min(0, ink.width ? ink.left : 0);
        int right = std::max(glyphs[i].advance, ink.width ? ink.left + ink.width : 0);
        s.cellX.push_back(x);
        s.cellWidth.push_back(right - left);
        s.offsetX.push_back(left);
        x += right - left;
    }
    s.pixels = RgbaImage(std::max(1, x), s.height, additive ? 0xFF000000u : 0x00FFFFFFu);
    int baseline = m.ascent + pad;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Coverage& ink = inks[i];
        for (int iy = 0; iy < ink.height; ++iy) {
            for (int ix = 0; ix < ink.width; ++ix) {
                int v = ink.At(ix, iy);
                int px = s.cellX[i] + ink.left - s.offsetX[i] + ix;
                int py = baseline - ink.top + iy;
                if (px < 0 || py < 0 || px >= s.pixels.width || py >= s.pixels.height || v == 0)
                    continue;
                // Additive layers carry their strength in the colour; normal ones in alpha.
                s.pixels.At(px, py) = additive ? 0xFF000000u | uint32_t(v) << 16 | uint32_t(v) << 8 | uint32_t(v)
                                               : uint32_t(v) << 24 | 0xFFFFFFu;
            }
        }
    }
    return s;
}

// A character as the descriptor language spells it.
std::string CharToken(int c)
{
    if (c == '\'')
        return "\"'\"";
    if (c == '\\')
        return "'\\\\'";
    return std::string("'") + char(c) + "'";
}

// Two characters as one quoted string; empty when no quoting spells them safely.
std::string PairToken(int a, int b)
{
    bool single = a == '\'' || b == '\'';
    bool dbl = a == '"' || b == '"';
    if (single && dbl)
        return std::string();
    char quote = single ? '"' : '\'';
    std::string text(1, quote);
    for (int c : {a, b}) {
        if (c == '\\')
            text += "\\\\";
        else
            text += char(c);
    }
    return text + quote;
}

std::string JoinLines(const std::vector<std::string>& items)
{
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += (i % 16 == 0) ? ",\n    " : ", ";
        out += items[i];
    }
    return out;
}

struct Kern {
    int a;
    int b;
    int value;
};

struct MadeFont {
    const FontJob* job = nullptr;
    FaceMetrics metrics;
    std::vector<Glyph> glyphs;
    std::vector<Kern> kerns;
    Strip main;
    Strip glow;
    int Advance(int c) const { return glyphs[c - FIRST_CHAR].advance; }
    int KernOf(int a, int b) const
    {
        for (const Kern& k : kerns)
            if (k.a == a && k.b == b)
                return k.value;
        return 0;
    }
};

void WriteLayer(std::ostringstream& out, const char* layer, const std::string& image, const Strip& strip,
                const MadeFont& font, bool widths)
{
    const FaceMetrics& m = font.metrics;
    out << "CreateLayer " << layer << ";\n";
    out << "LayerSetImage " << layer << " '" << image << "';\n";
    out << "LayerSetAscent " << layer << " " << m.ascent << ";\n";
    out << "LayerSetLineSpacingOffset " << layer << " " << m.lineGap << ";\n";
    std::vector<std::string> widthsText, offsets;
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        widthsText.push_back(std::to_string(strip.cellWidth[i]));
        offsets.push_back("(" + std::to_string(strip.offsetX[i]) + ", " + std::to_string(-strip.pad) + ")");
    }
    out << "CreateHorzSpanRectList " << layer << "Rects (0, 0, 0, " << strip.height << ")\n    ("
        << JoinLines(widthsText) << ");\n";
    // Offsets come before the image map: the layer's default height is taken from them.
    out << "LayerSetCharOffsets " << layer << " Chars\n    (" << JoinLines(offsets) << ");\n";
    out << "LayerSetImageMap " << layer << " Chars " << layer << "Rects;\n";
    if (!widths)
        return;
    std::vector<std::string> advances;
    for (const Glyph& g : font.glyphs)
        advances.push_back(std::to_string(g.advance));
    out << "LayerSetCharWidths " << layer << " Chars\n    (" << JoinLines(advances) << ");\n";
    std::vector<std::string> pairs, values;
    for (const Kern& k : font.kerns) {
        pairs.push_back(PairToken(k.a, k.b));
        values.push_back(std::to_string(k.value));
    }
    if (!pairs.empty())
        out << "LayerSetKerningPairs " << layer << "\n    (" << JoinLines(pairs) << ")\n    (" << JoinLines(values)
            << ");\n";
}

bool MakeFont(const FontJob& job, const std::map<std::string, std::string>& faces, const std::string& dataDir,
              MadeFont& font, std::string& error)
{
    font.job = &job;
    auto face = faces.find(job.face);
    if (face == faces.end()) {
        error = std::string("no face given for ") + job.face;
        return false;
    }
    int pixels = PixelSize(job);
    FaceRaster raster;
    if (!raster.Open(face->second, pixels, job.slant, error))
        return false;
    for (int c = FIRST_CHAR; c <= LAST_CHAR; ++c) {
        Glyph g = raster.Render(c);
        if (job.effect == Effect::Rough)
            RoughenEdges(g.ink, c);
        else if (job.effect == Effect::Holes)
            PunchHoles(g.ink, c, pixels);
        font.glyphs.push_back(std::move(g));
    }
    font.metrics = raster.Metrics(font.glyphs);
    for (int a = FIRST_CHAR + 1; a <= LAST_CHAR; ++a)
        for (int b = FIRST_CHAR + 1; b <= LAST_CHAR; ++b) {
            int k = std::clamp(raster.Kerning(a, b), -128, 127);
            if (k != 0 && !PairToken(a, b).empty())
                font.kerns.push_back({a, b, k});
        }

    std::vector<Coverage> inks;
    for (const Glyph& g : font.glyphs)
        inks.push_back(g.ink);
    font.main = LayOut(font.glyphs, inks, font.metrics, 0, false);

    std::ostringstream out;
    out << "# " << job.descriptor << ": made by the project's font maker from " << face->second << " at "
        << pixels << " px.\n";
    out << "SetDefaultPointSize " << job.pixels << ";\n";
    std::vector<std::string> chars;
    for (int c = FIRST_CHAR; c <= LAST_CHAR; ++c)
        chars.push_back(CharToken(c));
    out << "Define Chars\n    (" << JoinLines(chars) << ");\n";
    std::string mainImage = std::string(job.image) + ".png";
    WriteLayer(out, "Main", mainImage, font.main, font, true);
    if (!WritePng(dataDir + "/" + mainImage, font.main.pixels, error))
        return false;

    if (job.glow) {
        int pad = std::max(2, pixels / 6);
        std::vector<Coverage> halos;
        for (const Glyph& g : font.glyphs)
            halos.push_back(Blur(g.ink, pad));
        font.glow = LayOut(font.glyphs, halos, font.metrics, pad, true);
        std::string glowImage = std::string(job.image) + "_glow.png";
        // The halo has no advance of its own: the main layer spaces the text.
        WriteLayer(out, "Glow", glowImage, font.glow, font, false);
        out << "LayerSetDrawMode Glow 1;\n";
        out << "LayerSetColorMult Glow (0.45, 0.75, 1, 0.8);\n";
        out << "LayerSetBaseOrder Glow -1;\n";
        if (!WritePng(dataDir + "/" + glowImage, font.glow.pixels, error))
            return false;
    }
    if (job.rim > 0) {
        std::vector<Coverage> rims;
        for (const Glyph& g : font.glyphs)
            rims.push_back(Grow(g.ink, job.rim));
        const Strip rim = LayOut(font.glyphs, rims, font.metrics, job.rim, false);
        const std::string rimImage = std::string(job.image) + "_rim.png";
        WriteLayer(out, "LightRim", rimImage, rim, font, false);
        out << "LayerSetBaseOrder LightRim -1;\n";
        out << "CreateLayerFrom DarkRim LightRim;\n";
        out << "LayerRequireTags LightRim ('LightRim');\n";
        out << "LayerSetColorMult LightRim (0, 0, 0, 0.92);\n";
        out << "LayerSetColorAdd LightRim (1, 1, 1, 0);\n";
        out << "LayerRequireTags DarkRim ('DarkRim');\n";
        out << "LayerSetColorMult DarkRim (0, 0, 0, 0.92);\n";
        if (!WritePng(dataDir + "/" + rimImage, rim.pixels, error))
            return false;
    }
    if (job.shadow) {
        int offset = std::max(1, pixels / 14);
        out << "CreateLayerFrom Shadow Main;\n";
        out << "LayerSetOffset Shadow (" << offset << ", " << offset << ");\n";
        out << "LayerSetColorMult Shadow (0, 0, 0, 0.6);\n";
        out << "LayerSetBaseOrder Shadow -1;\n";
    }
    return WriteText(dataDir + "/" + job.descriptor, out.str(), error);
}

// Additive-free preview of a font: shadow and glow under the face, as the game layers them.
int DrawText(RgbaImage& canvas, const MadeFont& font, const std::string& text, int x, int baseline,
             uint32_t colour)
{
    auto advanceAt = [&](size_t i) {
        int c = static_cast<unsigned char>(text[i]);
        int next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        return font.Advance(c) + (next ? font.KernOf(c, next) : 0);
    };
    auto place = [&](const Strip& strip, int dx, int dy, uint32_t tint, bool additive) {
        int pen = x;
        for (size_t i = 0; i < text.size(); ++i) {
            int idx = static_cast<unsigned char>(text[i]) - FIRST_CHAR;
            int left = pen + strip.offsetX[idx] + dx;
            int top = baseline - font.metrics.ascent - strip.pad + dy;
            canvas.Draw(strip.pixels, strip.cellX[idx], 0, strip.cellWidth[idx], strip.height, left, top, tint,
                        additive);
            pen += advanceAt(i);
        }
        return pen - x;
    };
    if (font.job->glow)
        place(font.glow, 0, 0, 0xCC73BFFFu, true);
    if (font.job->shadow) {
        int pixels = PixelSize(*font.job);
        int offset = std::max(1, pixels / 14);
        place(font.main, offset, offset, 0x99000000u, false);
    }
    return place(font.main, 0, 0, colour, false);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: fontmaker DATA_DIR SHEET_PNG METRICS_TXT KEY=FACE_FILE...\n");
        return 2;
    }
    std::string dataDir = argv[1];
    std::string sheetPath = argv[2];
    std::string metricsPath = argv[3];
    std::map<std::string, std::string> faces;
    for (int i = 4; i < argc; ++i) {
        std::string arg = argv[i];
        size_t eq = arg.find('=');
        if (eq != std::string::npos)
            faces[arg.substr(0, eq)] = arg.substr(eq + 1);
    }

    std::vector<MadeFont> fonts;
    std::string error;
    std::ostringstream metrics;
    metrics << "# descriptor, width of \"" << SAMPLE << "\" (advances and kerning), ascent, line height\n";
    for (const FontJob& job : JOBS) {
        MadeFont font;
        if (!MakeFont(job, faces, dataDir, font, error)) {
            std::fprintf(stderr, "fontmaker: %s: %s\n", job.descriptor, error.c_str());
            return 1;
        }
        int width = 0;
        std::string sample = SAMPLE;
        for (size_t i = 0; i < sample.size(); ++i) {
            width += font.Advance(static_cast<unsigned char>(sample[i]));
            if (i + 1 < sample.size())
                width += font.KernOf(static_cast<unsigned char>(sample[i]), static_cast<unsigned char>(sample[i + 1]));
        }
        metrics << job.descriptor << " " << width << " " << font.metrics.ascent << " "
                << font.metrics.ascent + font.metrics.descent << "\n";
        fonts.push_back(std::move(font));
    }
    if (!WriteText(metricsPath, metrics.str(), error)) {
        std::fprintf(stderr, "fontmaker: %s\n", error.c_str());
        return 1;
    }

    // Contact sheet: name and sample, then the whole character set, on deep water.
    std::string all;
    for (int c = FIRST_CHAR + 1; c <= LAST_CHAR; ++c)
        all += char(c);
    int height = 10;
    for (const MadeFont& f : fonts)
        height += 2 * (f.metrics.ascent + f.metrics.descent + f.glow.pad * 2) + 12;
    RgbaImage sheet(1500, height, 0xFF0B1E3Au);
    int y = 10;
    for (const MadeFont& f : fonts) {
        int line = f.metrics.ascent + f.metrics.descent + f.glow.pad * 2;
        std::string name = std::string(f.job->descriptor);
        name = name.substr(0, name.size() - 4);
        int w = DrawText(sheet, f, name + ": ", 10, y + f.glow.pad + f.metrics.ascent, 0xFFFFE9A8u);
        DrawText(sheet, f, "The quick brown fox jumps over the lazy dog. Score: 1,234", 10 + w,
                 y + f.glow.pad + f.metrics.ascent, 0xFFFFFFFFu);
        DrawText(sheet, f, all, 10, y + line + f.glow.pad + f.metrics.ascent, 0xFFFFFFFFu);
        y += 2 * line + 12;
    }
    if (!WritePng(sheetPath, sheet, error)) {
        std::fprintf(stderr, "fontmaker: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
