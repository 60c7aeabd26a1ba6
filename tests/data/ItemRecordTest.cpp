#include <gtest/gtest.h>

#include "data/EepromImage.h"
#include "data/ItemRecord.h"
#include "data/MemoryMap.h"

namespace twk {
namespace {

using K = RecordKind;

TEST(ItemRecord, PlanSlotDecodesAndStoresTheAttributeBits) {
  EepromImage image(mem::kImageSize);
  ItemRecord rec(&image);
  // INT table (k = 1), slot 40: in use, TX inhibit, low power, simplex; bits
  // 0, 3, 4 are not the record's and must survive a store.
  image.SetByte(mem::kPlanTableInt + 40, 0x04 | 0x20 | 0x02 | 0x19);
  rec.Load(K::IntChannel, 40);
  EXPECT_EQ(rec.flags, ItemRecord::kFlagTxInhibit | ItemRecord::kFlagLowPower |
                           ItemRecord::kFlagSimplex);
  rec.flags = ItemRecord::kFlagNotInUse | ItemRecord::kFlagTag;
  rec.Store();
  EXPECT_EQ(image.GetByte(mem::kPlanTableInt + 40), 0x80 | 0x40 | 0x19);
  // The USA and CANADA tables are untouched.
  EXPECT_EQ(image.GetByte(mem::kPlanTableUsa + 40), 0);
  EXPECT_EQ(image.GetByte(mem::kPlanTableCanada + 40), 0);
}

TEST(ItemRecord, OddSlotsBelowTheFreeChannelsReadAsSimplex) {
  EepromImage image(mem::kImageSize);
  ItemRecord rec(&image);
  struct Case {
    int slot;
    bool simplex;
  } cases[] = {{1, true}, {233, true}, {2, false}, {235, false}};
  for (const Case& c : cases) {
    rec.Load(K::UsaChannel, c.slot);
    EXPECT_EQ((rec.flags & ItemRecord::kFlagSimplex) != 0, c.simplex) << c.slot;
  }
}

TEST(ItemRecord, PlanMarksSetButNeverClearTheWords) {
  EepromImage image(mem::kImageSize);
  ItemRecord rec(&image);
  image.SetWord(mem::PChannelWord(mem::kPlanCanada), 32);
  image.SetWord(mem::CChannelWord(mem::kPlanCanada), 18);
  rec.Load(K::CanadaChannel, 32);
  EXPECT_EQ(rec.planMarks, ItemRecord::kMarkP);
  rec.Load(K::CanadaChannel, 40);
  EXPECT_EQ(rec.planMarks, 0);
  rec.planMarks = ItemRecord::kMarkC;
  rec.Store();
  EXPECT_EQ(image.GetWord(mem::CChannelWord(mem::kPlanCanada)), 40);
  EXPECT_EQ(image.GetWord(mem::PChannelWord(mem::kPlanCanada)), 32);
  EXPECT_EQ(image.GetWord(mem::CChannelWord(mem::kPlanUsa)), 0);
}

TEST(ItemRecord, ChannelNamesAreSharedByThePlans) {
  EepromImage image(mem::kImageSize);
  ItemRecord rec(&image);
  rec.Load(K::IntChannel, 32);
  const char name[] = "DISTRESS  ";
  std::copy(name, name + 10, rec.name.begin());
  rec.Store();
  rec.Load(K::UsaChannel, 32);
  EXPECT_EQ(std::string(rec.name.begin(), rec.name.end()), "DISTRESS  ");
  EXPECT_EQ(image.GetByte(mem::ChannelName(32)), 'D');
}

TEST(ItemRecord, WeatherFlagIsOneBitOfTheWord) {
  EepromImage image(mem::kImageSize);
  ItemRecord rec(&image);
  image.SetWord(mem::kWeatherFlags, 0x0200);
  rec.Load(K::Weather, 9);
  EXPECT_EQ(rec.flags, ItemRecord::kFlagWeatherOff);
  rec.Load(K::Weather, 3);
  rec.flags = ItemRecord::kFlagWeatherOff;
  rec.Store();
  EXPECT_EQ(image.GetWord(mem::kWeatherFlags), 0x0208);
}

TEST(ItemRecord, EqualFreeChannelFrequenciesMakeTheSlotSimplexInAllPlans) {
  EepromImage image(mem::kImageSize);
  ItemRecord rec(&image);
  const int slot = mem::kFirstFreeSlot + 5;
  rec.Load(K::FreeChannel, 5);
  rec.firstFrequency = rec.secondFrequency = 156800000;
  rec.shortName = {'A', 'b', ' '};
  rec.Store();
  for (int k = 0; k < mem::kPlanCount; ++k)
    EXPECT_EQ(image.GetByte(mem::PlanTable(k) + slot) & mem::kAttrSimplex, mem::kAttrSimplex) << k;
  const int base = mem::FreeChannel(5);
  EXPECT_EQ(image.GetWord(base), (156800000 - 21700000) / 6250);
  EXPECT_EQ(image.GetWord(base + 2), 156800000 / 6250);
  EXPECT_EQ(image.GetByte(base + 5), 'b');

  rec.Load(K::FreeChannel, 5);
  EXPECT_EQ(rec.firstFrequency, 156800000u);
  EXPECT_EQ(rec.secondFrequency, 156800000u);
  rec.secondFrequency = 161400000;
  rec.Store();
  for (int k = 0; k < mem::kPlanCount; ++k)
    EXPECT_EQ(image.GetByte(mem::PlanTable(k) + slot) & mem::kAttrSimplex, 0) << k;
}

TEST(ItemRecord, ErasedFreeChannelLoadsEmptyAndStaysErased) {
  EepromImage image(mem::kImageSize);
  image.Fill(0xFF);
  ItemRecord rec(&image);
  rec.Load(K::FreeChannel, 0);
  EXPECT_TRUE(rec.firstEmpty);
  EXPECT_TRUE(rec.secondEmpty);
  rec.Store();
  EXPECT_EQ(image.GetWord(mem::FreeChannel(0)), 0xFFFF);
  EXPECT_EQ(image.GetWord(mem::FreeChannel(0) + 2), 0xFFFF);
  EXPECT_EQ(image.GetByte(mem::PlanTable(0) + mem::kFirstFreeSlot) & mem::kAttrSimplex, 0);
}

TEST(ItemRecord, DscIdValidityAndStoreRules) {
  struct Case {
    std::array<std::uint8_t, 5> stored;
    bool valid;
    std::array<std::uint8_t, 5> written;
    const char* name;
  } cases[] = {
      // Digit 9 (the low digit of byte 4) is always written as 0.
      {{12, 34, 56, 78, 95}, true, {12, 34, 56, 78, 90}, "BOAT "},
      {{99, 99, 99, 99, 90}, true, {99, 99, 99, 99, 90}, "BOAT "},
      // Any byte above 0x63 makes the record empty: five 0xFF, five spaces.
      {{12, 34, 0x64, 78, 90}, false, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "     "},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, false, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "     "},
  };
  for (const Case& c : cases) {
    EepromImage image(mem::kImageSize);
    const int base = mem::DscId(29);
    for (int i = 0; i < 5; ++i) image.SetByte(base + i, c.stored[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 5; ++i) image.SetByte(base + 5 + i, static_cast<std::uint8_t>("BOAT "[i]));
    image.SetByte(base + 10, 0x5A);
    ItemRecord rec(&image);
    rec.Load(K::DscId, 29);
    EXPECT_EQ(rec.valid, c.valid);
    rec.Store();
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(image.GetByte(base + i), c.written[static_cast<std::size_t>(i)]) << i;
      EXPECT_EQ(image.GetByte(base + 5 + i), c.name[i]) << i;
    }
    EXPECT_EQ(image.GetByte(base + 10), 0x5A);  // not the record's
  }
}

TEST(ItemRecord, IdTypedIntoAnEmptyRecordIsStored) {
  EepromImage image(mem::kImageSize);
  image.Fill(0xFF);
  ItemRecord rec(&image);
  rec.Load(K::DscId, 0);
  ASSERT_FALSE(rec.valid);
  rec.id = {36, 61, 23, 45, 60};
  rec.name = {'M', 'A', 'T', 'E', ' ', ' ', ' ', ' ', ' ', ' '};
  rec.StoreAndReload();
  EXPECT_TRUE(rec.valid);
  EXPECT_EQ(image.GetByte(mem::DscId(0) + 1), 61);
  EXPECT_EQ(rec.name[0], 'M');
}

TEST(ItemRecord, IndexOutsideTheTableLoadsNothing) {
  EepromImage image(mem::kImageSize);
  image.Fill(0x11);
  const EepromImage before(image);
  ItemRecord rec(&image);
  for (auto [kind, index] : {std::pair{K::IntChannel, 256}, std::pair{K::Weather, 10},
                             std::pair{K::FreeChannel, -1}, std::pair{K::DscId, 30},
                             std::pair{K::Atis, 0}}) {
    rec.Load(kind, index);
    EXPECT_FALSE(rec.IsLoaded());
    rec.Store();
  }
  EXPECT_TRUE(image.Equals(before));
}

TEST(ItemRecord, SelfIdCheckByte) {
  const std::uint8_t id[5] = {21, 10, 0, 0, 0};
  EXPECT_EQ(PackedIdCheckByte(id), static_cast<std::uint8_t>(~31));
  EXPECT_TRUE(IsValidPackedId(id));
}

}  // namespace
}  // namespace twk
