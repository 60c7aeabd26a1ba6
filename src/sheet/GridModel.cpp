#include "sheet/GridModel.h"

#include <algorithm>

namespace twk {

void GridModel::Changed() const {
  if (view_) view_->LayoutChanged();
}

void GridModel::ClampPositions() {
  const int cols = ColCount();
  const int rows = RowCount();
  fixedCols_ = std::clamp(fixedCols_, 0, std::max(cols - 1, 0));
  fixedRows_ = std::clamp(fixedRows_, 0, std::max(rows - 1, 0));
  col_ = std::clamp(col_, 0, std::max(cols - 1, 0));
  row_ = std::clamp(row_, 0, std::max(rows - 1, 0));
  leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(cols - 1, fixedCols_));
  topRow_ = std::clamp(topRow_, fixedRows_, std::max(rows - 1, fixedRows_));
}

void GridModel::SetColCount(int n) {
  colWidths_.resize(static_cast<size_t>(std::max(n, 0)), defaultColWidth_);
  ClampPositions();
  Changed();
}

void GridModel::SetRowCount(int n) {
  rowHeights_.resize(static_cast<size_t>(std::max(n, 0)), defaultRowHeight_);
  ClampPositions();
  Changed();
}

void GridModel::SetFixedCols(int n) {
  fixedCols_ = n;
  ClampPositions();
  Changed();
}

void GridModel::SetFixedRows(int n) {
  fixedRows_ = n;
  ClampPositions();
  Changed();
}

void GridModel::SetDefaultColWidth(int w) {
  defaultColWidth_ = w;
  std::fill(colWidths_.begin(), colWidths_.end(), w);
  Changed();
}

void GridModel::SetDefaultRowHeight(int h) {
  defaultRowHeight_ = h;
  std::fill(rowHeights_.begin(), rowHeights_.end(), h);
  Changed();
}

int GridModel::ColWidth(int col) const {
  return col >= 0 && col < ColCount() ? colWidths_[static_cast<size_t>(col)] : 0;
}

int GridModel::RowHeight(int row) const {
  return row >= 0 && row < RowCount() ? rowHeights_[static_cast<size_t>(row)] : 0;
}

void GridModel::SetColWidth(int col, int w) {
  if (col < 0 || col >= ColCount()) return;
  colWidths_[static_cast<size_t>(col)] = w;
  Changed();
}

void GridModel::SetRowHeight(int row, int h) {
  if (row < 0 || row >= RowCount()) return;
  rowHeights_[static_cast<size_t>(row)] = h;
  Changed();
}

int GridModel::TotalWidth() const {
  int s = 0;
  for (int w : colWidths_) s += w;
  return s;
}

int GridModel::TotalHeight() const {
  int s = 0;
  for (int h : rowHeights_) s += h;
  return s;
}

int GridModel::FixedWidth() const {
  int s = 0;
  for (int c = 0; c < fixedCols_; ++c) s += ColWidth(c);
  return s;
}

int GridModel::FixedHeight() const {
  int s = 0;
  for (int r = 0; r < fixedRows_; ++r) s += RowHeight(r);
  return s;
}

void GridModel::SetCurrent(int col, int row) {
  const int oldCol = col_, oldRow = row_;
  col_ = std::clamp(col, 0, std::max(ColCount() - 1, 0));
  row_ = std::clamp(row, 0, std::max(RowCount() - 1, 0));
  if (view_ && (oldCol != col_ || oldRow != row_)) view_->CurrentChanged(oldCol, oldRow);
}

void GridModel::FocusCell(int col, int row) {
  SetCurrent(col, row);
  ScrollIntoView(col_, row_);
}

void GridModel::SetTopLeft(int leftCol, int topRow) {
  const int l = leftCol_, t = topRow_;
  leftCol_ = leftCol;
  topRow_ = topRow;
  ClampPositions();
  if (l != leftCol_ || t != topRow_) Changed();
}

void GridModel::ScrollIntoView(int col, int row) {
  int left = leftCol_, top = topRow_;
  if (col >= fixedCols_ && col < ColCount()) {
    if (col < left) {
      left = col;
    } else {
      // Scroll right until the column's right edge fits the client area.
      const int room = clientWidth_ - FixedWidth();
      for (;;) {
        int x = 0;
        for (int c = left; c <= col; ++c) x += ColWidth(c);
        if (x <= room || left >= col) break;
        ++left;
      }
    }
  }
  if (row >= fixedRows_ && row < RowCount()) {
    if (row < top) {
      top = row;
    } else {
      const int room = clientHeight_ - FixedHeight();
      for (;;) {
        int y = 0;
        for (int r = top; r <= row; ++r) y += RowHeight(r);
        if (y <= room || top >= row) break;
        ++top;
      }
    }
  }
  SetTopLeft(left, top);
}

void GridModel::SetClientSize(int width, int height) {
  clientWidth_ = std::max(width, 0);
  clientHeight_ = std::max(height, 0);
  Changed();
}

int GridModel::VisibleColCount() const {
  const int room = clientWidth_ - FixedWidth();
  int n = 0, x = 0;
  for (int c = leftCol_; c < ColCount(); ++c) {
    x += ColWidth(c);
    if (x > room) break;
    ++n;
  }
  return ColCount() > fixedCols_ ? std::max(n, 1) : 0;
}

int GridModel::VisibleRowCount() const {
  const int room = clientHeight_ - FixedHeight();
  int n = 0, y = 0;
  for (int r = topRow_; r < RowCount(); ++r) {
    y += RowHeight(r);
    if (y > room) break;
    ++n;
  }
  return RowCount() > fixedRows_ ? std::max(n, 1) : 0;
}

int GridModel::LastVisibleCol() const {
  int x = FixedWidth();
  int last = leftCol_;
  for (int c = leftCol_; c < ColCount(); ++c) {
    if (x >= clientWidth_) break;
    last = c;
    x += ColWidth(c);
  }
  return std::min(last, ColCount() - 1);
}

int GridModel::LastVisibleRow() const {
  int y = FixedHeight();
  int last = topRow_;
  for (int r = topRow_; r < RowCount(); ++r) {
    if (y >= clientHeight_) break;
    last = r;
    y += RowHeight(r);
  }
  return std::min(last, RowCount() - 1);
}

int GridModel::ColX(int col) const {
  int x = 0;
  if (col < fixedCols_) {
    for (int c = 0; c < col; ++c) x += ColWidth(c);
    return x;
  }
  x = FixedWidth();
  for (int c = leftCol_; c < col; ++c) x += ColWidth(c);
  return x;
}

int GridModel::RowY(int row) const {
  int y = 0;
  if (row < fixedRows_) {
    for (int r = 0; r < row; ++r) y += RowHeight(r);
    return y;
  }
  y = FixedHeight();
  for (int r = topRow_; r < row; ++r) y += RowHeight(r);
  return y;
}

Rect GridModel::CellRect(int col, int row) const {
  if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return {};
  if (col >= fixedCols_ && col < leftCol_) return {};
  if (row >= fixedRows_ && row < topRow_) return {};
  const int x = ColX(col), y = RowY(row);
  if (x >= clientWidth_ || y >= clientHeight_) return {};
  return Rect{x, y, x + ColWidth(col), y + RowHeight(row)};
}

Rect GridModel::CellRectUnscrolled(int col, int row) const {
  if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return {};
  int x = 0, y = 0;
  for (int c = 0; c < col; ++c) x += ColWidth(c);
  for (int r = 0; r < row; ++r) y += RowHeight(r);
  return Rect{x, y, x + ColWidth(col), y + RowHeight(row)};
}

bool GridModel::CellAt(Point p, int& col, int& row) const {
  if (p.x < 0 || p.y < 0 || p.x >= clientWidth_ || p.y >= clientHeight_) return false;
  int foundCol = -1, foundRow = -1;
  for (int c = 0; c < ColCount() && foundCol < 0; ++c) {
    if (c >= fixedCols_ && c < leftCol_) continue;
    const int x = ColX(c);
    if (p.x >= x && p.x < x + ColWidth(c)) foundCol = c;
  }
  for (int r = 0; r < RowCount() && foundRow < 0; ++r) {
    if (r >= fixedRows_ && r < topRow_) continue;
    const int y = RowY(r);
    if (p.y >= y && p.y < y + RowHeight(r)) foundRow = r;
  }
  if (foundCol < 0 || foundRow < 0) return false;
  col = foundCol;
  row = foundRow;
  return true;
}

void GridModel::InvalidateCell(int col, int row) const {
  if (view_) view_->InvalidateCell(col, row);
}

void GridModel::InvalidateAll() const {
  if (view_) view_->InvalidateAll();
}

}  // namespace twk
