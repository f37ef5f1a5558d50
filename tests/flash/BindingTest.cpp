// What the flash subsystem takes from the platform: the DXE services table and the boot
// script save protocol bound at start-up (null and never called when absent), and pointer
// conversion for use after the switch to virtual addresses.
#include <gtest/gtest.h>

#include <cstring>

#include "platform_dxe/ModuleState.h"
#include "tests/flash/FlashBoardTest.h"

namespace flash_test {
namespace {

constexpr UINT64 kRcba = 0xFED1C000;  // where the board puts the chipset register block

TEST_F(FlashBoardTest, IdentifyRecordsTheControllerSetUpInTheResumeScript) {
  Fit("GD25Q32B");
  ASSERT_NE(Detect(), nullptr);
  const auto &Script = Env().BootScript().Entries();
  ASSERT_EQ(Script.size(), 6u);
  const UINT64 Offsets[] = {0x3890, 0x3894, 0x3898, 0x389C, 0x38C4, 0x38C8};
  for (size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Script[i].opcode, EFI_BOOT_SCRIPT_MEM_WRITE_OPCODE);
    EXPECT_EQ(Script[i].width, EfiBootScriptWidthUint32);
    EXPECT_EQ(Script[i].address, kRcba + Offsets[i]);
    ASSERT_EQ(Script[i].data.size(), 4u);
    UINT32 Saved;
    std::memcpy(&Saved, Script[i].data.data(), 4);
    EXPECT_EQ(Saved, Flash->Controller()->Peek((uint16_t)(Offsets[i] - 0x3800), 4));
  }
  // The menu and capabilities of the accepted part are what resume restores.
  UINT32 Menu;
  std::memcpy(&Menu, Script[2].data.data(), 4);
  EXPECT_EQ(Menu, 0x0102209Fu);
  UINT32 Capabilities;
  std::memcpy(&Capabilities, Script[4].data.data(), 4);
  EXPECT_EQ(Capabilities, 0x2005u);
}

TEST_F(FlashBoardTest, InitMarksTheRegisterBlockForRuntimeUse) {
  Fit("GD25Q32B");
  ASSERT_NE(Detect(), nullptr);
  const auto &Changes = Env().Dxe().AttributeChanges();
  ASSERT_FALSE(Changes.empty());
  for (const auto &Change : Changes) {
    EXPECT_EQ(Change.base, kRcba);
    EXPECT_EQ(Change.length, 0x4000u);
    EXPECT_EQ(Change.attributes, EFI_MEMORY_RUNTIME);
  }
}

TEST_F(FlashBoardTest, WithoutPlatformTablesNothingIsCalledAndDetectionWorks) {
  Fit(Options("GD25Q32B"), /*PlatformTables=*/false);
  EXPECT_EQ(DxeModule.Flash.DxeServices, nullptr);
  EXPECT_EQ(DxeModule.Flash.BootScriptSave, nullptr);
  EXPECT_NE(Detect(), nullptr);
  EXPECT_TRUE(Env().BootScript().Entries().empty());
  EXPECT_TRUE(Env().Dxe().AttributeChanges().empty());
}

constexpr INT64 kVirtualOffset = 0x10000000000;

TEST_F(FlashBoardTest, SpiConvertPointersMovesTheRegisterBaseOnce) {
  Fit("GD25Q32B");
  FLASH_PART_RECORD *Part = Detect();
  ASSERT_NE(Part, nullptr);
  UINT64 Physical = DxeModule.Flash.SpiBase;
  Env().Runtime().SetVirtualOffset(kVirtualOffset);
  EXPECT_EQ(Part->ConvertPointers(), EFI_SUCCESS);
  EXPECT_EQ(DxeModule.Flash.SpiBase, Physical + kVirtualOffset);
  EXPECT_EQ(Part->ConvertPointers(), EFI_SUCCESS);
  EXPECT_EQ(DxeModule.Flash.SpiBase, Physical + kVirtualOffset);
  EXPECT_EQ(Env().Calls().Count(sim::Service::ConvertPointer), 1u);
}

TEST_F(FlashBoardTest, JedecConvertPointersMovesAddressesThenTheContext) {
  Fit("49LF008A");
  FLASH_PART_RECORD *Part = Detect();
  ASSERT_NE(Part, nullptr);
  JEDEC_FLASH_CONTEXT *Context = DxeModule.Flash.JedecLpcContext;
  Env().Runtime().SetVirtualOffset(kVirtualOffset);
  EXPECT_EQ(Part->ConvertPointers(), EFI_SUCCESS);
  // The context was marked through its physical address, then its pointer moved.
  EXPECT_EQ(Context->Converted, 1);
  EXPECT_EQ(Context->UnlockAddress1, 0xFFF05555u + kVirtualOffset);
  EXPECT_EQ(Context->UnlockAddress2, 0xFFF02AAAu + kVirtualOffset);
  EXPECT_EQ(Context->IdAddress, 0xFFBC0000u + kVirtualOffset);
  EXPECT_EQ((UINT64)(UINTN)DxeModule.Flash.JedecLpcContext, (UINT64)(UINTN)Context + kVirtualOffset);
  EXPECT_EQ(Env().Calls().Count(sim::Service::ConvertPointer), 4u);
}

struct SecondConvertCase {
  const char *Name;
  const char *Part;
  unsigned ConversionsPerCall;
};

void PrintTo(const SecondConvertCase &Case, std::ostream *Out) { *Out << Case.Name; }

class SecondConvertTest : public FlashBoardTest,
                          public ::testing::WithParamInterface<SecondConvertCase> {};

// An identity map keeps the contexts reachable, so the second call can be seen to do nothing.
TEST_P(SecondConvertTest, SecondCallConvertsNothing) {
  Fit(GetParam().Part);
  FLASH_PART_RECORD *Part = Detect();
  ASSERT_NE(Part, nullptr);
  EXPECT_EQ(Part->ConvertPointers(), EFI_SUCCESS);
  EXPECT_EQ(Part->ConvertPointers(), EFI_SUCCESS);
  EXPECT_EQ(Env().Calls().Count(sim::Service::ConvertPointer), GetParam().ConversionsPerCall);
}

INSTANTIATE_TEST_SUITE_P(Sets, SecondConvertTest,
                         ::testing::Values(SecondConvertCase{"JedecSetA", "49LF004A", 4},
                                           SecondConvertCase{"FirmwareHubSetB", "82802AC", 1},
                                           SecondConvertCase{"JedecSetC", "39VF080", 4},
                                           SecondConvertCase{"Spi", "25Q16", 1}),
                         [](const ::testing::TestParamInfo<SecondConvertCase> &Info) {
                           return Info.param.Name;
                         });

}  // namespace
}  // namespace flash_test
