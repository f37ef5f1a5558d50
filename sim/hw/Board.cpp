#include "sim/hw/Board.h"

#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

Board *g_current = nullptr;

[[noreturn]] void Die(const char *message) {
  std::fprintf(stderr, "sim::Board: %s\n", message);
  std::abort();
}

unsigned BytesOf(unsigned width) {
  if (width != 8 && width != 16 && width != 32) Die("access width must be 8, 16 or 32 bits");
  return width / 8;
}


}  // namespace

Board::Board() {
  if (g_current != nullptr) Die("a board is already current; create one board per test");
  ClaimPorts(CmosRtc::kIndexPort, CmosRtc::kPortCount, cmos_);
  ClaimPorts(PostCodePort::kPort, 1, post_codes_);
  ClaimPorts(PciConfigPorts::kFirstPort, PciConfigPorts::kPortCount, config_ports_);
  MapMemory(PciExpressWindow::kBase, PciExpressWindow::kSize, pcie_window_);
  pci_.Attach({LpcBridge::kBus, LpcBridge::kDevice, LpcBridge::kFunction}, lpc_);
  lpc_.OnDecodeChanged([this] { UpdateDecodeWindows(); });
  lpc_.OnBiosWriteSmi([this] { smm_.Raise(SmiSource::BiosWriteEnable); });
  g_current = this;
}

Board::~Board() {
  if (g_current == this) g_current = nullptr;
}

Board &Board::Current() {
  if (g_current == nullptr) {
    Die("hardware access with no current board: create a sim::Board in the test first");
  }
  return *g_current;
}

Board *Board::CurrentOrNull() { return g_current; }

// The GPIO block and the chipset register block sit wherever the LPC bridge places them.
void Board::UpdateDecodeWindows() {
  ports_.Release(gpio_);
  if (lpc_.GpioDecodeEnabled() && !ports_.Claim(lpc_.GpioBase(), GpioBlock::kSize, gpio_)) {
    faults_.Record(FaultKind::DecodeConflict, lpc_.GpioBase(), 0, "GPIO block");
  }
  memory_.Release(rcba_);
  if (lpc_.RcbaEnabled() && !memory_.Claim(lpc_.RcbaBase(), ChipsetRegisterBlock::kSize, rcba_)) {
    faults_.Record(FaultKind::DecodeConflict, lpc_.RcbaBase(), 0, "chipset register block");
  }
}

uint32_t Board::In(uint16_t port, unsigned width) {
  const uint32_t value = ports_.Read(port, BytesOf(width));
  log_.Record(Access::IoRead(port, width, value));
  return value;
}

void Board::Out(uint16_t port, unsigned width, uint32_t value) {
  log_.Record(Access::IoWrite(port, width, value));
  ports_.Write(port, BytesOf(width), value);
}

uint32_t Board::MmioLoad(uint64_t address, unsigned width) {
  const uint32_t value = memory_.Read(address, BytesOf(width));
  log_.Record(Access::MmioRead(address, width, value));
  return value;
}

void Board::MmioStore(uint64_t address, unsigned width, uint32_t value) {
  log_.Record(Access::MmioWrite(address, width, value));
  memory_.Write(address, BytesOf(width), value);
}

UINTN Board::ReadCr0() {
  const UINTN value = cpu_.ReadCr0();
  log_.Record(Access::Cr0Read(value));
  return value;
}

void Board::WriteCr0(UINTN value) {
  log_.Record(Access::Cr0Write(value));
  cpu_.WriteCr0(value);
}

void Board::Wbinvd() {
  log_.Record(Access::Plain(AccessKind::Wbinvd));
  cpu_.Wbinvd();
}

void Board::Invd() {
  log_.Record(Access::Plain(AccessKind::Invd));
  cpu_.Invd();
}

uint64_t Board::Rdmsr(uint32_t index) {
  const uint64_t value = cpu_.Rdmsr(index);
  log_.Record(Access::MsrRead(index, value));
  return value;
}

void Board::Wrmsr(uint32_t index, uint64_t value) {
  log_.Record(Access::MsrWrite(index, value));
  cpu_.Wrmsr(index, value);
}

void Board::Cli() {
  log_.Record(Access::Plain(AccessKind::Cli));
  cpu_.Cli();
}

void Board::Sti() {
  log_.Record(Access::Plain(AccessKind::Sti));
  cpu_.Sti();
}

UINTN Board::ReadFlags() {
  const UINTN value = cpu_.ReadFlags();
  log_.Record(Access::FlagsRead(value));
  return value;
}

uint64_t Board::Rdtsc() {
  const uint64_t value = cpu_.Rdtsc();
  log_.Record(Access::Rdtsc(value));
  return value;
}

CpuState::CpuidRegisters Board::Cpuid(uint32_t leaf, uint32_t subleaf) {
  log_.Record(Access::Cpuid(leaf, subleaf));
  return cpu_.Cpuid(leaf, subleaf);
}

void Board::Hlt() {
  log_.Record(Access::Plain(AccessKind::Hlt));
  cpu_.Hlt();
}

const volatile uint8_t *Board::PhysicalToPointer(uint64_t address, uint64_t length) {
  return memory_.PointerTo(address, length);
}

RamRegion &Board::MapRam(uint64_t base, uint64_t size, uint8_t fill) {
  ram_.push_back(std::make_unique<RamRegion>(size, fill));
  MapMemory(base, size, *ram_.back());
  return *ram_.back();
}

IndexDataPorts &Board::AddIndexDataPorts(uint16_t indexPort, uint16_t dataPort, size_t size) {
  index_data_.push_back(std::make_unique<IndexDataPorts>(size));
  IndexDataPorts &pair = *index_data_.back();
  ClaimPorts(indexPort, 1, pair.IndexPort());
  ClaimPorts(dataPort, 1, pair.DataPort());
  return pair;
}

void Board::ClaimPorts(uint16_t first, uint32_t count, PortDevice &device) {
  if (!ports_.Claim(first, count, device)) {
    std::fprintf(stderr, "sim::Board: ports 0x%x..+0x%x overlap a claimed range\n", first, count);
    std::abort();
  }
}

void Board::MapMemory(uint64_t base, uint64_t size, MemoryDevice &device) {
  if (!memory_.Claim(base, size, device)) {
    std::fprintf(stderr, "sim::Board: memory 0x%llx..+0x%llx overlaps a mapped range\n",
                 static_cast<unsigned long long>(base), static_cast<unsigned long long>(size));
    std::abort();
  }
}

}  // namespace sim
