#include "pngwriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace artwork {

namespace {

// libpng reports an error by a long jump back to the setjmp in writeRows: nothing between them has a
// destructor to run.
bool writeRows(png_structp png, png_infop info, std::FILE *file, int width, int height,
               const std::vector<png_bytep> &rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool writePng(const std::string &path, int width, int height, const std::vector<std::uint8_t> &rgba)
{
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; ++y)
        rows.push_back(const_cast<png_bytep>(rgba.data() + size_t(y) * size_t(width) * 4));
    std::FILE *file = std::fopen(path.c_str(), "wb");
    png_structp png
        = file ? png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr) : nullptr;
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = info != nullptr && rgba.size() == size_t(width) * size_t(height) * 4
        && writeRows(png, info, file, width, height, rows);
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (file != nullptr && std::fclose(file) != 0)
        ok = false;
    if (!ok)
        std::fprintf(stderr, "icongen: cannot write %s%s%s\n", path.c_str(), file ? "" : ": ",
                     file ? "" : std::strerror(errno));
    return ok;
}

} // namespace artwork
