#include <gtest/gtest.h>

#include <climits>

#include "common/TestSupport.h"
#include "data/EepromImage.h"

namespace twk {
namespace {

TEST(EepromImage, ResizeToTheSameSizeStillZeroes) {
  EepromImage image(16);
  image.Fill(0xAB);
  image.Resize(16);
  for (int a = 0; a < 16; ++a) EXPECT_EQ(image.GetByte(a), 0) << a;
  image.Resize(0);
  EXPECT_EQ(image.Size(), 0);
}

TEST(EepromImage, EqualsNeedsTheSameSizeAndBytes) {
  EepromImage a(8), b(9), c(8);
  EXPECT_FALSE(a.Equals(b));  // a is a prefix of b
  EXPECT_TRUE(a.Equals(c));
  c.SetByte(7, 1);
  EXPECT_TRUE(a.NotEquals(c));
  a.Assign(c);
  EXPECT_TRUE(a.Equals(c));
}

TEST(EepromImage, CheckedAccessStopsOutsideTheImage) {
  EepromImage image(EepromImage::kModelSize);
  EXPECT_EQ(test::FatalTextOf([&] { image.SetByte(0x1001, 1); }),
            "Out of EEPROM image address (SetByte).");
  EXPECT_EQ(test::FatalTextOf([&] { image.GetByte(-1); }), "Out of EEPROM image address (GetByte).");
  EXPECT_EQ(test::FatalTextOf([&] { image.SetByte(0x1000, 7); }), "");
  EXPECT_EQ(image.GetByte(0x1000), 7);
}

TEST(EepromImage, BlocksOutsideTheImageAreIgnored) {
  EepromImage image(8);
  const std::uint8_t bytes[4] = {1, 2, 3, 4};
  image.WriteBlock(6, bytes, 4);   // would pass the end
  image.WriteBlock(-1, bytes, 2);
  image.WriteBlock(2, bytes, 0);
  image.WriteBlock(1, bytes, INT_MAX);  // address + length would overflow
  for (int a = 0; a < 8; ++a) EXPECT_EQ(image.GetByte(a), 0);
  image.WriteBlock(4, bytes, 4);
  std::uint8_t out[4] = {9, 9, 9, 9};
  image.ReadBlock(5, out, 4);      // ignored
  image.ReadBlock(1, out, INT_MAX);
  EXPECT_EQ(out[0], 9);
  image.ReadBlock(4, out, 4);
  EXPECT_EQ(out[3], 4);
}

}  // namespace
}  // namespace twk
