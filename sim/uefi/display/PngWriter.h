// Writes a picture of block-transfer pixels (blue, green, red, reserved) as an 8-bit RGB PNG
// through libpng. The reserved byte is not part of the picture.
#pragma once

#include <cstddef>
#include <string>

#include "uefi/GraphicsOutput.h"

namespace sim {

// `pixels` holds width x height pixels, row after row from the top. False, with `error` set,
// when the picture is empty or too large for a PNG, the file cannot be created, or libpng
// reports a failure.
bool WriteBltPixelsAsPng(const std::string &path, const EFI_GRAPHICS_OUTPUT_BLT_PIXEL *pixels,
                         size_t width, size_t height, std::string &error);

}  // namespace sim
