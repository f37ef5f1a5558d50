// EFI system table, boot services and runtime services, declared from the UEFI specification.
// Every member is in the UEFI specification's order; offsets are asserted below for x64 and IA-32.
#pragma once

#include "DevicePath.h"
#include "SimpleTextOutput.h"
#include "UefiBase.h"

// ---- Events ----
#define EVT_TIMER 0x80000000u
#define EVT_RUNTIME 0x40000000u
#define EVT_NOTIFY_WAIT 0x00000100u
#define EVT_NOTIFY_SIGNAL 0x00000200u
#define EVT_SIGNAL_EXIT_BOOT_SERVICES 0x00000201u
#define EVT_SIGNAL_VIRTUAL_ADDRESS_CHANGE 0x60000202u

typedef VOID(EFIAPI *EFI_EVENT_NOTIFY)(EFI_EVENT Event, VOID *Context);

typedef UINT32 EFI_TIMER_DELAY;
#define TimerCancel ((EFI_TIMER_DELAY)0)
#define TimerPeriodic ((EFI_TIMER_DELAY)1)
#define TimerRelative ((EFI_TIMER_DELAY)2)

// ---- Memory ----
typedef UINT32 EFI_ALLOCATE_TYPE;
#define AllocateAnyPages ((EFI_ALLOCATE_TYPE)0)
#define AllocateMaxAddress ((EFI_ALLOCATE_TYPE)1)
#define AllocateAddress ((EFI_ALLOCATE_TYPE)2)

typedef struct {
  UINT32 Type;
  EFI_PHYSICAL_ADDRESS PhysicalStart;
  EFI_VIRTUAL_ADDRESS VirtualStart;
  UINT64 NumberOfPages;
  UINT64 Attribute;
} EFI_MEMORY_DESCRIPTOR;

// ---- Protocol handler services ----
typedef UINT32 EFI_INTERFACE_TYPE;
#define EFI_NATIVE_INTERFACE ((EFI_INTERFACE_TYPE)0)

typedef UINT32 EFI_LOCATE_SEARCH_TYPE;
#define AllHandles ((EFI_LOCATE_SEARCH_TYPE)0)
#define ByRegisterNotify ((EFI_LOCATE_SEARCH_TYPE)1)
#define ByProtocol ((EFI_LOCATE_SEARCH_TYPE)2)

#define EFI_OPEN_PROTOCOL_BY_HANDLE_PROTOCOL 0x00000001u
#define EFI_OPEN_PROTOCOL_GET_PROTOCOL 0x00000002u
#define EFI_OPEN_PROTOCOL_TEST_PROTOCOL 0x00000004u

typedef struct {
  EFI_HANDLE AgentHandle;
  EFI_HANDLE ControllerHandle;
  UINT32 Attributes;
  UINT32 OpenCount;
} EFI_OPEN_PROTOCOL_INFORMATION_ENTRY;

// ---- Time ----
typedef struct {
  UINT16 Year;
  UINT8 Month;
  UINT8 Day;
  UINT8 Hour;
  UINT8 Minute;
  UINT8 Second;
  UINT8 Pad1;
  UINT32 Nanosecond;
  INT16 TimeZone;
  UINT8 Daylight;
  UINT8 Pad2;
} EFI_TIME;
UEFI_ASSERT_SIZE(EFI_TIME, 16, 16);

typedef struct {
  UINT32 Resolution;
  UINT32 Accuracy;
  BOOLEAN SetsToZero;
} EFI_TIME_CAPABILITIES;

typedef UINT32 EFI_RESET_TYPE;
#define EfiResetCold ((EFI_RESET_TYPE)0)
#define EfiResetWarm ((EFI_RESET_TYPE)1)
#define EfiResetShutdown ((EFI_RESET_TYPE)2)

// ---- Boot services ----
typedef EFI_TPL(EFIAPI *EFI_RAISE_TPL)(EFI_TPL NewTpl);
typedef VOID(EFIAPI *EFI_RESTORE_TPL)(EFI_TPL OldTpl);
typedef EFI_STATUS(EFIAPI *EFI_ALLOCATE_PAGES)(EFI_ALLOCATE_TYPE Type, EFI_MEMORY_TYPE MemoryType,
                                               UINTN Pages, EFI_PHYSICAL_ADDRESS *Memory);
typedef EFI_STATUS(EFIAPI *EFI_FREE_PAGES)(EFI_PHYSICAL_ADDRESS Memory, UINTN Pages);
typedef EFI_STATUS(EFIAPI *EFI_GET_MEMORY_MAP)(UINTN *MemoryMapSize,
                                               EFI_MEMORY_DESCRIPTOR *MemoryMap, UINTN *MapKey,
                                               UINTN *DescriptorSize, UINT32 *DescriptorVersion);
typedef EFI_STATUS(EFIAPI *EFI_ALLOCATE_POOL)(EFI_MEMORY_TYPE PoolType, UINTN Size,
                                              VOID **Buffer);
typedef EFI_STATUS(EFIAPI *EFI_FREE_POOL)(VOID *Buffer);
typedef EFI_STATUS(EFIAPI *EFI_CREATE_EVENT)(UINT32 Type, EFI_TPL NotifyTpl,
                                             EFI_EVENT_NOTIFY NotifyFunction,
                                             VOID *NotifyContext, EFI_EVENT *Event);
typedef EFI_STATUS(EFIAPI *EFI_SET_TIMER)(EFI_EVENT Event, EFI_TIMER_DELAY Type,
                                          UINT64 TriggerTime);
typedef EFI_STATUS(EFIAPI *EFI_WAIT_FOR_EVENT)(UINTN NumberOfEvents, EFI_EVENT *Event,
                                               UINTN *Index);
typedef EFI_STATUS(EFIAPI *EFI_SIGNAL_EVENT)(EFI_EVENT Event);
typedef EFI_STATUS(EFIAPI *EFI_CLOSE_EVENT)(EFI_EVENT Event);
typedef EFI_STATUS(EFIAPI *EFI_CHECK_EVENT)(EFI_EVENT Event);
typedef EFI_STATUS(EFIAPI *EFI_INSTALL_PROTOCOL_INTERFACE)(EFI_HANDLE *Handle,
                                                           const EFI_GUID *Protocol,
                                                           EFI_INTERFACE_TYPE InterfaceType,
                                                           VOID *Interface);
typedef EFI_STATUS(EFIAPI *EFI_REINSTALL_PROTOCOL_INTERFACE)(EFI_HANDLE Handle,
                                                             const EFI_GUID *Protocol,
                                                             VOID *OldInterface,
                                                             VOID *NewInterface);
typedef EFI_STATUS(EFIAPI *EFI_UNINSTALL_PROTOCOL_INTERFACE)(EFI_HANDLE Handle,
                                                             const EFI_GUID *Protocol,
                                                             VOID *Interface);
typedef EFI_STATUS(EFIAPI *EFI_HANDLE_PROTOCOL)(EFI_HANDLE Handle, const EFI_GUID *Protocol,
                                                VOID **Interface);
typedef EFI_STATUS(EFIAPI *EFI_REGISTER_PROTOCOL_NOTIFY)(const EFI_GUID *Protocol,
                                                         EFI_EVENT Event, VOID **Registration);
typedef EFI_STATUS(EFIAPI *EFI_LOCATE_HANDLE)(EFI_LOCATE_SEARCH_TYPE SearchType,
                                              const EFI_GUID *Protocol, VOID *SearchKey,
                                              UINTN *BufferSize, EFI_HANDLE *Buffer);
typedef EFI_STATUS(EFIAPI *EFI_LOCATE_DEVICE_PATH)(const EFI_GUID *Protocol,
                                                   EFI_DEVICE_PATH_PROTOCOL **DevicePath,
                                                   EFI_HANDLE *Device);
typedef EFI_STATUS(EFIAPI *EFI_INSTALL_CONFIGURATION_TABLE)(const EFI_GUID *Guid, VOID *Table);
typedef EFI_STATUS(EFIAPI *EFI_IMAGE_LOAD)(BOOLEAN BootPolicy, EFI_HANDLE ParentImageHandle,
                                           EFI_DEVICE_PATH_PROTOCOL *DevicePath,
                                           VOID *SourceBuffer, UINTN SourceSize,
                                           EFI_HANDLE *ImageHandle);
typedef EFI_STATUS(EFIAPI *EFI_IMAGE_START)(EFI_HANDLE ImageHandle, UINTN *ExitDataSize,
                                            CHAR16 **ExitData);
typedef EFI_STATUS(EFIAPI *EFI_EXIT)(EFI_HANDLE ImageHandle, EFI_STATUS ExitStatus,
                                     UINTN ExitDataSize, CHAR16 *ExitData);
typedef EFI_STATUS(EFIAPI *EFI_IMAGE_UNLOAD)(EFI_HANDLE ImageHandle);
typedef EFI_STATUS(EFIAPI *EFI_EXIT_BOOT_SERVICES)(EFI_HANDLE ImageHandle, UINTN MapKey);
typedef EFI_STATUS(EFIAPI *EFI_GET_NEXT_MONOTONIC_COUNT)(UINT64 *Count);
typedef EFI_STATUS(EFIAPI *EFI_STALL)(UINTN Microseconds);
typedef EFI_STATUS(EFIAPI *EFI_SET_WATCHDOG_TIMER)(UINTN Timeout, UINT64 WatchdogCode,
                                                   UINTN DataSize, CHAR16 *WatchdogData);
typedef EFI_STATUS(EFIAPI *EFI_CONNECT_CONTROLLER)(EFI_HANDLE ControllerHandle,
                                                   EFI_HANDLE *DriverImageHandle,
                                                   EFI_DEVICE_PATH_PROTOCOL *RemainingDevicePath,
                                                   BOOLEAN Recursive);
typedef EFI_STATUS(EFIAPI *EFI_DISCONNECT_CONTROLLER)(EFI_HANDLE ControllerHandle,
                                                      EFI_HANDLE DriverImageHandle,
                                                      EFI_HANDLE ChildHandle);
typedef EFI_STATUS(EFIAPI *EFI_OPEN_PROTOCOL)(EFI_HANDLE Handle, const EFI_GUID *Protocol,
                                              VOID **Interface, EFI_HANDLE AgentHandle,
                                              EFI_HANDLE ControllerHandle, UINT32 Attributes);
typedef EFI_STATUS(EFIAPI *EFI_CLOSE_PROTOCOL)(EFI_HANDLE Handle, const EFI_GUID *Protocol,
                                               EFI_HANDLE AgentHandle,
                                               EFI_HANDLE ControllerHandle);
typedef EFI_STATUS(EFIAPI *EFI_OPEN_PROTOCOL_INFORMATION)(
    EFI_HANDLE Handle, const EFI_GUID *Protocol, EFI_OPEN_PROTOCOL_INFORMATION_ENTRY **EntryBuffer,
    UINTN *EntryCount);
typedef EFI_STATUS(EFIAPI *EFI_PROTOCOLS_PER_HANDLE)(EFI_HANDLE Handle,
                                                     EFI_GUID ***ProtocolBuffer,
                                                     UINTN *ProtocolBufferCount);
typedef EFI_STATUS(EFIAPI *EFI_LOCATE_HANDLE_BUFFER)(EFI_LOCATE_SEARCH_TYPE SearchType,
                                                     const EFI_GUID *Protocol, VOID *SearchKey,
                                                     UINTN *NoHandles, EFI_HANDLE **Buffer);
typedef EFI_STATUS(EFIAPI *EFI_LOCATE_PROTOCOL)(const EFI_GUID *Protocol, VOID *Registration,
                                                VOID **Interface);
// The two "multiple" services take a variable argument list (UEFI x64 model).
typedef EFI_STATUS(EFIAPI *EFI_INSTALL_MULTIPLE_PROTOCOL_INTERFACES)(EFI_HANDLE *Handle, ...);
typedef EFI_STATUS(EFIAPI *EFI_UNINSTALL_MULTIPLE_PROTOCOL_INTERFACES)(EFI_HANDLE Handle, ...);
typedef EFI_STATUS(EFIAPI *EFI_CALCULATE_CRC32)(VOID *Data, UINTN DataSize, UINT32 *Crc32);
typedef VOID(EFIAPI *EFI_COPY_MEM)(VOID *Destination, const VOID *Source, UINTN Length);
typedef VOID(EFIAPI *EFI_SET_MEM)(VOID *Buffer, UINTN Size, UINT8 Value);
typedef EFI_STATUS(EFIAPI *EFI_CREATE_EVENT_EX)(UINT32 Type, EFI_TPL NotifyTpl,
                                                EFI_EVENT_NOTIFY NotifyFunction,
                                                const VOID *NotifyContext,
                                                const EFI_GUID *EventGroup, EFI_EVENT *Event);

#define EFI_BOOT_SERVICES_SIGNATURE 0x56524553544f4f42ULL  // "BOOTSERV"

typedef struct {
  EFI_TABLE_HEADER Hdr;
  EFI_RAISE_TPL RaiseTPL;
  EFI_RESTORE_TPL RestoreTPL;
  EFI_ALLOCATE_PAGES AllocatePages;
  EFI_FREE_PAGES FreePages;
  EFI_GET_MEMORY_MAP GetMemoryMap;
  EFI_ALLOCATE_POOL AllocatePool;
  EFI_FREE_POOL FreePool;
  EFI_CREATE_EVENT CreateEvent;
  EFI_SET_TIMER SetTimer;
  EFI_WAIT_FOR_EVENT WaitForEvent;
  EFI_SIGNAL_EVENT SignalEvent;
  EFI_CLOSE_EVENT CloseEvent;
  EFI_CHECK_EVENT CheckEvent;
  EFI_INSTALL_PROTOCOL_INTERFACE InstallProtocolInterface;
  EFI_REINSTALL_PROTOCOL_INTERFACE ReinstallProtocolInterface;
  EFI_UNINSTALL_PROTOCOL_INTERFACE UninstallProtocolInterface;
  EFI_HANDLE_PROTOCOL HandleProtocol;
  VOID *Reserved;
  EFI_REGISTER_PROTOCOL_NOTIFY RegisterProtocolNotify;
  EFI_LOCATE_HANDLE LocateHandle;
  EFI_LOCATE_DEVICE_PATH LocateDevicePath;
  EFI_INSTALL_CONFIGURATION_TABLE InstallConfigurationTable;
  EFI_IMAGE_LOAD LoadImage;
  EFI_IMAGE_START StartImage;
  EFI_EXIT Exit;
  EFI_IMAGE_UNLOAD UnloadImage;
  EFI_EXIT_BOOT_SERVICES ExitBootServices;
  EFI_GET_NEXT_MONOTONIC_COUNT GetNextMonotonicCount;
  EFI_STALL Stall;
  EFI_SET_WATCHDOG_TIMER SetWatchdogTimer;
  EFI_CONNECT_CONTROLLER ConnectController;
  EFI_DISCONNECT_CONTROLLER DisconnectController;
  EFI_OPEN_PROTOCOL OpenProtocol;
  EFI_CLOSE_PROTOCOL CloseProtocol;
  EFI_OPEN_PROTOCOL_INFORMATION OpenProtocolInformation;
  EFI_PROTOCOLS_PER_HANDLE ProtocolsPerHandle;
  EFI_LOCATE_HANDLE_BUFFER LocateHandleBuffer;
  EFI_LOCATE_PROTOCOL LocateProtocol;
  EFI_INSTALL_MULTIPLE_PROTOCOL_INTERFACES InstallMultipleProtocolInterfaces;
  EFI_UNINSTALL_MULTIPLE_PROTOCOL_INTERFACES UninstallMultipleProtocolInterfaces;
  EFI_CALCULATE_CRC32 CalculateCrc32;
  EFI_COPY_MEM CopyMem;
  EFI_SET_MEM SetMem;
  EFI_CREATE_EVENT_EX CreateEventEx;
} EFI_BOOT_SERVICES;

// Member k (counting RaiseTPL as 0) sits at 24 + 8k on x64 and 24 + 4k on IA-32.
#define UEFI_ASSERT_BOOT_SERVICE(member, k) \
  UEFI_ASSERT_OFFSET(EFI_BOOT_SERVICES, member, 24 + 8 * (k), 24 + 4 * (k))
UEFI_ASSERT_BOOT_SERVICE(RaiseTPL, 0);
UEFI_ASSERT_BOOT_SERVICE(RestoreTPL, 1);
UEFI_ASSERT_BOOT_SERVICE(AllocatePages, 2);
UEFI_ASSERT_BOOT_SERVICE(FreePages, 3);
UEFI_ASSERT_BOOT_SERVICE(GetMemoryMap, 4);
UEFI_ASSERT_BOOT_SERVICE(AllocatePool, 5);
UEFI_ASSERT_BOOT_SERVICE(FreePool, 6);
UEFI_ASSERT_BOOT_SERVICE(CreateEvent, 7);
UEFI_ASSERT_BOOT_SERVICE(SetTimer, 8);
UEFI_ASSERT_BOOT_SERVICE(WaitForEvent, 9);
UEFI_ASSERT_BOOT_SERVICE(SignalEvent, 10);
UEFI_ASSERT_BOOT_SERVICE(CloseEvent, 11);
UEFI_ASSERT_BOOT_SERVICE(CheckEvent, 12);
UEFI_ASSERT_BOOT_SERVICE(InstallProtocolInterface, 13);
UEFI_ASSERT_BOOT_SERVICE(ReinstallProtocolInterface, 14);
UEFI_ASSERT_BOOT_SERVICE(UninstallProtocolInterface, 15);
UEFI_ASSERT_BOOT_SERVICE(HandleProtocol, 16);
UEFI_ASSERT_BOOT_SERVICE(Reserved, 17);
UEFI_ASSERT_BOOT_SERVICE(RegisterProtocolNotify, 18);
UEFI_ASSERT_BOOT_SERVICE(LocateHandle, 19);
UEFI_ASSERT_BOOT_SERVICE(LocateDevicePath, 20);
UEFI_ASSERT_BOOT_SERVICE(InstallConfigurationTable, 21);
UEFI_ASSERT_BOOT_SERVICE(LoadImage, 22);
UEFI_ASSERT_BOOT_SERVICE(StartImage, 23);
UEFI_ASSERT_BOOT_SERVICE(Exit, 24);
UEFI_ASSERT_BOOT_SERVICE(UnloadImage, 25);
UEFI_ASSERT_BOOT_SERVICE(ExitBootServices, 26);
UEFI_ASSERT_BOOT_SERVICE(GetNextMonotonicCount, 27);
UEFI_ASSERT_BOOT_SERVICE(Stall, 28);
UEFI_ASSERT_BOOT_SERVICE(SetWatchdogTimer, 29);
UEFI_ASSERT_BOOT_SERVICE(ConnectController, 30);
UEFI_ASSERT_BOOT_SERVICE(DisconnectController, 31);
UEFI_ASSERT_BOOT_SERVICE(OpenProtocol, 32);
UEFI_ASSERT_BOOT_SERVICE(CloseProtocol, 33);
UEFI_ASSERT_BOOT_SERVICE(OpenProtocolInformation, 34);
UEFI_ASSERT_BOOT_SERVICE(ProtocolsPerHandle, 35);
UEFI_ASSERT_BOOT_SERVICE(LocateHandleBuffer, 36);
UEFI_ASSERT_BOOT_SERVICE(LocateProtocol, 37);
UEFI_ASSERT_BOOT_SERVICE(InstallMultipleProtocolInterfaces, 38);
UEFI_ASSERT_BOOT_SERVICE(UninstallMultipleProtocolInterfaces, 39);
UEFI_ASSERT_BOOT_SERVICE(CalculateCrc32, 40);
UEFI_ASSERT_BOOT_SERVICE(CopyMem, 41);
UEFI_ASSERT_BOOT_SERVICE(SetMem, 42);
UEFI_ASSERT_BOOT_SERVICE(CreateEventEx, 43);
UEFI_ASSERT_SIZE(EFI_BOOT_SERVICES, 24 + 8 * 44, 24 + 4 * 44);
// Spot checks against offsets computed by hand from the UEFI table layouts.
UEFI_ASSERT_OFFSET(EFI_BOOT_SERVICES, AllocatePool, 0x40, 0x2C);
UEFI_ASSERT_OFFSET(EFI_BOOT_SERVICES, LocateProtocol, 0x140, 0xAC);

// ---- Runtime services ----
typedef EFI_STATUS(EFIAPI *EFI_GET_TIME)(EFI_TIME *Time, EFI_TIME_CAPABILITIES *Capabilities);
typedef EFI_STATUS(EFIAPI *EFI_SET_TIME)(EFI_TIME *Time);
typedef EFI_STATUS(EFIAPI *EFI_GET_WAKEUP_TIME)(BOOLEAN *Enabled, BOOLEAN *Pending,
                                                EFI_TIME *Time);
typedef EFI_STATUS(EFIAPI *EFI_SET_WAKEUP_TIME)(BOOLEAN Enable, EFI_TIME *Time);
typedef EFI_STATUS(EFIAPI *EFI_SET_VIRTUAL_ADDRESS_MAP)(UINTN MemoryMapSize,
                                                        UINTN DescriptorSize,
                                                        UINT32 DescriptorVersion,
                                                        EFI_MEMORY_DESCRIPTOR *VirtualMap);
typedef EFI_STATUS(EFIAPI *EFI_CONVERT_POINTER)(UINTN DebugDisposition, VOID **Address);
typedef EFI_STATUS(EFIAPI *EFI_GET_VARIABLE)(CHAR16 *VariableName, EFI_GUID *VendorGuid,
                                             UINT32 *Attributes, UINTN *DataSize, VOID *Data);
typedef EFI_STATUS(EFIAPI *EFI_GET_NEXT_VARIABLE_NAME)(UINTN *VariableNameSize,
                                                       CHAR16 *VariableName,
                                                       EFI_GUID *VendorGuid);
typedef EFI_STATUS(EFIAPI *EFI_SET_VARIABLE)(CHAR16 *VariableName, EFI_GUID *VendorGuid,
                                             UINT32 Attributes, UINTN DataSize, VOID *Data);
typedef EFI_STATUS(EFIAPI *EFI_GET_NEXT_HIGH_MONO_COUNT)(UINT32 *HighCount);
typedef VOID(EFIAPI *EFI_RESET_SYSTEM)(EFI_RESET_TYPE ResetType, EFI_STATUS ResetStatus,
                                       UINTN DataSize, VOID *ResetData);
typedef EFI_STATUS(EFIAPI *EFI_UPDATE_CAPSULE)(VOID **CapsuleHeaderArray, UINTN CapsuleCount,
                                               EFI_PHYSICAL_ADDRESS ScatterGatherList);
typedef EFI_STATUS(EFIAPI *EFI_QUERY_CAPSULE_CAPABILITIES)(VOID **CapsuleHeaderArray,
                                                           UINTN CapsuleCount,
                                                           UINT64 *MaximumCapsuleSize,
                                                           EFI_RESET_TYPE *ResetType);
typedef EFI_STATUS(EFIAPI *EFI_QUERY_VARIABLE_INFO)(UINT32 Attributes,
                                                    UINT64 *MaximumVariableStorageSize,
                                                    UINT64 *RemainingVariableStorageSize,
                                                    UINT64 *MaximumVariableSize);

#define EFI_RUNTIME_SERVICES_SIGNATURE 0x56524553544e5552ULL  // "RUNTSERV"
#define EFI_OPTIONAL_PTR 0x00000001u

typedef struct {
  EFI_TABLE_HEADER Hdr;
  EFI_GET_TIME GetTime;
  EFI_SET_TIME SetTime;
  EFI_GET_WAKEUP_TIME GetWakeupTime;
  EFI_SET_WAKEUP_TIME SetWakeupTime;
  EFI_SET_VIRTUAL_ADDRESS_MAP SetVirtualAddressMap;
  EFI_CONVERT_POINTER ConvertPointer;
  EFI_GET_VARIABLE GetVariable;
  EFI_GET_NEXT_VARIABLE_NAME GetNextVariableName;
  EFI_SET_VARIABLE SetVariable;
  EFI_GET_NEXT_HIGH_MONO_COUNT GetNextHighMonotonicCount;
  EFI_RESET_SYSTEM ResetSystem;
  EFI_UPDATE_CAPSULE UpdateCapsule;
  EFI_QUERY_CAPSULE_CAPABILITIES QueryCapsuleCapabilities;
  EFI_QUERY_VARIABLE_INFO QueryVariableInfo;
} EFI_RUNTIME_SERVICES;
UEFI_ASSERT_OFFSET(EFI_RUNTIME_SERVICES, GetTime, 24, 24);
UEFI_ASSERT_OFFSET(EFI_RUNTIME_SERVICES, ConvertPointer, 64, 44);
UEFI_ASSERT_OFFSET(EFI_RUNTIME_SERVICES, ResetSystem, 104, 64);
UEFI_ASSERT_SIZE(EFI_RUNTIME_SERVICES, 136, 80);

// ---- System table ----
#define EFI_SYSTEM_TABLE_SIGNATURE 0x5453595320494249ULL  // "IBI SYST"

typedef struct {
  EFI_GUID VendorGuid;
  VOID *VendorTable;
} EFI_CONFIGURATION_TABLE;

typedef struct {
  EFI_TABLE_HEADER Hdr;
  CHAR16 *FirmwareVendor;
  UINT32 FirmwareRevision;
  EFI_HANDLE ConsoleInHandle;
  VOID *ConIn;  // EFI_SIMPLE_TEXT_INPUT_PROTOCOL, not used here
  EFI_HANDLE ConsoleOutHandle;
  EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *ConOut;
  EFI_HANDLE StandardErrorHandle;
  EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL *StdErr;
  EFI_RUNTIME_SERVICES *RuntimeServices;
  EFI_BOOT_SERVICES *BootServices;
  UINTN NumberOfTableEntries;
  EFI_CONFIGURATION_TABLE *ConfigurationTable;
} EFI_SYSTEM_TABLE;
UEFI_ASSERT_OFFSET(EFI_SYSTEM_TABLE, FirmwareVendor, 24, 24);
UEFI_ASSERT_OFFSET(EFI_SYSTEM_TABLE, ConsoleOutHandle, 56, 40);
UEFI_ASSERT_OFFSET(EFI_SYSTEM_TABLE, ConOut, 64, 44);
UEFI_ASSERT_OFFSET(EFI_SYSTEM_TABLE, RuntimeServices, 88, 56);
UEFI_ASSERT_OFFSET(EFI_SYSTEM_TABLE, BootServices, 96, 60);
UEFI_ASSERT_OFFSET(EFI_SYSTEM_TABLE, ConfigurationTable, 112, 68);
UEFI_ASSERT_SIZE(EFI_SYSTEM_TABLE, 120, 72);

typedef EFI_STATUS(EFIAPI *EFI_IMAGE_ENTRY_POINT)(EFI_HANDLE ImageHandle,
                                                  EFI_SYSTEM_TABLE *SystemTable);
