// 1920 x 1080 test pictures for the decoder benchmark, built in memory as bitmap files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bitmap_bench {

constexpr uint32_t kWidth = 1920;
constexpr uint32_t kHeight = 1080;

// A logo-like picture: flat areas and gradients crossed by detail, so that rows hold runs of
// every length from 1 to a few hundred pixels. Palette indices top row first.
std::vector<uint8_t> LogoIndices();

// Uncompressed files of that picture at 1, 4 or 8 bits per pixel (indices reduced to the
// depth), or at 24 bits with the palette colours.
std::vector<uint8_t> UncompressedFile(unsigned BitsPerPixel);
// The same 8-bit picture run-length encoded: runs of repeats, literal stretches otherwise.
std::vector<uint8_t> RunLengthFile();

}  // namespace bitmap_bench
