#include "tools/png/PngEncoder.h"

#include <png.h>

#include <csetjmp>

namespace horavia::tools {
namespace {

struct Output {
    std::vector<std::uint8_t> bytes;
    std::string error;
};

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Output*>(png_get_io_ptr(png));
    out->bytes.insert(out->bytes.end(), data, data + length);
}

void OnError(png_structp png, png_const_charp message) {
    static_cast<Output*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

int Channels(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    default:
        return 1;
    }
}

// Only plain data lives in this frame: libpng may longjmp back into it.
bool Encode(const TPngFormat& format, png_bytepp rows, Output* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, out, OnError, OnWarning);
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
    png_set_write_fn(png, out, Append, nullptr);
    if (format.CompressionLevel >= 0) {
        png_set_compression_level(png, format.CompressionLevel);
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(format.Width), static_cast<png_uint_32>(format.Height),
                 format.BitDepth, format.ColourType, format.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (format.Interlaced) {
        png_set_interlace_handling(png);
    }
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::optional<std::vector<std::uint8_t>> EncodePng(const TPngFormat& format, const std::vector<std::uint8_t>& samples,
                                                   std::string* error) {
    const std::size_t rowBytes = static_cast<std::size_t>(format.Width) *
                                 static_cast<std::size_t>(Channels(format.ColourType) * format.BitDepth) / 8;
    if (format.Width <= 0 || format.Height <= 0 ||
        samples.size() != rowBytes * static_cast<std::size_t>(format.Height)) {
        if (error != nullptr) {
            *error = "the sample count does not match the picture's size";
        }
        return std::nullopt;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(format.Height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = const_cast<png_bytep>(samples.data() + rowBytes * y); // libpng only reads them
    }
    Output out;
    if (!Encode(format, rows.data(), &out)) {
        if (error != nullptr) {
            *error = out.error.empty() ? "libpng could not start" : out.error;
        }
        return std::nullopt;
    }
    return std::move(out.bytes);
}

} // namespace horavia::tools
