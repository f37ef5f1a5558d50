// The PEI services of the simulation keep a HOB list the way the PEI core does: a consumer
// walking it by header lengths finds every HOB and the end marker.
#include "sim/uefi/PeiEnvironment.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

EFI_STATUS Create(PeiEnvironment &Pei, UINT16 Type, UINT16 Length, VOID **Hob) {
  const EFI_PEI_SERVICES **Services = Pei.PeiServices();
  return (*Services)->CreateHob(Services, Type, Length, Hob);
}

TEST(PeiEnvironment, ListStartsWithTheHandoffTableAndEnds) {
  PeiEnvironment Pei;
  auto Hobs = Pei.Hobs();
  ASSERT_EQ(Hobs.size(), 1u);
  EXPECT_EQ(Hobs[0]->HobType, EFI_HOB_TYPE_HANDOFF);
  EXPECT_EQ(Pei.ListSize(), sizeof(EFI_HOB_HANDOFF_INFO_TABLE) + sizeof(EFI_HOB_GENERIC_HEADER));

  VOID *List = nullptr;
  const EFI_PEI_SERVICES **Services = Pei.PeiServices();
  ASSERT_EQ((*Services)->GetHobList(Services, &List), EFI_SUCCESS);
  EXPECT_EQ(List, (const VOID *)Hobs[0]);
}

TEST(PeiEnvironment, CreateHobWritesTheHeaderRoundsTheLengthAndMovesTheEnd) {
  PeiEnvironment Pei;
  VOID *First = nullptr, *Second = nullptr;
  ASSERT_EQ(Create(Pei, EFI_HOB_TYPE_GUID_EXTENSION, 282, &First), EFI_SUCCESS);
  ASSERT_EQ(Create(Pei, EFI_HOB_TYPE_GUID_EXTENSION, 24, &Second), EFI_SUCCESS);

  auto *Header = (const EFI_HOB_GENERIC_HEADER *)First;
  EXPECT_EQ(Header->HobType, EFI_HOB_TYPE_GUID_EXTENSION);
  EXPECT_EQ(Header->HobLength, 288);  // a multiple of 8 keeps the next header aligned
  EXPECT_EQ(Header->Reserved, 0u);
  EXPECT_EQ((const UINT8 *)Second, (const UINT8 *)First + 288);
  // What the caller has not written yet is not zeroed for it.
  EXPECT_EQ(((const UINT8 *)First)[24], PeiEnvironment::kUnwrittenFill);

  auto Hobs = Pei.Hobs();
  ASSERT_EQ(Hobs.size(), 3u);
  EXPECT_EQ(Pei.Handoff().EfiEndOfHobList, (UINTN)Second + 24);
}

TEST(PeiEnvironment, OutOfSpaceAndInjectedFailuresCreateNothing) {
  PeiEnvironment Pei(128);
  VOID *Hob = nullptr;
  size_t Before = Pei.ListSize();
  EXPECT_EQ(Create(Pei, EFI_HOB_TYPE_GUID_EXTENSION, 282, &Hob), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(Pei.ListSize(), Before);

  Pei.FailNthCreateHob(2, EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(Create(Pei, EFI_HOB_TYPE_GUID_EXTENSION, 24, &Hob), EFI_SUCCESS);
  EXPECT_EQ(Create(Pei, EFI_HOB_TYPE_GUID_EXTENSION, 24, &Hob), EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(Pei.Hobs().size(), 2u);
}

TEST(PeiEnvironment, GuidHobsAreFoundByName) {
  PeiEnvironment Pei;
  const EFI_GUID Wanted = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  const EFI_GUID Other = {9, 9, 9, {9, 9, 9, 9, 9, 9, 9, 9}};
  for (const EFI_GUID *Name : {&Other, &Wanted}) {
    VOID *Hob = nullptr;
    ASSERT_EQ(Create(Pei, EFI_HOB_TYPE_GUID_EXTENSION, 32, &Hob), EFI_SUCCESS);
    ((EFI_HOB_GUID_TYPE *)Hob)->Name = *Name;
  }
  auto Found = Pei.GuidHobs(Wanted);
  ASSERT_EQ(Found.size(), 1u);
  EXPECT_TRUE(GuidsEqual(Found[0]->Name, Wanted));
}

TEST(PeiEnvironment, ServicesItDoesNotProvideAreRecordedNotCrashed) {
  PeiEnvironment Pei;
  (*Pei.PeiServices())->InstallPpi();
  EXPECT_EQ(Pei.Errors().size(), 1u);
}

}  // namespace
}  // namespace sim
