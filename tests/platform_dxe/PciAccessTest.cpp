// Configuration space byte access through the configuration ports, and the PCI Express
// configuration address arithmetic, checked against the simulated chipset.
#include <cstdio>
#include <string>

#include "platform_dxe/cpu/Instructions.h"
#include "platform_dxe/cpu/PciConfig.h"
#include "tests/platform_dxe/DxeTest.h"

namespace dxe_test {
namespace {

using sim::Access;
using sim::AccessKind;

TEST_F(DxeTest, PciConfigReadWritesTheAddressUnalignedAndReadsTheByteLane) {
  size_t Mark = Board.Log().Mark();
  PciConfigRead8(0xF8DE);
  auto Slice = Board.Log().Since(Mark);
  ASSERT_EQ(Slice.size(), 2u) << sim::Describe(Slice);
  EXPECT_EQ(Slice[0], Access::IoWrite(0xCF8, 32, 0x8000F8DE));
  EXPECT_EQ(Slice[1].kind, AccessKind::IoRead);
  EXPECT_EQ(Slice[1].address, 0xCFEu);
  EXPECT_EQ(Slice[1].width, 8u);
}

TEST_F(DxeTest, PciConfigReadReachesTheLpcBridgeIdentity) {
  EXPECT_EQ(PciConfigRead8(0xF800), 0x86);
  EXPECT_EQ(PciConfigRead8(0xF801), 0x80);
  EXPECT_EQ(PciConfigRead8(PciConfigAddress(0, 31, 0, 2)), Board.Lpc().kDeviceId & 0xFF);
  EXPECT_EQ(PciConfigRead8(PciConfigAddress(0, 31, 0, 3)), Board.Lpc().kDeviceId >> 8);
}

TEST_F(DxeTest, PciConfigWriteChangesOnlyTheAddressedRegister) {
  Board.Lpc().PresetBiosControl(0x08);
  size_t Mark = Board.Log().Mark();
  PciConfigWrite8(0xF8DC, 0x09);
  EXPECT_EQ(Board.Lpc().BiosControl(), 0x09);
  EXPECT_EQ(Board.Log().Since(Mark), (std::vector<Access>{Access::IoWrite(0xCF8, 32, 0x8000F8DC),
                                                          Access::IoWrite(0xCFC, 8, 0x09)}));
  // Configuration accesses are not guarded: the interrupt flag is never touched.
  EXPECT_EQ(Board.Log().Count(AccessKind::Cli), 0u);
}

struct PcieCase {
  UINT64 Bus, Device, Function, Register, Expected;
};

class PciExpressAddressTest : public ::testing::TestWithParam<PcieCase> {};

TEST_P(PciExpressAddressTest, IsTheWindowAddressWithoutMasking) {
  const PcieCase &Case = GetParam();
  for (UINT64 Ignored : {0ull, ~0ull}) {
    EXPECT_EQ(GetPciExpressAddress(Ignored, Case.Bus, Case.Device, Case.Function, Case.Register),
              Case.Expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PciExpressAddressTest,
    ::testing::Values(PcieCase{0, 31, 0, 0xDC, 0xF00F80DCull}, PcieCase{1, 0, 0, 0, 0xF0100000ull},
                      PcieCase{0, 0, 7, 0xFFF, 0xF0007FFFull},
                      // Out-of-range fields carry into the next one.
                      PcieCase{0, 32, 0, 0, 0xF0100000ull}, PcieCase{0, 0, 8, 0, 0xF0008000ull},
                      PcieCase{0, 0, 0, 0x1000, 0xF0001000ull},
                      PcieCase{255, 31, 7, 0xFFF, 0xFFFFFFFFull},
                      PcieCase{256, 0, 0, 0, 0x100000000ull}),
    [](const ::testing::TestParamInfo<PcieCase> &Info) {
      char Name[64];
      std::snprintf(Name, sizeof(Name), "Bus%llu_Device%llu_Function%llu_Register0x%llX",
                    (unsigned long long)Info.param.Bus, (unsigned long long)Info.param.Device,
                    (unsigned long long)Info.param.Function,
                    (unsigned long long)Info.param.Register);
      return std::string(Name);
    });

TEST_F(DxeTest, PciExpressAddressReachesTheSameRegisterAsTheConfigurationPorts) {
  Board.Lpc().PresetBiosControl(0x0A);
  UINT64 Address = GetPciExpressAddress(0, 0, 31, 0, 0xDC);
  EXPECT_EQ(hw::MmioLoad8(Address), PciConfigRead8(0xF8DC));
  EXPECT_EQ(hw::MmioLoad16(GetPciExpressAddress(0, 0, 31, 0, 0)), 0x8086);
}

}  // namespace
}  // namespace dxe_test
