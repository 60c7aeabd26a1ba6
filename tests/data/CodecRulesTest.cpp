#include <gtest/gtest.h>

#include <cstring>

#include "data/Codecs.h"

namespace twk::codec {
namespace {

TEST(CodecRules, ChannelGridSnap) {
  struct Case {
    std::int64_t typed, expected;
  } cases[] = {
      {156'800'000, 156'800'000},
      {156'012'500, 156'012'500},
      {157'037'500, 157'037'500},
      {156'013'000, -1},            // 156.013: no 6.25 kHz step within 1 kHz
      {156'010'000, 156'012'500},   // 156.01: within the typed 10 kHz precision
      {100'000'000, 100'000'000},
      {156'000'001, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(SnapToChannelGrid(c.typed), c.expected) << c.typed;
}

TEST(CodecRules, FrequencyTextAndFormat) {
  struct Case {
    const char* text;
    std::int64_t hz;
  } cases[] = {
      {"156.8", 156'800'000}, {"156.0125", 156'012'500}, {"157.0375", 157'037'500},
      {"156.013", -1},        {"99", 100'000'000},       {"", -1},
      {"MHz", -1},            {"1 5 6 . 8", 156'800'000},
      // 250 MHz is limited to 199.99 MHz, which is not on the 6.25 kHz grid:
      // within its 10 kHz precision the next step is 199,993,750 (the codec
      // then clamps the value to the band).
      {"250", 199'993'750},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseFrequencyText(c.text), c.hz) << c.text;
  EXPECT_EQ(FormatFrequency(156'800'000), "156.80000");
  EXPECT_EQ(FormatFrequency(156'012'500), "156.01250");
  EXPECT_EQ(FormatFrequency(100'000'000), "100.00000");
}

TEST(CodecRules, ShortNameRule) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"ab1", "ab "},  // third place allows only A, b and space
      {"AB ", "Ab "},  // B is tried as b
      {"cDa", "cdA"},  // D -> d, a -> A at the third place
      {"#xB", "  b"},  // unknown characters become spaces
      {"-=b", "-=b"},
  };
  for (const auto& c : cases) {
    char f[4];
    std::memcpy(f, c.in, 4);
    ApplyShortNameRule(f);
    EXPECT_STREQ(f, c.out) << c.in;
  }
}

TEST(CodecRules, NumbersAndTexts) {
  EXPECT_EQ(KeepOnly("a1.2-b3", ".-"), "1.2-3");
  std::int64_t n = 0;
  EXPECT_TRUE(ParseIntegerText("12.5", n));
  EXPECT_EQ(n, 13);
  EXPECT_TRUE(ParseIntegerText("-2.5", n));
  EXPECT_EQ(n, -3);
  EXPECT_TRUE(ParseIntegerText("1234567890123", n));  // only 9 characters used
  EXPECT_EQ(n, 123456789);
  EXPECT_FALSE(ParseIntegerText("-", n));
  EXPECT_FALSE(ParseIntegerText("abc", n));
  EXPECT_EQ(FormatScaled(100, 1000, 0), "  0.100");
  EXPECT_EQ(FormatScaled(1500, 1000, 3), "  1.5");
  EXPECT_EQ(FormatScaled(2000, 1000, 9), "  2");
  EXPECT_EQ(FormatHexByte(5), "05");
  EXPECT_EQ(FormatHexByte(0xAB), "AB");
}

}  // namespace
}  // namespace twk::codec
