// The check list as report lines: which checks fail, with their sheet's
// title, severity and rows; checks of sheets the tree hides; MMSI advice.
#include <gtest/gtest.h>

#include "data/DataTestSupport.h"
#include "data/ItemRecord.h"
#include "data/MemoryMap.h"
#include "data/ValidationReport.h"

namespace twk {
namespace {

class ValidationReportTest : public ::testing::Test {
 protected:
  test::DataEnv env;
  EepromImage image{env.initial};

  void SetInUse(RecordKind kind, int slot, bool on) {
    ItemRecord rec(&image);
    rec.Load(kind, slot);
    if (on)
      rec.flags &= ~ItemRecord::kFlagNotInUse;
    else
      rec.flags |= ItemRecord::kFlagNotInUse;
    rec.StoreAndReload();
  }
  // A directory entry from 9 digits ("" leaves the ID empty) and a name.
  void SetDsc(int i, const std::string& digits, const std::string& name) {
    ItemRecord rec(&image);
    rec.Load(RecordKind::DscId, i);
    for (int b = 0; b < 5; ++b) {
      const std::string pair = (digits + "0").substr(static_cast<std::size_t>(2 * b), 2);
      rec.id[static_cast<std::size_t>(b)] =
          digits.empty() ? 0xFF : static_cast<std::uint8_t>((pair[0] - '0') * 10 + (pair[1] - '0'));
    }
    rec.valid = !digits.empty();
    std::string n = name;
    n.resize(mem::kDscNameLength, ' ');
    for (int k = 0; k < mem::kDscNameLength; ++k) rec.name[static_cast<std::size_t>(k)] = n[static_cast<std::size_t>(k)];
    rec.StoreAndReload();
  }
  void SetSelfId(const std::string& digits) {
    for (int b = 0; b < 5; ++b) {
      const std::string pair = (digits + "0").substr(static_cast<std::size_t>(2 * b), 2);
      image.SetByte(mem::kSelfId + b, static_cast<std::uint8_t>((pair[0] - '0') * 10 + (pair[1] - '0')));
    }
  }
  std::vector<std::string> Lines(const ValidationReport& r) {
    std::vector<std::string> v;
    for (const ValidationLine& l : r.failures) v.push_back(l.Text());
    return v;
  }
};

TEST_F(ValidationReportTest, InitialImageHasNothingToReport) {
  const ValidationReport r = ValidateImage(image);
  EXPECT_TRUE(r.failures.empty());
  EXPECT_TRUE(r.advice.empty());
  EXPECT_FALSE(r.HasErrors());
}

TEST_F(ValidationReportTest, PChannelNotInUseIsAnErrorOfItsSheet) {
  SetInUse(RecordKind::IntChannel, 32, false);  // INT 16, the P channel
  const EepromImage before(image);
  const ValidationReport r = ValidateImage(image);
  EXPECT_EQ(Lines(r), std::vector<std::string>{"ERROR: INT channels: row 16"});
  EXPECT_TRUE(r.HasErrors());
  EXPECT_EQ(r.errors, 1);
  EXPECT_TRUE(image.Equals(before)) << "the report does not change the image";
}

TEST_F(ValidationReportTest, ChecksOfSheetsTheTreeHidesAreLeftOut) {
  SetInUse(RecordKind::CanadaChannel, 32, false);
  ASSERT_TRUE(ValidateImage(image).HasErrors());
  image.SetByte(mem::kPlanSwitches, image.GetByte(mem::kPlanSwitches) & ~0x04);  // CANADA off
  EXPECT_FALSE(ValidateImage(image).HasErrors());
}

TEST_F(ValidationReportTest, DuplicateIdIsAWarningAndABlankNameAnError) {
  SetDsc(0, "211234567", "HOME");
  SetDsc(1, "211234567", "DUP");
  ValidationReport r = ValidateImage(image);
  EXPECT_EQ(Lines(r), std::vector<std::string>{"WARNING: " + r.failures.at(0).title + ": row 2"});
  EXPECT_FALSE(r.HasErrors());
  EXPECT_EQ(r.warnings, 1);
  SetDsc(2, "211000001", "");
  r = ValidateImage(image);
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_EQ(r.failures[0].Text(), "ERROR: " + r.failures[0].title + ": row 3 (warning: row 2)");
  EXPECT_TRUE(r.HasErrors());
}

TEST_F(ValidationReportTest, GroupAndCoastStationFormsAreAdviceOnly) {
  SetDsc(0, "012345678", "GROUP");
  SetDsc(4, "002111234", "COAST");
  SetDsc(5, "211234567", "SHIP");
  ValidationReport r = ValidateImage(image);
  EXPECT_FALSE(r.HasErrors());
  ASSERT_EQ(r.advice.size(), 2u);
  EXPECT_NE(r.advice[0].find("row 1: 012345678 has the form of a group call"), std::string::npos) << r.advice[0];
  EXPECT_NE(r.advice[1].find("row 5: 002111234 has the form of a coast station"), std::string::npos) << r.advice[1];
  // A self ID of that form is advice too, besides the error of its check.
  SetSelfId("001234567");
  r = ValidateImage(image);
  ASSERT_EQ(r.advice.size(), 3u);
  EXPECT_NE(r.advice[2].find("own MMSI 001234567 has the form of a coast station"), std::string::npos);
  EXPECT_EQ(Lines(r), std::vector<std::string>{"ERROR: Own MMSI and ATIS: row Own MMSI (DSC self ID)"});
}

TEST(MmsiForm, LeadingZeros) {
  EXPECT_EQ(MmsiFormOf("211234567"), MmsiForm::Individual);
  EXPECT_EQ(MmsiFormOf("021123456"), MmsiForm::GroupCall);
  EXPECT_EQ(MmsiFormOf("002111234"), MmsiForm::CoastStation);
}

}  // namespace
}  // namespace twk
