// Handles and protocol interfaces as drivers see them through the boot services.
#include <vector>

#include "tests/sim/uefi/EnvironmentTest.h"

namespace sim {
namespace {

using ProtocolDatabaseTest = EnvironmentTest;

int interfaceA = 1;
int interfaceB = 2;
int interfaceC = 3;

TEST_F(ProtocolDatabaseTest, InstallOnNullHandleCreatesANewHandle) {
  EFI_HANDLE handle = nullptr;
  ASSERT_EQ(bs->InstallProtocolInterface(&handle, &kProtocolA, EFI_NATIVE_INTERFACE, &interfaceA),
            EFI_SUCCESS);
  ASSERT_NE(handle, nullptr);

  EFI_HANDLE second = nullptr;
  ASSERT_EQ(bs->InstallProtocolInterface(&second, &kProtocolA, EFI_NATIVE_INTERFACE, &interfaceB),
            EFI_SUCCESS);
  EXPECT_NE(second, handle);

  void *found = nullptr;
  EXPECT_EQ(bs->HandleProtocol(handle, &kProtocolA, &found), EFI_SUCCESS);
  EXPECT_EQ(found, &interfaceA);
}

TEST_F(ProtocolDatabaseTest, InstallOnExistingHandleAddsToIt) {
  EFI_HANDLE handle = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  EFI_HANDLE same = handle;
  ASSERT_EQ(bs->InstallProtocolInterface(&same, &kProtocolB, EFI_NATIVE_INTERFACE, &interfaceB),
            EFI_SUCCESS);
  EXPECT_EQ(same, handle);
  EXPECT_TRUE(env.HandleHasProtocol(handle, kProtocolA));
  EXPECT_TRUE(env.HandleHasProtocol(handle, kProtocolB));
}

TEST_F(ProtocolDatabaseTest, NullInterfaceIsAPresenceOnlyProtocol) {
  EFI_HANDLE handle = nullptr;
  ASSERT_EQ(bs->InstallProtocolInterface(&handle, &kProtocolA, EFI_NATIVE_INTERFACE, nullptr),
            EFI_SUCCESS);
  void *found = &interfaceB;
  EXPECT_EQ(bs->LocateProtocol(&kProtocolA, nullptr, &found), EFI_SUCCESS);
  EXPECT_EQ(found, nullptr);
}

TEST_F(ProtocolDatabaseTest, InstallRejectsBadArgumentsAndDuplicates) {
  EFI_HANDLE existing = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  int notAHandle = 0;
  struct Case {
    const char *what;
    bool nullHandlePointer;
    EFI_HANDLE handle;
    const EFI_GUID *protocol;
    EFI_INTERFACE_TYPE type;
  } cases[] = {
      {"null Handle pointer", true, nullptr, &kProtocolB, EFI_NATIVE_INTERFACE},
      {"null Protocol", false, nullptr, nullptr, EFI_NATIVE_INTERFACE},
      {"non-native interface type", false, nullptr, &kProtocolB, 1},
      {"same GUID twice on one handle", false, existing, &kProtocolA, EFI_NATIVE_INTERFACE},
      {"handle that was never created", false, &notAHandle, &kProtocolB, EFI_NATIVE_INTERFACE},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    EFI_HANDLE handle = c.handle;
    EXPECT_EQ(bs->InstallProtocolInterface(c.nullHandlePointer ? nullptr : &handle, c.protocol,
                                           c.type, &interfaceB),
              EFI_INVALID_PARAMETER);
    EXPECT_EQ(handle, c.handle) << "a failed install must not hand out a handle";
  }
  EXPECT_EQ(env.InterfacesOf(kProtocolA), std::vector<void *>{&interfaceA});
  EXPECT_TRUE(env.InterfacesOf(kProtocolB).empty());
}

TEST_F(ProtocolDatabaseTest, UninstallingTheLastProtocolRemovesTheHandle) {
  EFI_HANDLE handle = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  env.InstallProtocol(&handle, kProtocolB, &interfaceB);

  ASSERT_EQ(bs->UninstallProtocolInterface(handle, &kProtocolA, &interfaceA), EFI_SUCCESS);
  EXPECT_TRUE(env.Protocols().IsValidHandle(handle));
  ASSERT_EQ(bs->UninstallProtocolInterface(handle, &kProtocolB, &interfaceB), EFI_SUCCESS);
  EXPECT_FALSE(env.Protocols().IsValidHandle(handle));

  // The dead handle is not reused and is refused from now on.
  void *found = nullptr;
  EXPECT_EQ(bs->HandleProtocol(handle, &kProtocolA, &found), EFI_INVALID_PARAMETER);
  EFI_HANDLE fresh = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  EXPECT_NE(fresh, handle);
}

TEST_F(ProtocolDatabaseTest, UninstallNeedsTheInstalledInterface) {
  EFI_HANDLE handle = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  EXPECT_EQ(bs->UninstallProtocolInterface(handle, &kProtocolA, &interfaceB), EFI_NOT_FOUND);
  EXPECT_EQ(bs->UninstallProtocolInterface(handle, &kProtocolB, &interfaceA), EFI_NOT_FOUND);
  EXPECT_EQ(bs->UninstallProtocolInterface(handle, nullptr, &interfaceA), EFI_INVALID_PARAMETER);
  EXPECT_TRUE(env.HandleHasProtocol(handle, kProtocolA));
}

TEST_F(ProtocolDatabaseTest, ReinstallReplacesOnlyTheNamedInterface) {
  EFI_HANDLE handle = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  EXPECT_EQ(bs->ReinstallProtocolInterface(handle, &kProtocolA, &interfaceC, &interfaceB),
            EFI_NOT_FOUND);
  ASSERT_EQ(bs->ReinstallProtocolInterface(handle, &kProtocolA, &interfaceA, &interfaceB),
            EFI_SUCCESS);
  EXPECT_EQ(env.Protocols().InterfaceOf(handle, kProtocolA), &interfaceB);
}

TEST_F(ProtocolDatabaseTest, HandleProtocolReportsMissingProtocolAsUnsupported) {
  EFI_HANDLE handle = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  void *found = &interfaceC;
  EXPECT_EQ(bs->HandleProtocol(handle, &kProtocolB, &found), EFI_UNSUPPORTED);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(bs->HandleProtocol(handle, &kProtocolA, nullptr), EFI_INVALID_PARAMETER);
}

TEST_F(ProtocolDatabaseTest, OpenProtocolModes) {
  EFI_HANDLE image = env.CreateImageHandle();
  EFI_HANDLE handle = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);

  void *found = nullptr;
  EXPECT_EQ(bs->OpenProtocol(handle, &kProtocolA, &found, image, nullptr,
                             EFI_OPEN_PROTOCOL_GET_PROTOCOL),
            EFI_SUCCESS);
  EXPECT_EQ(found, &interfaceA);
  EXPECT_EQ(bs->CloseProtocol(handle, &kProtocolA, image, nullptr), EFI_SUCCESS);
  EXPECT_EQ(bs->CloseProtocol(handle, &kProtocolA, image, nullptr), EFI_NOT_FOUND);

  // TEST_PROTOCOL answers presence only and needs no interface pointer.
  EXPECT_EQ(bs->OpenProtocol(handle, &kProtocolA, nullptr, image, nullptr,
                             EFI_OPEN_PROTOCOL_TEST_PROTOCOL),
            EFI_SUCCESS);
  EXPECT_EQ(bs->OpenProtocol(handle, &kProtocolB, nullptr, image, nullptr,
                             EFI_OPEN_PROTOCOL_TEST_PROTOCOL),
            EFI_UNSUPPORTED);
  EXPECT_EQ(bs->OpenProtocol(handle, &kProtocolA, nullptr, image, nullptr,
                             EFI_OPEN_PROTOCOL_GET_PROTOCOL),
            EFI_INVALID_PARAMETER);
}

TEST_F(ProtocolDatabaseTest, LocateProtocolReturnsTheFirstInstalledInstance) {
  env.InstallProtocolOnNewHandle(kProtocolB, &interfaceC);
  env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  env.InstallProtocolOnNewHandle(kProtocolA, &interfaceB);

  void *found = nullptr;
  ASSERT_EQ(bs->LocateProtocol(&kProtocolA, nullptr, &found), EFI_SUCCESS);
  EXPECT_EQ(found, &interfaceA);

  found = &interfaceA;
  EXPECT_EQ(bs->LocateProtocol(&kProtocolC, nullptr, &found), EFI_NOT_FOUND);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(bs->LocateProtocol(nullptr, nullptr, &found), EFI_INVALID_PARAMETER);
  EXPECT_EQ(bs->LocateProtocol(&kProtocolA, nullptr, nullptr), EFI_INVALID_PARAMETER);
}

TEST_F(ProtocolDatabaseTest, LocateHandleBufferReturnsAPoolBufferTheCallerFrees) {
  EFI_HANDLE first = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  env.InstallProtocolOnNewHandle(kProtocolB, &interfaceB);
  EFI_HANDLE second = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceC);
  size_t liveBefore = env.Pool().LiveCount();

  UINTN count = 0;
  EFI_HANDLE *buffer = nullptr;
  ASSERT_EQ(bs->LocateHandleBuffer(ByProtocol, &kProtocolA, nullptr, &count, &buffer),
            EFI_SUCCESS);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(buffer[0], first);
  EXPECT_EQ(buffer[1], second);
  const PoolAllocation *allocation = env.Pool().Find(buffer);
  ASSERT_NE(allocation, nullptr) << "the buffer must come from pool";
  EXPECT_EQ(allocation->size, 2 * sizeof(EFI_HANDLE));
  EXPECT_EQ(env.Pool().LiveCount(), liveBefore + 1);

  EXPECT_EQ(bs->FreePool(buffer), EFI_SUCCESS);
  EXPECT_EQ(env.Pool().LiveCount(), liveBefore);
}

TEST_F(ProtocolDatabaseTest, LocateHandleBufferWithNoMatchAllocatesNothing) {
  UINTN count = 7;
  EFI_HANDLE *buffer = reinterpret_cast<EFI_HANDLE *>(&count);
  EXPECT_EQ(bs->LocateHandleBuffer(ByProtocol, &kProtocolC, nullptr, &count, &buffer),
            EFI_NOT_FOUND);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(env.Pool().LiveCount(), 0u);
  EXPECT_EQ(bs->LocateHandleBuffer(ByProtocol, nullptr, nullptr, &count, &buffer),
            EFI_INVALID_PARAMETER);
}

TEST_F(ProtocolDatabaseTest, LocateHandleBufferAllHandlesIncludesTheConsole) {
  EFI_HANDLE mine = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  UINTN count = 0;
  EFI_HANDLE *buffer = nullptr;
  ASSERT_EQ(bs->LocateHandleBuffer(AllHandles, nullptr, nullptr, &count, &buffer), EFI_SUCCESS);
  std::vector<EFI_HANDLE> handles(buffer, buffer + count);
  bs->FreePool(buffer);
  EXPECT_EQ(handles, env.Protocols().Handles());
  EXPECT_EQ(handles.front(), env.ConsoleOutHandle());
  EXPECT_EQ(handles.back(), mine);
}

TEST_F(ProtocolDatabaseTest, LocateHandleReportsTheSizeItNeeds) {
  EFI_HANDLE first = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceA);
  EFI_HANDLE second = env.InstallProtocolOnNewHandle(kProtocolA, &interfaceB);

  UINTN size = sizeof(EFI_HANDLE);
  EFI_HANDLE handles[2] = {};
  EXPECT_EQ(bs->LocateHandle(ByProtocol, &kProtocolA, nullptr, &size, handles),
            EFI_BUFFER_TOO_SMALL);
  EXPECT_EQ(size, 2 * sizeof(EFI_HANDLE));
  ASSERT_EQ(bs->LocateHandle(ByProtocol, &kProtocolA, nullptr, &size, handles), EFI_SUCCESS);
  EXPECT_EQ(handles[0], first);
  EXPECT_EQ(handles[1], second);
}

TEST_F(ProtocolDatabaseTest, InstallMultipleIsAllOrNothing) {
  EFI_HANDLE handle = nullptr;
  ASSERT_EQ(bs->InstallMultipleProtocolInterfaces(&handle, &kProtocolA, &interfaceA, &kProtocolB,
                                                  &interfaceB, nullptr),
            EFI_SUCCESS);
  ASSERT_NE(handle, nullptr);
  EXPECT_TRUE(env.HandleHasProtocol(handle, kProtocolA));
  EXPECT_TRUE(env.HandleHasProtocol(handle, kProtocolB));

  // C would be new, but B is already there: nothing may be installed.
  EXPECT_EQ(bs->InstallMultipleProtocolInterfaces(&handle, &kProtocolC, &interfaceC, &kProtocolB,
                                                  &interfaceC, nullptr),
            EFI_INVALID_PARAMETER);
  EXPECT_FALSE(env.HandleHasProtocol(handle, kProtocolC));

  // The uninstall is refused as a whole when one interface does not match.
  EXPECT_EQ(bs->UninstallMultipleProtocolInterfaces(handle, &kProtocolA, &interfaceA, &kProtocolB,
                                                    &interfaceC, nullptr),
            EFI_INVALID_PARAMETER);
  EXPECT_TRUE(env.HandleHasProtocol(handle, kProtocolA));
  ASSERT_EQ(bs->UninstallMultipleProtocolInterfaces(handle, &kProtocolA, &interfaceA, &kProtocolB,
                                                    &interfaceB, nullptr),
            EFI_SUCCESS);
  EXPECT_FALSE(env.Protocols().IsValidHandle(handle));
}

}  // namespace
}  // namespace sim
