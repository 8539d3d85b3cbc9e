#include "PngReader.h"

#include <png.h>

#include <cstdio>

namespace ArtTest {

bool ReadPng(const std::string& path, Picture& out)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    out.width = int(png_get_image_width(png, info));
    out.height = int(png_get_image_height(png, info));
    out.rgba8 = png_get_bit_depth(png, info) == 8 && png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB_ALPHA &&
                png_get_interlace_type(png, info) == PNG_INTERLACE_NONE;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    out.pixels.assign(size_t(out.width) * out.height * 4, 0);
    std::vector<png_bytep> rows(out.height);
    for (int y = 0; y < out.height; ++y)
        rows[y] = &out.pixels[size_t(y) * out.width * 4];
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return true;
}

} // namespace ArtTest
