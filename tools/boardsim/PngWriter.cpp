#include "tools/boardsim/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace boardsim {

namespace {

void OnPngError(png_structp Png, png_const_charp Message) {
  *static_cast<std::string *>(png_get_error_ptr(Png)) = Message;
  png_longjmp(Png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Everything that libpng may jump out of lives here, with no C++ object whose destructor a
// longjmp would skip.
bool WriteRows(FILE *File, png_bytepp Rows, png_uint_32 Width, png_uint_32 Height,
               std::string &Error) {
  png_structp Png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &Error, OnPngError, OnPngWarning);
  if (Png == nullptr) {
    Error = "libpng could not start";
    return false;
  }
  png_infop Info = png_create_info_struct(Png);
  if (Info == nullptr || setjmp(png_jmpbuf(Png))) {
    if (Error.empty()) Error = "libpng could not start";
    png_destroy_write_struct(&Png, &Info);
    return false;
  }
  png_init_io(Png, File);
  png_set_IHDR(Png, Info, Width, Height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(Png, Info);
  png_write_image(Png, Rows);
  png_write_end(Png, nullptr);
  png_destroy_write_struct(&Png, &Info);
  return true;
}

}  // namespace

bool WriteBltPixelsAsPng(const std::string &Path, const uint8_t *Pixels, size_t Width,
                         size_t Height, std::string &Error) {
  if (Width == 0 || Height == 0 || Width > PNG_UINT_31_MAX || Height > PNG_UINT_31_MAX) {
    Error = "a PNG cannot hold a picture of " + std::to_string(Width) + " x " +
            std::to_string(Height) + " pixels";
    return false;
  }
  std::vector<uint8_t> Rgb(Width * Height * 3);
  for (size_t i = 0; i < Width * Height; ++i) {
    Rgb[3 * i] = Pixels[4 * i + 2];
    Rgb[3 * i + 1] = Pixels[4 * i + 1];
    Rgb[3 * i + 2] = Pixels[4 * i];
  }
  std::vector<png_bytep> Rows(Height);
  for (size_t y = 0; y < Height; ++y) Rows[y] = Rgb.data() + y * Width * 3;

  FILE *File = std::fopen(Path.c_str(), "wb");
  if (File == nullptr) {
    Error = "cannot create " + Path;
    return false;
  }
  bool Written = WriteRows(File, Rows.data(), (png_uint_32)Width, (png_uint_32)Height, Error);
  if (std::fclose(File) != 0 && Written) {
    Error = "cannot write " + Path;
    Written = false;
  }
  return Written;
}

}  // namespace boardsim
