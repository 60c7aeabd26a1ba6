// The geometry of a sheet's grid, kept in the core: column and row counts,
// fixed columns and rows, widths and heights, the current cell, the top-left
// scrolled cell and the client area. The sheet fills it while building; the
// grid widget of the front end reads it to place and paint cells and drives
// it (client size, scrolling, user moves) while the user works. Cells carry no
// strings: every cell is painted by its sheet.
#pragma once

#include <functional>
#include <vector>

#include "sheet/Geometry.h"

namespace twk {

// What the widget that shows the model needs to hear about. All optional.
class GridView {
 public:
  virtual ~GridView() = default;
  virtual void InvalidateCell(int col, int row) { (void)col; (void)row; }
  virtual void InvalidateAll() {}
  // Counts, widths, heights, fixed areas or the top-left cell changed.
  virtual void LayoutChanged() {}
  // The current cell changed (old position given).
  virtual void CurrentChanged(int oldCol, int oldRow) { (void)oldCol; (void)oldRow; }
};

enum class ScrollBars { None, Horizontal, Vertical, Both };

class GridModel {
 public:
  GridModel() = default;

  void SetView(GridView* view) { view_ = view; }
  GridView* View() const { return view_; }

  // Counts. Widths and heights of new columns and rows take the defaults;
  // existing ones are kept. Fixed areas, the current and top-left cells are
  // pulled inside the new counts.
  void SetColCount(int n);
  void SetRowCount(int n);
  int ColCount() const { return static_cast<int>(colWidths_.size()); }
  int RowCount() const { return static_cast<int>(rowHeights_.size()); }

  // At most count - 1 (never below 0): a grid always keeps one scrollable
  // column and row.
  void SetFixedCols(int n);
  void SetFixedRows(int n);
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }

  // Setting a default resets every column width (row height) to it.
  void SetDefaultColWidth(int w);
  void SetDefaultRowHeight(int h);
  int DefaultColWidth() const { return defaultColWidth_; }
  int DefaultRowHeight() const { return defaultRowHeight_; }

  // Out-of-range columns and rows read as 0 and ignore writes.
  int ColWidth(int col) const;
  int RowHeight(int row) const;
  void SetColWidth(int col, int w);
  void SetRowHeight(int row, int h);
  int TotalWidth() const;   // sum of all column widths
  int TotalHeight() const;  // sum of all row heights
  int FixedWidth() const;   // sum of the fixed columns' widths
  int FixedHeight() const;

  // The current cell. SetCurrent leaves the scroll position alone;
  // FocusCell also scrolls the cell into view. Both clamp to the grid.
  int Col() const { return col_; }
  int Row() const { return row_; }
  void SetCurrent(int col, int row);
  void FocusCell(int col, int row);

  // First scrollable column and row shown after the fixed ones.
  int LeftCol() const { return leftCol_; }
  int TopRow() const { return topRow_; }
  void SetTopLeft(int leftCol, int topRow);
  void ScrollIntoView(int col, int row);

  // The widget's client area in pixels.
  void SetClientSize(int width, int height);
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }

  // Columns (rows) from LeftCol (TopRow) that are completely visible, at
  // least 1 while any scrollable column exists; the last one partly or
  // completely visible.
  int VisibleColCount() const;
  int VisibleRowCount() const;
  int LastVisibleCol() const;
  int LastVisibleRow() const;

  // The cell's rectangle in client coordinates as the grid is scrolled; an
  // empty rectangle when the cell is scrolled away or starts beyond the
  // client area (or is outside the grid).
  Rect CellRect(int col, int row) const;
  // The rectangle with every column and row laid end to end from (0, 0),
  // ignoring scrolling and the client area (printing, measurement).
  Rect CellRectUnscrolled(int col, int row) const;
  // The cell under a client point; false outside every cell.
  bool CellAt(Point p, int& col, int& row) const;

  // Widget options.
  void SetScrollBars(ScrollBars s) { scrollBars_ = s; }
  ScrollBars GetScrollBars() const { return scrollBars_; }
  bool HasScrollBars() const { return scrollBars_ != ScrollBars::None; }
  void SetColSizing(bool on) { colSizing_ = on; }
  bool ColSizing() const { return colSizing_; }
  void SetThumbTracking(bool on) { thumbTracking_ = on; }
  bool ThumbTracking() const { return thumbTracking_; }
  void SetEnabled(bool on) { enabled_ = on; }
  bool Enabled() const { return enabled_; }
  void SetDefaultDrawing(bool on) { defaultDrawing_ = on; }
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetHasFocus(bool on) { hasFocus_ = on; }
  bool HasFocus() const { return hasFocus_; }

  void InvalidateCell(int col, int row) const;
  void InvalidateAll() const;

 private:
  void Changed() const;
  void ClampPositions();
  int ColX(int col) const;  // client x of the column's left edge (scrolled)
  int RowY(int row) const;

  GridView* view_ = nullptr;
  std::vector<int> colWidths_;
  std::vector<int> rowHeights_;
  int fixedCols_ = 0;
  int fixedRows_ = 0;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  int col_ = 0;
  int row_ = 0;
  int leftCol_ = 0;
  int topRow_ = 0;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  ScrollBars scrollBars_ = ScrollBars::None;
  bool colSizing_ = false;
  bool thumbTracking_ = false;
  bool enabled_ = true;
  bool defaultDrawing_ = true;
  bool hasFocus_ = false;
};

}  // namespace twk
