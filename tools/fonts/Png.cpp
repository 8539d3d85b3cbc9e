#include "Png.h"

#include <algorithm>
#include <cstdio>

#include <png.h>

namespace FontTool {

void RgbaImage::Draw(const RgbaImage& src, int sx, int sy, int w, int h, int dx, int dy, uint32_t tint,
                     bool additive)
{
    int ta = tint >> 24, tr = (tint >> 16) & 255, tg = (tint >> 8) & 255, tb = tint & 255;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int px = dx + x, py = dy + y;
            if (px < 0 || py < 0 || px >= width || py >= height)
                continue;
            uint32_t s = src.At(sx + x, sy + y);
            uint32_t& d = At(px, py);
            int sr = (s >> 16) & 255, sg = (s >> 8) & 255, sb = s & 255, sa = s >> 24;
            int dr = (d >> 16) & 255, dg = (d >> 8) & 255, db = d & 255;
            if (additive) {
                dr = std::min(255, dr + sr * tr * ta / (255 * 255));
                dg = std::min(255, dg + sg * tg * ta / (255 * 255));
                db = std::min(255, db + sb * tb * ta / (255 * 255));
            } else {
                int a = sa * ta / 255;
                dr = (sr * tr / 255 * a + dr * (255 - a)) / 255;
                dg = (sg * tg / 255 * a + dg * (255 - a)) / 255;
                db = (sb * tb / 255 * a + db * (255 - a)) / 255;
            }
            d = 0xFF000000u | uint32_t(dr) << 16 | uint32_t(dg) << 8 | uint32_t(db);
        }
    }
}

namespace {

// Only plain data lives in the frame that libpng may jump back to.
bool EncodePng(std::FILE* file, const png_byte* rgba, int width, int height)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgba + static_cast<size_t>(y) * width * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePng(const std::string& path, const RgbaImage& image, std::string& error)
{
    std::vector<png_byte> rgba(static_cast<size_t>(image.width) * image.height * 4);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        uint32_t p = image.pixels[i];
        rgba[i * 4 + 0] = (p >> 16) & 255;
        rgba[i * 4 + 1] = (p >> 8) & 255;
        rgba[i * 4 + 2] = p & 255;
        rgba[i * 4 + 3] = p >> 24;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    bool ok = EncodePng(file, rgba.data(), image.width, image.height);
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        error = "PNG encoding failed for " + path;
    return ok;
}

bool WriteText(const std::string& path, const std::string& text, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        error = "cannot write " + path;
    return ok;
}

} // namespace FontTool
