// The disk channel map: ten packed 22-byte entries, compared byte for byte with an image
// built here from the expected table, and one table for the life of the driver.
#include "ExpectedServices.h"
#include "FirmwareChecks.h"

namespace {

void CheckTableBytes(CheckReport &Report, const DISK_CHANNEL_ENTRY *Table) {
  const UINT8 *Actual = reinterpret_cast<const UINT8 *>(Table);
  for (UINTN Entry = 0; Entry < expected::kDiskChannelCount; ++Entry) {
    UINT8 Expected[expected::kDiskChannelEntryBytes];
    expected::EncodeDiskChannel(expected::kDiskChannels[Entry], Expected);
    for (UINTN Byte = 0; Byte < expected::kDiskChannelEntryBytes; ++Byte) {
      UINTN Offset = Entry * expected::kDiskChannelEntryBytes + Byte;
      if (Actual[Offset] != Expected[Byte]) {
        Report.Fail("disk_map.bytes", TextLine()
                                          .Add("entry ")
                                          .Dec(Entry)
                                          .Add(" byte ")
                                          .Dec(Byte)
                                          .Add(" (offset ")
                                          .Dec(Offset)
                                          .Add("): expected ")
                                          .Hex(Expected[Byte])
                                          .Add(" got ")
                                          .Hex(Actual[Offset]));
        return;
      }
    }
  }
  Report.Pass("disk_map.bytes");
}

}  // namespace

void CheckDiskChannelMap(FirmwareCheckContext &Context) {
  CheckReport &Report = *Context.Report;
  const PLATFORM_SERVICES_PROTOCOL &Services = *Context.Services;
  if (!RequireSlot(Report, "disk_map.service", Services.GetDiskChannelMap)) return;

  DISK_CHANNEL_ENTRY *Table = nullptr;
  UINTN Count = 0;
  EFI_STATUS Status = Services.GetDiskChannelMap(&Table, &Count);
  if (!Report.ExpectEqual("disk_map.status", EFI_SUCCESS, Status)) return;
  Report.ExpectEqual("disk_map.count", expected::kDiskChannelCount, Count);
  if (!Report.ExpectTrue("disk_map.table_present", Table != nullptr, "the table pointer is null")) {
    return;
  }
  CheckTableBytes(Report, Table);

  DISK_CHANNEL_ENTRY *Again = nullptr;
  UINTN AgainCount = 0;
  Status = Services.GetDiskChannelMap(&Again, &AgainCount);
  Report.ExpectEqual("disk_map.second_call_status", EFI_SUCCESS, Status);
  Report.ExpectEqual("disk_map.second_call_same_table", reinterpret_cast<UINT64>(Table),
                     reinterpret_cast<UINT64>(Again));
  Report.ExpectEqual("disk_map.second_call_same_count", Count, AgainCount);
}
