// The firmware volume double's ReadSection: allocation for the caller, the caller's buffer,
// and what it does not hold.
#include <gtest/gtest.h>

#include "sim/uefi/logo/FirmwareVolumeDouble.h"
#include "sim/uefi/logo/LogoGuids.h"
#include "tests/support/UefiTest.h"

namespace sim {
namespace {

constexpr EFI_GUID kOtherFile = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};

class FirmwareVolume : public UefiTest {
 protected:
  EFI_STATUS Read(const EFI_GUID &file, EFI_SECTION_TYPE type, UINTN instance, VOID **buffer,
                  UINTN *size) {
    UINT32 authentication = 0xFFFFFFFF;
    EFI_FIRMWARE_VOLUME_PROTOCOL *p = volume.Protocol();
    return p->ReadSection(p, &file, type, instance, buffer, size, &authentication);
  }
  FirmwareVolumeDouble volume;
};

TEST_F(FirmwareVolume, AllocatesTheSectionWhenTheBufferIsNull) {
  volume.AddRawSection(kDefaultLogoFileGuid, {'B', 'M', 1, 2, 3});
  VOID *buffer = nullptr;
  UINTN size = 0;
  ASSERT_EQ(Read(kDefaultLogoFileGuid, EFI_SECTION_RAW, 0, &buffer, &size), EFI_SUCCESS);
  ASSERT_NE(Env().Pool().Find(buffer), nullptr) << "the caller frees it with FreePool";
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(
      std::vector<uint8_t>(static_cast<uint8_t *>(buffer), static_cast<uint8_t *>(buffer) + 5),
      (std::vector<uint8_t>{'B', 'M', 1, 2, 3}));
  Env().Pool().Free(buffer);
}

TEST_F(FirmwareVolume, CutsToTheCallersBufferWithAWarning) {
  volume.AddRawSection(kDefaultLogoFileGuid, {1, 2, 3, 4, 5});
  uint8_t into[4] = {0, 0, 0, 0xEE};
  VOID *buffer = into;
  UINTN size = 3;
  EXPECT_EQ(Read(kDefaultLogoFileGuid, EFI_SECTION_RAW, 0, &buffer, &size),
            EFI_WARN_BUFFER_TOO_SMALL);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(into[2], 3);
  EXPECT_EQ(into[3], 0xEE) << "nothing written past the caller's size";
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

struct Missing {
  const char *name;
  EFI_GUID file;
  EFI_SECTION_TYPE type;
  UINTN instance;
};

class FirmwareVolumeMissing : public FirmwareVolume,
                              public ::testing::WithParamInterface<Missing> {};

TEST_P(FirmwareVolumeMissing, IsNotFound) {
  volume.AddRawSection(kDefaultLogoFileGuid, {1});
  VOID *buffer = nullptr;
  UINTN size = 0;
  EXPECT_EQ(Read(GetParam().file, GetParam().type, GetParam().instance, &buffer, &size),
            EFI_NOT_FOUND);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, FirmwareVolumeMissing,
    ::testing::Values(Missing{"OtherFile", kOtherFile, EFI_SECTION_RAW, 0},
                      Missing{"OtherSectionType", kDefaultLogoFileGuid, 0x10, 0},
                      Missing{"SecondInstance", kDefaultLogoFileGuid, EFI_SECTION_RAW, 1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(FirmwareVolume, FailReadSectionAndFailedAllocationsLeaveNoBuffer) {
  volume.AddRawSection(kDefaultLogoFileGuid, {1, 2});
  VOID *buffer = nullptr;
  UINTN size = 0;
  Env().Pool().FailNthAllocation(1);
  EXPECT_EQ(Read(kDefaultLogoFileGuid, EFI_SECTION_RAW, 0, &buffer, &size), EFI_OUT_OF_RESOURCES);
  volume.FailReadSection(EFI_BUFFER_TOO_SMALL);
  EXPECT_EQ(Read(kDefaultLogoFileGuid, EFI_SECTION_RAW, 0, &buffer, &size), EFI_BUFFER_TOO_SMALL);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  ASSERT_EQ(volume.ReadSectionCalls().size(), 2u);
  EXPECT_EQ(volume.ReadSectionCalls()[1].SectionType, EFI_SECTION_RAW);
}

TEST_F(FirmwareVolume, InstalledVolumesAreFoundByProtocol) {
  FirmwareVolumeDouble second;
  volume.Install(Env());
  second.Install(Env());
  EFI_GUID guid = EFI_FIRMWARE_VOLUME_PROTOCOL_GUID;
  UINTN count = 0;
  EFI_HANDLE *handles = nullptr;
  ASSERT_EQ(BootServices()->LocateHandleBuffer(ByProtocol, &guid, nullptr, &count, &handles),
            EFI_SUCCESS);
  EXPECT_EQ(count, 2u);
  BootServices()->FreePool(handles);
}

}  // namespace
}  // namespace sim
