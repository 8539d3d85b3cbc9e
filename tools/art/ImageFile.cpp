#include "tools/art/ImageFile.h"

#include <png.h>

#include <cstdio>
#include <filesystem>

namespace Zant::Art {

std::vector<uint8_t> ToRgba(cairo_surface_t* surface, AlphaUse alpha)
{
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const uint8_t* data = cairo_image_surface_get_data(surface);
    std::vector<uint8_t> out(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t v = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
            uint32_t a = v >> 24, r = (v >> 16) & 255, g = (v >> 8) & 255, b = v & 255;
            uint8_t* o = &out[(size_t(y) * w + x) * 4];
            if (alpha != AlphaUse::Transparent) {
                // Over black: the premultiplied colour is the composited colour.
                o[0] = r, o[1] = g, o[2] = b, o[3] = 255;
            } else if (a == 0) {
                o[0] = o[1] = o[2] = o[3] = 0;
            } else {
                o[0] = uint8_t((r * 255 + a / 2) / a);
                o[1] = uint8_t((g * 255 + a / 2) / a);
                o[2] = uint8_t((b * 255 + a / 2) / a);
                o[3] = uint8_t(a);
            }
        }
    if (alpha != AlphaUse::Transparent)
        return out;

    // Bleed colour outward into the transparent pixels, ring by ring.
    std::vector<uint8_t> known(size_t(w) * h);
    double sum[3] = {0, 0, 0};
    size_t visible = 0;
    for (size_t i = 0; i < known.size(); ++i)
        if (out[i * 4 + 3] > 0) {
            known[i] = 1;
            for (int c = 0; c < 3; ++c)
                sum[c] += out[i * 4 + c];
            ++visible;
        }
    std::vector<size_t> ring;
    for (int pass = 0; pass < 8; ++pass) {
        ring.clear();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                size_t i = size_t(y) * w + x;
                if (known[i])
                    continue;
                int acc[3] = {0, 0, 0}, n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                            continue;
                        size_t j = size_t(ny) * w + nx;
                        if (!known[j])
                            continue;
                        for (int c = 0; c < 3; ++c)
                            acc[c] += out[j * 4 + c];
                        ++n;
                    }
                if (n == 0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    out[i * 4 + c] = uint8_t(acc[c] / n);
                ring.push_back(i);
            }
        if (ring.empty())
            break;
        for (size_t i : ring)
            known[i] = 1;
    }
    // Far from any shape: the image's mean colour.
    if (visible > 0)
        for (size_t i = 0; i < known.size(); ++i)
            if (!known[i])
                for (int c = 0; c < 3; ++c)
                    out[i * 4 + c] = uint8_t(sum[c] / visible);
    return out;
}

bool WritePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height, std::string& error)
{
    std::string temp = path + ".tmp";
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) {
        error = "cannot write " + temp;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::remove(temp.c_str());
        error = "PNG encoding failed for " + path;
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 6);
    // No Paeth or average rows: they are the costliest to undo when the game loads
    // its pictures, and on this art they save no bytes.
    png_set_filter(png, 0, PNG_FILTER_NONE | PNG_FILTER_SUB | PNG_FILTER_UP);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(&rgba[size_t(y) * width * 4]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        std::remove(temp.c_str());
        error = "cannot finish " + temp;
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        error = "cannot rename " + temp + ": " + ec.message();
        return false;
    }
    return true;
}

} // namespace Zant::Art
