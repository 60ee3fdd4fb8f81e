// The PNG encoder of ImageCanvas, on libpng.
#include <png.h>

#include "AtomicFile.h"
#include "ImageCanvas.h"

namespace tovrel {

namespace {
void AppendToString(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}
void NoFlush(png_structp) {}
}  // namespace

std::string ImageCanvas::EncodePng() const {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return {};
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    // libpng reports its errors by longjmp; nothing here owns resources that
    // a jump would skip past except the two structures freed below.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToString, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height_; ++y) {
        auto* row = const_cast<png_bytep>(&pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) * 3]);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool ImageCanvas::SavePng(const std::string& path, std::string* error) const {
    std::string bytes = EncodePng();
    if (bytes.empty()) {
        if (error) *error = "the PNG encoder failed";
        return false;
    }
    return WriteFileAtomically(path, bytes, error);
}

}  // namespace tovrel
