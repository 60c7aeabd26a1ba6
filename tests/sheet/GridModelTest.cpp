#include <gtest/gtest.h>

#include "sheet/GridModel.h"

namespace twk {
namespace {

// 4 columns of 50, 10 rows of 20, one fixed column and row, client 160 x 100.
GridModel SmallGrid() {
  GridModel g;
  g.SetDefaultColWidth(50);
  g.SetDefaultRowHeight(20);
  g.SetColCount(4);
  g.SetRowCount(10);
  g.SetFixedCols(1);
  g.SetFixedRows(1);
  g.SetClientSize(160, 100);
  return g;
}

TEST(GridModel, FixedAreasStayBelowTheCounts) {
  GridModel g;
  g.SetColCount(3);
  g.SetRowCount(2);
  g.SetFixedCols(5);
  g.SetFixedRows(5);
  EXPECT_EQ(g.FixedCols(), 2);
  EXPECT_EQ(g.FixedRows(), 1);
  g.SetColCount(1);
  EXPECT_EQ(g.FixedCols(), 0);
}

TEST(GridModel, DefaultsResetAndNewColumnsTakeThem) {
  GridModel g;
  g.SetColCount(2);
  g.SetColWidth(1, 99);
  g.SetDefaultColWidth(1);
  EXPECT_EQ(g.ColWidth(1), 1);
  g.SetColWidth(0, 30);
  g.SetColCount(3);
  EXPECT_EQ(g.ColWidth(0), 30);
  EXPECT_EQ(g.ColWidth(2), 1);
  EXPECT_EQ(g.ColWidth(7), 0);  // outside reads 0
  EXPECT_EQ(g.TotalWidth(), 32);
}

TEST(GridModel, CellRectsFollowScrolling) {
  GridModel g = SmallGrid();
  EXPECT_EQ(g.CellRect(0, 0), (Rect{0, 0, 50, 20}));
  EXPECT_EQ(g.CellRect(2, 3), (Rect{100, 60, 150, 80}));
  g.SetTopLeft(2, 4);
  EXPECT_TRUE(g.CellRect(1, 3).IsEmpty());           // scrolled away
  EXPECT_EQ(g.CellRect(0, 3), (Rect{0, 0, 0, 0}));   // row 3 scrolled away
  EXPECT_EQ(g.CellRect(2, 4), (Rect{50, 20, 100, 40}));
  EXPECT_EQ(g.CellRect(0, 4), (Rect{0, 20, 50, 40}));  // fixed column stays
  EXPECT_EQ(g.CellRectUnscrolled(2, 4), (Rect{100, 80, 150, 100}));
}

TEST(GridModel, VisibilityCounts) {
  GridModel g = SmallGrid();
  // 110 px after the fixed column: columns 1 and 2 fully, 3 partly.
  EXPECT_EQ(g.VisibleColCount(), 2);
  EXPECT_EQ(g.LastVisibleCol(), 3);
  // 80 px after the fixed row: rows 1-4 fully, nothing partly.
  EXPECT_EQ(g.VisibleRowCount(), 4);
  EXPECT_EQ(g.LastVisibleRow(), 4);
}

TEST(GridModel, FocusScrollsIntoViewButSetCurrentDoesNot) {
  GridModel g = SmallGrid();
  g.SetCurrent(3, 9);
  EXPECT_EQ(g.TopRow(), 1);
  g.FocusCell(3, 9);
  EXPECT_EQ(g.Col(), 3);
  EXPECT_EQ(g.Row(), 9);
  EXPECT_EQ(g.TopRow(), 6);   // rows 6..9 fill the 80 px
  EXPECT_EQ(g.LeftCol(), 2);  // columns 2..3 fill the 110 px
  g.FocusCell(1, 2);
  EXPECT_EQ(g.TopRow(), 2);
  EXPECT_EQ(g.LeftCol(), 1);
}

TEST(GridModel, CellAtFindsTheCellUnderAPoint) {
  GridModel g = SmallGrid();
  int c = -1, r = -1;
  ASSERT_TRUE(g.CellAt({120, 45}, c, r));
  EXPECT_EQ(c, 2);
  EXPECT_EQ(r, 2);
  EXPECT_FALSE(g.CellAt({170, 10}, c, r));
  g.SetTopLeft(2, 1);
  ASSERT_TRUE(g.CellAt({60, 5}, c, r));
  EXPECT_EQ(c, 2);
  EXPECT_EQ(r, 0);
}

}  // namespace
}  // namespace twk
