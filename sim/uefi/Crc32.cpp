#include "sim/uefi/Crc32.h"

namespace sim {

uint32_t Crc32(const void *data, size_t size) {
  constexpr uint32_t kReflectedPolynomial = 0xEDB88320u;
  const auto *bytes = static_cast<const uint8_t *>(data);
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ ((crc & 1u) != 0 ? kReflectedPolynomial : 0u);
    }
  }
  return ~crc;
}

}  // namespace sim
