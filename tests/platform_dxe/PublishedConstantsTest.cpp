// The numbers other firmware depends on, written out here rather than taken from the headers
// the driver is built with: protocol GUIDs as bytes in memory order, and the byte offsets of
// every record a client or the board reads. A wrong byte in a header would otherwise be
// shared by the driver and its tests alike, and only show on a real board (a notification
// that never fires, a client that reads the wrong slot).
#include <cstring>

#include "sim/uefi/GuidText.h"
#include "tests/platform_dxe/DxeTest.h"

namespace dxe_test {
namespace {

struct GuidRow {
  const char *Name;
  EFI_GUID FromHeader;
  const char *Text;   // registry format, as published
  UINT8 Bytes[16];    // the same GUID as it lies in memory
};
void PrintTo(const GuidRow &Row, std::ostream *Out) { *Out << Row.Name; }

EFI_GUID GuidFromBytes(const UINT8 (&Bytes)[16]) {
  EFI_GUID Guid;
  std::memcpy(&Guid, Bytes, sizeof(Guid));
  return Guid;
}

const GuidRow kGuids[] = {
    {"PlatformServices", PLATFORM_SERVICES_PROTOCOL_GUID, "BD99C1DA-24D9-4C8D-9478-E68C50D839E1",
     {0xDA, 0xC1, 0x99, 0xBD, 0xD9, 0x24, 0x8D, 0x4C, 0x94, 0x78, 0xE6, 0x8C, 0x50, 0xD8, 0x39,
      0xE1}},
    {"BoardSupport", BOARD_SUPPORT_PROTOCOL_GUID, "64FBE01A-DBE8-4932-9F7B-6C3DD0D610E5",
     {0x1A, 0xE0, 0xFB, 0x64, 0xE8, 0xDB, 0x32, 0x49, 0x9F, 0x7B, 0x6C, 0x3D, 0xD0, 0xD6, 0x10,
      0xE5}},
    {"SharedData", SHARED_DATA_PROTOCOL_GUID, "FE3542FE-C1D3-4EF8-657C-8048606FF670",
     {0xFE, 0x42, 0x35, 0xFE, 0xD3, 0xC1, 0xF8, 0x4E, 0x65, 0x7C, 0x80, 0x48, 0x60, 0x6F, 0xF6,
      0x70}},
};

class GuidTest : public ::testing::TestWithParam<GuidRow> {};

TEST_P(GuidTest, HeaderHoldsThePublishedBytes) {
  const GuidRow &Row = GetParam();
  EXPECT_EQ(std::memcmp(&Row.FromHeader, Row.Bytes, 16), 0)
      << "header has " << sim::GuidText(Row.FromHeader) << ", published " << Row.Text;
  // The two forms written here must agree with each other too.
  EXPECT_EQ(sim::GuidText(GuidFromBytes(Row.Bytes)), Row.Text);
}

INSTANTIATE_TEST_SUITE_P(Protocols, GuidTest, ::testing::ValuesIn(kGuids),
                         [](const ::testing::TestParamInfo<GuidRow> &Info) {
                           return Info.param.Name;
                         });

const EFI_GUID kPublishedServicesGuid = GuidFromBytes(kGuids[0].Bytes);
const EFI_GUID kPublishedBoardGuid = GuidFromBytes(kGuids[1].Bytes);
const EFI_GUID kPublishedSharedDataGuid = GuidFromBytes(kGuids[2].Bytes);

// A board support protocol laid out by hand: the interface's first field points at a table of
// twenty operation pointers; the platform call is entry 2.
struct RawBoard {
  static EFI_STATUS EFIAPI PlatformCallEntry(VOID *This, UINTN Function, UINT64 First,
                                             UINT32 Second, UINT64 Third) {
    Seen = {This, Function, First, Second, Third};
    return EFIERR(0x55);
  }
  struct Call {
    VOID *This;
    UINTN Function;
    UINT64 First;
    UINT32 Second;
    UINT64 Third;
  };
  static inline Call Seen{};

  VOID *Entries[20] = {};
  VOID *Interface[1] = {Entries};
  RawBoard() { Entries[2] = (VOID *)PlatformCallEntry; }
};

UINT64 LoadU64(const UINT8 *At) {
  UINT64 Value = 0;
  for (int i = 7; i >= 0; --i) Value = (Value << 8) | At[i];
  return Value;
}

class PublishedContractTest : public DxeTest {
 protected:
  // Starts the driver against a board found only by the published GUID.
  void StartWithRawBoard() {
    ASSERT_NE(Env().InstallProtocolOnNewHandle(kPublishedBoardGuid, RawBoardSupport.Interface), nullptr);
    ASSERT_EQ(StartDriver(), EFI_SUCCESS) << CallTrace();
  }
  // The installed interface, looked up by the published GUID, as bytes.
  const UINT8 *InterfaceBytes() {
    VOID *Interface = nullptr;
    EXPECT_EQ(BootServices()->HandleProtocol(ImageHandle, (EFI_GUID *)&kPublishedServicesGuid,
                                             &Interface),
              EFI_SUCCESS);
    return (const UINT8 *)Interface;
  }

  RawBoard RawBoardSupport;
};

TEST_F(PublishedContractTest, BoardFoundByItsGuidAndCalledThroughEntryTwo) {
  StartWithRawBoard();
  RawBoard::Seen = {};
  EXPECT_EQ(PlatformCall(0x0102030405060708ull, 0x0A0B0C0D, 0x1112131415161718ull),
            EFIERR(0x55));
  EXPECT_EQ(RawBoard::Seen.This, (VOID *)RawBoardSupport.Interface);
  EXPECT_EQ(RawBoard::Seen.Function, 3u);
  EXPECT_EQ(RawBoard::Seen.First, 0x0102030405060708ull);
  EXPECT_EQ(RawBoard::Seen.Second, 0x0A0B0C0Du);
  EXPECT_EQ(RawBoard::Seen.Third, 0x1112131415161718ull);
}

TEST_F(PublishedContractTest, InterfaceBytesAtTheirOffsets) {
  StartWithRawBoard();
  const UINT8 *Bytes = InterfaceBytes();
  ASSERT_NE(Bytes, nullptr);

  const UINT8 Header[8] = {'$', 'O', 'F', 'C', 0x00, 0x40, 0x00, 0x00};
  EXPECT_EQ(std::memcmp(Bytes, Header, 8), 0);

  // Slot n at 16 + 8 * (n - 1), each naming its operation.
  struct Slot {
    unsigned Offset;
    const VOID *Operation;
    const char *Name;
  };
  const Slot Slots[] = {
      {16, (const VOID *)ShowBootLogo, "ShowBootLogo"},
      {24, (const VOID *)RestoreTextConsole, "RestoreTextConsole"},
      {32, (const VOID *)SetGraphicsResolution, "SetGraphicsResolution"},
      {40, (const VOID *)CmosRead8, "CmosRead8"},
      {48, (const VOID *)IndexedIoRead8, "IndexedIoRead8"},
      {56, (const VOID *)CmosWrite8, "CmosWrite8"},
      {64, (const VOID *)IndexedIoWrite8, "IndexedIoWrite8"},
      {72, (const VOID *)CmosRead16, "CmosRead16"},
      {80, (const VOID *)CmosWrite16, "CmosWrite16"},
      {88, (const VOID *)Reserved, "Reserved"},
      {96, (const VOID *)GetDiskChannelMap, "GetDiskChannelMap"},
      {104, (const VOID *)PlatformCall, "PlatformCall"},
      {112, (const VOID *)GetPciExpressAddress, "GetPciExpressAddress"},
      {120, (const VOID *)SetFlashWriteEnable, "SetFlashWriteEnable"},
      {128, (const VOID *)DetectFlashPart, "DetectFlashPart"},
  };
  for (const Slot &S : Slots) {
    EXPECT_EQ(LoadU64(Bytes + S.Offset), (UINT64)(UINTN)S.Operation) << S.Name;
  }
  // Offset 136, the last of 144 bytes: the time-stamp counter itself.
  auto Counter = (UINT64(EFIAPI *)(VOID))(UINTN)LoadU64(Bytes + 136);
  ASSERT_NE(Counter, nullptr);
  const UINT64 First = Counter();
  EXPECT_GT(Counter(), First);
  EXPECT_EQ(Board.Log().Count(sim::AccessKind::Rdtsc), 2u);
}

TEST_F(PublishedContractTest, InformationRecordBytesBeforeAndAfterSharedData) {
  StartWithRawBoard();
  const UINT8 *Record = (const UINT8 *)(UINTN)LoadU64(InterfaceBytes() + 8);
  ASSERT_NE(Record, nullptr);
  EXPECT_EQ(LoadU64(Record + 0), 900u);
  EXPECT_EQ(LoadU64(Record + 8), 0u);
  EXPECT_EQ(LoadU64(Record + 16), 0u);
  EXPECT_EQ(LoadU64(Record + 32), 178u);
  const UINT8 *Table = (const UINT8 *)(UINTN)LoadU64(Record + 24);
  ASSERT_NE(Table, nullptr);
  const UINT16 Entries[12] = {110, 111, 117, 220, 127, 128, 129, 149, 121, 51, 530, 599};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(Table[2 * i] | Table[2 * i + 1] << 8, Entries[i]) << "entry " << i;
  }

  // The board's shared data interface, by hand: the value the driver wants at byte 8.
  UINT8 Shared[16] = {};
  for (int i = 0; i < 8; ++i) Shared[8 + i] = (UINT8)(0x0000123456789000ull >> (8 * i));
  ASSERT_NE(Env().InstallProtocolOnNewHandle(kPublishedSharedDataGuid, Shared), nullptr);
  EXPECT_EQ(LoadU64(Record + 8), 0x0000123456789000ull);
  EXPECT_EQ(LoadU64(Record + 16), 0x0000123456789000ull + 530);
}

// Field offsets of the client headers: a client compiled against them reads these bytes.
struct OffsetRow {
  const char *Field;
  size_t Actual;
  size_t Expected;
};

TEST(ClientHeaderLayout, FieldsSitAtThePublishedOffsets) {
  const OffsetRow Rows[] = {
      {"PLATFORM_SERVICES_PROTOCOL.Signature", offsetof(PLATFORM_SERVICES_PROTOCOL, Signature), 0},
      {"PLATFORM_SERVICES_PROTOCOL.HeaderValue", offsetof(PLATFORM_SERVICES_PROTOCOL, HeaderValue),
       4},
      {"PLATFORM_SERVICES_PROTOCOL.ServicesInfo",
       offsetof(PLATFORM_SERVICES_PROTOCOL, ServicesInfo), 8},
      {"PLATFORM_SERVICES_PROTOCOL.ShowBootLogo",
       offsetof(PLATFORM_SERVICES_PROTOCOL, ShowBootLogo), 16},
      {"PLATFORM_SERVICES_PROTOCOL.CmosRead8", offsetof(PLATFORM_SERVICES_PROTOCOL, CmosRead8), 40},
      {"PLATFORM_SERVICES_PROTOCOL.Reserved", offsetof(PLATFORM_SERVICES_PROTOCOL, Reserved), 88},
      {"PLATFORM_SERVICES_PROTOCOL.SetFlashWriteEnable",
       offsetof(PLATFORM_SERVICES_PROTOCOL, SetFlashWriteEnable), 120},
      {"PLATFORM_SERVICES_PROTOCOL.ReadTimeStampCounter",
       offsetof(PLATFORM_SERVICES_PROTOCOL, ReadTimeStampCounter), 136},
      {"sizeof PLATFORM_SERVICES_PROTOCOL", sizeof(PLATFORM_SERVICES_PROTOCOL), 144},
      {"PLATFORM_SERVICES_INFO.InfoValueA", offsetof(PLATFORM_SERVICES_INFO, InfoValueA), 0},
      {"PLATFORM_SERVICES_INFO.SharedBase", offsetof(PLATFORM_SERVICES_INFO, SharedBase), 8},
      {"PLATFORM_SERVICES_INFO.SharedItemAddress",
       offsetof(PLATFORM_SERVICES_INFO, SharedItemAddress), 16},
      {"PLATFORM_SERVICES_INFO.OffsetTable", offsetof(PLATFORM_SERVICES_INFO, OffsetTable), 24},
      {"PLATFORM_SERVICES_INFO.InfoValueB", offsetof(PLATFORM_SERVICES_INFO, InfoValueB), 32},
      {"sizeof PLATFORM_SERVICES_INFO", sizeof(PLATFORM_SERVICES_INFO), 40},
      {"DISK_CHANNEL_ENTRY.PciBus", offsetof(DISK_CHANNEL_ENTRY, PciBus), 0},
      {"DISK_CHANNEL_ENTRY.PciDevice", offsetof(DISK_CHANNEL_ENTRY, PciDevice), 4},
      {"DISK_CHANNEL_ENTRY.PciFunction", offsetof(DISK_CHANNEL_ENTRY, PciFunction), 8},
      {"DISK_CHANNEL_ENTRY.Channel", offsetof(DISK_CHANNEL_ENTRY, Channel), 12},
      {"DISK_CHANNEL_ENTRY.Drive", offsetof(DISK_CHANNEL_ENTRY, Drive), 13},
      {"DISK_CHANNEL_ENTRY.DriveIndex", offsetof(DISK_CHANNEL_ENTRY, DriveIndex), 14},
      {"sizeof DISK_CHANNEL_ENTRY", sizeof(DISK_CHANNEL_ENTRY), 22},
      {"SHARED_DATA_PROTOCOL.SharedBase", offsetof(SHARED_DATA_PROTOCOL, SharedBase), 8},
      {"BOARD_SUPPORT_PROTOCOL.Operations", offsetof(BOARD_SUPPORT_PROTOCOL, Operations), 0},
      {"BOARD_SUPPORT_OPERATIONS platform call entry",
       offsetof(BOARD_SUPPORT_OPERATIONS, Entry) +
           BOARD_SUPPORT_ENTRY_PLATFORM_CALL * sizeof(BOARD_SUPPORT_ENTRY),
       16},
      {"BOARD_SUPPORT_OPERATIONS text resolution entry",
       offsetof(BOARD_SUPPORT_OPERATIONS, Entry) +
           BOARD_SUPPORT_ENTRY_TEXT_RESOLUTION * sizeof(BOARD_SUPPORT_ENTRY),
       152},
      {"BOARD_TEXT_RESOLUTION_RECORD.Width", offsetof(BOARD_TEXT_RESOLUTION_RECORD, Width), 8},
      {"BOARD_TEXT_RESOLUTION_RECORD.Height", offsetof(BOARD_TEXT_RESOLUTION_RECORD, Height), 12},
  };
  for (const OffsetRow &Row : Rows) EXPECT_EQ(Row.Actual, Row.Expected) << Row.Field;
}

}  // namespace
}  // namespace dxe_test
