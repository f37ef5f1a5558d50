// The flash parts the board may be fitted with: every part of the driver's two part tables,
// with the behaviour its datasheet gives (identifier, size, power-up protection, command set).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/hw/flash/LpcFlashChip.h"
#include "sim/hw/flash/SpiFlashChip.h"

namespace sim {

// The fifteen SPI parts and the seven LPC parts, each list in the driver's table order.
const std::vector<SpiPartProfile> &SpiPartCatalogue();
const std::vector<LpcPartProfile> &LpcPartCatalogue();

// By PartName ("25VF032B", "82802AC", ...); nullopt when neither list has it.
std::optional<SpiPartProfile> FindSpiPart(const std::string &name);
std::optional<LpcPartProfile> FindLpcPart(const std::string &name);
// Every PartName, SPI list first.
std::vector<std::string> AllFlashPartNames();

}  // namespace sim
