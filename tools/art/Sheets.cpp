#include "tools/art/Sheets.h"

#include <cairo.h>

#include <algorithm>
#include <filesystem>

#include "tools/art/ImageFile.h"
#include "tools/art/Paint.h"

namespace Zant::Art {

namespace {

struct Item {
    const PaintedImage* image;
    int cels; // cels shown (all, or the first six for the animation sheet)
    int perRow;
    int w, h; // laid-out size at scale 1 without the label
};

constexpr int Label = 14, Gap = 10;

Item Lay(const PaintedImage& image, int maxCels, int pageWidth, int scale)
{
    const ImageSpec& s = *image.entry;
    Item item{&image, std::min(s.CelCount(), maxCels), 1, 0, 0};
    int cw = s.CelWidth(), ch = s.CelHeight();
    if (item.cels == 1 && s.CelCount() == 1) {
        item.w = s.width;
        item.h = s.height;
        return item;
    }
    item.perRow = std::max(1, std::min(item.cels, (pageWidth / scale) / (cw + 2)));
    int rows = (item.cels + item.perRow - 1) / item.perRow;
    item.w = item.perRow * (cw + 2);
    item.h = rows * (ch + 2);
    return item;
}

void DrawItem(cairo_t* cr, const Item& item, cairo_surface_t* src, double x, double y, int scale)
{
    const ImageSpec& s = *item.image->entry;
    SetColor(cr, Hex(0xFFFFFF));
    SetFont(cr, "DejaVuSans", 11);
    std::string label = s.name + "  " + std::to_string(s.width) + "x" + std::to_string(s.height);
    if (s.CelCount() > 1)
        label += "  (" + std::to_string(s.CelCount()) + " cels of " + std::to_string(s.CelWidth()) + "x" +
                 std::to_string(s.CelHeight()) + ")";
    DrawText(cr, label, x, y + 11, Align::Left, Hex(0xFFFFFF));
    y += Label;
    int cw = s.CelWidth(), ch = s.CelHeight();
    for (int k = 0; k < item.cels; ++k) {
        double ox = x, oy = y;
        int sx = 0, sy = 0, w = s.width, h = s.height;
        if (s.CelCount() > 1) {
            ox += (k % item.perRow) * (cw + 2) * scale;
            oy += (k / item.perRow) * (ch + 2) * scale;
            sx = (k % s.columns) * cw;
            sy = (k / s.columns) * ch;
            w = cw;
            h = ch;
        }
        cairo_save(cr);
        cairo_rectangle(cr, ox, oy, w * scale, h * scale);
        cairo_clip(cr);
        cairo_translate(cr, ox, oy);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, src, -sx, -sy);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
    }
}

// Lays items out in shelves on pages no taller than maxHeight and writes them.
bool WritePages(const std::string& base, const std::vector<PaintedImage>& images, int maxCels, int scale,
                int pageWidth, int maxHeight, std::string& error)
{
    struct Placed {
        Item item;
        int x, y;
    };
    std::vector<std::vector<Placed>> pages(1);
    std::vector<int> heights(1, Gap);
    int x = Gap, y = Gap, shelf = 0;
    for (const PaintedImage& image : images) {
        if (maxCels < 1000 && image.entry->CelCount() < 2)
            continue;
        Item item = Lay(image, maxCels, pageWidth - 2 * Gap, scale);
        // Room for the label too (about 6.5 px a character at 11 px).
        const ImageSpec& entry = *image.entry;
        size_t label = entry.name.size() + 12 + (entry.CelCount() > 1 ? 24 : 0);
        int w = std::max({item.w * scale, 120, int(label * 6.5)}), h = item.h * scale + Label;
        if (x + w > pageWidth - Gap && x > Gap) {
            x = Gap;
            y += shelf + Gap;
            shelf = 0;
        }
        if (y + h > maxHeight && y > Gap) {
            pages.emplace_back();
            heights.push_back(Gap);
            x = Gap;
            y = Gap;
            shelf = 0;
        }
        pages.back().push_back({item, x, y});
        x += w + Gap;
        shelf = std::max(shelf, h);
        heights.back() = std::max(heights.back(), y + shelf + Gap);
    }
    for (size_t p = 0; p < pages.size(); ++p) {
        if (pages[p].empty())
            continue;
        int height = heights[p];
        cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pageWidth, height);
        cairo_t* cr = cairo_create(sheet);
        // Mid-water checks, so that both dark and light art and the
        // transparent parts show.
        for (int cy = 0; cy < height; cy += 16)
            for (int cx = 0; cx < pageWidth; cx += 16) {
                SetColor(cr, ((cx + cy) / 16) % 2 ? Hex(0x24587A) : Hex(0x1E4C6B));
                cairo_rectangle(cr, cx, cy, 16, 16);
                cairo_fill(cr);
            }
        for (const Placed& placed : pages[p]) {
            cairo_surface_t* src = SurfaceOf(*placed.item.image);
            DrawItem(cr, placed.item, src, placed.x, placed.y, scale);
            cairo_surface_destroy(src);
        }
        cairo_destroy(cr);
        std::string path = base + (p > 0 ? "-" + std::to_string(p + 1) : "") + ".png";
        bool ok = WritePng(path, ToRgba(sheet, AlphaUse::Opaque), pageWidth, height, error);
        cairo_surface_destroy(sheet);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

cairo_surface_t* SurfaceOf(const PaintedImage& image)
{
    int w = image.entry->width, h = image.entry->height;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    uint8_t* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &image.rgba[(size_t(y) * w + x) * 4];
            uint32_t a = p[3];
            uint32_t r = p[0] * a / 255, g = p[1] * a / 255, b = p[2] * a / 255;
            *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) = (a << 24) | (r << 16) | (g << 8) | b;
        }
    cairo_surface_mark_dirty(s);
    return s;
}

bool WriteContactSheets(const std::string& dir, const std::vector<PaintedImage>& images, std::string& error)
{
    // Sheets of an earlier run may have had more pages.
    std::error_code ignored;
    std::vector<std::filesystem::path> old;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ignored))
        if (entry.path().filename().string().rfind("artsheet", 0) == 0 && entry.path().extension() == ".png")
            old.push_back(entry.path());
    for (const auto& path : old)
        std::filesystem::remove(path, ignored);
    return WritePages(dir + "/artsheet", images, 100000, 1, 1600, 2000, error) &&
           WritePages(dir + "/artsheet-2x", images, 100000, 2, 2000, 2400, error) &&
           WritePages(dir + "/artsheet-anim", images, 6, 2, 2000, 2400, error);
}

} // namespace Zant::Art
