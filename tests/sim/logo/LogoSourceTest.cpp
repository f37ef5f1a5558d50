// The scripted logo source: enumeration by type and instance, fresh pool copies for every
// image and string, the string count, the screen-size question and the failure switches.
#include <gtest/gtest.h>

#include <cstring>

#include "sim/uefi/logo/ScriptedLogoSource.h"
#include "tests/support/UefiTest.h"

namespace sim {
namespace {

class LogoSource : public UefiTest {
 protected:
  struct Got {
    EFI_STATUS status;
    UINT32 instance, format, attribute;
    std::vector<uint8_t> bytes;
    UINTN x, y;
  };
  // GetImage as the driver calls it; the image buffer is checked to be pool and freed.
  Got Get(UINT32 instance, UINT32 type, UINT32 format = 0) {
    VOID *data = nullptr;
    UINTN size = 0, x = 0, y = 0;
    UINT32 attribute = 0;
    LOGO_SOURCE_PROTOCOL *p = source.Protocol();
    Got got{};
    got.status = p->GetImage(p, &instance, &type, &format, &data, &size, &attribute, &x, &y);
    got.instance = instance;
    got.format = format;
    got.attribute = attribute;
    got.x = x;
    got.y = y;
    if (!EFI_ERROR(got.status)) {
      const PoolAllocation *block = Env().Pool().Find(data);
      EXPECT_NE(block, nullptr) << "image bytes must be a pool buffer";
      if (block != nullptr) {
        EXPECT_EQ(block->size, size);
      }
      got.bytes.assign(static_cast<uint8_t *>(data), static_cast<uint8_t *>(data) + size);
      Env().Pool().Free(data);
    }
    return got;
  }
  ScriptedLogoSource source;
};

TEST_F(LogoSource, EnumeratesEachTypeInOrderFromTheInstance) {
  source.AddImage(0, 0, 8, 1, 2, {0xA0});
  source.AddImage(1, 4, 0, 5, 6, {0xB0, 0xB1});
  source.AddImage(0, 1, 3, 3, 4, {0xA1});
  source.AddImage(2, 5, 9, 0, 0, {0xC0});

  Got first = Get(0, 0);
  ASSERT_EQ(first.status, EFI_SUCCESS);
  EXPECT_EQ(first.bytes, std::vector<uint8_t>{0xA0});
  EXPECT_EQ(first.format, 0u);
  EXPECT_EQ(first.attribute, 8u);
  EXPECT_EQ(first.x, 1u);
  EXPECT_EQ(first.y, 2u);
  EXPECT_EQ(first.instance, 1u);

  Got second = Get(first.instance, 0, first.format);
  ASSERT_EQ(second.status, EFI_SUCCESS);
  EXPECT_EQ(second.bytes, std::vector<uint8_t>{0xA1});
  EXPECT_EQ(second.format, 1u);
  EXPECT_EQ(Get(second.instance, 0).status, EFI_NOT_FOUND);

  Got overlay = Get(0, 1);
  EXPECT_EQ(overlay.bytes, (std::vector<uint8_t>{0xB0, 0xB1}));
  EXPECT_EQ(overlay.instance, 1u);
  Got handOff = Get(0, 2, 6);
  EXPECT_EQ(handOff.bytes, std::vector<uint8_t>{0xC0});
  EXPECT_EQ(handOff.format, 5u);
  EXPECT_EQ(Get(0, 7).status, EFI_NOT_FOUND);

  ASSERT_EQ(source.GetImageCalls().size(), 6u);
  EXPECT_EQ(source.GetImageCalls()[1].Instance, 1u);
  EXPECT_EQ(source.GetImageCalls()[4].Format, 6u) << "format recorded as passed in";
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_F(LogoSource, EveryCallHandsOutANewBuffer) {
  source.AddImage(0, 0, 0, 0, 0, {1, 2, 3});
  LOGO_SOURCE_PROTOCOL *p = source.Protocol();
  VOID *a = nullptr, *b = nullptr;
  UINT32 instance = 0, type = 0, format = 0, attribute = 0;
  UINTN size = 0, x = 0, y = 0;
  ASSERT_EQ(p->GetImage(p, &instance, &type, &format, &a, &size, &attribute, &x, &y), EFI_SUCCESS);
  instance = 0;
  ASSERT_EQ(p->GetImage(p, &instance, &type, &format, &b, &size, &attribute, &x, &y), EFI_SUCCESS);
  EXPECT_NE(a, b);
  EXPECT_EQ(Env().Pool().LiveCount(), 2u);
  Env().Pool().Free(a);
  Env().Pool().Free(b);
}

TEST_F(LogoSource, FailuresEndOneTypeOnly) {
  source.AddImage(0, 0, 0, 0, 0, {1});
  source.AddImage(1, 0, 0, 0, 0, {2});
  source.FailGetImage(1, EFI_DEVICE_ERROR);
  EXPECT_EQ(Get(0, 1).status, EFI_DEVICE_ERROR);
  EXPECT_EQ(Get(0, 0).status, EFI_SUCCESS);
  Env().Pool().FailNthAllocation(1);
  EXPECT_EQ(Get(0, 0).status, EFI_OUT_OF_RESOURCES);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
}

TEST_F(LogoSource, AnEmptyImageIsStillAPoolBuffer) {
  source.AddImage(0, 0, 0, 0, 0, {});
  Got got = Get(0, 0);
  EXPECT_EQ(got.status, EFI_SUCCESS);
  EXPECT_TRUE(got.bytes.empty());
}

TEST_F(LogoSource, StringsAreFreshPoolCopiesAndMissingOnesAnswerFalse) {
  source.AddString(u"Press F2", LOGO_BADGE_CENTRED, LOGO_BADGE_CENTRED, 0x00FFFFFF, 0);
  source.AddMissingString();
  source.AddString(u"v1.0", 10, 400, 0x00FF0000, 0x000000FF);
  LOGO_SOURCE_PROTOCOL *p = source.Protocol();

  UINTN count = 0;
  ASSERT_EQ(p->GetStringCount(p, &count), EFI_SUCCESS);
  EXPECT_EQ(count, 3u);

  CHAR16 *text = nullptr;
  UINTN x = 0, y = 0;
  UINT32 fg = 0, bg = 0;
  ASSERT_EQ(p->GetString(p, 2, 0, 0, &text, &x, &y, &fg, &bg), TRUE);
  ASSERT_NE(Env().Pool().Find(text), nullptr);
  EXPECT_EQ(std::u16string(text), u"v1.0");
  EXPECT_EQ(x, 10u);
  EXPECT_EQ(y, 400u);
  EXPECT_EQ(fg, 0x00FF0000u);
  EXPECT_EQ(bg, 0x000000FFu);
  Env().Pool().Free(text);

  ASSERT_EQ(p->GetString(p, 0, 0, 0, &text, &x, &y, &fg, &bg), TRUE);
  EXPECT_EQ(x, LOGO_BADGE_CENTRED);
  Env().Pool().Free(text);

  EXPECT_EQ(p->GetString(p, 1, 0, 0, &text, &x, &y, &fg, &bg), FALSE);
  EXPECT_EQ(p->GetString(p, 3, 0, 0, &text, &x, &y, &fg, &bg), FALSE);
  Env().Pool().FailNthAllocation(1);
  EXPECT_EQ(p->GetString(p, 0, 0, 0, &text, &x, &y, &fg, &bg), FALSE);
  EXPECT_EQ(Env().Pool().LiveCount(), 0u);
  ASSERT_EQ(source.GetStringCalls().size(), 5u);
  EXPECT_EQ(source.GetStringCalls()[2].Index, 1u);
  EXPECT_FALSE(source.GetStringCalls()[2].Answer);
}

TEST_F(LogoSource, StringCountCanFail) {
  source.AddString(u"x", 0, 0, 0, 0);
  source.FailGetStringCount(EFI_NOT_READY);
  UINTN count = 99;
  EXPECT_EQ(source.Protocol()->GetStringCount(source.Protocol(), &count), EFI_NOT_READY);
  EXPECT_EQ(count, 99u);
  ASSERT_EQ(source.StringCountCalls().size(), 1u);
  EXPECT_EQ(source.StringCountCalls()[0].Status, EFI_NOT_READY);
}

TEST_F(LogoSource, UseImageResolutionAsksTheScript) {
  LOGO_SOURCE_PROTOCOL *p = source.Protocol();
  UINT64 a = 0, b = 0;
  EXPECT_EQ(p->UseImageResolution(p, 0, 1024, 768, &a, &b), FALSE) << "FALSE by default";
  source.SetUseImageResolution([](uint32_t w, uint32_t h) { return w == 1024 && h == 768; });
  EXPECT_EQ(p->UseImageResolution(p, 0, 1024, 768, &a, &b), TRUE);
  EXPECT_EQ(p->UseImageResolution(p, 0, 800, 600, nullptr, nullptr), FALSE);
  ASSERT_EQ(source.UseImageResolutionCalls().size(), 3u);
  EXPECT_EQ(source.UseImageResolutionCalls()[1].Width, 1024u);
  EXPECT_TRUE(source.UseImageResolutionCalls()[1].Answer);
}

TEST_F(LogoSource, InstallMakesItLocatable) {
  source.Install(Env());
  EFI_GUID guid = LOGO_SOURCE_PROTOCOL_GUID;
  VOID *found = nullptr;
  ASSERT_EQ(BootServices()->LocateProtocol(&guid, nullptr, &found), EFI_SUCCESS);
  EXPECT_EQ(found, source.Protocol());
}

}  // namespace
}  // namespace sim
