// The platform tables a flash driver reaches beside the system table: the DXE services table
// (through the configuration table), the boot script save protocol and a Framework SMM system
// table, called the way module code calls them.
#include <cstring>

#include "tests/sim/uefi/EnvironmentTest.h"
#include "uefi/BootScriptSave.h"
#include "uefi/DxeServicesTable.h"
#include "uefi/SmmSystemTable.h"

namespace sim {
namespace {

constexpr EFI_GUID kDxeServicesGuid = EFI_DXE_SERVICES_TABLE_GUID;
constexpr EFI_GUID kBootScriptGuid = EFI_BOOT_SCRIPT_SAVE_PROTOCOL_GUID;

using PlatformTablesTest = EnvironmentTest;

EFI_DXE_SERVICES *FindDxeServices(EFI_SYSTEM_TABLE *system) {
  for (UINTN i = 0; i < system->NumberOfTableEntries; ++i) {
    if (GuidsEqual(system->ConfigurationTable[i].VendorGuid, kDxeServicesGuid)) {
      return static_cast<EFI_DXE_SERVICES *>(system->ConfigurationTable[i].VendorTable);
    }
  }
  return nullptr;
}

TEST_F(PlatformTablesTest, DxeServicesAppearInTheConfigurationTableOnlyWhenInstalled) {
  EXPECT_EQ(FindDxeServices(env.SystemTable()), nullptr);
  ASSERT_EQ(env.InstallDxeServices(), EFI_SUCCESS);
  EFI_DXE_SERVICES *dxe = FindDxeServices(env.SystemTable());
  ASSERT_NE(dxe, nullptr);
  EXPECT_EQ(dxe->Hdr.Signature, DXE_SERVICES_SIGNATURE);

  EXPECT_EQ(dxe->SetMemorySpaceAttributes(0xFED1C000, 0x4000, EFI_MEMORY_RUNTIME), EFI_SUCCESS);
  ASSERT_EQ(env.Dxe().AttributeChanges().size(), 1u);
  EXPECT_EQ(env.Dxe().AttributeChanges()[0].base, 0xFED1C000u);
  EXPECT_EQ(env.Dxe().AttributeChanges()[0].length, 0x4000u);
  EXPECT_EQ(env.Dxe().AttributeChanges()[0].attributes, EFI_MEMORY_RUNTIME);

  env.Failures().FailNextCall(Service::SetMemorySpaceAttributes, EFI_NOT_FOUND);
  EXPECT_EQ(dxe->SetMemorySpaceAttributes(0, 0x1000, EFI_MEMORY_RUNTIME), EFI_NOT_FOUND);
  EXPECT_EQ(env.Dxe().AttributeChanges().size(), 1u) << "a failed call changes nothing";
  EXPECT_EQ(env.Calls().Count(Service::SetMemorySpaceAttributes), 2u);
  EXPECT_EQ(dxe->AddMemorySpace(EfiGcdMemoryTypeMemoryMappedIo, 0, 0x1000, 0), EFI_UNSUPPORTED);
}

TEST_F(PlatformTablesTest, BootScriptKeepsTheRegisterValuesAsTheyWereWhenWritten) {
  EXPECT_TRUE(env.InterfacesOf(kBootScriptGuid).empty());
  ASSERT_NE(env.InstallBootScriptSave(), nullptr);
  EFI_BOOT_SCRIPT_SAVE_PROTOCOL *script = nullptr;
  ASSERT_EQ(bs->LocateProtocol(const_cast<EFI_GUID *>(&kBootScriptGuid), nullptr,
                               reinterpret_cast<VOID **>(&script)),
            EFI_SUCCESS);

  UINT32 registerValue = 0x5006F27C;
  EXPECT_EQ(script->Write(script, EFI_ACPI_S3_RESUME_SCRIPT_TABLE,
                          EFI_BOOT_SCRIPT_MEM_WRITE_OPCODE, EfiBootScriptWidthUint32,
                          static_cast<UINT64>(0xFED1F894), static_cast<UINTN>(1), &registerValue),
            EFI_SUCCESS);
  registerValue = 0;  // the script copied the value; later changes do not reach it
  UINT16 pair[2] = {0x1234, 0x5678};
  EXPECT_EQ(script->Write(script, EFI_ACPI_S3_RESUME_SCRIPT_TABLE,
                          EFI_BOOT_SCRIPT_IO_WRITE_OPCODE, EfiBootScriptWidthUint16,
                          static_cast<UINT64>(0x80), static_cast<UINTN>(2), pair),
            EFI_SUCCESS);
  EXPECT_EQ(script->Write(script, EFI_ACPI_S3_RESUME_SCRIPT_TABLE, EFI_BOOT_SCRIPT_DISPATCH_OPCODE,
                          static_cast<VOID *>(nullptr)),
            EFI_UNSUPPORTED);

  const auto &entries = env.BootScript().Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].opcode, EFI_BOOT_SCRIPT_MEM_WRITE_OPCODE);
  EXPECT_EQ(entries[0].width, EfiBootScriptWidthUint32);
  EXPECT_EQ(entries[0].address, 0xFED1F894u);
  EXPECT_EQ(entries[0].count, 1u);
  EXPECT_EQ(entries[0].data, (std::vector<uint8_t>{0x7C, 0xF2, 0x06, 0x50}));
  EXPECT_EQ(entries[1].data, (std::vector<uint8_t>{0x34, 0x12, 0x78, 0x56}));

  EFI_PHYSICAL_ADDRESS table = 0;
  EXPECT_EQ(script->CloseTable(script, EFI_ACPI_S3_RESUME_SCRIPT_TABLE, &table), EFI_SUCCESS);
  EXPECT_NE(table, 0u);
}

TEST_F(PlatformTablesTest, SmmAllocatePoolAtItsOffsetAllocatesAndCanBeFailed) {
  EFI_SMM_SYSTEM_TABLE *smst = env.Smm().Table();
  // Called the way a Framework client's table is reached: through the member at byte 0x60.
  EFI_SMM_ALLOCATE_POOL allocate = nullptr;
  std::memcpy(&allocate, reinterpret_cast<const uint8_t *>(smst) + 0x60, sizeof allocate);
  ASSERT_NE(allocate, nullptr);

  VOID *context = nullptr;
  ASSERT_EQ(allocate(EfiRuntimeServicesData, 24, &context), EFI_SUCCESS);
  ASSERT_NE(context, nullptr);
  ASSERT_EQ(env.Smm().Pool().LiveCount(), 1u);
  EXPECT_EQ(env.Smm().Pool().Live()[0].size, 24u);
  EXPECT_EQ(env.Smm().Pool().Live()[0].type, EfiRuntimeServicesData);
  EXPECT_EQ(env.Pool().LiveCount(), 0u) << "SMRAM pool, not boot-services pool";

  VOID *failed = reinterpret_cast<VOID *>(0x1);
  env.Failures().FailNextCall(Service::SmmAllocatePool, EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(allocate(EfiRuntimeServicesData, 24, &failed), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(failed, reinterpret_cast<VOID *>(0x1)) << "the output is not touched";
  EXPECT_EQ(smst->SmmFreePool(context), EFI_SUCCESS);
  EXPECT_EQ(env.Smm().Pool().LiveCount(), 0u);
}

}  // namespace
}  // namespace sim
