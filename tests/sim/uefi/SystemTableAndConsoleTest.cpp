// The system table a module receives, and the console behind ConOut.
#include "sim/uefi/Crc32.h"
#include "tests/sim/uefi/EnvironmentTest.h"

namespace sim {
namespace {

using SystemTableAndConsoleTest = EnvironmentTest;

template <typename Table>
bool HeaderCrcIsValid(const Table &table) {
  Table copy = table;
  copy.Hdr.CRC32 = 0;
  return Crc32(&copy, copy.Hdr.HeaderSize) == table.Hdr.CRC32;
}

TEST_F(SystemTableAndConsoleTest, TablesCarrySignaturesRevisionsAndValidCrcs) {
  EFI_SYSTEM_TABLE *st = env.SystemTable();
  EXPECT_EQ(st->Hdr.Signature, EFI_SYSTEM_TABLE_SIGNATURE);
  EXPECT_EQ(st->BootServices->Hdr.Signature, EFI_BOOT_SERVICES_SIGNATURE);
  EXPECT_EQ(st->RuntimeServices->Hdr.Signature, EFI_RUNTIME_SERVICES_SIGNATURE);
  EXPECT_EQ(st->Hdr.Revision >> 16, 2u);
  EXPECT_EQ(st->Hdr.HeaderSize, sizeof(EFI_SYSTEM_TABLE));
  EXPECT_TRUE(HeaderCrcIsValid(*st));
  EXPECT_TRUE(HeaderCrcIsValid(*st->BootServices));
  EXPECT_TRUE(HeaderCrcIsValid(*st->RuntimeServices));
  EXPECT_NE(st->FirmwareVendor, nullptr);
}

TEST_F(SystemTableAndConsoleTest, ConfigurationTableUpdatesTheSystemTable) {
  int table = 0;
  NotifyProbe probe;
  EFI_EVENT event = nullptr;
  ASSERT_EQ(bs->CreateEventEx(EVT_NOTIFY_SIGNAL, TPL_CALLBACK, RecordNotify, &probe, &kGroupX,
                              &event),
            EFI_SUCCESS);
  ASSERT_EQ(bs->InstallConfigurationTable(&kGroupX, &table), EFI_SUCCESS);
  EFI_SYSTEM_TABLE *st = env.SystemTable();
  ASSERT_EQ(st->NumberOfTableEntries, 1u);
  EXPECT_TRUE(GuidsEqual(st->ConfigurationTable[0].VendorGuid, kGroupX));
  EXPECT_EQ(st->ConfigurationTable[0].VendorTable, &table);
  EXPECT_TRUE(HeaderCrcIsValid(*st));
  EXPECT_EQ(probe.runs, 1) << "installing a table signals the event group of its GUID";

  ASSERT_EQ(bs->InstallConfigurationTable(&kGroupX, nullptr), EFI_SUCCESS);
  EXPECT_EQ(st->NumberOfTableEntries, 0u);
  EXPECT_EQ(bs->InstallConfigurationTable(&kGroupX, nullptr), EFI_NOT_FOUND);
}

TEST_F(SystemTableAndConsoleTest, ConOutIsTheTextOutputOnTheConsoleHandle) {
  const EFI_GUID textOutput = EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL_GUID;
  EFI_SYSTEM_TABLE *st = env.SystemTable();
  void *found = nullptr;
  ASSERT_EQ(bs->HandleProtocol(st->ConsoleOutHandle, &textOutput, &found), EFI_SUCCESS);
  EXPECT_EQ(found, st->ConOut);

  ASSERT_EQ(st->ConOut->OutputString(st->ConOut, u"Hello\r\nBoard"), EFI_SUCCESS);
  EXPECT_EQ(env.ConOut().Transcript(), u"Hello\r\nBoard");
  EXPECT_EQ(env.ConOut().TranscriptAscii(), "Hello\r\nBoard");
  EXPECT_EQ(st->ConOut->Mode->CursorRow, 1);
  EXPECT_EQ(st->ConOut->Mode->CursorColumn, 5);
  EXPECT_TRUE(env.StdErr().Transcript().empty());
}

TEST_F(SystemTableAndConsoleTest, ConsoleModeAttributeAndCursor) {
  EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *out = env.SystemTable()->ConOut;
  UINTN columns = 0, rows = 0;
  ASSERT_EQ(out->QueryMode(out, 0, &columns, &rows), EFI_SUCCESS);
  EXPECT_EQ(columns, 80u);
  EXPECT_EQ(rows, 25u);
  EXPECT_EQ(out->QueryMode(out, static_cast<UINTN>(out->Mode->MaxMode), &columns, &rows),
            EFI_UNSUPPORTED);

  EXPECT_EQ(out->SetAttribute(out, 0x1F), EFI_SUCCESS);
  EXPECT_EQ(out->Mode->Attribute, 0x1F);
  EXPECT_EQ(out->SetAttribute(out, 0x80), EFI_UNSUPPORTED);
  EXPECT_EQ(out->Mode->Attribute, 0x1F);

  EXPECT_EQ(out->SetCursorPosition(out, 79, 24), EFI_SUCCESS);
  EXPECT_EQ(out->SetCursorPosition(out, 80, 0), EFI_UNSUPPORTED);
  EXPECT_EQ(out->Mode->CursorColumn, 79);
  out->OutputString(out, u"x");  // the last column wraps to the next line start
  EXPECT_EQ(out->Mode->CursorColumn, 0);
  EXPECT_EQ(out->Mode->CursorRow, 24) << "the bottom row scrolls rather than moving on";

  EXPECT_EQ(out->ClearScreen(out), EFI_SUCCESS);
  EXPECT_EQ(out->Mode->CursorRow, 0);
  EXPECT_EQ(env.ConOut().ClearScreenCount(), 1u);
  EXPECT_EQ(out->EnableCursor(out, FALSE), EFI_SUCCESS);
  EXPECT_FALSE(out->Mode->CursorVisible);
}

TEST_F(SystemTableAndConsoleTest, ImageHandleCarriesALoadedImage) {
  const EFI_GUID loadedImage = EFI_LOADED_IMAGE_PROTOCOL_GUID;
  EFI_HANDLE image = env.CreateImageHandle();
  EFI_LOADED_IMAGE_PROTOCOL *info = nullptr;
  ASSERT_EQ(bs->HandleProtocol(image, &loadedImage, reinterpret_cast<void **>(&info)),
            EFI_SUCCESS);
  EXPECT_EQ(info, env.LoadedImageOf(image));
  EXPECT_EQ(info->SystemTable, env.SystemTable());
  EXPECT_EQ(info->ImageDataType, EfiBootServicesData);
  EXPECT_NE(env.CreateImageHandle(), image);
}

}  // namespace
}  // namespace sim
