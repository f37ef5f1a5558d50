// The simulated board the host build's instruction seam runs on. A test creates one; while it
// lives it is the board every hw:: function reaches. Each processor operation is performed on
// the board's devices and appended to the access log; anything a real board would answer with
// an exception, a float or a hang is appended to the fault list instead of stopping the test.
//
// Fixed parts at power-on:
//   I/O:    CMOS/RTC 0x70-0x77, POST code 0x80, PCI configuration ports 0xCF8-0xCFF,
//           GPIO block (128 ports at GPIOBASE, while GPIO_EN is set; off at power-on)
//   Memory: PCI Express configuration window 0xF0000000 (64 buses),
//           chipset register block (16 KiB at RCBA, while its enable bit is set; off)
//   PCI:    LPC bridge at 0:31.0
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "sim/hw/AccessLog.h"
#include "sim/hw/ChipsetRegisterBlock.h"
#include "sim/hw/CmosRtc.h"
#include "sim/hw/CpuState.h"
#include "sim/hw/Faults.h"
#include "sim/hw/GpioBlock.h"
#include "sim/hw/IndexDataPorts.h"
#include "sim/hw/LpcBridge.h"
#include "sim/hw/MemoryBus.h"
#include "sim/hw/PciConfigSpace.h"
#include "sim/hw/PortBus.h"
#include "sim/hw/PostCodePort.h"
#include "sim/hw/RamRegion.h"
#include "sim/hw/Smm.h"

namespace sim {

class Board {
 public:
  // Becomes the current board; aborts if another one is current.
  Board();
  ~Board();
  Board(const Board &) = delete;
  Board &operator=(const Board &) = delete;

  // The current board; aborts with a message when there is none (a test bug).
  static Board &Current();
  static Board *CurrentOrNull();

  // ---- Processor operations (what hw:: performs); widths in bits ---------------------------
  uint32_t In(uint16_t port, unsigned width);
  void Out(uint16_t port, unsigned width, uint32_t value);
  uint32_t MmioLoad(uint64_t address, unsigned width);
  void MmioStore(uint64_t address, unsigned width, uint32_t value);
  UINTN ReadCr0();
  void WriteCr0(UINTN value);
  void Wbinvd();
  void Invd();
  uint64_t Rdmsr(uint32_t index);
  void Wrmsr(uint32_t index, uint64_t value);
  void Cli();
  void Sti();
  UINTN ReadFlags();
  uint64_t Rdtsc();
  CpuState::CpuidRegisters Cpuid(uint32_t leaf, uint32_t subleaf);
  void Hlt();
  // Not an access (nothing logged): null unless one device with byte backing holds it all.
  const volatile uint8_t *PhysicalToPointer(uint64_t address, uint64_t length);

  // ---- Observation -------------------------------------------------------------------------
  AccessLog &Log() { return log_; }
  FaultList &Faults() { return faults_; }

  // ---- Parts -------------------------------------------------------------------------------
  CpuState &Cpu() { return cpu_; }
  PortBus &Ports() { return ports_; }
  MemoryBus &Memory() { return memory_; }
  PciConfigSpace &Pci() { return pci_; }
  PciConfigPorts &ConfigPorts() { return config_ports_; }
  CmosRtc &Cmos() { return cmos_; }
  PostCodePort &PostCodes() { return post_codes_; }
  LpcBridge &Lpc() { return lpc_; }
  GpioBlock &Gpio() { return gpio_; }
  ChipsetRegisterBlock &Rcba() { return rcba_; }
  Smm &Smi() { return smm_; }

  // ---- Adding devices (overlaps abort: they are test bugs) ---------------------------------
  RamRegion &MapRam(uint64_t base, uint64_t size, uint8_t fill = 0);
  IndexDataPorts &AddIndexDataPorts(uint16_t indexPort, uint16_t dataPort, size_t size = 256);
  // For devices the caller owns.
  void ClaimPorts(uint16_t first, uint32_t count, PortDevice &device);
  void MapMemory(uint64_t base, uint64_t size, MemoryDevice &device);

 private:
  void UpdateDecodeWindows();

  AccessLog log_;
  FaultList faults_;
  CpuState cpu_{faults_};
  PortBus ports_{faults_};
  MemoryBus memory_{faults_};
  PciConfigSpace pci_;
  PciConfigPorts config_ports_{pci_};
  PciExpressWindow pcie_window_{pci_};
  CmosRtc cmos_;
  PostCodePort post_codes_;
  LpcBridge lpc_;
  GpioBlock gpio_;
  ChipsetRegisterBlock rcba_;
  Smm smm_{lpc_};
  std::vector<std::unique_ptr<RamRegion>> ram_;
  std::vector<std::unique_ptr<IndexDataPorts>> index_data_;
};

}  // namespace sim
