// 24-bit bitmap files for the board's logo images (format 0), built byte by byte from the file
// layout: a 14-byte file header whose two reserved words carry the location marker, a 40-byte
// information header, then bottom-up rows padded to 4 bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace sim {

// rgbAt(column, fileRow) gives the 0xRRGGBB colour of a pixel; fileRow counts rows as they
// are stored, 0 being the bottom row of the picture.
std::vector<uint8_t> MakeBitmapFile(uint32_t width, uint32_t height,
                                    const std::function<uint32_t(uint32_t, uint32_t)> &rgbAt,
                                    uint16_t markerX = 0, uint16_t markerY = 0);

}  // namespace sim
