// The code page hook: lead bytes of a double-byte page, and the cell markup
// never taking a trail byte as syntax.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "sheet/CellMarkup.h"
#include "text/CodePage.h"

namespace twk {
namespace {

using test::FatalCatcher;

std::vector<std::string> SplitAll(std::string_view row) {
  std::vector<std::string> cells;
  do {
    RowSplit s = SplitRow(row);
    cells.emplace_back(s.cell);
    row = s.rest;
  } while (!row.empty());
  return cells;
}

// Shift-JIS-like page: lead bytes 0x81-0x9F and 0xE0-0xFC.
const CodePage kDoubleByte = CodePage::DoubleByte({{0x81, 0x9F}, {0xE0, 0xFC}});

class ActivePage {
 public:
  explicit ActivePage(const CodePage* page) : previous_(SetActiveCodePage(page)) {}
  ~ActivePage() { SetActiveCodePage(previous_); }

 private:
  const CodePage* previous_;
};

TEST(CodePage, LeadBytes) {
  const CodePage single;
  for (int b = 0; b < 256; ++b) EXPECT_FALSE(single.IsLeadByte(static_cast<std::uint8_t>(b)));
  EXPECT_FALSE(ActiveCodePage().IsLeadByte(std::uint8_t{0x83}));  // the shipped page
  EXPECT_TRUE(kDoubleByte.IsLeadByte(std::uint8_t{0x81}));
  EXPECT_TRUE(kDoubleByte.IsLeadByte(std::uint8_t{0xFC}));
  EXPECT_FALSE(kDoubleByte.IsLeadByte(std::uint8_t{0x80}));
  EXPECT_FALSE(kDoubleByte.IsLeadByte(std::uint8_t{0xA0}));
  EXPECT_FALSE(kDoubleByte.IsLeadByte('|'));
}

TEST(CodePage, TrailBytesAreNeverSyntax) {
  FatalCatcher fatal;
  struct Case {
    const char* text;
    std::vector<std::string> singleCells, doubleCells;
    std::string singleDisplay, doubleDisplay;  // of the first cell
    std::uint8_t singleBehaviour, doubleBehaviour;
  };
  const Case cases[] = {
      // 0x83 0x5C: the trail byte is a backslash, so the bar after it splits.
      {"\x83\\|B", {"\x83\\|B"}, {"\x83\\", "B"}, "\x83|B", "\x83\\", 0, 0},
      // 0x81 0x7C: the trail byte is a bar.
      {"\x81|X|Y", {"\x81", "X", "Y"}, {"\x81|X", "Y"}, "\x81", "\x81|X", 0, 0},
      // 0x81 0x7D in braces: the trail byte is a closing brace.
      {"{\x81}S}", {"{\x81}S}"}, {"{\x81}S}"}, "S", "", 0, behaviour::kSelectable},
      // 0x95 0x5C followed by N: no line feed escape.
      {"\x95\\N", {"\x95\\N"}, {"\x95\\N"}, "\x95\n", "\x95\\N", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    for (bool dbcs : {false, true}) {
      ActivePage page(dbcs ? &kDoubleByte : nullptr);
      const std::vector<std::string> cells = SplitAll(c.text);
      EXPECT_EQ(cells, dbcs ? c.doubleCells : c.singleCells) << "double-byte " << dbcs;
      CellDescriptor d;
      ParseCell(d, cells[0], nullptr, nullptr);
      EXPECT_EQ(DisplayTextOf(d), dbcs ? c.doubleDisplay : c.singleDisplay) << "double-byte " << dbcs;
      EXPECT_EQ(d.behaviourFlags, dbcs ? c.doubleBehaviour : c.singleBehaviour);
    }
  }
}

// A backslash before a double-byte character escapes the whole character:
// its trail byte is no syntax either.
TEST(CodePage, EscapedDoubleByteCharacterKeepsItsTrailByte) {
  FatalCatcher fatal;
  ActivePage page(&kDoubleByte);
  // 0x81 0x7C: the trail byte is a bar.
  EXPECT_EQ(SplitAll("\\\x81|B|C"), (std::vector<std::string>{"\\\x81|B", "C"}));
  struct Case {
    const char* text;
    std::string display;
    std::optional<std::string> option;
    std::uint8_t behaviour;
  };
  const Case cases[] = {
      {"\\\x83\\N", "\x83\\N", std::nullopt, 0},                 // trail byte 0x5C
      {"{\\\x81S}", "", std::nullopt, 0},                             // trail byte "S"
      {"{(%CL_Null:\\\x81)x)}", "", std::string("\x81)x"), 0},      // trail byte ")"
      {"{(%CL_Null:a\\\x81\\)}", "", std::string("a\x81\\"), 0},  // trail byte 0x5C
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CellDescriptor d;
    ParseCell(d, c.text, nullptr, nullptr);
    EXPECT_EQ(DisplayTextOf(d), c.display);
    EXPECT_EQ(d.option, c.option);
    EXPECT_EQ(d.behaviourFlags, c.behaviour);
  }
}

}  // namespace
}  // namespace twk
