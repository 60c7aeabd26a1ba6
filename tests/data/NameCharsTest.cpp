#include <gtest/gtest.h>

#include "data/NameChars.h"

namespace twk {
namespace {

TEST(NameChars, CleaningTable) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"PORT OPS  ", "PORT OPS  "},
      {"a#e\xC4s", "a e S"},             // hash and non-ASCII become spaces, s -> S
      {"fjkpsvxz", "FJKPSVXZ"},            // always upper case
      {"abcdeghilmnoqrtuwy", "abcdeghilmnoqrtuwy"},  // other lower case stays
      {"=*+-./09", "=*+-./09"},
      {std::string("A\0B\t", 4), "A B "},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanName(c.in), c.out) << c.in;
}

TEST(NameChars, CleaningIsIdempotentOverEveryByte) {
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const char once = CleanNameCharacter(c);
    EXPECT_TRUE(IsNameCharacter(once)) << b;
    EXPECT_EQ(CleanNameCharacter(once), once) << b;
  }
}

}  // namespace
}  // namespace twk
