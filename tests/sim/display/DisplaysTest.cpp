// Display devices put where firmware looks for them: on the console-out handle, and on further
// display handles with or without a device path.
#include <gtest/gtest.h>

#include <cstring>

#include "sim/uefi/display/Displays.h"
#include "tests/support/UefiTest.h"
#include "uefi/DevicePath.h"
#include "uefi/GraphicsOutput.h"
#include "uefi/SimpleTextOutput.h"
#include "uefi/UgaDraw.h"

namespace sim {
namespace {

const EFI_GUID kGopGuid = EFI_GRAPHICS_OUTPUT_PROTOCOL_GUID;
const EFI_GUID kUgaGuid = EFI_UGA_DRAW_PROTOCOL_GUID;
const EFI_GUID kDevicePathGuid = EFI_DEVICE_PATH_PROTOCOL_GUID;

class Displays : public UefiTest {
 protected:
  void *HandleProtocol(EFI_HANDLE handle, const EFI_GUID &guid) {
    void *interface = nullptr;
    EFI_STATUS status =
        BootServices()->HandleProtocol(handle, const_cast<EFI_GUID *>(&guid), &interface);
    return status == EFI_SUCCESS ? interface : nullptr;
  }
};

TEST_F(Displays, AttachToConsolePutsBothDevicesNextToTheTextConsole) {
  GraphicsOutputDevice gop({{800, 600}});
  UgaDrawDevice uga(800, 600);
  AttachToConsole(Env(), &gop, &uga);
  EFI_HANDLE console = SystemTable()->ConsoleOutHandle;
  EXPECT_EQ(HandleProtocol(console, kGopGuid), gop.Protocol());
  EXPECT_EQ(HandleProtocol(console, kUgaGuid), uga.Protocol());
  EXPECT_EQ(SystemTable()->ConOut, Env().ConOut().Protocol());
  // The console is a virtual device: it has no device path.
  EXPECT_EQ(HandleProtocol(console, kDevicePathGuid), nullptr);
}

TEST_F(Displays, AttachToConsoleWithOnlyOneDevice) {
  UgaDrawDevice uga(640, 480);
  AttachToConsole(Env(), nullptr, &uga);
  EXPECT_EQ(HandleProtocol(SystemTable()->ConsoleOutHandle, kGopGuid), nullptr);
  EXPECT_EQ(HandleProtocol(SystemTable()->ConsoleOutHandle, kUgaGuid), uga.Protocol());
}

TEST_F(Displays, AttachingTheSameKindTwiceThrows) {
  GraphicsOutputDevice first({{800, 600}}), second({{800, 600}});
  AttachToConsole(Env(), &first, nullptr);
  EXPECT_THROW(AttachToConsole(Env(), &second, nullptr), std::runtime_error);
}

TEST_F(Displays, InstallDisplayWithAndWithoutDevicePath) {
  GraphicsOutputDevice withPath({{1024, 768}}), withoutPath({{640, 480}});
  EFI_HANDLE a = InstallDisplay(Env(), withPath, true);
  EFI_HANDLE b = InstallDisplay(Env(), withoutPath, false);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_NE(a, SystemTable()->ConsoleOutHandle);
  EXPECT_EQ(HandleProtocol(a, kGopGuid), withPath.Protocol());
  EXPECT_EQ(HandleProtocol(a, kDevicePathGuid), withPath.DevicePath());
  EXPECT_EQ(HandleProtocol(b, kGopGuid), withoutPath.Protocol());
  EXPECT_EQ(HandleProtocol(b, kDevicePathGuid), nullptr);
  EXPECT_EQ(Env().InterfacesOf(kGopGuid).size(), 2u);
}

// Walks a device path node by node as firmware would, and checks that it ends properly.
TEST(DisplayDevicePath, IsAcpiThenPciThenEnd) {
  GraphicsOutputDevice gop({{800, 600}});
  const uint8_t *node = reinterpret_cast<const uint8_t *>(gop.DevicePath());
  struct Node { uint8_t type, subType; uint16_t length; };
  std::vector<Node> nodes;
  for (size_t walked = 0; walked < 64;) {
    Node n{node[0], node[1], uint16_t(node[2] | node[3] << 8)};
    ASSERT_GE(n.length, 4u);
    nodes.push_back(n);
    if (n.type == END_DEVICE_PATH_TYPE) break;
    node += n.length;
    walked += n.length;
  }
  ASSERT_EQ(nodes.size(), 3u);
  EXPECT_EQ(nodes[0].type, 0x02);  // ACPI
  EXPECT_EQ(nodes[0].subType, 0x01);
  EXPECT_EQ(nodes[0].length, 12);
  EXPECT_EQ(nodes[1].type, 0x01);  // hardware: PCI
  EXPECT_EQ(nodes[1].subType, 0x01);
  EXPECT_EQ(nodes[1].length, 6);
  EXPECT_EQ(nodes[2].subType, END_ENTIRE_DEVICE_PATH_SUBTYPE);
  EXPECT_EQ(nodes[2].length, 4);
  const uint8_t *acpi = reinterpret_cast<const uint8_t *>(gop.DevicePath());
  uint32_t hid;
  std::memcpy(&hid, acpi + 4, 4);
  EXPECT_EQ(hid, 0x0A0341D0u);  // PNP0A03, the PCI root bridge
}

}  // namespace
}  // namespace sim
