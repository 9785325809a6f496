#include "PngWriter.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace genres {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Owns the libpng write and info structures.
class PngWriteHandle {
public:
    PngWriteHandle()
        : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr))
        , info_(png_ ? png_create_info_struct(png_) : nullptr)
    {
    }
    ~PngWriteHandle() { png_destroy_write_struct(&png_, &info_); }
    PngWriteHandle(const PngWriteHandle&) = delete;
    PngWriteHandle& operator=(const PngWriteHandle&) = delete;

    bool valid() const { return png_ && info_; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_;
    png_infop info_;
};

int colorType(PngKind kind)
{
    switch (kind) {
    case PngKind::Grey: return PNG_COLOR_TYPE_GRAY;
    case PngKind::Rgb: return PNG_COLOR_TYPE_RGB;
    case PngKind::Rgba: return PNG_COLOR_TYPE_RGB_ALPHA;
    }
    return PNG_COLOR_TYPE_GRAY;
}

int bytesPerPixel(PngKind kind) { return kind == PngKind::Grey ? 1 : kind == PngKind::Rgb ? 3 : 4; }

// Kept free of C++ objects with destructors because libpng reports errors by longjmp.
bool encode(png_structp png, png_infop info, std::FILE* file, int type, int width, int height, png_bytep* rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool writePng(const std::string& path, PngKind kind, int width, int height, const std::vector<std::uint8_t>& pixels)
{
    auto stride = static_cast<std::size_t>(width) * bytesPerPixel(kind);
    if (width <= 0 || height <= 0 || pixels.size() != stride * static_cast<std::size_t>(height)) {
        std::fprintf(stderr, "gen-resources: bad pixel buffer for %s\n", path.c_str());
        return false;
    }
    FilePtr file(std::fopen(path.c_str(), "wb"));
    PngWriteHandle handle;
    if (!file || !handle.valid()) {
        std::fprintf(stderr, "gen-resources: cannot write %s\n", path.c_str());
        return false;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = const_cast<png_bytep>(pixels.data() + y * stride);
    }
    if (!encode(handle.png(), handle.info(), file.get(), colorType(kind), width, height, rows.data())) {
        std::fprintf(stderr, "gen-resources: libpng failed on %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace genres
