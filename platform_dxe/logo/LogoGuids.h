// The protocol and event group GUIDs the boot logo code looks up. Constant-initialised, so the
// firmware image holds them ready.
#pragma once

#include "../../include/BoardLogoProtocols.h"
#include "../../include/BoardProtocols.h"
#include "../../uefi/Uefi.h"

inline constexpr EFI_GUID kGraphicsOutputGuid = EFI_GRAPHICS_OUTPUT_PROTOCOL_GUID;
inline constexpr EFI_GUID kUgaDrawGuid = EFI_UGA_DRAW_PROTOCOL_GUID;
inline constexpr EFI_GUID kSimpleTextOutputGuid = EFI_SIMPLE_TEXT_OUTPUT_PROTOCOL_GUID;
inline constexpr EFI_GUID kDevicePathGuid = EFI_DEVICE_PATH_PROTOCOL_GUID;
inline constexpr EFI_GUID kHiiFontGuid = EFI_HII_FONT_PROTOCOL_GUID;
inline constexpr EFI_GUID kBootLogoGuid = EFI_BOOT_LOGO_PROTOCOL_GUID;
inline constexpr EFI_GUID kConsoleControlGuid = EFI_CONSOLE_CONTROL_PROTOCOL_GUID;
inline constexpr EFI_GUID kFirmwareVolumeGuid = EFI_FIRMWARE_VOLUME_PROTOCOL_GUID;
inline constexpr EFI_GUID kReadyToBootGroupGuid = EFI_EVENT_GROUP_READY_TO_BOOT;

inline constexpr EFI_GUID kLogoSourceGuid = LOGO_SOURCE_PROTOCOL_GUID;
inline constexpr EFI_GUID kJpegDecoderGuid = JPEG_DECODER_PROTOCOL_GUID;
inline constexpr EFI_GUID kFormat4DecoderGuid = FORMAT4_DECODER_PROTOCOL_GUID;
inline constexpr EFI_GUID kFormat5DecoderGuid = FORMAT5_DECODER_PROTOCOL_GUID;
inline constexpr EFI_GUID kAnimatedDecoderGuid = ANIMATED_IMAGE_DECODER_PROTOCOL_GUID;
inline constexpr EFI_GUID kDefaultLogoFileGuid = DEFAULT_LOGO_FILE_GUID;
inline constexpr EFI_GUID kTextConsoleRestoredGuid = TEXT_CONSOLE_RESTORED_PROTOCOL_GUID;
inline constexpr EFI_GUID kBoardSupportGuid = BOARD_SUPPORT_PROTOCOL_GUID;
