#include "sheet/Sheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/AppSettings.h"
#include "app/Fatal.h"
#include "sheet/Canvas.h"
#include "sheet/CellMarkup.h"
#include "sheet/CellPainter.h"
#include "sheet/ColumnWidths.h"
#include "sheet/MessageBus.h"
#include "text/CodePage.h"
#include "text/TextStore.h"

namespace twk {

namespace {

constexpr const char* kIllegalSelection = "Illegal Cell selection";
constexpr const char* kIllegalAssign = "Illegal Cell assign";

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// The text after the first "=", or none.
std::optional<std::string_view> AfterEquals(std::string_view s) {
  const auto eq = s.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return s.substr(eq + 1);
}

int ToInt(std::string_view s) { return std::atoi(std::string(s).c_str()); }

// Calls fn with the content of every "(...)" group (double-byte aware, no
// escapes); a group left open runs to the end of the text.
template <class F>
void ForEachGroup(std::string_view text, F&& fn) {
  const CodePage& cp = ActiveCodePage();
  std::size_t i = 0;
  while (i < text.size()) {
    if (cp.IsLeadByte(text[i])) {
      i += 2;
      continue;
    }
    if (text[i] != '(') {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    while (j < text.size() && text[j] != ')') j += cp.IsLeadByte(text[j]) ? 2 : 1;
    j = std::min(j, text.size());
    fn(text.substr(i + 1, j - i - 1));
    i = j + 1;
  }
}

int CountCells(std::string_view line) {
  int n = 0;
  std::string_view rest = line;
  do {
    rest = SplitRow(rest).rest;
    ++n;
  } while (!rest.empty());
  return n;
}

const Font& DefaultFont() {
  static const Font f;
  return f;
}

}  // namespace

Sheet::Sheet(void* parentWindow, const CellAccessContext* parentContext, int requestedLabel,
             int requestedIndex, TextStore& store, std::string key, ImageList* images)
    : parentWindow_(parentWindow),
      requestedLabel_(requestedLabel),
      requestedIndex_(requestedIndex),
      store_(store),
      key_(std::move(key)),
      address_(key_),
      images_(images) {
  if (parentContext != nullptr) parentContext_ = std::make_unique<CellAccessContext>(*parentContext);
  if (MessageBus* bus = BusOrNull()) {
    bus->Subscribe(&Sheet::OnMessage, this);
    subscribed_ = true;
  }
}

Sheet::~Sheet() {
  if (!Printing() && !PopupMode() && !slots_.empty()) Sheet::SaveColumnWidths();
  if (subscribed_) {
    if (MessageBus* bus = BusOrNull()) {
      bus->Send(msg::kSheetDestroyed, reinterpret_cast<std::intptr_t>(&grid_), 0);
      bus->Unsubscribe(&Sheet::OnMessage, this);
    }
  }
}

void Sheet::OnMessage(void* object, const Message& m) {
  auto* sheet = static_cast<Sheet*>(object);
  if (sheet->building_ || sheet->slots_.empty()) return;
  CellDescriptor probe;
  std::uint8_t mask = 0;
  switch (m.type) {
    case msg::kRepaintAll: mask = 0x20; break;
    case msg::kRepaintCategory: probe.category = m.value2; mask = 0x02; break;
    case msg::kRepaintLabel: probe.label = m.value2; mask = 0x04; break;
    case msg::kRepaintIndex: probe.index = m.value2; probe.category = 0; mask = 0x08; break;
    case msg::kRepaintIndexAtMost: probe.index = m.value2; probe.category = 0; mask = 0x80; break;
    case msg::kRepaintIndexAtLeast: probe.index = m.value2; probe.category = 0; mask = 0x40; break;
    default: return;
  }
  sheet->RepaintMatching(probe, mask);
}

void Sheet::RepaintMatching(const CellDescriptor& c, std::uint8_t mask) {
  if (slots_.empty()) return;
  const int lastRow = std::min(grid_.LastVisibleRow() + 1, RowCount() - 1);
  const int lastCol = std::min(grid_.LastVisibleCol() + 1, colCount_ - 1);
  for (int r = 0; r <= lastRow; ++r) {
    for (int col = 0; col <= lastCol; ++col) {
      const CellDescriptor& x = slots_[static_cast<size_t>(r * colCount_ + col)].cell;
      const bool bound = x.Bound();
      const bool catSet = c.category != CT_None;
      const bool hit = ((mask & 0x01) && x.label == c.label && x.index == c.index) ||
                       ((mask & 0x02) && x.category == c.category) ||
                       ((mask & 0x04) && x.label == c.label) ||
                       ((mask & 0x08) && x.index == c.index && catSet && bound) ||
                       ((mask & 0x10) && x.category == c.category &&
                        std::abs(x.index - c.index) <= 1 && bound) ||
                       ((mask & 0x20) && bound) ||
                       ((mask & 0x40) && x.index >= c.index && catSet && bound) ||
                       ((mask & 0x80) && x.index <= c.index && catSet && bound);
      if (hit) grid_.InvalidateCell(col, r);
    }
  }
}

// ---- set-up ------------------------------------------------------------------

void Sheet::SetPopupMode(bool on) {
  flags_ = on ? static_cast<std::uint8_t>(flags_ | sheetflag::kPopupMode)
              : static_cast<std::uint8_t>(flags_ & ~sheetflag::kPopupMode);
}

void Sheet::SetSavedPosition(int col, int row, int leftCol, int topRow) {
  savedCol_ = col;
  savedRow_ = row;
  savedLeft_ = leftCol;
  savedTop_ = topRow;
}

void Sheet::SetPrinter(Canvas* printer) {
  printer_ = printer;
  previewBitmap_ = nullptr;
  printScale_ = printer ? static_cast<double>(printer->PixelsPerInch() / ScreenPixelsPerInch()) : 1.0;
}

void Sheet::SetPreview(Canvas* printer, Canvas* bitmap) {
  printer_ = printer;
  previewBitmap_ = bitmap;
  printScale_ = 1.0;
}

int Sheet::DisplayFontPercent() const {
  if (displayPercent_ > 0) return displayPercent_;
  return HaveSettings() ? Settings().fontSizePercentage : 100;
}

Canvas* Sheet::TargetCanvas() const {
  if (printer_ != nullptr) return previewBitmap_ != nullptr ? previewBitmap_ : printer_;
  if (widgets_ != nullptr) {
    if (Canvas* c = widgets_->GridCanvas()) return c;
  }
  return screenCanvas_;
}

const Font& Sheet::BaseFont() const { return base_.font ? *base_.font : DefaultFont(); }

// ---- build -------------------------------------------------------------------

void Sheet::Build() {
  if (!handler_) handler_ = StandardLabelHandler();
  building_ = true;

  ForEachGroup(store_.GetFirstLine(key_ + "_Style"),
               [this](std::string_view g) { ApplyStyleAttribute(std::string(g)); });

  const std::string title = TitleText();
  if (title_.has_value() && widgets_ != nullptr) {
    int textHeight = widgets_->TitleTextHeight(titleFont_);
    if (textHeight <= 0) {
      if (Canvas* c = TargetCanvas()) {
        c->SetFont(titleFont_ ? *titleFont_ : DefaultFont());
        textHeight = c->TextExtent(title).cy;
      }
    }
    widgets_->CreateTitle(title, titleFont_, titleColor_, textHeight + 2 + 8);
  }

  LayOut();
  if (widgets_ != nullptr) widgets_->CreateGridPanel(PopupMode(), base_.color, BaseFont());

  grid_.SetThumbTracking(true);
  grid_.SetColSizing((flags_ & sheetflag::kColSizing) != 0);
  grid_.SetFixedCols(std::min(fixedCols_, colCount_ - 1));
  grid_.SetFixedRows(std::min(fixedRows_, RowCount() - 1));
  grid_.SetScrollBars(ScrollBars::Both);
  grid_.SetDefaultDrawing(false);
  if (widgets_ != nullptr) widgets_->CreatePopupMenu();

  Focus(0, 0, false);
  int c = 0, r = 0;
  if (FirstSelectable(c, r)) Focus(c, r, false);
  if (widgets_ != nullptr) widgets_->ShowWidgets();

  if (savedCol_ >= colCount_ || savedRow_ >= RowCount()) savedCol_ = savedRow_ = -1;
  const bool haveSaved = savedCol_ >= 0 && savedRow_ >= 0;
  if (!haveSaved && requestedLabel_ != 0) {
    if (FindSelectable(-1, requestedLabel_, requestedIndex_, c, r)) Focus(c, r, true);
  } else if (haveSaved && IsSelectable(savedCol_, savedRow_)) {
    grid_.SetTopLeft(savedLeft_, savedTop_);
    Focus(savedCol_, savedRow_, false);
  }

  grid_.SetEnabled(IsSelectable(grid_.Col(), grid_.Row()));
  building_ = false;
  grid_.InvalidateAll();
  if (widgets_ != nullptr) widgets_->RefreshPopupMenu(false);
}

void Sheet::ApplyStyleAttribute(const std::string& text) {
  const std::string_view s = text;
  if (StartsWith(s, "TitleString")) {
    if (auto v = AfterEquals(s); v && !v->empty()) title_ = std::string(*v);
  } else if (StartsWith(s, "TitleColor")) {
    if (auto v = AfterEquals(s)) {
      if (auto color = ParseColor(*v)) titleColor_ = *color;
    }
  } else if (StartsWith(s, "TitleFont")) {
    Font f;
    if (auto v = AfterEquals(s)) ApplyFontSpec(*v, f);
    titleFont_ = f;
  } else if (StartsWith(s, "FixedCols")) {
    if (auto v = AfterEquals(s)) fixedCols_ = ToInt(*v);
  } else if (StartsWith(s, "FixedRows")) {
    if (auto v = AfterEquals(s)) fixedRows_ = ToInt(*v);
  } else if (s == "NoPrint") {
    flags_ |= sheetflag::kNoPrint;
  } else if (StartsWith(s, "PrintFontRatio")) {
    if (auto v = AfterEquals(s)) printFontRatio_ = ToInt(*v);
  } else if (StartsWith(s, "MultiSelect")) {
    const auto v = AfterEquals(s);
    multiSelect_ = !v ? MultiSelectMode::None
                   : *v == "Cell" ? MultiSelectMode::Cell
                   : *v == "Line" ? MultiSelectMode::Line
                                  : MultiSelectMode::None;
  } else if (StartsWith(s, "ColSizing")) {
    flags_ |= sheetflag::kColSizing;
  } else if (StartsWith(s, "ColorSelectLine")) {
    flags_ |= sheetflag::kColorSelectLine;
  }
}

void Sheet::ApplyControlAttribute(const std::string& text, int line) {
  const std::string_view s = text;
  if (StartsWith(s, "LoopFrom")) {
    if (s.size() > 9 && s[8] == ' ') {
      loopStart_ = line;
      loopCount_ = std::max(ToInt(s.substr(9)), 1);
    }
  } else if (StartsWith(s, "LoopTo")) {
    loopEnd_ = line;
  } else if (StartsWith(s, "SelectON")) {
    currentSelectable_ = true;
  } else if (StartsWith(s, "SelectOFF")) {
    currentSelectable_ = false;
  }
}

void Sheet::LayOut() {
  ReadBaseCell();
  ReadRowTable();
  grid_.SetColCount(colCount_);
  grid_.SetRowCount(RowCount());

  slots_.clear();
  slots_.resize(static_cast<size_t>(colCount_) * static_cast<size_t>(RowCount()));

  int unit = 1;
  if (printer_ != nullptr && previewBitmap_ == nullptr) {
    unit = std::max(1, printer_->PixelsPerInch() / ScreenPixelsPerInch());
  }
  grid_.SetDefaultColWidth(unit);
  grid_.SetDefaultRowHeight(unit);

  FillCells();
}

void Sheet::ReadBaseCell() {
  std::string text = store_.GetFirstLine(key_ + "_BasicCell");
  char suffix[48];
  if (explicitFontHeight_ != 0) {
    std::snprintf(suffix, sizeof suffix, "{(Font=,,,%d,,,)}", explicitFontHeight_);
  } else {
    std::snprintf(suffix, sizeof suffix, "{(Font=,,,%%%d,,,)}", DisplayFontPercent());
  }
  text += suffix;
  if (Printing() && printFontRatio_ != 100) {
    std::snprintf(suffix, sizeof suffix, "{(Font=,,,%%%d,,,)}", printFontRatio_);
    text += suffix;
  }
  base_ = CellDescriptor{};
  ParseCell(base_, text, nullptr, nullptr);
  base_.chVars = nullptr;
}

void Sheet::AppendRow(int line, bool selectable) { rows_.push_back(RowEntry{line, selectable}); }

void Sheet::ReadRowTable() {
  loopStart_ = loopEnd_ = loopCount_ = -1;
  colCount_ = 0;
  rows_.clear();
  currentSelectable_ = true;
  loopLines_ = 0;
  const std::string cellsKey = CellsKey();
  for (int L = 0;; ++L) {
    const std::string line = store_.GetLine(cellsKey, L);
    if (!line.empty() && line[0] == '#') break;
    if (skipCount_ > 0) {
      --skipCount_;
      continue;
    }
    if (!line.empty() && line[0] == ':') {
      ForEachGroup(std::string_view(line).substr(1),
                   [this, L](std::string_view g) { ApplyControlAttribute(std::string(g), L); });
      if (loopStart_ >= 0 && loopEnd_ >= 0 && loopCount_ > 0) {
        for (int n = 1; n < loopCount_; ++n) {
          for (int k = 1; k <= loopLines_; ++k) AppendRow(loopStart_ + k, currentSelectable_);
        }
        loopStart_ = loopEnd_ = loopCount_ = -1;
        loopLines_ = 0;
      }
      continue;
    }
    colCount_ = std::max(colCount_, CountCells(line));
    AppendRow(L, currentSelectable_);
    if (loopStart_ >= 0 && loopEnd_ < 0) ++loopLines_;
    else loopLines_ = 0;
  }
  if (colCount_ == 0 || rows_.empty()) Fatal(kIllegalAssign);
}

void Sheet::FitCell(const CellDescriptor& cell, int col, int row) {
  const bool widen = (cell.layoutFlags & layout::kWiden) != 0;
  const bool heighten = (cell.layoutFlags & layout::kHeighten) != 0;
  if (!widen && !heighten) return;
  Canvas* canvas = TargetCanvas();
  if (canvas == nullptr) return;
  canvas->SetFont(cell.font ? *cell.font : BaseFont());
  const std::string& text = DisplayTextOf(cell);
  int width = 0, height = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t nl = text.find('\n', start);
    const Size e = canvas->TextExtent(text.substr(start, nl == std::string::npos ? nl : nl - start));
    width = std::max(width, e.cx);
    height += e.cy;
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  const int w = static_cast<int>(std::lround(width + 8 * printScale_));
  const int h = static_cast<int>(std::lround(height + 2 * printScale_));
  if (widen && grid_.ColWidth(col) < w) grid_.SetColWidth(col, w);
  if (heighten && grid_.RowHeight(row) < h) grid_.SetRowHeight(row, h);
}

void Sheet::FillCells() {
  const std::string cellsKey = CellsKey();
  const bool multi = multiSelect_ != MultiSelectMode::None;
  int prevCells = 0;
  for (int r = 0; r < RowCount(); ++r) {
    const int L = rows_[static_cast<size_t>(r)].line;
    BeginRow(r);
    const bool repeat = r > 0 && rows_[static_cast<size_t>(r - 1)].line == L;
    const std::uint8_t state =
        multi && rows_[static_cast<size_t>(r)].selectable ? slotstate::kMultiSelectable : 0;
    int cells = 0;
    if (repeat) {
      for (int c = 0; c < prevCells; ++c) {
        BeginCell(c, r);
        GridSlot& slot = SlotAt(c, r);
        slot.cell = SlotAt(c, r - 1).cell;
        slot.cell.index += 1;
        slot.state = state;
        grid_.SetRowHeight(r, grid_.RowHeight(r - 1));
      }
      cells = prevCells;
    } else {
      const std::string line = store_.GetLine(cellsKey, L);
      std::string_view rest = line;
      for (int c = 0; c < colCount_; ++c) {
        BeginCell(c, r);
        const RowSplit split = SplitRow(rest);
        GridSlot& slot = SlotAt(c, r);
        ParseCell(slot.cell, split.cell, chVars_, &base_);
        slot.cell.chVars = nullptr;
        FitCell(slot.cell, c, r);
        slot.state = state;
        ++cells;
        rest = split.rest;
        if (rest.empty()) break;
      }
    }
    prevCells = cells;
  }

  if (Printing()) {
    RestoreColumnWidths();
  } else if (!PopupMode()) {
    if (fontsChanged_) {
      if (HaveSettings()) ResetAllColumnWidths(Settings().Backend());
    } else {
      RestoreColumnWidths();
    }
    SaveColumnWidths();
  }
  fontsChanged_ = false;
}

// ---- column widths -------------------------------------------------------------

bool Sheet::ColumnResizable(int col) const {
  if (slots_.empty() || RowCount() == 0) return false;
  return IsSelectable(col, std::min(fixedRows_, RowCount() - 1));
}

void Sheet::RestoreColumnWidths() {
  if (!HaveSettings()) return;
  const std::string name = ColumnWidthName(KeyOfAddress(address_));
  if (name.empty()) return;
  auto resizable = [this](int c) { return ColumnResizable(c); };
  if (Printing()) {
    Canvas* canvas = TargetCanvas();
    const int points = canvas ? canvas->GetFont().size : BaseFont().size;
    const int ppi = canvas ? canvas->PixelsPerInch() : ScreenPixelsPerInch();
    const double f = PrintWidthFactor(points, ppi, ScreenPixelsPerInch(), DisplayFontPercent());
    RestoreColumnWidthsForPrint(grid_, Settings().Backend(), name, resizable, f);
  } else {
    restoringWidths_ = true;
    twk::RestoreColumnWidths(grid_, Settings().Backend(), name, resizable);
    restoringWidths_ = false;
  }
}

void Sheet::SaveColumnWidths() {
  if (Printing() || PopupMode() || !HaveSettings()) return;
  const std::string name = ColumnWidthName(KeyOfAddress(address_));
  if (name.empty()) return;
  twk::SaveColumnWidths(grid_, Settings().Backend(), name,
                        [this](int c) { return ColumnResizable(c); });
}

void Sheet::ColumnWidthsChanged() {
  ClampColumnWidths(grid_, [this](int c) { return ColumnResizable(c); }, restoringWidths_);
}

// ---- cells ---------------------------------------------------------------------

GridSlot& Sheet::SlotAt(int col, int row) {
  if (slots_.empty() || col < 0 || row < 0 || col >= colCount_ || row >= RowCount())
    Fatal(kIllegalSelection);
  return slots_[static_cast<size_t>(row) * static_cast<size_t>(colCount_) + static_cast<size_t>(col)];
}

CellDescriptor& Sheet::CellAt(int col, int row) { return SlotAt(col, row).cell; }

bool Sheet::IsSelectable(int col, int row) const {
  if (slots_.empty() || col < 0 || row < 0 || col >= colCount_ || row >= RowCount()) return false;
  return slots_[static_cast<size_t>(row * colCount_ + col)].cell.Selectable();
}

bool Sheet::FirstSelectable(int& col, int& row) const {
  for (int r = 0; r < RowCount(); ++r) {
    for (int c = 0; c < colCount_; ++c) {
      if (IsSelectable(c, r)) {
        col = c;
        row = r;
        return true;
      }
    }
  }
  return false;
}

bool Sheet::FindSelectable(int category, int label, std::int32_t index, int& col, int& row) const {
  for (int r = 0; r < RowCount(); ++r) {
    for (int c = 0; c < colCount_; ++c) {
      const CellDescriptor& x = slots_[static_cast<size_t>(r * colCount_ + c)].cell;
      if (x.Selectable() && x.label == label && x.index == index &&
          (category < 0 || x.category == category)) {
        col = c;
        row = r;
        return true;
      }
    }
  }
  return false;
}

void Sheet::Focus(int col, int row, bool scroll) {
  if (scroll) grid_.FocusCell(col, row);
  else grid_.SetCurrent(col, row);
}

void Sheet::PaintCell(Canvas& canvas, int col, int row, const Rect& rect) {
  CellPainter::Paint(*this, canvas, col, row, rect);
}

void Sheet::PaintAll(Canvas& canvas) {
  for (int r = 0; r < RowCount(); ++r) {
    for (int c = 0; c < colCount_; ++c) PaintCell(canvas, c, r, grid_.CellRectUnscrolled(c, r));
  }
}

int Sheet::ExtraWidthNeeded() const {
  const int parent = widgets_ ? widgets_->ParentSize().cx : 0;
  return grid_.TotalWidth() + parent - grid_.ClientWidth();
}

int Sheet::ExtraHeightNeeded() const {
  const int parent = widgets_ ? widgets_->ParentSize().cy : 0;
  return grid_.TotalHeight() + parent - grid_.ClientHeight();
}

}  // namespace twk
