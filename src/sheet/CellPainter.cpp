#include "sheet/CellPainter.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "sheet/Canvas.h"
#include "sheet/CellAccess.h"
#include "sheet/CellMarkup.h"
#include "sheet/Sheet.h"

namespace twk {

namespace {

int Scaled(double units, double scale) { return static_cast<int>(std::lround(units * scale)); }

bool IsPlainBackground(Color c) { return c == clWindow || c == kPaintWhite; }

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t nl = text.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
}

Color Channel(Color c, int shift) { return (c >> shift) & 0xFF; }

}  // namespace

Color CellPainter::RowTint(const Canvas& canvas) {
  const Color face = canvas.Resolve(clBtnFace);
  const Color window = canvas.Resolve(clWindow);
  Color out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    out |= ((Channel(face, shift) + Channel(window, shift) + 1) / 2) << shift;
  }
  return out;
}

void CellPainter::ErrorFigure(Canvas& canvas, int x, int y, int o) {
  // A plus-shaped cross: arms a third of the size wide.
  const int a = o / 3, b = o - o / 3;
  canvas.Polygon({{x + a, y}, {x + b, y}, {x + b, y + a}, {x + o, y + a}, {x + o, y + b},
                  {x + b, y + b}, {x + b, y + o}, {x + a, y + o}, {x + a, y + b}, {x, y + b},
                  {x, y + a}, {x + a, y + a}},
                 kPaintBlack, kPaintBlack, 1);
}

void CellPainter::WarningFigure(Canvas& canvas, int x, int y, int o) {
  const int pen = o / 16 + 1;
  canvas.Polygon({{x + o / 2, y}, {x + o, y + o}, {x, y + o}}, kPaintWhite, kPaintBlack, pen);
  // The exclamation mark: a wedge from a third to two thirds of the height,
  // and a block below it.
  const int cx = x + o / 2, w = std::max(o / 8, 1);
  canvas.Polygon({{cx - w, y + o / 3}, {cx + w, y + o / 3}, {cx, y + 2 * o / 3}}, kPaintBlack,
                 kPaintBlack, 1);
  const int top = y + 2 * o / 3 + std::max(o / 12, 1);
  canvas.FillRect(Rect{cx - w / 2 - 1, top, cx + w / 2 + 1, std::min(top + w + 1, y + o)},
                  kPaintBlack);
}

void CellPainter::Paint(Sheet& sheet, Canvas& canvas, int col, int row, const Rect& cellRect) {
  if (sheet.Building() || !sheet.HasSlots()) return;
  GridModel& grid = sheet.Grid();
  if (col < 0 || row < 0 || col >= sheet.ColCount() || row >= sheet.RowCount()) return;
  if (grid.ColWidth(col) < 1 || grid.RowHeight(row) < 1) return;
  const bool printing = sheet.Printing();
  const double scale = sheet.PrintScale();

  // 1. Joined runs paint the first cell of the run over the whole rectangle.
  Rect rect = cellRect;
  int owner = col;
  while (owner > 0 && sheet.CellAt(owner, row).Joined()) {
    --owner;
    rect.left -= grid.ColWidth(owner);
  }
  GridSlot& slot = sheet.SlotAt(owner, row);
  CellDescriptor& cell = slot.cell;
  const bool rightJoined = col + 1 < sheet.ColCount() && sheet.CellAt(col + 1, row).Joined();

  // 2. Highlight.
  const bool current = owner == grid.Col() && row == grid.Row();
  bool highlighted =
      current || ((slot.state & slotstate::kMultiSelectable) &&
                  (slot.state & (slotstate::kSelected | slotstate::kRowMarked)));
  if (!highlighted && cell.BelongsLeft() && row == grid.Row()) {
    // The owner: walk left across cells that belong to their left neighbour.
    int c = owner - 1;
    while (c >= 0 && !sheet.CellAt(c, row).Selectable() && sheet.CellAt(c, row).BelongsLeft()) --c;
    highlighted = c >= 0 && sheet.CellAt(c, row).Selectable() && c == grid.Col();
  }

  // 3. Background.
  const bool popup = sheet.PopupMode();
  Color background;
  bool darkPrint = false;
  bool highlightColour = false;
  if (printing) {
    darkPrint = !IsPlainBackground(cell.color);
    background = darkPrint ? kPaintDarkGrey : kPaintWhite;
  } else if (!highlighted || sheet.EditorVisible()) {
    background = cell.color;
    if ((sheet.Flags() & sheetflag::kColorSelectLine) && row == grid.Row() &&
        col >= grid.FixedCols() && !popup) {
      background = RowTint(canvas);
    }
  } else if (grid.HasFocus() || popup) {
    background = clHighlight;
    highlightColour = true;
  } else {
    background = clBtnFace;
  }
  if (background != kPaintWhite) canvas.FillRect(rect, background);

  // 4, 5. Bottom rule and right edge mark.
  const Color ruleColour = IsPlainBackground(cell.color) ? (printing ? kPaintBlack : kPaintGrey)
                                                         : kPaintWhite;
  if (cell.layoutFlags & layout::kBottomRule) {
    canvas.Line({rect.left, rect.bottom - 1}, {rect.right, rect.bottom - 1}, ruleColour, 1);
  }
  if (!rightJoined) {
    const int h = rect.Height();
    if (cell.Edge() == kEdgeRule) {
      canvas.Line({rect.right - 1, rect.top}, {rect.right - 1, rect.bottom}, ruleColour, 1);
    } else if (cell.Edge() == kEdgeTick) {
      canvas.Line({rect.right - 1, rect.top + h * 7 / 10}, {rect.right - 1, rect.bottom},
                  ruleColour, 1);
    }
  }

  // 6. Font.
  Font font = cell.font ? *cell.font : sheet.BaseFont();
  if (highlightColour) font.color = clHightlightText;
  canvas.SetFont(font);

  // 7. Text: the label handler's for a bound cell, else the cell's own.
  CellAccessContext& ctx = sheet.PaintContext();
  ctx = CellAccessContext{};
  ctx.parent = const_cast<CellAccessContext*>(sheet.ParentContext());
  ctx.cell = &cell;
  ctx.canvas = &canvas;
  ctx.images = sheet.Images();
  ctx.cellRect = rect;
  ctx.ownerSheet = &sheet;
  ctx.state = static_cast<std::uint8_t>((highlighted ? cellstate::kCurrent : 0) |
                                        (printing ? cellstate::kPrinting : 0));
  std::string text;
  if (cell.Bound()) {
    sheet.Handler()(ctx, kModeDisplay);
    text = ctx.outputText;
  } else {
    text = DisplayTextOf(cell);
  }

  // 8. Text colour fix-ups.
  if (printing) {
    canvas.SetFontColor(darkPrint ? kPaintWhite : kPaintBlack);
  } else if (highlighted && background == clBtnFace) {
    const Color fc = canvas.GetFont().color;
    if (fc == clBtnFace || fc == kPaintSilver || fc == clGrayText) canvas.SetFontColor(clWindow);
  }

  // 9. Text layout.
  const std::vector<std::string> lines = SplitLines(text);
  std::vector<Size> extents;
  extents.reserve(lines.size());
  int total = 0;
  for (const auto& line : lines) {
    extents.push_back(canvas.TextExtent(line));
    total += extents.back().cy;
  }
  const int s1 = Scaled(1, scale), s4 = Scaled(4, scale);
  int y = rect.top + s1;
  if (cell.VAlignment() == kAlignMiddle) y = rect.top + (rect.Height() + 1 - total) / 2;
  else if (cell.VAlignment() == kAlignBottom) y = rect.bottom - total - s1;
  int textEnd = rect.left;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int lw = extents[i].cx;
    int x = rect.left + s4;
    if (cell.HAlignment() == kAlignCentre) x = rect.left + (rect.Width() + 1 - lw) / 2;
    else if (cell.HAlignment() == kAlignRight) x = rect.right + 1 - lw - s4;
    x = std::max(x, rect.left);
    if (!lines[i].empty()) {
      if (x + lw + 1 < rect.right) {
        canvas.Text(x, y, lines[i]);
        textEnd = x + lw;
      } else {
        canvas.TextClipped(rect, x, y, lines[i]);
        textEnd = rect.right;
      }
    }
    y += extents[i].cy;
  }

  // 10. Error or warning mark.
  const bool error = (ctx.state & cellstate::kError) != 0;
  const bool warning = (ctx.state & cellstate::kWarning) != 0;
  if ((error || warning) && sheet.Images() != nullptr) {
    const ImageList& images = *sheet.Images();
    const int o = printing ? rect.Height() / 2 : images.Width();
    int position = ctx.markPosition;
    if (position == kMarkDefault) position = cell.HAlignment() == kAlignRight ? kMarkLeft : kMarkAfterText;
    int x;
    if (position == kMarkLeft) {
      x = rect.left + o / 8;
    } else if (position == kMarkAfterText) {
      x = std::max(std::min(textEnd, rect.right - o - 1), rect.left);
    } else {
      x = rect.right - o - 1;
    }
    if (printing) {
      const int top = rect.bottom - 1 - o;
      if (error) ErrorFigure(canvas, x, top, o);
      else WarningFigure(canvas, x, top, o);
    } else {
      canvas.Image(images, error ? 5 : 4, x, rect.bottom - 1 - images.Height());
    }
  }
  ctx.state = static_cast<std::uint8_t>(ctx.state & ~(cellstate::kError | cellstate::kWarning));
  ctx.canvas = nullptr;

  // 11. A right neighbour that belongs to this cell follows its highlight.
  if (col + 1 < sheet.ColCount() && sheet.CellAt(col + 1, row).BelongsLeft()) {
    const int w = grid.ColWidth(col + 1);
    Paint(sheet, canvas, col + 1, row, Rect{cellRect.right, cellRect.top, cellRect.right + w, cellRect.bottom});
  }
}

}  // namespace twk
