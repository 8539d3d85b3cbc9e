#include "framework/graphics/ImageLib.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <csetjmp>
#include <cstring>
#include <utility>

#include <jpeglib.h>
#include <png.h>

#include "platform/Paths.h"

namespace ImageLib {

PixelArray::PixelArray(size_t count) : mWords(Platform::MakeLoadingArray<uint32_t>(count + 1)), mCount(count) {}

PixelArray::PixelArray(const PixelArray& other) : mCount(other.mCount)
{
    if (other.mWords != nullptr) {
        mWords = Platform::MakeLoadingArrayForOverwrite<uint32_t>(mCount + 1);
        std::copy_n(other.mWords.get(), mCount + 1, mWords.get());
    }
}

PixelArray& PixelArray::operator=(const PixelArray& other)
{
    if (this != &other)
        *this = PixelArray(other);
    return *this;
}

PixelArray::PixelArray(PixelArray&& other) noexcept
    : mWords(std::move(other.mWords)), mCount(std::exchange(other.mCount, 0))
{
}

PixelArray& PixelArray::operator=(PixelArray&& other) noexcept
{
    mWords = std::move(other.mWords);
    mCount = std::exchange(other.mCount, 0);
    return *this;
}

PixelArray PixelArray::ForOverwrite(size_t count)
{
    PixelArray array;
    array.mWords = Platform::MakeLoadingArrayForOverwrite<uint32_t>(count + 1);
    array.mWords[count] = 0;
    array.mCount = count;
    return array;
}

Platform::LoadingArray<uint32_t> PixelArray::Release()
{
    mCount = 0;
    return std::move(mWords);
}

bool operator==(const PixelArray& a, const PixelArray& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const PixelArray& a, const std::vector<uint32_t>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

std::unique_ptr<Image> Image::ForOverwrite(int width, int height)
{
    auto image = std::make_unique<Image>();
    image->mWidth = width;
    image->mHeight = height;
    image->mBits = PixelArray::ForOverwrite(PixelCount(width, height));
    return image;
}

Platform::LoadingArray<uint32_t> Image::ReleaseBits()
{
    mWidth = 0;
    mHeight = 0;
    return mBits.Release();
}

bool IsAcceptableSize(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= MAX_IMAGE_SIDE && height <= MAX_IMAGE_SIDE &&
           width * height <= MAX_IMAGE_PIXELS;
}

namespace {

// ---- JPEG -------------------------------------------------------------------
// libjpeg reports fatal errors through error_exit, which must not return: it prints
// the library's message and jumps back to the reader, which releases everything.
// The functions that call setjmp keep no objects with destructors of their own;
// what must survive the jump lives in their callers.

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    JpegError* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(err->jump, 1);
}

bool DecodeJpeg(std::FILE* file, jpeg_decompress_struct& cinfo, JpegError& err, std::unique_ptr<Image>& image,
                std::vector<uint8_t>& row)
{
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    // Grey pictures are widened to RGB here; CMYK pictures are not read.
    if (cinfo.jpeg_color_space == JCS_GRAYSCALE)
        cinfo.out_color_space = JCS_GRAYSCALE;
    else if (cinfo.jpeg_color_space == JCS_YCbCr || cinfo.jpeg_color_space == JCS_RGB)
        cinfo.out_color_space = JCS_RGB;
    else {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (!IsAcceptableSize(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    const int components = cinfo.output_components;
    if ((components != 1 && components != 3) || !IsAcceptableSize(cinfo.output_width, cinfo.output_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const int width = static_cast<int>(cinfo.output_width);
    image = Image::ForOverwrite(width, static_cast<int>(cinfo.output_height));
    row.resize(static_cast<size_t>(width) * components);
    while (cinfo.output_scanline < cinfo.output_height) {
        uint32_t* out = image->GetBits() + static_cast<size_t>(cinfo.output_scanline) * width;
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        const uint8_t* p = row.data();
        for (int x = 0; x < width; ++x, p += components) {
            const uint32_t r = p[0];
            const uint32_t g = components == 3 ? p[1] : r;
            const uint32_t b = components == 3 ? p[2] : r;
            out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool EncodeJpeg(std::FILE* file, jpeg_compress_struct& cinfo, JpegError& err, const Image& image,
                std::vector<uint8_t>& row)
{
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegErrorExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(image.mWidth);
    cinfo.image_height = static_cast<JDIMENSION>(image.mHeight);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 80, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    row.resize(static_cast<size_t>(image.mWidth) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint32_t* in = image.GetBits() + static_cast<size_t>(cinfo.next_scanline) * image.mWidth;
        for (int x = 0; x < image.mWidth; ++x) {
            row[x * 3 + 0] = static_cast<uint8_t>(in[x] >> 16);
            row[x * 3 + 1] = static_cast<uint8_t>(in[x] >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(in[x]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

// ---- PNG --------------------------------------------------------------------

void PngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp)
{
}

// Pixels land in memory as the 32-bit words 0xAARRGGBB: B, G, R, A bytes on a
// little-endian machine, A, R, G, B on a big-endian one.
void SetWordOrder(png_structp png)
{
    if constexpr (std::endian::native == std::endian::little)
        png_set_bgr(png);
    else
        png_set_swap_alpha(png);
}

bool DecodePng(std::FILE* file, png_structp png, png_infop info, std::unique_ptr<Image>& image,
               std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_user_limits(png, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE);
    // Every chunk's CRC is still checked, and that already covers the compressed
    // pixels: zlib's own checksum over the inflated bytes adds nothing but time.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    // Ancillary chunks are never used here: a damaged one is skipped unchecked.
    png_set_crc_action(png, PNG_CRC_DEFAULT, PNG_CRC_QUIET_USE);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    if (!IsAcceptableSize(width, height))
        return false;

    png_set_expand(png); // palettes, grey below 8 bits and tRNS become full channels
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    SetWordOrder(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4)
        return false;

    image = Image::ForOverwrite(static_cast<int>(width), static_cast<int>(height));
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(image->GetBits() + static_cast<size_t>(y) * width);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool EncodePng(std::FILE* file, png_structp png, png_infop info, const Image& image)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.mWidth), static_cast<png_uint_32>(image.mHeight), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    SetWordOrder(png);
    for (int y = 0; y < image.mHeight; ++y) {
        const uint32_t* row = image.GetBits() + static_cast<size_t>(y) * image.mWidth;
        png_write_row(png, reinterpret_cast<png_const_bytep>(row));
    }
    png_write_end(png, nullptr);
    return true;
}

// ---- Loading by name ----------------------------------------------------------

bool SameNoCase(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y))
            return false;
    }
    return true;
}

size_t LastSeparator(const std::string& path)
{
    return path.find_last_of("/\\");
}

std::unique_ptr<Image> LoadColourPicture(const std::string& path)
{
    std::string base = path;
    std::string ext;
    const size_t dot = path.rfind('.');
    const size_t sep = LastSeparator(path);
    if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) {
        base = path.substr(0, dot);
        ext = path.substr(dot);
    }
    static const struct {
        const char* ext;
        std::unique_ptr<Image> (*read)(const std::string&);
    } kReaders[] = {{".jpg", ReadJpeg}, {".png", ReadPng}, {".gif", ReadGif}};
    for (const auto& reader : kReaders) {
        if (!ext.empty() && !SameNoCase(ext, reader.ext))
            continue;
        if (auto image = reader.read(base + reader.ext))
            return image;
    }
    return nullptr;
}

// A file read through a reader of open streams; none when it cannot be opened.
std::unique_ptr<Image> ReadThroughFile(const std::string& path, std::unique_ptr<Image> (*read)(std::FILE*))
{
    std::FILE* file = Platform::OpenRegularFile(path);
    if (!file)
        return nullptr;
    // The decoders read in small pieces; a larger buffer reads a game picture in a
    // few calls.
    std::setvbuf(file, nullptr, _IOFBF, 64 * 1024);
    auto image = read(file);
    std::fclose(file);
    return image;
}

// A whole picture of an accepted size written to a new file by encode(file); false
// when the picture, the file, the encoder or the closing of the file fails. A
// symbolic link in the file's place is not written through.
template <typename Encode>
bool WriteThroughFile(const std::string& path, const Image& image, const Encode& encode)
{
    if (!IsAcceptableSize(image.mWidth, image.mHeight) ||
        image.mBits.size() != static_cast<size_t>(image.mWidth) * image.mHeight)
        return false;
    std::FILE* file = Platform::CreateFileNoFollow(path);
    if (!file)
        return false;
    bool ok = encode(file);
    ok = (std::fclose(file) == 0) && ok;
    return ok;
}

} // namespace

std::unique_ptr<Image> ReadJpegStream(std::FILE* file)
{
    jpeg_decompress_struct cinfo{};
    JpegError err{};
    std::unique_ptr<Image> image;
    std::vector<uint8_t> row;
    if (!DecodeJpeg(file, cinfo, err, image, row))
        return nullptr;
    return image;
}

std::unique_ptr<Image> ReadJpeg(const std::string& path) { return ReadThroughFile(path, ReadJpegStream); }

std::unique_ptr<Image> ReadPngStream(std::FILE* file)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    std::unique_ptr<Image> image;
    std::vector<png_bytep> rows;
    const bool ok = DecodePng(file, png, info, image, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return ok ? std::move(image) : nullptr;
}

std::unique_ptr<Image> ReadPng(const std::string& path) { return ReadThroughFile(path, ReadPngStream); }

bool WriteJpeg(const std::string& path, const Image& image)
{
    return WriteThroughFile(path, image, [&](std::FILE* file) {
        jpeg_compress_struct cinfo{};
        JpegError err{};
        std::vector<uint8_t> row;
        return EncodeJpeg(file, cinfo, err, image, row);
    });
}

bool WritePng(const std::string& path, const Image& image)
{
    return WriteThroughFile(path, image, [&](std::FILE* file) {
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
        png_infop info = png ? png_create_info_struct(png) : nullptr;
        const bool ok = png && info && EncodePng(file, png, info, image);
        if (png)
            png_destroy_write_struct(&png, info ? &info : nullptr);
        return ok;
    });
}

std::unique_ptr<Image> LoadImageFile(const std::string& path, bool lookForAlpha)
{
    std::unique_ptr<Image> image = LoadColourPicture(path);
    if (!lookForAlpha)
        return image;

    const size_t sep = LastSeparator(path);
    const std::string prefixed = sep == std::string::npos ? "_" + path
                                                          : path.substr(0, sep + 1) + "_" + path.substr(sep + 1);
    std::unique_ptr<Image> alpha = LoadImageFile(prefixed, false);
    if (!alpha)
        alpha = LoadImageFile(path + "_", false);
    if (!alpha)
        return image;

    if (!image) {
        for (uint32_t& p : alpha->mBits)
            p = (p << 24) | 0xFFFFFFu;
        return alpha;
    }
    if (alpha->mWidth == image->mWidth && alpha->mHeight == image->mHeight) {
        for (size_t i = 0; i < image->mBits.size(); ++i)
            image->mBits[i] = (image->mBits[i] & 0xFFFFFFu) | (alpha->mBits[i] << 24);
    }
    return image;
}

} // namespace ImageLib
