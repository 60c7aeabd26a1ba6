// The model's initial clone file as shipped in resources/, and its builder.
#include <gtest/gtest.h>

#include "data/ItemRecord.h"
#include "data/NameChars.h"
#include "data/Normalize.h"
#include "file/CloneFile.h"
#include "file/CloneFileSupport.h"
#include "file/CloneOpen.h"
#include "file/InitialImage.h"

namespace twk {
namespace {

class InitialFile : public ::testing::Test {
 protected:
  test::ResourceStores stores;
  test::ScriptedDialogs dialogs;
  EepromImage raw;   // as read, before normalizing
  EepromImage tmpl{mem::kImageSize};

  void SetUp() override {
    const std::string path = InitialFilePath((test::SourceDir() / "resources/").string(), 0);
    ASSERT_EQ(LoadCloneFile(path, mem::kImageSize, raw, &dialogs), kCloneOk);
    ASSERT_EQ(LoadTemplateImage(path, tmpl, &dialogs), kCloneOk);
  }
  std::string Name(int address) const {
    std::string s;
    for (int i = 0; i < 10; ++i) s.push_back(static_cast<char>(tmpl.GetByte(address + i)));
    return s;
  }
};

TEST_F(InitialFile, ReadsAndIsAlreadyNormal) {
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(raw.Equals(tmpl));  // normalizing against itself changes nothing
  EXPECT_EQ(tmpl.GetByte(mem::kFormatMarker), 1);
  EXPECT_EQ(tmpl.GetByte(mem::kModelIndex), 0);
  EXPECT_EQ(tmpl.GetByte(mem::kPlanSwitches) & 0x07, 0x07);
}

TEST_F(InitialFile, Channel16IsInUseAndThePChannelEverywhere) {
  ItemRecord rec(&tmpl);
  for (RecordKind kind : {RecordKind::IntChannel, RecordKind::UsaChannel, RecordKind::CanadaChannel}) {
    rec.Load(kind, 32);
    EXPECT_FALSE(rec.flags & ItemRecord::kFlagNotInUse);
    EXPECT_TRUE(rec.planMarks & ItemRecord::kMarkP);
    EXPECT_TRUE(rec.flags & ItemRecord::kFlagSimplex);
    EXPECT_EQ(Name(mem::ChannelName(32)), "DISTRESS  ");
    rec.Load(kind, 140);  // channel 70: DSC only
    EXPECT_TRUE(rec.flags & ItemRecord::kFlagTxInhibit);
  }
  // A few plan differences of the data: 22A is USA and CANADA only, 15 is
  // receive only in the USA and 1 W elsewhere.
  rec.Load(RecordKind::IntChannel, 45);
  EXPECT_TRUE(rec.flags & ItemRecord::kFlagNotInUse);
  rec.Load(RecordKind::UsaChannel, 45);
  EXPECT_FALSE(rec.flags & ItemRecord::kFlagNotInUse);
  rec.Load(RecordKind::UsaChannel, 30);
  EXPECT_EQ(rec.flags & (ItemRecord::kFlagTxInhibit | ItemRecord::kFlagLowPower),
            ItemRecord::kFlagTxInhibit);
  rec.Load(RecordKind::IntChannel, 30);
  EXPECT_EQ(rec.flags & (ItemRecord::kFlagTxInhibit | ItemRecord::kFlagLowPower),
            ItemRecord::kFlagLowPower);
}

TEST_F(InitialFile, WeatherChannelsPresent) {
  EXPECT_TRUE(tmpl.GetByte(mem::kPlanSwitches) & mem::kSwitchWeather);
  ItemRecord rec(&tmpl);
  for (int i = 0; i < mem::kWeatherCount; ++i) {
    rec.Load(RecordKind::Weather, i);
    EXPECT_EQ(rec.flags, 0) << i;
    std::string expected = "WX" + std::to_string(i + 1);
    expected.resize(10, ' ');
    EXPECT_EQ(Name(mem::WeatherName(i)), expected);
  }
}

TEST_F(InitialFile, NamesSurviveTheNameCleaning) {
  for (int slot = 0; slot < mem::kSlotCount; ++slot) {
    const std::string name = Name(mem::ChannelName(slot));
    EXPECT_EQ(CleanName(name), name) << slot;
  }
  for (int i = 0; i < mem::kWeatherCount; ++i)
    EXPECT_EQ(CleanName(Name(mem::WeatherName(i))), Name(mem::WeatherName(i)));
  EXPECT_EQ(Name(mem::ChannelName(18)), "CALLING   ");
}

TEST_F(InitialFile, NoFreeChannelsNoDscIdsNoSelfId) {
  ItemRecord rec(&tmpl);
  for (int i = 0; i < mem::kFreeChannelCount; ++i) {
    rec.Load(RecordKind::FreeChannel, i);
    EXPECT_TRUE(rec.firstEmpty && rec.secondEmpty) << i;
    rec.Load(RecordKind::UsaChannel, mem::kFirstFreeSlot + i);
    EXPECT_TRUE(rec.flags & ItemRecord::kFlagNotInUse);
  }
  for (int i = 0; i < mem::kDscIdCount; ++i) {
    rec.Load(RecordKind::DscId, i);
    EXPECT_FALSE(rec.valid) << i;
  }
  std::uint8_t self[5];
  for (int i = 0; i < 5; ++i) self[i] = tmpl.GetByte(mem::kSelfId + i);
  EXPECT_FALSE(IsValidPackedId(self));
  for (int p = 0; p < mem::kPlanCount; ++p) EXPECT_EQ(tmpl.GetWord(mem::CChannelWord(p)), 18);
}

TEST(InitialImageBuilder, RefusesBadData) {
  const std::string header =
      "channel,slot,ship_tx_mhz,ship_rx_mhz,name,int_in_use,int_simplex,int_tx_inhibit,"
      "int_low_power,usa_in_use,usa_simplex,usa_tx_inhibit,usa_low_power,can_in_use,can_simplex,"
      "can_tx_inhibit,can_low_power,note\n";
  const std::string ch16 = "16,32,156.8,156.8,DISTRESS,1,1,0,0,1,1,0,0,1,1,0,0,x\n";
  const std::string ch9 = "09,18,156.45,156.45,CALLING,1,1,0,0,1,1,0,0,1,1,0,0,x\n";
  std::string weather = "wx,frequency_mhz,name\n";
  for (int i = 1; i <= 10; ++i) weather += std::to_string(i) + ",162.55,WX" + std::to_string(i) + "\n";
  struct Case {
    const char* name;
    std::string channels, weather;
    bool ok;
  } cases[] = {
      {"minimal", header + ch16 + ch9, weather, true},
      {"P channel missing", header + ch9, weather, false},
      {"name the radio cannot show", header + ch16 + ch9 + "10,20,1,1,caf\xE9,1,1,0,0,1,1,0,0,1,1,0,0,x\n", weather, false},
      {"name too long", header + ch16 + ch9 + "10,20,1,1,ABCDEFGHIJK,1,1,0,0,1,1,0,0,1,1,0,0,x\n", weather, false},
      {"free channel slot", header + ch16 + ch9 + "99,234,1,1,X,1,1,0,0,1,1,0,0,1,1,0,0,x\n", weather, false},
      {"duplex odd slot", header + ch16 + ch9 + "10A,21,1,1,X,1,0,0,0,1,1,0,0,1,1,0,0,x\n", weather, false},
      {"slot twice", header + ch16 + ch9 + ch9, weather, false},
      {"flag not 0 or 1", header + ch16 + ch9 + "10,20,1,1,X,2,1,0,0,1,1,0,0,1,1,0,0,x\n", weather, false},
      {"column missing", "channel,slot,name\n16,32,DISTRESS\n", weather, false},
      {"nine weather rows", header + ch16 + ch9, weather.substr(0, weather.rfind("10,")), false},
  };
  for (const Case& c : cases) {
    EepromImage image;
    std::string error;
    EXPECT_EQ(BuildInitialImage(c.channels, c.weather, image, &error), c.ok) << c.name;
    EXPECT_EQ(error.empty(), c.ok) << c.name << ": " << error;
  }
}

}  // namespace
}  // namespace twk
