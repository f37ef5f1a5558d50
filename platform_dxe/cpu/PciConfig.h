// Byte access to PCI configuration space through the configuration ports 0xCF8/0xCFC.
// Addresses use the layout of the address port without its enable bit: bus 23:16,
// device 15:11, function 10:8, register 7:0 (0xF8DC is 0:31.0, register 0xDC).
#pragma once

#include "../../uefi/UefiBase.h"

constexpr UINT16 kPciConfigAddressPort = 0xCF8;
constexpr UINT16 kPciConfigDataPort = 0xCFC;
constexpr UINT32 kPciConfigEnable = 0x80000000u;

constexpr UINT32 PciConfigAddress(UINT32 Bus, UINT32 Device, UINT32 Function, UINT32 Register) {
  return (Bus << 16) | (Device << 11) | (Function << 8) | Register;
}

UINT8 PciConfigRead8(UINT32 Address);
void PciConfigWrite8(UINT32 Address, UINT8 Value);
