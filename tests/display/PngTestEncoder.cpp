#include "PngTestEncoder.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>

namespace horavia::test {
namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

bool Encode(const TPngSpec& spec, png_bytepp rows, std::vector<std::uint8_t>* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, Append, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec.Width), static_cast<png_uint_32>(spec.Height), spec.BitDepth,
                 spec.ColourType, spec.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (spec.Interlaced) {
        png_set_interlace_handling(png);
    }
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::vector<std::uint8_t> EncodePng(const TPngSpec& spec, const std::vector<std::uint8_t>& samples) {
    const int channels = spec.ColourType == 6 ? 4 : spec.ColourType == 2 ? 3 : spec.ColourType == 4 ? 2 : 1;
    const std::size_t rowBytes = static_cast<std::size_t>(spec.Width) * channels * spec.BitDepth / 8;
    if (samples.size() != rowBytes * spec.Height) {
        throw std::invalid_argument("sample count does not match the picture size");
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(spec.Height));
    for (int y = 0; y < spec.Height; ++y) {
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(samples.data() + rowBytes * y);
    }
    std::vector<std::uint8_t> out;
    if (!Encode(spec, rows.data(), &out)) {
        throw std::runtime_error("libpng could not encode the test picture");
    }
    return out;
}

} // namespace horavia::test
