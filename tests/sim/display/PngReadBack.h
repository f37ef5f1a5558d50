// Reads a PNG back through libpng's simplified reader, independently of how it was written,
// so a test can compare the picture with the screen it came from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct RgbPicture {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;  // 3 bytes per pixel, rows from the top
};

// False, with `error` set, when the file is not a readable PNG.
bool ReadPngAsRgb(const std::string &path, RgbPicture &picture, std::string &error);

}  // namespace sim
