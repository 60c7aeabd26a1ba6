#include <gtest/gtest.h>

#include "SheetTestSupport.h"
#include "sheet/CellMarkup.h"
#include "sheet/CellPainter.h"
#include "sheet/RecordingCanvas.h"
#include "sheet/Sheet.h"

namespace twk {
namespace {

using Lines = std::vector<std::string>;

// What the test handler adds to every display call.
struct HandlerMarks {
  std::uint8_t state = 0;
  int position = kMarkDefault;
};
HandlerMarks g_marks;

// Shows the cell's own display text, like the Flex0 cells.
int ShowOwnText(void*, CellAccessContext& ctx, int) {
  ctx.outputText = DisplayTextOf(*ctx.cell);
  ctx.state |= g_marks.state;
  ctx.markPosition = g_marks.position;
  return 0;
}

// Columns 40 wide, rows 20 high; characters 5 x 10 on the recording canvas.
const std::vector<std::string> kPaintSheet = {
    "#P_Style", "(ColorSelectLine)", "#P_BasicCell", "{(Font=,,clBlack,-10,,,)}", "#P_Cells",
    "Head|{X}Run|{+}",
    "{S(%Flex0[0])}abc|{S(Color=clGray)}xyz|{SQ}t",
    "{S(%Flex0[1])}abcdefghij|{>S(%Flex0[2])}r|{T}own",
    "#",
    "#K_Style", "", "#K_BasicCell", "{(Font=,,clBlack,-10,,,)}", "#K_Cells",
    "{S(%Flex0[0])}abc|{>(%Flex0[1])}r",
    "{S}x",
    "#",
};

class CellPainterTest : public ::testing::Test {
 protected:
  CellPainterTest() : res_(kPaintSheet) { g_marks = {}; }

  std::unique_ptr<Sheet> Make(const std::string& key, Canvas* printer = nullptr) {
    auto sheet = std::make_unique<Sheet>(nullptr, nullptr, 0, 0, res_.store(), key, &images_);
    sheet->SetHandler(&ShowOwnText, nullptr);
    if (printer) sheet->SetPrinter(printer);
    sheet->Build();
    for (int c = 0; c < sheet->ColCount(); ++c) sheet->Grid().SetColWidth(c, 40);
    for (int r = 0; r < sheet->RowCount(); ++r) sheet->Grid().SetRowHeight(r, 20);
    sheet->Grid().SetClientSize(400, 400);
    return sheet;
  }

  Lines Paint(Sheet& sheet, int col, int row) {
    canvas_.Clear();
    sheet.PaintCell(canvas_, col, row, sheet.Grid().CellRect(col, row));
    return canvas_.Lines();
  }

  test::ResourceScope res_;
  PlainImageList images_{16, 16, 6};
  RecordingCanvas canvas_;
};

TEST_F(CellPainterTest, JoinedRunPaintsTheFirstCellOverTheWholeRun) {
  auto sheet = Make("P");
  EXPECT_EQ(Paint(*sheet, 1, 0), (Lines{"fill 40,0,80,20 #80000005", "text 44,1 #000000 \"Run\""}))
      << "no edge mark while the right neighbour is joined";
  EXPECT_EQ(Paint(*sheet, 2, 0), (Lines{"fill 40,0,120,20 #80000005", "line 119,0 119,20 #808080 w1",
                                        "text 44,1 #000000 \"Run\""}));
}

TEST_F(CellPainterTest, CurrentCellWithAndWithoutFocus) {
  auto sheet = Make("P");
  ASSERT_EQ(sheet->Grid().Col(), 0);
  ASSERT_EQ(sheet->Grid().Row(), 1);
  sheet->Grid().SetHasFocus(true);
  EXPECT_EQ(Paint(*sheet, 0, 1), (Lines{"fill 0,20,40,40 #8000000D", "text 4,21 #8000000E \"abc\""}));
  sheet->Grid().SetHasFocus(false);
  EXPECT_EQ(Paint(*sheet, 0, 1), (Lines{"fill 0,20,40,40 #8000000F", "text 4,21 #000000 \"abc\""}));
  // With the inline editor open the current cell shows its own colour (here
  // the row tint).
  sheet->SetEditorVisible(true);
  EXPECT_EQ(Paint(*sheet, 0, 1), (Lines{"fill 0,20,40,40 #F8F8F8", "text 4,21 #000000 \"abc\""}));
}

TEST_F(CellPainterTest, CurrentRowTintAndOwnedNeighbour) {
  auto sheet = Make("P");
  EXPECT_EQ(Paint(*sheet, 1, 1), (Lines{"fill 40,20,80,40 #F8F8F8", "text 44,21 #000000 \"xyz\""}))
      << "the tint replaces the cell's own grey in the current row";
  // Row 2 is not current: own colours; the right-aligned cell repaints the
  // cell that belongs to it.
  EXPECT_EQ(Paint(*sheet, 1, 2),
            (Lines{"fill 40,40,80,60 #80000005", "text 72,41 #000000 \"r\"",
                   "fill 80,40,120,60 #80000005", "text 84,41 #000000 \"own\""}));
  sheet->Grid().SetCurrent(1, 2);
  sheet->Grid().SetHasFocus(true);
  EXPECT_EQ(Paint(*sheet, 1, 2),
            (Lines{"fill 40,40,80,60 #8000000D", "text 72,41 #8000000E \"r\"",
                   "fill 80,40,120,60 #8000000D", "text 84,41 #8000000E \"own\""}));
  EXPECT_EQ(Paint(*sheet, 1, 1), (Lines{"fill 40,20,80,40 #808080", "text 44,21 #000000 \"xyz\""}));
}

TEST_F(CellPainterTest, PrintingIsBlackAndWhite) {
  RecordingCanvas printer(96);
  auto sheet = Make("P", &printer);
  EXPECT_EQ(Paint(*sheet, 0, 1), (Lines{"text 4,21 #000000 \"abc\""})) << "clWindow prints on white";
  EXPECT_EQ(Paint(*sheet, 1, 1), (Lines{"fill 40,20,80,40 #606060", "text 44,21 #FFFFFF \"xyz\""}));
  EXPECT_EQ(Paint(*sheet, 2, 0), (Lines{"line 119,0 119,20 #000000 w1", "text 44,1 #000000 \"Run\""}));
}

TEST_F(CellPainterTest, ShortTickAndClippedText) {
  auto sheet = Make("P");
  EXPECT_EQ(Paint(*sheet, 2, 1), (Lines{"fill 80,20,120,40 #F8F8F8", "line 119,34 119,40 #808080 w1",
                                        "text 84,21 #000000 \"t\""}));
  EXPECT_EQ(Paint(*sheet, 0, 2),
            (Lines{"fill 0,40,40,60 #80000005", "clipped 0,40,40,60 4,41 #000000 \"abcdefghij\""}));
}

TEST_F(CellPainterTest, MarkPositionsOnScreen) {
  auto sheet = Make("K");
  sheet->Grid().SetCurrent(0, 1);
  struct Case {
    std::uint8_t state;
    int position, col;
    const char* image;
  } cases[] = {
      {cellstate::kWarning, kMarkLeft, 0, "image 4 2,3"},
      {cellstate::kError, kMarkAfterText, 0, "image 5 19,3"},
      {cellstate::kError, kMarkRight, 0, "image 5 23,3"},
      {cellstate::kWarning | cellstate::kError, 7, 0, "image 5 23,3"},  // other values: right
      {cellstate::kWarning, kMarkDefault, 0, "image 4 19,3"},  // left-aligned: after the text
      {cellstate::kWarning, kMarkDefault, 1, "image 4 42,3"},  // right-aligned: left edge
  };
  for (const auto& c : cases) {
    g_marks = {c.state, c.position};
    const Lines lines = Paint(*sheet, c.col, 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], c.image) << c.position;
    EXPECT_EQ(sheet->PaintContext().state & (cellstate::kWarning | cellstate::kError), 0)
        << "the mark bits are cleared afterwards";
  }
  g_marks = {};
  EXPECT_EQ(Paint(*sheet, 0, 0).size(), 2u);
}

TEST_F(CellPainterTest, MarksPrintAsFigures) {
  RecordingCanvas printer(96);
  auto sheet = Make("K", &printer);
  g_marks = {cellstate::kError, kMarkAfterText};
  Lines lines = Paint(*sheet, 0, 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1],
            "polygon #000000 #000000 w1 [22,9 26,9 26,12 29,12 29,16 26,16 26,19 22,19 22,16 19,16 "
            "19,12 22,12]");
  g_marks = {cellstate::kWarning, kMarkRight};
  lines = Paint(*sheet, 0, 0);
  ASSERT_EQ(lines.size(), 4u);  // text, triangle, wedge, block
  EXPECT_EQ(lines[1], "polygon #FFFFFF #000000 w1 [34,9 39,19 29,19]");
  EXPECT_EQ(lines[2].rfind("polygon #000000 #000000", 0), 0u);
  EXPECT_EQ(lines[3].rfind("fill ", 0), 0u);
}

TEST_F(CellPainterTest, NothingIsPaintedForHiddenCells) {
  auto sheet = Make("K");
  sheet->Grid().SetColWidth(0, 0);
  canvas_.Clear();
  sheet->PaintCell(canvas_, 0, 0, Rect{0, 0, 0, 20});
  EXPECT_TRUE(canvas_.Calls().empty());
}

TEST(RowTint, MeanOfButtonFaceAndWindow) {
  RecordingCanvas canvas;
  EXPECT_EQ(CellPainter::RowTint(canvas), 0x00F8F8F8u);
}

}  // namespace
}  // namespace twk
