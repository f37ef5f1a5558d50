// The GUIDs of the board's logo services and the default logo file, as values for the
// simulated environment's protocol database.
#pragma once

#include "include/BoardLogoProtocols.h"
#include "uefi/Uefi.h"

namespace sim {

inline constexpr EFI_GUID kLogoSourceProtocolGuid = LOGO_SOURCE_PROTOCOL_GUID;
inline constexpr EFI_GUID kJpegDecoderProtocolGuid = JPEG_DECODER_PROTOCOL_GUID;
inline constexpr EFI_GUID kFormat4DecoderProtocolGuid = FORMAT4_DECODER_PROTOCOL_GUID;
inline constexpr EFI_GUID kFormat5DecoderProtocolGuid = FORMAT5_DECODER_PROTOCOL_GUID;
inline constexpr EFI_GUID kAnimatedDecoderProtocolGuid = ANIMATED_IMAGE_DECODER_PROTOCOL_GUID;
inline constexpr EFI_GUID kBootLogoProtocolGuid = EFI_BOOT_LOGO_PROTOCOL_GUID;
inline constexpr EFI_GUID kFirmwareVolumeProtocolGuid = EFI_FIRMWARE_VOLUME_PROTOCOL_GUID;
inline constexpr EFI_GUID kDefaultLogoFileGuid = DEFAULT_LOGO_FILE_GUID;

}  // namespace sim
