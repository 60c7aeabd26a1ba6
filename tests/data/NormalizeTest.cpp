#include <gtest/gtest.h>

#include "data/EepromImage.h"
#include "data/ItemRecord.h"
#include "data/MemoryMap.h"
#include "data/Normalize.h"

namespace twk {
namespace {

// A template whose bytes are all 0xA5 and an image whose bytes are all 0x00
// make every byte's origin visible.
struct NormalizeFixture : ::testing::Test {
  EepromImage image{mem::kImageSize};
  EepromImage tmpl{mem::kImageSize};
  void SetUp() override { tmpl.Fill(0xA5); }
};

TEST_F(NormalizeFixture, FixedBytesComeFromTheTemplate) {
  NormalizeImage(image, tmpl, 0);
  for (int a : {0x3D0, 0x3D7, 0x3D8, 0x3D9, 0x3DA, 0xFEE, 0xFF5, 0xFF6, 0xFF7, 0x409, 0x40A, 0x40C,
                0x40D, 0x40E, 0x421, 0x437})
    EXPECT_EQ(image.GetByte(a), 0xA5) << std::hex << a;
  // Bytes the pass does not own stay as loaded.
  for (int a : {0x3E0, 0x418, 0x419, 0x41A, 0x41C, 0x426, 0x438, 0x439, 0xFEC, 0xFFB, 0x1000})
    EXPECT_EQ(image.GetByte(a), 0x00) << std::hex << a;
}

TEST_F(NormalizeFixture, AttributeBytesKeepTheirCarriedBits) {
  image.SetByte(mem::kPlanTableUsa + 40, 0x80 | 0x20 | 0x04);
  image.SetByte(mem::kPlanTableInt + 41, 0x00);  // odd slot, simplex bit clear
  image.SetByte(mem::kPlanTableCanada + 240, 0x02);
  NormalizeImage(image, tmpl, 0);
  // Template 0xA5: bits 0, 3, 4 give 0x01; bit 1 comes from the image.
  EXPECT_EQ(image.GetByte(mem::kPlanTableUsa + 40), 0x80 | 0x20 | 0x04 | 0x01);
  EXPECT_EQ(image.GetByte(mem::kPlanTableInt + 41), 0x02 | 0x01);
  // Slot 240 is free channel 6, whose frequencies (0 and 0 Hz + offset)
  // differ: the equal-frequency rule clears its simplex bit.
  EXPECT_EQ(image.GetByte(mem::kPlanTableCanada + 240), 0x01);
}

TEST_F(NormalizeFixture, NamesAreCleaned) {
  const std::string raw = "a#s\x01xPORT!";
  for (int i = 0; i < 10; ++i) {
    image.SetByte(mem::ChannelName(7) + i, static_cast<std::uint8_t>(raw[static_cast<std::size_t>(i)]));
    image.SetByte(mem::WeatherName(2) + i, static_cast<std::uint8_t>(raw[static_cast<std::size_t>(i)]));
  }
  NormalizeImage(image, tmpl, 0);
  std::string channel, weather;
  for (int i = 0; i < 10; ++i) {
    channel.push_back(static_cast<char>(image.GetByte(mem::ChannelName(7) + i)));
    weather.push_back(static_cast<char>(image.GetByte(mem::WeatherName(2) + i)));
  }
  EXPECT_EQ(channel, "a S XPORT ");
  EXPECT_EQ(weather, "a S XPORT ");
}

TEST_F(NormalizeFixture, DscRecordsTakeTheSpareByteAndLoseInvalidIds) {
  const int good = mem::DscId(0), bad = mem::DscId(1);
  const std::uint8_t goodId[5] = {1, 2, 3, 4, 50};
  for (int i = 0; i < 5; ++i) image.SetByte(good + i, goodId[i]);
  image.SetByte(bad + 2, 0x64);
  for (int i = 0; i < 5; ++i) image.SetByte(bad + 5 + i, 'N');
  NormalizeImage(image, tmpl, 0);
  EXPECT_EQ(image.GetByte(good + 4), 50);
  EXPECT_EQ(image.GetByte(good + 10), 0xA5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(image.GetByte(bad + i), 0xFF);
    EXPECT_EQ(image.GetByte(bad + 5 + i), ' ');
  }
  EXPECT_EQ(image.GetByte(bad + 10), 0xA5);
}

TEST_F(NormalizeFixture, FreeChannelSpareByteFromTheTemplate) {
  ItemRecord rec(&image);
  rec.Load(RecordKind::FreeChannel, 3);
  rec.firstFrequency = rec.secondFrequency = 157000000;
  rec.Store();
  NormalizeImage(image, tmpl, 0);
  rec.Load(RecordKind::FreeChannel, 3);
  EXPECT_EQ(rec.firstFrequency, 157000000u);
  EXPECT_EQ(image.GetByte(mem::FreeChannel(3) + 7), 0xA5);
  EXPECT_EQ(image.GetByte(mem::kPlanTableInt + 237) & 0x02, 0x02);
}

TEST_F(NormalizeFixture, DerivedWordsAndBytes) {
  image.SetWord(mem::PChannelWord(0), 32);
  image.SetWord(mem::PChannelWord(1), 33);
  image.SetWord(mem::PChannelWord(2), 34);
  image.SetWord(mem::kWeatherFlags, 0x0007);  // WX1-WX3 off: WX4 is the first in use
  image.SetByte(mem::kCommonSettings, 0x7F);
  NormalizeImage(image, tmpl, 0);
  EXPECT_EQ(image.GetWord(mem::PSlotWord(0)), 32);
  EXPECT_EQ(image.GetWord(mem::PSlotWord(1)), 33);
  EXPECT_EQ(image.GetWord(mem::PSlotWord(2)), 34);
  EXPECT_EQ(image.GetByte(mem::kCurrentWeather), 3);
  EXPECT_EQ(image.GetByte(mem::kCommonSettings), 0xFF);  // bit 7 from the template
}

TEST_F(NormalizeFixture, CurrentWeatherFromTheTemplateWhenNoneIsInUse) {
  image.SetWord(mem::kWeatherFlags, 0x03FF);
  NormalizeImage(image, tmpl, 0);
  EXPECT_EQ(image.GetByte(mem::kCurrentWeather), 0xA5);
}

TEST_F(NormalizeFixture, Setting40BDependsOnTheUsaPlan) {
  for (auto [switches, expected] : {std::pair{0x01, 0xA5}, std::pair{0x06, 0x01}}) {
    image.SetByte(mem::kPlanSwitches, static_cast<std::uint8_t>(switches));
    image.SetByte(mem::kSetting40B, 0x33);
    NormalizeImage(image, tmpl, 0);
    EXPECT_EQ(image.GetByte(mem::kSetting40B), expected) << switches;
  }
}

TEST_F(NormalizeFixture, DisplayPlanBitsFromTheTemplateForOtherModels) {
  image.SetByte(mem::kDisplayHigh, 0x8F);
  NormalizeImage(image, tmpl, 0);
  EXPECT_EQ(image.GetByte(mem::kDisplayHigh), 0x8F);
  NormalizeImage(image, tmpl, 1);
  EXPECT_EQ(image.GetByte(mem::kDisplayHigh), 0x8F | (0xA5 & 0x70));
}

TEST_F(NormalizeFixture, SelfIdKeptOnlyWithACorrectCheckByte) {
  const std::uint8_t id[5] = {21, 43, 65, 87, 90};
  struct Case {
    int checkDelta;
    int model;
    bool kept;
  } cases[] = {{0, 0, true}, {1, 0, false}, {0, 1, false}};
  for (const Case& c : cases) {
    for (int i = 0; i < 5; ++i) image.SetByte(mem::kSelfId + i, id[i]);
    image.SetByte(mem::kSelfIdCheck, static_cast<std::uint8_t>(PackedIdCheckByte(id) + c.checkDelta));
    image.SetByte(mem::kSelfIdState, 0x44);
    NormalizeImage(image, tmpl, c.model);
    if (c.kept) {
      EXPECT_EQ(image.GetByte(mem::kSelfId + 1), 43);
      EXPECT_EQ(image.GetByte(mem::kSelfIdState), 0);
    } else {
      for (int a = mem::kSelfId; a <= mem::kSelfIdState; ++a)
        EXPECT_EQ(image.GetByte(a), 0xA5) << c.checkDelta << " " << c.model << " " << a;
    }
  }
}

TEST_F(NormalizeFixture, TemplateMayBeTheImageItself) {
  image.Fill(0x5A);
  NormalizeImage(image, image, 0);
  // Fixed bytes copied from itself stay; derived bytes follow the rules.
  EXPECT_EQ(image.GetByte(0x3D0), 0x5A);
  EXPECT_EQ(image.GetWord(mem::PSlotWord(0)), 0x5A5A);
}

}  // namespace
}  // namespace twk
