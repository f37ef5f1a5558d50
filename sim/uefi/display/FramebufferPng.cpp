#include "sim/uefi/display/Framebuffer.h"
#include "sim/uefi/display/PngWriter.h"

namespace sim {

bool Framebuffer::SavePng(const std::string &path, std::string *error) const {
  std::string message;
  bool written = WriteBltPixelsAsPng(path, pixels_.data(), width_, height_, message);
  if (!written && error != nullptr) *error = message;
  return written;
}

}  // namespace sim
