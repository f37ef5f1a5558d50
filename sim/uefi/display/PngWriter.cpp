#include "sim/uefi/display/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace sim {

namespace {

void OnPngError(png_structp png, png_const_charp message) {
  *static_cast<std::string *>(png_get_error_ptr(png)) = message;
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Everything that libpng may jump out of lives here, with no C++ object whose destructor a
// longjmp would skip.
bool WriteRows(FILE *file, png_bytepp rows, png_uint_32 width, png_uint_32 height,
               std::string &error) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnPngError, OnPngWarning);
  if (png == nullptr) {
    error = "libpng could not start";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    if (error.empty()) error = "libpng could not start";
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WriteBltPixelsAsPng(const std::string &path, const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *pixels,
                         size_t width, size_t height, std::string &error) {
  // PNG_UINT_31_MAX squared would overflow the RGB buffer size; PNG's own limit is far beyond
  // any screen, so bound each side by a size the buffer arithmetic cannot wrap on.
  constexpr size_t kMaxSide = 1u << 20;
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
    error = "a PNG cannot hold a picture of " + std::to_string(width) + " x " +
            std::to_string(height) + " pixels";
    return false;
  }
  std::vector<uint8_t> rgb(width * height * 3);
  for (size_t i = 0; i < width * height; ++i) {
    rgb[3 * i] = pixels[i].Red;
    rgb[3 * i + 1] = pixels[i].Green;
    rgb[3 * i + 2] = pixels[i].Blue;
  }
  std::vector<png_bytep> rows(height);
  for (size_t y = 0; y < height; ++y) rows[y] = rgb.data() + y * width * 3;

  FILE *file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot create " + path;
    return false;
  }
  bool written = WriteRows(file, rows.data(), png_uint_32(width), png_uint_32(height), error);
  if (std::fclose(file) != 0 && written) {
    error = "cannot write " + path;
    written = false;
  }
  return written;
}

}  // namespace sim
