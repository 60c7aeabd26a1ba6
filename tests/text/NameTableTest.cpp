#include "text/NameTable.h"

#include "common/TestSupport.h"

namespace twk {
namespace {

// Worked by hand from the hash: h = 2h + step + byte (signed); the step
// halves when the following byte (or the terminating zero) is odd, and
// starts again at n / 2 when it reaches zero.
TEST(NameTable, BucketFollowsTheResourceHash) {
  struct Case {
    const char* key;
    int n;
    std::uint32_t bucket;
  } cases[] = {
      {"A", 1031, 580},    // 515 + 65
      {"AB", 1031, 710},   // 2 * 580 + 515 + 66 = 1741
      {"BA", 1031, 453},   // 'A' is odd: step 257; 2 * 581 + 257 + 65 = 1484
      {"\xC8", 1031, 459}, // signed byte: 515 - 56
      {"aaa", 4, 3},       // step 2 -> 1 -> 0, reset to 2: 592 + 2 + 97 = 691
      {"", 1031, 0},
      {"A", 0, 580},       // 0 buckets means 1031
  };
  for (const auto& c : cases) EXPECT_EQ(NameTable::Bucket(c.key, c.n), c.bucket) << c.key;
}

TEST(NameTable, InsertAndFind) {
  NameTable t(1);  // one bucket: every key shares the chain
  EXPECT_EQ(t.BucketCount(), 1);
  t.Insert("CT_Menu", 3);
  t.Insert("CL_Menu_File_Open", 17);
  t.Insert("CT_Menu ", -1);
  ASSERT_NE(t.Find("CT_Menu"), nullptr);
  EXPECT_EQ(*t.Find("CT_Menu"), 3);
  EXPECT_EQ(*t.Find("CL_Menu_File_Open"), 17);
  EXPECT_EQ(*t.Find("CT_Menu "), -1);
  EXPECT_EQ(t.Find("ct_menu"), nullptr);
  EXPECT_EQ(t.Find(""), nullptr);
  EXPECT_EQ(NameTable().BucketCount(), 1031);
}

TEST(NameTable, DuplicateInsertIsFatal) {
  NameTable t;
  t.Insert("clRed", 1);
  EXPECT_EQ(test::FatalTextOf([&] { t.Insert("clRed", 2); }), "Overlapped Hash table.");
  EXPECT_EQ(*t.Find("clRed"), 1);
  NameTable index(1031, "Overlapped Hash2 table.");
  index.Insert("S#1", 0);
  EXPECT_EQ(test::FatalTextOf([&] { index.Insert("S#1", 0); }), "Overlapped Hash2 table.");
}

}  // namespace
}  // namespace twk
