// LOGO_SOURCE_PROTOCOL of the simulated board, scripted by a test: the images it enumerates
// (by type, in the order added), the badge strings, and whether the screen takes an image's
// size. Every buffer it hands out is a fresh pool block the caller must free.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "include/BoardLogoProtocols.h"
#include "uefi/Uefi.h"

namespace sim {

class UefiEnvironment;

class ScriptedLogoSource {
 public:
  ScriptedLogoSource();
  ScriptedLogoSource(const ScriptedLogoSource &) = delete;
  ScriptedLogoSource &operator=(const ScriptedLogoSource &) = delete;

  LOGO_SOURCE_PROTOCOL *Protocol() { return &binding_.protocol; }
  // Installs the protocol on a new handle; returns the handle.
  EFI_HANDLE Install(UefiEnvironment &env);

  // An image of `type` (0 logo, 1 overlay, 2 hand-off; any other value is served as well).
  // Instance n of a type is the nth image of that type added (from 0).
  void AddImage(uint32_t type, uint32_t format, uint32_t attribute, UINTN cx, UINTN cy,
                std::vector<uint8_t> bytes);
  // The next badge string index. LOGO_BADGE_CENTRED in x or y asks for centring.
  void AddString(std::u16string text, UINTN x, UINTN y, uint32_t foreground, uint32_t background);
  // The next index is counted by GetStringCount but GetString answers FALSE for it.
  void AddMissingString();
  // Decides UseImageResolution's answer; without it the answer is FALSE.
  void SetUseImageResolution(std::function<bool(uint32_t width, uint32_t height)> decide);
  // GetStringCount returns `status` (and leaves the count alone) from now on.
  void FailGetStringCount(EFI_STATUS status) { stringCountFailure_ = status; }
  // Every GetImage for `type` returns `status` from now on.
  void FailGetImage(uint32_t type, EFI_STATUS status) { imageFailures_[type] = status; }

  struct GetImageCall {
    UINT32 Instance;  // on entry
    UINT32 Type;
    UINT32 Format;  // on entry
    EFI_STATUS Status;
  };
  struct UseImageResolutionCall {
    UINTN Reserved;
    UINT32 Width;
    UINT32 Height;
    bool Answer;
  };
  struct GetStringCall {
    UINTN Index;
    UINT8 A;
    UINT8 B;
    bool Answer;
  };
  struct StringCountCall {
    EFI_STATUS Status;
    UINTN Count;  // what was reported (0 on failure)
  };
  const std::vector<GetImageCall> &GetImageCalls() const { return getImageCalls_; }
  const std::vector<UseImageResolutionCall> &UseImageResolutionCalls() const {
    return useImageResolutionCalls_;
  }
  const std::vector<GetStringCall> &GetStringCalls() const { return getStringCalls_; }
  const std::vector<StringCountCall> &StringCountCalls() const { return stringCountCalls_; }

 private:
  struct Binding {
    LOGO_SOURCE_PROTOCOL protocol;
    ScriptedLogoSource *owner;
  };
  struct Image {
    uint32_t type;
    uint32_t format;
    uint32_t attribute;
    UINTN cx;
    UINTN cy;
    std::vector<uint8_t> bytes;
  };
  struct BadgeString {
    bool present;
    std::u16string text;
    UINTN x;
    UINTN y;
    uint32_t foreground;
    uint32_t background;
  };

  static ScriptedLogoSource &From(LOGO_SOURCE_PROTOCOL *self);
  static EFI_STATUS EFIAPI GetImage(LOGO_SOURCE_PROTOCOL *self, UINT32 *instance, UINT32 *type,
                                    UINT32 *format, VOID **imageData, UINTN *imageSize,
                                    UINT32 *attribute, UINTN *coordinateX, UINTN *coordinateY);
  static BOOLEAN EFIAPI UseImageResolution(LOGO_SOURCE_PROTOCOL *self, UINTN reserved, UINT32 width,
                                           UINT32 height, UINT64 *unused1, UINT64 *unused2);
  static BOOLEAN EFIAPI GetString(LOGO_SOURCE_PROTOCOL *self, UINTN index, UINT8 a, UINT8 b,
                                  CHAR16 **string, UINTN *x, UINTN *y, UINT32 *foreground,
                                  UINT32 *background);
  static EFI_STATUS EFIAPI GetStringCount(LOGO_SOURCE_PROTOCOL *self, UINTN *count);

  EFI_STATUS ServeImage(UINT32 *instance, UINT32 type, UINT32 *format, VOID **imageData,
                        UINTN *imageSize, UINT32 *attribute, UINTN *coordinateX,
                        UINTN *coordinateY);
  bool ServeString(UINTN index, CHAR16 **string, UINTN *x, UINTN *y, UINT32 *foreground,
                   UINT32 *background);

  Binding binding_;
  std::vector<Image> images_;
  std::vector<BadgeString> strings_;
  std::function<bool(uint32_t, uint32_t)> useImageResolution_;
  std::optional<EFI_STATUS> stringCountFailure_;
  std::map<uint32_t, EFI_STATUS> imageFailures_;
  std::vector<GetImageCall> getImageCalls_;
  std::vector<UseImageResolutionCall> useImageResolutionCalls_;
  std::vector<GetStringCall> getStringCalls_;
  std::vector<StringCountCall> stringCountCalls_;
};

}  // namespace sim
