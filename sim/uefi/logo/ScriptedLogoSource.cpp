#include "sim/uefi/logo/ScriptedLogoSource.h"

#include <cstring>

#include "sim/uefi/UefiEnvironment.h"
#include "sim/uefi/logo/LogoGuids.h"

namespace sim {
namespace {

// What UseImageResolution leaves in its two outputs, which the caller does not read.
constexpr UINT64 kUnusedOutput = 0x5245534F4C555449ull;

}  // namespace

ScriptedLogoSource::ScriptedLogoSource() {
  binding_.protocol.GetImage = &ScriptedLogoSource::GetImage;
  binding_.protocol.UseImageResolution = &ScriptedLogoSource::UseImageResolution;
  binding_.protocol.GetString = &ScriptedLogoSource::GetString;
  binding_.protocol.GetStringCount = &ScriptedLogoSource::GetStringCount;
  binding_.owner = this;
}

ScriptedLogoSource &ScriptedLogoSource::From(LOGO_SOURCE_PROTOCOL *self) {
  return *reinterpret_cast<Binding *>(self)->owner;
}

EFI_HANDLE ScriptedLogoSource::Install(UefiEnvironment &env) {
  return env.InstallProtocolOnNewHandle(kLogoSourceProtocolGuid, Protocol());
}

void ScriptedLogoSource::AddImage(uint32_t type, uint32_t format, uint32_t attribute, UINTN cx,
                                  UINTN cy, std::vector<uint8_t> bytes) {
  images_.push_back(Image{type, format, attribute, cx, cy, std::move(bytes)});
}

void ScriptedLogoSource::AddString(std::u16string text, UINTN x, UINTN y, uint32_t foreground,
                                   uint32_t background) {
  strings_.push_back(BadgeString{true, std::move(text), x, y, foreground, background});
}

void ScriptedLogoSource::AddMissingString() {
  strings_.push_back(BadgeString{false, u"", 0, 0, 0, 0});
}

void ScriptedLogoSource::SetUseImageResolution(
    std::function<bool(uint32_t width, uint32_t height)> decide) {
  useImageResolution_ = std::move(decide);
}

EFI_STATUS EFIAPI ScriptedLogoSource::GetImage(LOGO_SOURCE_PROTOCOL *self, UINT32 *instance,
                                               UINT32 *type, UINT32 *format, VOID **imageData,
                                               UINTN *imageSize, UINT32 *attribute,
                                               UINTN *coordinateX, UINTN *coordinateY) {
  ScriptedLogoSource &source = From(self);
  GetImageCall call{};
  call.Instance = instance != nullptr ? *instance : 0;
  call.Type = type != nullptr ? *type : 0;
  call.Format = format != nullptr ? *format : 0;
  if (instance == nullptr || type == nullptr || format == nullptr || imageData == nullptr ||
      imageSize == nullptr || attribute == nullptr || coordinateX == nullptr ||
      coordinateY == nullptr) {
    call.Status = EFI_INVALID_PARAMETER;
  } else {
    call.Status = source.ServeImage(instance, *type, format, imageData, imageSize, attribute,
                                    coordinateX, coordinateY);
  }
  source.getImageCalls_.push_back(call);
  return call.Status;
}

EFI_STATUS ScriptedLogoSource::ServeImage(UINT32 *instance, UINT32 type, UINT32 *format,
                                          VOID **imageData, UINTN *imageSize, UINT32 *attribute,
                                          UINTN *coordinateX, UINTN *coordinateY) {
  auto failure = imageFailures_.find(type);
  if (failure != imageFailures_.end()) return failure->second;
  UINT32 ordinal = 0;
  for (const Image &image : images_) {
    if (image.type != type) continue;
    if (ordinal++ < *instance) continue;
    void *copy = nullptr;
    if (EFI_ERROR(UefiEnvironment::Current().Pool().Allocate(EfiBootServicesData,
                                                             image.bytes.size(), &copy))) {
      return EFI_OUT_OF_RESOURCES;
    }
    if (!image.bytes.empty()) std::memcpy(copy, image.bytes.data(), image.bytes.size());
    *imageData = copy;
    *imageSize = image.bytes.size();
    *format = image.format;
    *attribute = image.attribute;
    *coordinateX = image.cx;
    *coordinateY = image.cy;
    *instance = ordinal;
    return EFI_SUCCESS;
  }
  return EFI_NOT_FOUND;
}

BOOLEAN EFIAPI ScriptedLogoSource::UseImageResolution(LOGO_SOURCE_PROTOCOL *self, UINTN reserved,
                                                      UINT32 width, UINT32 height, UINT64 *unused1,
                                                      UINT64 *unused2) {
  ScriptedLogoSource &source = From(self);
  const bool answer = source.useImageResolution_ && source.useImageResolution_(width, height);
  if (unused1 != nullptr) *unused1 = kUnusedOutput;
  if (unused2 != nullptr) *unused2 = kUnusedOutput;
  source.useImageResolutionCalls_.push_back(
      UseImageResolutionCall{reserved, width, height, answer});
  return answer ? TRUE : FALSE;
}

BOOLEAN EFIAPI ScriptedLogoSource::GetString(LOGO_SOURCE_PROTOCOL *self, UINTN index, UINT8 a,
                                             UINT8 b, CHAR16 **string, UINTN *x, UINTN *y,
                                             UINT32 *foreground, UINT32 *background) {
  ScriptedLogoSource &source = From(self);
  const bool answer = source.ServeString(index, string, x, y, foreground, background);
  source.getStringCalls_.push_back(GetStringCall{index, a, b, answer});
  return answer ? TRUE : FALSE;
}

bool ScriptedLogoSource::ServeString(UINTN index, CHAR16 **string, UINTN *x, UINTN *y,
                                     UINT32 *foreground, UINT32 *background) {
  if (string == nullptr || x == nullptr || y == nullptr || foreground == nullptr ||
      background == nullptr) {
    return false;
  }
  if (index >= strings_.size() || !strings_[index].present) return false;
  const BadgeString &badge = strings_[index];
  const size_t bytes = (badge.text.size() + 1) * sizeof(CHAR16);
  void *copy = nullptr;
  if (EFI_ERROR(UefiEnvironment::Current().Pool().Allocate(EfiBootServicesData, bytes, &copy))) {
    return false;
  }
  std::memcpy(copy, badge.text.c_str(), bytes);
  *string = static_cast<CHAR16 *>(copy);
  *x = badge.x;
  *y = badge.y;
  *foreground = badge.foreground;
  *background = badge.background;
  return true;
}

EFI_STATUS EFIAPI ScriptedLogoSource::GetStringCount(LOGO_SOURCE_PROTOCOL *self, UINTN *count) {
  ScriptedLogoSource &source = From(self);
  StringCountCall call{EFI_SUCCESS, 0};
  if (source.stringCountFailure_) {
    call.Status = *source.stringCountFailure_;
  } else if (count == nullptr) {
    call.Status = EFI_INVALID_PARAMETER;
  } else {
    call.Count = source.strings_.size();
    *count = call.Count;
  }
  source.stringCountCalls_.push_back(call);
  return call.Status;
}

}  // namespace sim
