// CRC-32 as used by UEFI table headers and CalculateCrc32 (reflected, polynomial 0x04C11DB7).
#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

uint32_t Crc32(const void *data, size_t size);

}  // namespace sim
