// Writes a picture of block-transfer pixels (blue, green, red, reserved) as an 8-bit RGB PNG
// through libpng. The reserved byte is not part of the picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace boardsim {

// False, with Error set, when the file cannot be created or libpng reports a failure.
bool WriteBltPixelsAsPng(const std::string &Path, const uint8_t *Pixels, size_t Width,
                         size_t Height, std::string &Error);

}  // namespace boardsim
