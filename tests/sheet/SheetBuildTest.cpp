#include <gtest/gtest.h>

#include "SheetTestSupport.h"
#include "common/TestSupport.h"
#include "sheet/RecordingCanvas.h"
#include "sheet/Sheet.h"

namespace twk {
namespace {

using test::ResourceScope;

// A sheet K with the given style line and cell lines (base cell: a font of
// height -10, i.e. lines 10 px high and characters 5 px wide on the
// recording canvas).
std::vector<std::string> SheetLines(const std::string& key, const std::string& style,
                                    const std::vector<std::string>& cells,
                                    const std::string& base = "{(Font=,,clBlack,-10,,,)}") {
  std::vector<std::string> lines = {"#" + key + "_Style", style, "#" + key + "_BasicCell", base,
                                    "#" + key + "_Cells"};
  lines.insert(lines.end(), cells.begin(), cells.end());
  lines.push_back("#");
  return lines;
}

std::unique_ptr<Sheet> Built(TextStore& store, const std::string& key, Canvas* canvas,
                             int label = 0, int index = 0) {
  auto sheet = std::make_unique<Sheet>(nullptr, nullptr, label, index, store, key, nullptr);
  sheet->SetScreenCanvas(canvas);
  sheet->Build();
  return sheet;
}

TEST(SheetBuild, FixedColumnsAndRowsStayBelowTheCounts) {
  ResourceScope res(SheetLines("S", "(FixedCols=5)(FixedRows=9)", {"a|b|c", "d|e|f"}));
  RecordingCanvas canvas;
  auto sheet = Built(res.store(), "S", &canvas);
  EXPECT_EQ(sheet->ColCount(), 3);
  EXPECT_EQ(sheet->RowCount(), 2);
  EXPECT_EQ(sheet->Grid().FixedCols(), 2);
  EXPECT_EQ(sheet->Grid().FixedRows(), 1);
}

TEST(SheetBuild, StyleAttributes) {
  struct Case {
    const char* group;
    MultiSelectMode multi;
    std::uint8_t flags;
  } cases[] = {
      {"MultiSelect=Cell", MultiSelectMode::Cell, 0},
      {"MultiSelect=Line", MultiSelectMode::Line, 0},
      {"MultiSelect=Row", MultiSelectMode::None, 0},
      {"MultiSelect", MultiSelectMode::None, 0},
      {"NoPrint", MultiSelectMode::Cell, sheetflag::kNoPrint},
      {"NoPrinting", MultiSelectMode::Cell, 0},  // must be exact
      {"ColSizing", MultiSelectMode::Cell, sheetflag::kColSizing},
      {"ColorSelectLine", MultiSelectMode::Cell, sheetflag::kColorSelectLine},
      {"Unknown=1", MultiSelectMode::Cell, 0},
  };
  TextStore empty;
  for (const auto& c : cases) {
    Sheet sheet(nullptr, nullptr, 0, 0, empty, "X", nullptr);
    sheet.ApplyStyleAttribute("MultiSelect=Cell");
    sheet.ApplyStyleAttribute(c.group);
    EXPECT_EQ(sheet.MultiSelect(), c.multi) << c.group;
    EXPECT_EQ(sheet.Flags(), c.flags) << c.group;
  }
  Sheet sheet(nullptr, nullptr, 0, 0, empty, "X", nullptr);
  sheet.ApplyStyleAttribute("TitleString=");
  EXPECT_FALSE(sheet.Title().has_value());
  sheet.ApplyStyleAttribute("TitleString=Channels");
  sheet.ApplyStyleAttribute("TitleColor=clRed");
  sheet.ApplyStyleAttribute("TitleColor=clred");  // unknown: unchanged
  sheet.ApplyStyleAttribute("TitleFont=,,clWhite,-15,,fsBold,");
  sheet.ApplyStyleAttribute("PrintFontRatio=80");
  EXPECT_EQ(sheet.TitleText(), "Channels");
  EXPECT_EQ(sheet.TitleColor(), clRed);
  ASSERT_TRUE(sheet.TitleFont().has_value());
  EXPECT_EQ(sheet.TitleFont()->height, -15);
  EXPECT_EQ(sheet.TitleFont()->style, fsBold);
  EXPECT_EQ(sheet.PrintFontRatio(), 80);
  EXPECT_TRUE(sheet.Printable());
}

TEST(SheetBuild, OneLineLoopCopiesTheRowAboveWithIndexPlusOne) {
  ResourceScope res(SheetLines("L", "", {
      "Head|{W}Name",
      ":(LoopFrom 4)",
      "{S(%CL_Misc_ChNo_0Base[3])H}Ch\\nx|{(%Flex0[7])}n",
      ":(LoopTo)",
  }));
  RecordingCanvas canvas;
  auto sheet = Built(res.store(), "L", &canvas);
  ASSERT_EQ(sheet->RowCount(), 5);
  for (int r = 1; r <= 4; ++r) {
    EXPECT_EQ(sheet->Rows()[r].line, 2);
    EXPECT_EQ(sheet->CellAt(0, r).index, 3 + r - 1);
    EXPECT_EQ(sheet->CellAt(1, r).index, 7 + r - 1);
    EXPECT_EQ(sheet->CellAt(0, r).label, CL_Misc_ChNo_0Base);
    EXPECT_EQ(sheet->Grid().RowHeight(r), 22) << r;  // two lines of 10 + 2
  }
  EXPECT_EQ(sheet->Grid().RowHeight(0), 1);
  EXPECT_EQ(sheet->Grid().ColWidth(1), 4 * 5 + 8);  // "Name" widened the column
}

TEST(SheetBuild, TwoLineLoopParsesEachRepeatAgain) {
  ResourceScope res(SheetLines("T", "", {
      ":(LoopFrom 3)",
      "{(@ch0++)S(%CL_Misc_ChNo_0Base[@ch0])}a\\(@ch0)",
      "{S(%CL_Misc_ChNo_1Base[@ch0])}b\\(@ch0+10)",
      ":(LoopTo)",
  }));
  auto sheet = Built(res.store(), "T", nullptr);
  ASSERT_EQ(sheet->RowCount(), 6);
  const char* texts[] = {"a1", "b11", "a2", "b12", "a3", "b13"};
  for (int r = 0; r < 6; ++r) {
    EXPECT_EQ(sheet->Rows()[r].line, r % 2 == 0 ? 1 : 2);
    EXPECT_EQ(*sheet->CellAt(0, r).display, texts[r]);
    EXPECT_EQ(sheet->CellAt(0, r).index, r / 2 + 1);
  }
}

TEST(SheetBuild, LoopCountsOfZeroOrLessCountAsOne) {
  for (const char* count : {"0", "-3", "1"}) {
    ResourceScope res(SheetLines("Z", "", {
        "top",
        std::string(":(LoopFrom ") + count + ")",
        "body",
        ":(LoopTo)",
    }));
    auto sheet = Built(res.store(), "Z", nullptr);
    EXPECT_EQ(sheet->RowCount(), 2) << count;
  }
  // "LoopFrom" without a space or count starts no loop here.
  ResourceScope res(SheetLines("Z", "", {":(LoopFrom)", "body", ":(LoopTo)"}));
  EXPECT_EQ(Built(res.store(), "Z", nullptr)->RowCount(), 1);
}

TEST(SheetBuild, SelectOffRowsCannotBeMultiSelected) {
  const std::vector<std::string> cells = {":(SelectOFF)", "{S}h", ":(SelectON)", "{S}a", "{S}b"};
  {
    ResourceScope res(SheetLines("M", "(MultiSelect=Line)", cells));
    auto sheet = Built(res.store(), "M", nullptr);
    EXPECT_FALSE(sheet->Rows()[0].selectable);
    EXPECT_TRUE(sheet->Rows()[1].selectable);
    EXPECT_EQ(sheet->SlotAt(0, 0).state & slotstate::kMultiSelectable, 0);
    EXPECT_EQ(sheet->SlotAt(0, 1).state & slotstate::kMultiSelectable, slotstate::kMultiSelectable);
  }
  {
    ResourceScope res(SheetLines("M", "", cells));  // multi-select off: no row may
    auto sheet = Built(res.store(), "M", nullptr);
    EXPECT_FALSE(sheet->Rows()[0].selectable);
    EXPECT_EQ(sheet->SlotAt(0, 1).state & slotstate::kMultiSelectable, 0);
  }
}

TEST(SheetBuild, FocusEnabledStateAndRequestedCell) {
  const std::vector<std::string> cells = {
      "h|h", "{(%Flex0[1])}a|{S(%Flex0[2])}b", "{S(%Flex0[3])}c|{S(%Flex0[2])}d"};
  {
    ResourceScope res(SheetLines("F", "", cells));
    auto sheet = Built(res.store(), "F", nullptr);
    EXPECT_EQ(sheet->Grid().Col(), 1);  // first selectable, row-major
    EXPECT_EQ(sheet->Grid().Row(), 1);
    EXPECT_TRUE(sheet->Grid().Enabled());
  }
  struct Case {
    int label, index, col, row;
  } cases[] = {
      {Flex0, 3, 0, 2},   // found
      {Flex0, 2, 1, 1},   // two matches: the first row-major
      {Flex0, 9, 1, 1},   // nothing matches: the first selectable
      {Flex0, 1, 1, 1},   // a match that is not selectable
  };
  for (const auto& c : cases) {
    ResourceScope res(SheetLines("F", "", cells));
    auto sheet = Built(res.store(), "F", nullptr, c.label, c.index);
    EXPECT_EQ(sheet->Grid().Col(), c.col) << c.index;
    EXPECT_EQ(sheet->Grid().Row(), c.row) << c.index;
  }
  {
    ResourceScope res(SheetLines("F", "", cells));
    Sheet sheet(nullptr, nullptr, Flex0, 3, res.store(), "F", nullptr);
    sheet.SetSavedPosition(1, 2, 0, 0);  // a saved position wins over the request
    sheet.Build();
    EXPECT_EQ(sheet.Grid().Col(), 1);
    EXPECT_EQ(sheet.Grid().Row(), 2);
  }
  {
    ResourceScope res(SheetLines("F", "", cells));
    Sheet sheet(nullptr, nullptr, 0, 0, res.store(), "F", nullptr);
    sheet.SetSavedPosition(5, 2, 0, 0);  // outside: forgotten
    sheet.Build();
    EXPECT_EQ(sheet.SavedCol(), -1);
    EXPECT_EQ(sheet.Grid().Col(), 1);
  }
  {
    ResourceScope res(SheetLines("V", "", {"a|b", "c"}));
    auto sheet = Built(res.store(), "V", nullptr);
    EXPECT_FALSE(sheet->Grid().Enabled());  // view-only
    EXPECT_EQ(sheet->ColCount(), 2);
  }
}

TEST(SheetBuild, FatalStops) {
  test::FatalCatcher catcher;
  {
    ResourceScope res(SheetLines("E", "", {}));
    EXPECT_EQ(test::FatalTextOf([&] { Built(res.store(), "E", nullptr); }), "Illegal Cell assign");
  }
  {
    ResourceScope res(SheetLines("E", "", {":(SelectOFF)"}));
    EXPECT_EQ(test::FatalTextOf([&] { Built(res.store(), "E", nullptr); }), "Illegal Cell assign");
  }
  ResourceScope res(SheetLines("G", "", {"a|b"}));
  auto sheet = Built(res.store(), "G", nullptr);
  for (auto [c, r] : std::vector<std::pair<int, int>>{{2, 0}, {0, 1}, {-1, 0}}) {
    EXPECT_EQ(test::FatalTextOf([&] { sheet->CellAt(c, r); }), "Illegal Cell selection");
  }
  Sheet unbuilt(nullptr, nullptr, 0, 0, res.store(), "G", nullptr);
  EXPECT_EQ(test::FatalTextOf([&] { unbuilt.SlotAt(0, 0); }), "Illegal Cell selection");
}

TEST(SheetBuild, BaseFontSuffixesAndPrintScale) {
  ResourceScope res(SheetLines("B", "(PrintFontRatio=50)", {"{W}WWWW"}));
  {
    Sheet sheet(nullptr, nullptr, 0, 0, res.store(), "B", nullptr);
    sheet.SetDisplayFontPercent(150);
    sheet.Build();
    EXPECT_EQ(sheet.BaseFont().height, -15);
  }
  {
    Sheet sheet(nullptr, nullptr, 0, 0, res.store(), "B", nullptr);
    sheet.SetExplicitFontHeight(-42);
    sheet.Build();
    EXPECT_EQ(sheet.BaseFont().height, -42);
  }
  {
    RecordingCanvas printer(600);
    Sheet sheet(nullptr, nullptr, 0, 0, res.store(), "B", nullptr);
    sheet.SetPrinter(&printer);
    sheet.SetExplicitFontHeight(-40);
    sheet.Build();
    EXPECT_DOUBLE_EQ(sheet.PrintScale(), 6.0);
    EXPECT_EQ(sheet.BaseFont().height, -20);  // print font ratio 50 %
    // Default width 6 (600 / 96); "WWWW" is 4 x 10 wide, plus 8 x 6.
    EXPECT_EQ(sheet.Grid().ColWidth(0), 40 + 48);
    EXPECT_EQ(sheet.Grid().RowHeight(0), 6);
  }
  {
    RecordingCanvas printer(600), bitmap(96);
    Sheet sheet(nullptr, nullptr, 0, 0, res.store(), "B", nullptr);
    sheet.SetPreview(&printer, &bitmap);
    sheet.Build();
    EXPECT_DOUBLE_EQ(sheet.PrintScale(), 1.0);
    EXPECT_EQ(sheet.TargetCanvas(), &bitmap);
    EXPECT_EQ(sheet.Grid().ColWidth(0), 4 * 2 + 8);  // -10 at 50 %: 5 px lines, 2 px characters
  }
}

}  // namespace
}  // namespace twk

namespace twk {
namespace {

// Records what the sheet asks of the front end.
class FakeWidgets : public SheetWidgets {
 public:
  std::vector<std::string> calls;
  RecordingCanvas canvas;
  void CreateTitle(const std::string& text, const std::optional<Font>& font, Color color,
                   int height) override {
    calls.push_back("title " + text + " " + std::to_string(font ? font->height : 0) + " " +
                    std::to_string(color) + " " + std::to_string(height));
  }
  void CreateGridPanel(bool popupMode, Color background, const Font& font) override {
    calls.push_back("panel " + std::to_string(popupMode) + " " + std::to_string(background) + " " +
                    std::to_string(font.height));
  }
  void CreatePopupMenu() override { calls.push_back("menu"); }
  void ShowWidgets() override { calls.push_back("show"); }
  Canvas* GridCanvas() override { return &canvas; }
  Size ParentSize() const override { return {300, 200}; }
  void RefreshPopupMenu(bool force) override { calls.push_back("popup " + std::to_string(force)); }
};

TEST(SheetWidgetsHooks, TitleStripPanelAndExtraSize) {
  ResourceScope res(SheetLines("W", "(TitleString=Weather)(TitleColor=clRed)(TitleFont=,,,-20,,,)",
                               {"{W}abc|{SW}de"}, "{(Color=clGray)(Font=,,clBlack,-10,,,)}"));
  FakeWidgets widgets;
  Sheet sheet(nullptr, nullptr, 0, 0, res.store(), "W", nullptr);
  sheet.SetWidgets(&widgets);
  sheet.SetPopupMode(true);
  sheet.Build();
  EXPECT_EQ(widgets.calls,
            (std::vector<std::string>{"title Weather -20 255 30",  // 20 px text + 2 + 8
                                      "panel 1 8421504 -10", "menu", "show", "popup 0"}));
  EXPECT_EQ(sheet.Grid().ColWidth(0), 15 + 8) << "measured on the grid's canvas";
  sheet.Grid().SetClientSize(280, 180);
  EXPECT_EQ(sheet.ExtraWidthNeeded(), 23 + 18 + 300 - 280);
  EXPECT_EQ(sheet.ExtraHeightNeeded(), 1 + 200 - 180);
}

// Collects the cells a sheet invalidates.
class InvalidationLog : public GridView {
 public:
  std::vector<std::pair<int, int>> cells;
  void InvalidateCell(int col, int row) override { cells.emplace_back(col, row); }
};

TEST(SheetRepaint, MatchingCriteria) {
  ResourceScope res(SheetLines("R", "", {
      "{(%CT_IntCh.CL_ChList_No[1])}a|{(%CT_IntCh.CL_ChList_Tag[1])}b|c",
      "{(%CT_IntCh.CL_ChList_No[2])}a|{(%CT_UsaCh.CL_ChList_Tag[3])}b|c",
  }));
  auto sheet = Built(res.store(), "R", nullptr);
  sheet->Grid().SetClientSize(100, 100);
  InvalidationLog log;
  sheet->Grid().SetView(&log);
  using Cells = std::vector<std::pair<int, int>>;
  struct Case {
    int category, label, index;
    std::uint8_t mask;
    Cells expected;
  } cases[] = {
      {CT_IntCh, CL_ChList_No, 2, 0x01, {{0, 1}}},
      {CT_UsaCh, CL_None, 0, 0x02, {{1, 1}}},
      {CT_None, CL_ChList_Tag, 0, 0x04, {{1, 0}, {1, 1}}},
      {CT_IntCh, CL_None, 1, 0x08, {{0, 0}, {1, 0}}},
      {CT_None, CL_None, 1, 0x08, {}},  // no category: nothing
      {CT_IntCh, CL_None, 2, 0x10, {{0, 0}, {1, 0}, {0, 1}}},
      {CT_None, CL_None, 0, 0x20, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
      {CT_IntCh, CL_None, 2, 0x40, {{0, 1}, {1, 1}}},
      {CT_IntCh, CL_None, 1, 0x80, {{0, 0}, {1, 0}}},
  };
  for (const auto& c : cases) {
    log.cells.clear();
    CellDescriptor probe;
    probe.category = c.category;
    probe.label = c.label;
    probe.index = c.index;
    sheet->RepaintMatching(probe, c.mask);
    EXPECT_EQ(log.cells, c.expected) << int(c.mask);
  }
  sheet->Grid().SetView(nullptr);
}

}  // namespace
}  // namespace twk
