#include "display/PngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace horavia {
namespace {

// Everything libpng's callbacks touch. Plain data only: libpng leaves a failed read by longjmp,
// which must not skip the destructor of any C++ object, so the frames it jumps across hold none.
struct TReadState {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Offset;
    char Message[160];
};

void CopyMessage(TReadState& state, const char* message) {
    std::strncpy(state.Message, message != nullptr ? message : "unknown error", sizeof state.Message - 1);
    state.Message[sizeof state.Message - 1] = '\0';
}

void OnError(png_structp png, png_const_charp message) {
    CopyMessage(*static_cast<TReadState*>(png_get_error_ptr(png)), message);
    png_longjmp(png, 1);
}

// Warnings (an ancillary chunk with a bad checksum, say) do not stop the picture.
void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep out, png_size_t length) {
    auto* state = static_cast<TReadState*>(png_get_io_ptr(png));
    if (length > state->Size - state->Offset) {
        png_error(png, "the data ends early");
    }
    std::memcpy(out, state->Data + state->Offset, length);
    state->Offset += length;
}

struct THeader {
    png_uint_32 Width;
    png_uint_32 Height;
    int ColourType;
};

// Reads the header and sets the transformations; false with state.Message on failure.
bool ReadHeader(png_structp png, png_infop info, TReadState& state, THeader& header) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_user_limits(png, KMaxPngSide, KMaxPngSide);
    png_set_read_fn(png, &state, OnRead);
    png_read_info(png, info);
    int bitDepth = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &header.Width, &header.Height, &bitDepth, &header.ColourType, &interlace, nullptr, nullptr);
    if (bitDepth != 8 || (header.ColourType != PNG_COLOR_TYPE_RGB && header.ColourType != PNG_COLOR_TYPE_RGB_ALPHA)) {
        CopyMessage(state, "not an 8-bit RGB or RGBA picture");
        return false;
    }
    if (header.ColourType == PNG_COLOR_TYPE_RGB) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    // A transparency chunk on an RGB picture is not honoured: RGB pictures are opaque by definition.
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(header.Width) * 4) {
        CopyMessage(state, "unexpected row layout");
        return false;
    }
    return true;
}

bool ReadPixels(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

} // namespace

std::optional<TPngImage> DecodePng(std::span<const std::uint8_t> data, std::string* error) {
    auto fail = [error](const char* message) -> std::optional<TPngImage> {
        if (error != nullptr) {
            *error = message;
        }
        return std::nullopt;
    };
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) {
        return fail("not a PNG file");
    }
    TReadState state{data.data(), data.size(), 0, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    if (png == nullptr) {
        return fail("cannot start the PNG reader");
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return fail("cannot start the PNG reader");
    }
    // libpng's own failures end up here too: both phases catch their longjmp and report false, so
    // the reader is always destroyed and no exception crosses C code.
    std::optional<TPngImage> result;
    THeader header{};
    if (ReadHeader(png, info, state, header)) {
        TPngImage image;
        image.Width = static_cast<int>(header.Width);
        image.Height = static_cast<int>(header.Height);
        image.Kind = header.ColourType == PNG_COLOR_TYPE_RGB_ALPHA ? TPngKind::RGBA : TPngKind::RGB;
        image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4);
        std::vector<png_bytep> rows(static_cast<std::size_t>(image.Height));
        for (int y = 0; y < image.Height; ++y) {
            rows[static_cast<std::size_t>(y)] = image.Pixels.data() + static_cast<std::size_t>(y) * image.Width * 4;
        }
        if (ReadPixels(png, rows.data())) {
            result = std::move(image);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!result) {
        return fail(state.Message[0] != '\0' ? state.Message : "cannot decode the picture");
    }
    return result;
}

} // namespace horavia
