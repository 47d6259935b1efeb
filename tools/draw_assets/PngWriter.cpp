#include "tools/draw_assets/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace horavia::tools {
namespace {

void OnPngError(png_structp png, png_const_charp message) {
    std::fprintf(stderr, "libpng: %s\n", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp message) {
    std::fprintf(stderr, "libpng warning: %s\n", message);
}

// Only plain data lives in this frame: libpng may longjmp back into it.
bool WriteRows(std::FILE* file, int width, int height, bool withAlpha, bool interlaced, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (interlaced) {
        png_set_interlace_handling(png);
    }
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePng(const QImage& image, const QString& path, bool withAlpha, TPngLayout layout) {
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const int channels = withAlpha ? 4 : 3;
    std::vector<std::vector<png_byte>> data(static_cast<std::size_t>(rgba.height()));
    std::vector<png_bytep> rows(data.size());
    for (int y = 0; y < rgba.height(); ++y) {
        const uchar* src = rgba.constScanLine(y);
        auto& row = data[static_cast<std::size_t>(y)];
        row.resize(static_cast<std::size_t>(rgba.width() * channels));
        for (int x = 0; x < rgba.width(); ++x) {
            const uchar* p = src + x * 4;
            const bool clear = withAlpha && p[3] == 0; // no stray colour under fully clear pixels
            for (int c = 0; c < channels; ++c) {
                row[static_cast<std::size_t>(x * channels + c)] = clear ? 0 : p[c];
            }
        }
        rows[static_cast<std::size_t>(y)] = row.data();
    }
    std::FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
        return false;
    }
    const bool ok =
        WriteRows(file, rgba.width(), rgba.height(), withAlpha, layout == TPngLayout::Interlaced, rows.data());
    return std::fclose(file) == 0 && ok;
}

} // namespace horavia::tools
