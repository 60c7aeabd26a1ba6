#include "sheet/qt/cuiGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

#include "app/qt/TForm1.h"
#include "sheet/CellMarkup.h"
#include "sheet/MessageBus.h"
#include "sheet/Sheet.h"

namespace twk {

namespace {

constexpr int kPageRows = 10;
constexpr int kBorderSlop = 4;
constexpr int kEditorMaxLength = 1024;
constexpr int kPopupMirrorLabel = 33;
constexpr int kDragScrollMs = 60;  // the menu item that mirrors the cell's popup items

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

cuiGrid::cuiGrid(Sheet& sheet, QtCanvas& canvas, QWidget* parent)
    : QAbstractScrollArea(parent), sheet_(sheet), canvas_(canvas), alive_(std::make_shared<bool>(true)) {
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  sheet_.Grid().SetView(this);
  if (MessageBus* bus = BusOrNull()) {
    bus->Subscribe(&cuiGrid::OnBus, this);
    subscribed_ = true;
  }
}

cuiGrid::~cuiGrid() { Detach(); }

GridModel& cuiGrid::Model() const { return sheet_.Grid(); }

// ---- bus ---------------------------------------------------------------------------

void cuiGrid::OnBus(void* self, const Message& m) {
  auto* g = static_cast<cuiGrid*>(self);
  if (m.type == msg::kCommitEditors) {
    g->CloseEditor(true);
  } else if (m.type == msg::kRequestParentCell && m.mode == MessageMode::Request) {
    // The popup menu built by this grid asks for the cell it serves.
    if (g->builder_ && reinterpret_cast<MenuItem*>(m.value1) == &g->popupRoot_ &&
        g->sheet_.HasSlots()) {
      if (MessageBus* bus = BusOrNull())
        bus->ReplyObject(g->sheet_.CellAt(g->Model().Col(), g->Model().Row()));
    }
  }
}

// ---- painting and geometry -------------------------------------------------------

void cuiGrid::paintEvent(QPaintEvent* e) {
  if (!*alive_) return;
  QPainter p(viewport());
  const GridModel& m = Model();
  p.fillRect(e->rect(), ToQColor(sheet_.BaseCell().color));
  if (!sheet_.HasSlots() || sheet_.Building()) return;
  canvas_.SetPainter(&p);
  const QRect dirty = e->rect();
  auto paintRow = [&](int r) {
    for (int c = 0; c < m.FixedCols() && c < m.ColCount(); ++c) {
      const Rect rc = m.CellRect(c, r);
      if (!rc.IsEmpty() && dirty.intersects(QRect(rc.left, rc.top, rc.Width(), rc.Height())))
        sheet_.PaintCell(canvas_, c, r, rc);
    }
    for (int c = m.LeftCol(); c <= m.LastVisibleCol(); ++c) {
      const Rect rc = m.CellRect(c, r);
      if (!rc.IsEmpty() && dirty.intersects(QRect(rc.left, rc.top, rc.Width(), rc.Height())))
        sheet_.PaintCell(canvas_, c, r, rc);
    }
  };
  for (int r = 0; r < m.FixedRows() && r < m.RowCount(); ++r) paintRow(r);
  for (int r = m.TopRow(); r <= m.LastVisibleRow(); ++r) paintRow(r);
  canvas_.SetPainter(nullptr);
}

void cuiGrid::InvalidateCell(int col, int row) {
  const GridModel& m = Model();
  if (!sheet_.HasSlots() || col < 0 || row < 0 || col >= m.ColCount() || row >= m.RowCount()) return;
  // A joined run paints as one: invalidate from its first cell to its last.
  int first = col, last = col;
  while (first > 0 && sheet_.CellAt(first, row).Joined()) --first;
  while (last + 1 < m.ColCount() && sheet_.CellAt(last + 1, row).Joined()) ++last;
  // A cell that belongs to its left neighbour follows its highlight.
  while (last + 1 < m.ColCount() && sheet_.CellAt(last + 1, row).BelongsLeft()) ++last;
  QRect area;
  for (int c = first; c <= last; ++c) {
    const Rect r = m.CellRect(c, row);
    if (!r.IsEmpty()) area |= QRect(r.left, r.top, r.Width(), r.Height());
  }
  if (!area.isEmpty()) viewport()->update(area);
}

void cuiGrid::InvalidateAll() { viewport()->update(); }

void cuiGrid::LayoutChanged() {
  SyncScrollBars();
  viewport()->update();
}

void cuiGrid::UpdateRow(int row) {
  const GridModel& m = Model();
  if (row < 0 || row >= m.RowCount()) return;
  for (int c = 0; c < m.ColCount(); ++c) InvalidateCell(c, row);
}

void cuiGrid::CurrentChanged(int oldCol, int oldRow) {
  InvalidateCell(oldCol, oldRow);
  InvalidateCell(Model().Col(), Model().Row());
  if (oldRow != Model().Row() && (sheet_.Flags() & sheetflag::kColorSelectLine)) {
    UpdateRow(oldRow);
    UpdateRow(Model().Row());
  }
}

void cuiGrid::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  Model().SetClientSize(viewport()->width(), viewport()->height());
}

void cuiGrid::SyncScrollBars() {
  if (syncing_) {
    // A scroll bar that appears or goes resizes the client area meanwhile.
    resyncPending_ = true;
    return;
  }
  for (int pass = 0; pass < 3; ++pass) {
    resyncPending_ = false;
    SyncScrollBarsOnce();
    if (!resyncPending_) break;
  }
}

void cuiGrid::SyncScrollBarsOnce() {
  syncing_ = true;
  GridModel& m = Model();
  const ScrollBars sb = m.GetScrollBars();
  const bool horz = sb == ScrollBars::Both || sb == ScrollBars::Horizontal;
  const bool vert = sb == ScrollBars::Both || sb == ScrollBars::Vertical;
  setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  // The last top-left position that still fills the client area.
  int maxLeft = m.FixedCols();
  {
    const int room = m.ClientWidth() - m.FixedWidth();
    int x = 0;
    for (int c = m.ColCount() - 1; c >= m.FixedCols(); --c) {
      x += m.ColWidth(c);
      if (x > room) { maxLeft = std::min(c + 1, m.ColCount() - 1); break; }
    }
  }
  int maxTop = m.FixedRows();
  {
    const int room = m.ClientHeight() - m.FixedHeight();
    int y = 0;
    for (int r = m.RowCount() - 1; r >= m.FixedRows(); --r) {
      y += m.RowHeight(r);
      if (y > room) { maxTop = std::min(r + 1, m.RowCount() - 1); break; }
    }
  }
  maxLeft = std::max(maxLeft, m.LeftCol());
  maxTop = std::max(maxTop, m.TopRow());
  horizontalScrollBar()->setRange(0, std::max(0, maxLeft - m.FixedCols()));
  horizontalScrollBar()->setPageStep(std::max(1, m.VisibleColCount()));
  horizontalScrollBar()->setValue(m.LeftCol() - m.FixedCols());
  verticalScrollBar()->setRange(0, std::max(0, maxTop - m.FixedRows()));
  verticalScrollBar()->setPageStep(std::max(1, m.VisibleRowCount()));
  verticalScrollBar()->setValue(m.TopRow() - m.FixedRows());
  syncing_ = false;
}

void cuiGrid::scrollContentsBy(int, int) {
  if (syncing_) return;
  GridModel& m = Model();
  syncing_ = true;
  m.SetTopLeft(m.FixedCols() + horizontalScrollBar()->value(),
               m.FixedRows() + verticalScrollBar()->value());
  syncing_ = false;
  if (EditorOpen()) CloseEditor(true);
  viewport()->update();
}

QRect cuiGrid::GlobalCellRect(int col, int row) const {
  const Rect r = Model().CellRect(col, row);
  const QPoint tl = viewport()->mapToGlobal(QPoint(r.left, r.top));
  return QRect(tl, QSize(r.Width(), r.Height()));
}

// ---- the action protocol -------------------------------------------------------------

void cuiGrid::FillContext(CellAccessContext& ctx, int col, int row) {
  GridModel& m = Model();
  ctx.sender = this;
  ctx.grid = this;
  ctx.cell = &sheet_.CellAt(col, row);
  ctx.cellRect = m.CellRect(col, row);
  ctx.images = sheet_.Images();
  ctx.parent = const_cast<CellAccessContext*>(sheet_.ParentContext());
  ctx.repaint = &cuiGrid::RepaintCallback;
  ctx.repaintObject = this;
  ctx.reopenEditor = &cuiGrid::ReopenCallback;
  ctx.reopenEditorObject = &ctx;
  ctx.state = (col == m.Col() && row == m.Row()) ? cellstate::kCurrent : 0;
  if (sheet_.Printing()) ctx.state |= cellstate::kPrinting;
  ctx.ownerSheet = &sheet_;
  if (multiActive_) {
    ctx.selectionFlags |= selection::kMultiActive;
    const int fc = std::min(m.FixedCols(), m.ColCount() - 1);
    const int a = sheet_.CellAt(fc, std::max(anchorRow_, 0)).index;
    const int b = sheet_.CellAt(fc, m.Row()).index;
    ctx.rangeLow = std::min(a, b);
    ctx.rangeHigh = std::max(a, b);
  }
}

void cuiGrid::Act(int col, int row, int key, int command, const std::string* text) {
  if (!sheet_.HasSlots()) return;
  const std::shared_ptr<bool> alive = alive_;
  struct Depth {
    int& d;
    std::shared_ptr<bool> alive;
    explicit Depth(int& x, std::shared_ptr<bool> a) : d(x), alive(std::move(a)) { ++d; }
    ~Depth() { if (*alive) --d; }
  } depth(actDepth_, alive);
  int pause = 30;
  std::string input = text ? *text : std::string();
  bool haveText = text != nullptr;
  for (;;) {
    CellAccessContext ctx;
    FillContext(ctx, col, row);
    ctx.key = key;
    ctx.command = command;
    if (haveText) {
      ctx.inputKind = kInputCommitted;
      ctx.key = 0;
      ctx.inputText = input;
    }
    if (sheet_.PopupMode()) {
      // The choice goes to the cell that opened the popup window.
      if ((key == kKeyEnter || key == kKeyDoubleClick) && sheet_.ParentContext() != nullptr) {
        CellAccessContext owner = *sheet_.ParentContext();
        // The owner's grid counts as busy while its cell takes the choice
        // (a choice that rebuilds the sheets must not free that cell).
        cuiGrid* ownerGrid = owner.grid;
        if (ownerGrid != nullptr && !ownerGrid->Attached()) break;  // its sheet is gone
        std::unique_ptr<Depth> ownerDepth;
        if (ownerGrid != nullptr) ownerDepth = std::make_unique<Depth>(ownerGrid->actDepth_, ownerGrid->alive_);
        owner.parent = &ctx;
        owner.inputKind = kInputPopupEnter;
        owner.key = 0;
        // The copy is the context of this call (the owner's own is gone).
        if (owner.reopenEditor != nullptr) owner.reopenEditorObject = &owner;
        sheet_.Handler()(owner, kModeAction);
        if (!*alive) return;
        if (popupDone_) {
          auto done = popupDone_;
          done();
          if (!*alive) return;
        }
      }
      break;
    }
    const int result = sheet_.Handler()(ctx, kModeAction);
    if (!*alive) return;
    if (ctx.jumpRequest) {
      int c = 0, r = 0;
      if (sheet_.FindSelectable(ctx.jumpCategory, ctx.jumpLabel, ctx.jumpIndex, c, r)) {
        FocusTo(c, r, false);
        col = c;
        row = r;
      }
    }
    if (result == kActionEndMultiSelection) EndMultiSelection();
    if (result == kActionOpenEditor) OpenEditor(col, row, ctx.outputText, ctx.selStart, ctx.selLength);
    if (ctx.repeatKey != 0) {
      viewport()->repaint();
      if (pause > 0) QThread::msleep(static_cast<unsigned long>(pause));
      pause = std::max(pause - 6, 0);
      key = ctx.repeatKey;
      command = 0;
      haveText = false;
      continue;
    }
    if (sheet_.MultiSelect() != MultiSelectMode::None &&
        (ctx.selectionFlags & selection::kApplyRange) != 0) {
      // The selection is rebuilt over the range the handler worked on.
      const int low = ctx.rangeLow, high = ctx.rangeHigh;
      const int label = sheet_.CellAt(col, row).label;
      const int acted = sheet_.CellAt(col, row).index;
      EndMultiSelection();
      const int other = acted == low ? high : low;
      for (int r = 0; r < sheet_.RowCount(); ++r) {
        for (int c = 0; c < sheet_.ColCount(); ++c) {
          GridSlot& s = sheet_.SlotAt(c, r);
          if (s.cell.Selectable() && s.cell.label == label && s.cell.index >= low &&
              s.cell.index <= high) {
            s.state |= slotstate::kSelected;
            InvalidateCell(c, r);
            if (s.cell.index == other) anchorRow_ = r, anchorCol_ = c;
          }
        }
      }
      multiActive_ = true;
      UpdateRowMarks();
    } else {
      EndMultiSelection();
      if (Model().Col() < sheet_.ColCount() && Model().Row() < sheet_.RowCount()) {
        GridSlot& s = sheet_.SlotAt(Model().Col(), Model().Row());
        if (s.cell.Selectable()) s.state |= slotstate::kSelected;
      }
    }
    break;
  }
  if (MessageBus* bus = BusOrNull()) bus->Send(msg::kRefreshMenuStates, 0, 0);
}

void cuiGrid::RepaintCallback(void* self, const CellAccessContext& ctx, std::uint8_t criteria) {
  auto* g = static_cast<cuiGrid*>(self);
  if (ctx.cell != nullptr) g->sheet_.RepaintMatching(*ctx.cell, criteria);
}

// The callback's object is the action's context itself (a handler never
// keeps the context beyond its call).
void cuiGrid::ReopenCallback(void* self) {
  auto* ctx = static_cast<CellAccessContext*>(self);
  auto* g = ctx->grid;
  if (g == nullptr || !*g->alive_ || !g->sheet_.HasSlots()) return;
  const int col = g->Model().Col(), row = g->Model().Row();
  if (ctx->cell == &g->sheet_.CellAt(col, row))
    g->OpenEditor(col, row, ctx->outputText, ctx->selStart, ctx->selLength);
}

std::string cuiGrid::DisplayTextOf(CellDescriptor& cell, int value) {
  CellAccessContext ctx;
  ctx.cell = &cell;
  ctx.key = value;
  if (!cell.Bound()) return twk::DisplayTextOf(cell);
  sheet_.Handler()(ctx, kModeDisplay);
  return ctx.outputText;
}

int cuiGrid::DisplayValueOf(CellDescriptor& cell, int value) {
  CellAccessContext ctx;
  ctx.cell = &cell;
  ctx.key = value;
  return sheet_.Handler()(ctx, kModeDisplay);
}

// ---- focus and selection ---------------------------------------------------------------

bool cuiGrid::RowMultiSelectable(int row) const {
  if (!sheet_.HasSlots() || row < 0 || row >= sheet_.RowCount()) return false;
  return (sheet_.SlotAt(0, row).state & slotstate::kMultiSelectable) != 0;
}

void cuiGrid::EndMultiSelection() {
  if (!sheet_.HasSlots()) return;
  bool any = false;
  for (int r = 0; r < sheet_.RowCount(); ++r) {
    for (int c = 0; c < sheet_.ColCount(); ++c) {
      GridSlot& s = sheet_.SlotAt(c, r);
      if (s.state & (slotstate::kSelected | slotstate::kRowMarked)) {
        s.state &= static_cast<std::uint8_t>(~(slotstate::kSelected | slotstate::kRowMarked));
        InvalidateCell(c, r);
        any = true;
      }
    }
  }
  (void)any;
  multiActive_ = false;
}

void cuiGrid::UpdateRowMarks() {
  const bool line = sheet_.MultiSelect() == MultiSelectMode::Line && multiActive_;
  const int fc = Model().FixedCols();
  for (int r = 0; r < sheet_.RowCount(); ++r) {
    bool holds = false;
    if (line) {
      for (int c = 0; c < sheet_.ColCount() && !holds; ++c)
        holds = (sheet_.SlotAt(c, r).state & slotstate::kSelected) != 0;
    }
    for (int c = 0; c < sheet_.ColCount(); ++c) {
      GridSlot& s = sheet_.SlotAt(c, r);
      const bool mark = holds && c >= fc;
      const bool had = (s.state & slotstate::kRowMarked) != 0;
      if (mark != had) {
        s.state = mark ? static_cast<std::uint8_t>(s.state | slotstate::kRowMarked)
                       : static_cast<std::uint8_t>(s.state & ~slotstate::kRowMarked);
        InvalidateCell(c, r);
      }
    }
  }
}

void cuiGrid::UpdateSelection(int col, int row) {
  if (!sheet_.HasSlots()) return;
  const int cc = Model().Col(), cr = Model().Row();
  const bool extend = (Modifiers() & Qt::ShiftModifier) || buttonHeld_;
  const bool differs = col != cc || row != cr;
  const bool eligible = ((sheet_.MultiSelect() != MultiSelectMode::None && differs) || multiActive_) &&
                        RowMultiSelectable(cr) && RowMultiSelectable(row);
  const bool hadAnchor = anchorCol_ >= 0 && anchorRow_ >= 0;
  if (!eligible || !extend || !hadAnchor) {
    anchorCol_ = col;
    anchorRow_ = row;
  }
  auto setSel = [this](int c, int r, bool on) {
    GridSlot& s = sheet_.SlotAt(c, r);
    if (!s.cell.Selectable()) return;
    const bool was = (s.state & slotstate::kSelected) != 0;
    if (was == on) return;
    s.state = on ? static_cast<std::uint8_t>(s.state | slotstate::kSelected)
                 : static_cast<std::uint8_t>(s.state & ~slotstate::kSelected);
    InvalidateCell(c, r);
  };
  if (extend && eligible && hadAnchor) {
    const int l = std::min({anchorCol_, cc, col}), rr = std::max({anchorCol_, cc, col});
    const int t = std::min({anchorRow_, cr, row}), b = std::max({anchorRow_, cr, row});
    for (int r = t; r <= b; ++r) {
      for (int c = l; c <= rr; ++c) {
        const bool inside = c >= std::min(anchorCol_, col) && c <= std::max(anchorCol_, col) &&
                            r >= std::min(anchorRow_, row) && r <= std::max(anchorRow_, row);
        setSel(c, r, inside);
      }
    }
    multiActive_ = true;
  } else if (multiActive_) {
    EndMultiSelection();
  } else {
    setSel(cc, cr, false);
    GridSlot& s = sheet_.SlotAt(cc, cr);
    if (s.state & slotstate::kRowMarked) {
      s.state &= static_cast<std::uint8_t>(~slotstate::kRowMarked);
      InvalidateCell(cc, cr);
    }
  }
  setSel(col, row, true);
  UpdateRowMarks();
}

Qt::KeyboardModifiers cuiGrid::Modifiers() const {
  return haveEventMods_ ? eventMods_ : QApplication::keyboardModifiers();
}

void cuiGrid::FocusTo(int col, int row, bool scroll) {
  GridModel& m = Model();
  if (col == m.Col() && row == m.Row()) return;
  UpdateSelection(col, row);
  if (scroll) {
    moving_ = true;
    m.FocusCell(col, row);
    moving_ = false;
  } else {
    m.SetCurrent(col, row);
  }
  navCol_ = m.Col();
  navRow_ = m.Row();
  RefreshPopupMenu(false);
}

bool cuiGrid::FocusCell(int category, int label, std::int32_t index) {
  int c = 0, r = 0;
  if (!sheet_.FindSelectable(category, label, index, c, r)) return false;
  FocusTo(c, r, false);
  return true;
}

bool cuiGrid::SelectCell(int col, int row) {
  if (moving_) return false;
  if (!sheet_.IsSelectable(col, row)) return false;
  if (multiActive_ && !RowMultiSelectable(row)) return false;
  GridModel& m = Model();
  const int oldRow = m.Row();
  UpdateSelection(col, row);
  m.FocusCell(col, row);
  navCol_ = col;
  navRow_ = row;
  if (oldRow != row && !sheet_.PopupMode()) {
    UpdateRow(oldRow);
    UpdateRow(row);
  }
  RefreshPopupMenu(false);
  CloseEditor(true);
  return true;
}

bool cuiGrid::StepFrom(int& col, int& row, int dx, int dy) {
  const int cols = sheet_.ColCount(), rows = sheet_.RowCount();
  const bool wrap = std::abs(dx) <= 1 && std::abs(dy) <= 1 && sheet_.PopupMode() &&
                    !Model().HasScrollBars();
  int c = col, r = row;
  const int sx = Sign(dx), sy = Sign(dy);
  for (int steps = 0; steps < cols * rows; ++steps) {
    c += sx;
    r += sy;
    if (wrap) {
      if (c < 0) c = cols - 1;
      if (c >= cols) c = 0;
      if (r < 0) r = rows - 1;
      if (r >= rows) r = 0;
      if (c == col && r == row) break;
    } else if (c < 0 || c >= cols || r < 0 || r >= rows) {
      break;
    }
    if (sheet_.IsSelectable(c, r)) {
      col = c;
      row = r;
      return true;
    }
  }
  if (sheet_.PopupMode()) return false;
  // Nothing on the straight line: the nearest selectable cell in the
  // following columns (rows), measured from the remembered position.
  if (sx != 0) {
    for (int x = col + sx; x >= 0 && x < cols; x += sx) {
      int best = -1;
      for (int y = 0; y < rows; ++y) {
        if (sheet_.IsSelectable(x, y) && (best < 0 || std::abs(y - navRow_) < std::abs(best - navRow_)))
          best = y;
      }
      if (best >= 0) {
        col = x;
        row = best;
        return true;
      }
    }
  } else if (sy != 0) {
    for (int y = row + sy; y >= 0 && y < rows; y += sy) {
      int best = -1;
      for (int x = 0; x < cols; ++x) {
        if (sheet_.IsSelectable(x, y) && (best < 0 || std::abs(x - navCol_) < std::abs(best - navCol_)))
          best = x;
      }
      if (best >= 0) {
        col = best;
        row = y;
        return true;
      }
    }
  }
  return false;
}

void cuiGrid::MoveBy(int dx, int dy) {
  if (!sheet_.HasSlots()) return;
  if (dx != 0) dy = 0;
  int col = Model().Col(), row = Model().Row();
  const int units = std::max(std::abs(dx), std::abs(dy));
  for (int i = 0; i < units; ++i) {
    if (!StepFrom(col, row, Sign(dx), Sign(dy))) break;
    navCol_ = col;
    navRow_ = row;
  }
  FocusTo(col, row, true);
}

void cuiGrid::ScrollHome() {
  Model().SetTopLeft(0, 0);
  const int c = Model().Col(), r = Model().Row();
  Model().ScrollIntoView(c, r);
  SyncScrollBars();
}

int cuiGrid::ResolveOwner(int col, int row) const {
  while (col > 0 && sheet_.CellAt(col, row).BelongsLeft() && !sheet_.IsSelectable(col, row)) --col;
  return col;
}

// ---- keys ----------------------------------------------------------------------------

void cuiGrid::Detach() {
  if (!*alive_) return;
  *alive_ = false;
  if (sheet_.Grid().View() == this) sheet_.Grid().SetView(nullptr);
  builder_.reset();
  if (subscribed_) {
    if (MessageBus* bus = BusOrNull()) bus->Unsubscribe(&cuiGrid::OnBus, this);
    subscribed_ = false;
  }
  if (editor_ != nullptr) editor_->removeEventFilter(this);
}

bool cuiGrid::event(QEvent* e) {
  if (!*alive_) {
    // Detached from its sheet, waiting for deletion: no more interaction.
    switch (e->type()) {
      case QEvent::Paint:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::FocusIn:
      case QEvent::FocusOut:
      case QEvent::Resize:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
        return true;
      default:
        return QAbstractScrollArea::event(e);
    }
  }
  // Tab and Backtab move the keyboard focus to the next or previous
  // control of the window, as in any other control.
  return QAbstractScrollArea::event(e);
}

void cuiGrid::ClearStatus() {
  if (MessageBus* bus = BusOrNull()) bus->SendText(msg::kStatusText, clWindowText, clBtnFace, "");
}

bool cuiGrid::GridKey(int key, Qt::KeyboardModifiers mods) {
  const GridModel& m = Model();
  switch (key) {
    case Qt::Key_PageUp: MoveBy(0, -kPageRows); return true;
    case Qt::Key_PageDown: MoveBy(0, kPageRows); return true;
    case Qt::Key_Home:
    case Qt::Key_End: return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const int c = m.Col(), r = m.Row();
      MoveBy(key == Qt::Key_Left ? -1 : 1, 0);
      if (c == Model().Col() && r == Model().Row())
        Act(c, r, VirtualKey(key == Qt::Key_Left ? kVkLeft : kVkRight), 0);
      return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
      if ((mods & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == Qt::ControlModifier)
        return true;
      MoveBy(0, key == Qt::Key_Up ? -1 : 1);
      return true;
    default:
      break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    Act(m.Col(), m.Row(), VirtualKey(kVkF1 + (key - Qt::Key_F1)), 0);
    return true;
  }
  return false;
}

void cuiGrid::CharKey(int ch) { Act(Model().Col(), Model().Row(), ch, 0); }

void cuiGrid::keyPressEvent(QKeyEvent* e) {
  if (!sheet_.HasSlots() || !isEnabled()) return;
  if (sheet_.PopupMode() && e->key() == Qt::Key_Escape) {
    e->ignore();  // the popup window closes
    return;
  }
  struct Mods {
    cuiGrid& g;
    Mods(cuiGrid& grid, Qt::KeyboardModifiers m) : g(grid) {
      g.eventMods_ = m;
      g.haveEventMods_ = true;
    }
    ~Mods() { g.haveEventMods_ = false; }
  } mods(*this, e->modifiers());
  CloseEditor(true);
  ClearStatus();
  if (GridKey(e->key(), e->modifiers())) return;
  int ch = -1;
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: ch = kKeyEnter; break;
    case Qt::Key_Backspace: ch = 8; break;
    case Qt::Key_Escape: ch = 27; break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      e->ignore();  // no other control to go to
      return;
    default: {
      const QString t = e->text();
      if (!t.isEmpty() && t.at(0).unicode() > 0 && t.at(0).unicode() < 256) ch = t.at(0).unicode();
      break;
    }
  }
  if (ch > 0) CharKey(ch);
  else QAbstractScrollArea::keyPressEvent(e);
}

// ---- mouse -----------------------------------------------------------------------------

bool cuiGrid::HeaderBorderAt(const QPoint& p, int& col) const {
  const GridModel& m = Model();
  if (!m.ColSizing()) return false;
  if (p.y() < 0 || p.y() >= m.FixedHeight()) return false;  // header rows only
  int c = 0, r = 0;
  if (!m.CellAt(Point{p.x(), p.y()}, c, r)) {
    // Just beyond the last column: its right border.
    const int last = m.LastVisibleCol();
    const Rect lr = m.CellRect(last, 0);
    if (last >= m.FixedCols() && !lr.IsEmpty() && p.x() >= lr.right && p.x() < lr.right + kBorderSlop) {
      col = last;
      return true;
    }
    return false;
  }
  if (c < m.FixedCols()) return false;
  const Rect rc = m.CellRect(c, r);
  if (p.x() >= rc.right - kBorderSlop) {
    col = c;
    return true;
  }
  if (p.x() < rc.left + kBorderSlop) {
    for (int x = c - 1; x >= m.FixedCols(); --x) {
      if (m.ColWidth(x) > 0) {
        col = x;
        return true;
      }
    }
  }
  return false;
}

void cuiGrid::mousePressEvent(QMouseEvent* e) {
  if (!sheet_.HasSlots()) return;
  eventMods_ = e->modifiers();
  haveEventMods_ = true;
  struct Reset {
    bool& b;
    ~Reset() { b = false; }
  } reset{haveEventMods_};
  const QPoint p = e->position().toPoint();
  int c = 0, r = 0;
  if (e->button() == Qt::RightButton) {
    if (multiActive_) {
      ShowPopupMenu(p);
      return;
    }
    if (Model().CellAt(Point{p.x(), p.y()}, c, r)) {
      c = ResolveOwner(c, r);
      const bool already = c == Model().Col() && r == Model().Row();
      if (already || SelectCell(c, r)) ShowPopupMenu(p);
    }
    return;
  }
  int border = -1;
  if (e->button() == Qt::LeftButton && HeaderBorderAt(p, border)) {
    buttonHeld_ = true;
    resizeCol_ = border;
    resizeStartX_ = p.x();
    resizeStartWidth_ = Model().ColWidth(border);
    return;
  }
  // The click itself moves the focus as a plain move (Shift extends);
  // while the button stays down, moves extend the selection.
  pressMovedFocus_ = false;
  if (Model().CellAt(Point{p.x(), p.y()}, c, r)) {
    c = ResolveOwner(c, r);
    if (c != Model().Col() || r != Model().Row()) pressMovedFocus_ = SelectCell(c, r);
  }
  buttonHeld_ = true;
}

void cuiGrid::mouseReleaseEvent(QMouseEvent* e) {
  const bool wasHeld = buttonHeld_;
  buttonHeld_ = false;
  if (dragScroll_ != nullptr) dragScroll_->stop();
  if (resizeCol_ >= 0) {
    resizeCol_ = -1;
    sheet_.ColumnWidthsChanged();
    SyncScrollBars();
    viewport()->update();
    return;
  }
  if (wasHeld && sheet_.PopupMode() && e->button() == Qt::LeftButton) {
    int c = 0, r = 0;
    const QPoint p = e->position().toPoint();
    if (Model().CellAt(Point{p.x(), p.y()}, c, r) && c == Model().Col() && r == Model().Row())
      Act(c, r, kKeyDoubleClick, 0);
  }
}

void cuiGrid::mouseDoubleClickEvent(QMouseEvent* e) {
  if (!sheet_.HasSlots() || e->button() != Qt::LeftButton) return;
  const QPoint p = e->position().toPoint();
  int border = -1;
  if (HeaderBorderAt(p, border)) {
    FitColumn(border);
    return;
  }
  int c = 0, r = 0;
  if (!Model().CellAt(Point{p.x(), p.y()}, c, r)) return;
  c = ResolveOwner(c, r);
  // The first click of a double click on another cell only moved the focus.
  if (pressMovedFocus_) {
    pressMovedFocus_ = false;
    return;
  }
  if (c == Model().Col() && r == Model().Row()) Act(c, r, kKeyDoubleClick, 0);
  else SelectCell(c, r);
}

void cuiGrid::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (resizeCol_ >= 0) {
    Model().SetColWidth(resizeCol_, std::max(0, resizeStartWidth_ + p.x() - resizeStartX_));
    sheet_.ColumnWidthsChanged();
    viewport()->update();
    return;
  }
  int border = -1;
  viewport()->setCursor(HeaderBorderAt(p, border) ? Qt::SplitHCursor : Qt::ArrowCursor);
  if (buttonHeld_ && (e->buttons() & Qt::LeftButton)) {
    // Beyond the edge the sheet steps in the direction of the mouse
    // (a column step wins over a row step).
    const QRect area = viewport()->rect();
    dragDx_ = p.x() < area.left() ? -1 : p.x() > area.right() ? 1 : 0;
    dragDy_ = dragDx_ != 0 ? 0 : p.y() < area.top() ? -1 : p.y() > area.bottom() ? 1 : 0;
    if (dragDx_ != 0 || dragDy_ != 0) {
      if (dragScroll_ == nullptr) {
        dragScroll_ = new QTimer(this);
        connect(dragScroll_, &QTimer::timeout, this, [this] { DragScrollStep(); });
      }
      if (!dragScroll_->isActive()) dragScroll_->start(kDragScrollMs);
    } else if (dragScroll_ != nullptr) {
      dragScroll_->stop();
    }
    if (dragDx_ == 0 && dragDy_ == 0 && !sheet_.PopupMode()) {
      // Inside: the drag extends the selection to the cell under the mouse.
      int c = 0, r = 0;
      if (Model().CellAt(Point{p.x(), p.y()}, c, r) && (c != Model().Col() || r != Model().Row()))
        SelectCell(ResolveOwner(c, r), r);
    }
  }
  if (sheet_.PopupMode() && !EditorOpen()) {
    int c = 0, r = 0;
    if (Model().CellAt(Point{p.x(), p.y()}, c, r) && (c != lastMouseCol_ || r != lastMouseRow_)) {
      lastMouseCol_ = c;
      lastMouseRow_ = r;
      if (sheet_.IsSelectable(c, r)) FocusTo(c, r, true);
    }
  }
}

void cuiGrid::DragScrollStep() {
  if (!*alive_ || !buttonHeld_ || (dragDx_ == 0 && dragDy_ == 0)) {
    if (dragScroll_ != nullptr) dragScroll_->stop();
    return;
  }
  MoveBy(dragDx_, dragDy_);
}

void cuiGrid::FitColumn(int col) {
  GridModel& m = Model();
  int width = 0;
  const double scale = sheet_.PrintScale();
  for (int r = 0; r < m.RowCount(); ++r) {
    CellDescriptor& cell = sheet_.CellAt(col, r);
    std::string text;
    if (r < m.FixedRows()) {
      if (col + 1 < m.ColCount() && sheet_.CellAt(col + 1, r).Joined()) continue;
      text = twk::DisplayTextOf(cell);
    } else {
      text = DisplayTextOf(cell, 0);
    }
    canvas_.SetFont(cell.font ? *cell.font : sheet_.BaseFont());
    width = std::max(width, canvas_.TextExtent(text).cx);
  }
  m.SetColWidth(col, static_cast<int>(width + 8 * scale + 0.5));
  sheet_.ColumnWidthsChanged();
  SyncScrollBars();
  viewport()->update();
}

// ---- focus -----------------------------------------------------------------------------

void cuiGrid::focusInEvent(QFocusEvent* e) {
  Model().SetHasFocus(true);
  RefreshPopupMenu(true);
  viewport()->update();
  QAbstractScrollArea::focusInEvent(e);
}

void cuiGrid::focusOutEvent(QFocusEvent* e) {
  // A popup (the cell's menu, a selection window) keeps the menu alive.
  if (e->reason() != Qt::PopupFocusReason) {
    Model().SetHasFocus(false);
    if (builder_) {
      builder_.reset();
      lastPopupCell_ = nullptr;
      lastPopupKey_.clear();
      if (MessageBus* bus = BusOrNull()) {
        bus->Send(msg::kRemoveMirroredItems, 0, kPopupMirrorLabel);
        bus->Send(msg::kRefreshMenuStates, 0, 0);
      }
    }
    viewport()->update();
  }
  QAbstractScrollArea::focusOutEvent(e);
}

// ---- popup menu ------------------------------------------------------------------------

void cuiGrid::RefreshPopupMenu(bool force) {
  if (sheet_.Printing() || !hasFocus() || !sheet_.HasSlots()) return;
  MessageBus* bus = BusOrNull();
  const CellDescriptor* cell = &sheet_.CellAt(Model().Col(), Model().Row());
  const std::string* key = PopupMenuKeyOf(*cell);
  if (cell != lastPopupCell_ || force) {
    lastPopupCell_ = cell;
    if (!force && (key == nullptr || *key == lastPopupKey_)) {
      if (bus) bus->Send(msg::kRefreshMenuStates, 0, 0);
      return;
    }
    lastPopupKey_ = key ? *key : std::string();
    builder_.reset();
    if (bus) bus->Send(msg::kRemoveMirroredItems, 0, kPopupMirrorLabel);
    if (key != nullptr && bus != nullptr) {
      builder_ = std::make_unique<MenuBuilder>(this, &popupRoot_, sheet_.Store(), *key,
                                               &cuiGrid::MenuClick, this, *bus, sheet_.Handler());
      builder_->Build();
      bus->SendText(msg::kAddPopupItems, reinterpret_cast<std::intptr_t>(builder_.get()),
                    kPopupMirrorLabel, *key);
    }
  }
  if (bus) bus->Send(msg::kRefreshMenuStates, 0, 0);
}

void cuiGrid::MenuClick(void* self, MenuItem& item) {
  auto* g = static_cast<cuiGrid*>(self);
  if (item.cell == nullptr) return;
  g->Act(g->Model().Col(), g->Model().Row(), 0, item.cell->label);
}

namespace {

void FillMenu(QMenu& menu, MenuItem& item) {
  for (int i = 0; i < item.Count(); ++i) {
    MenuItem* child = item.Child(i);
    if (!child->visible) continue;
    if (child->caption == "-") {
      menu.addSeparator();
      continue;
    }
    QString caption = ToQString(child->caption);
    if (child->Count() > 0) {
      QMenu* sub = menu.addMenu(caption);
      sub->setEnabled(child->enabled);
      FillMenu(*sub, *child);
      continue;
    }
    if (!child->shortcut.empty()) caption += '\t' + ToQString(child->shortcut);
    QAction* a = menu.addAction(caption);
    a->setEnabled(child->enabled);
    a->setCheckable(child->checked);
    a->setChecked(child->checked);
    QObject::connect(a, &QAction::triggered, &menu, [child] { child->Click(); });
  }
}

}  // namespace

void cuiGrid::ShowPopupMenu(const QPoint& pos) {
  if (!builder_) RefreshPopupMenu(true);
  if (!builder_) return;
  builder_->RefreshStates(&popupRoot_);
  // Not a child of the grid: a choice may close the sheet while the menu runs.
  QPointer<QMenu> menu = new QMenu();
  FillMenu(*menu, popupRoot_);
  if (!menu->isEmpty()) menu->exec(viewport()->mapToGlobal(pos));
  if (menu) menu->deleteLater();
}

// ---- inline editor ---------------------------------------------------------------------

bool cuiGrid::EditorOpen() const { return editor_ != nullptr && editor_->isVisible(); }

void cuiGrid::OpenEditor(int col, int row, const std::string& text, int selStart, int selLength) {
  EndMultiSelection();
  FocusTo(col, row, true);
  const Rect r = Model().CellRect(col, row);
  if (r.Width() < 1 || r.Height() <= 1) return;
  if (editor_ == nullptr) {
    editor_ = new QLineEdit(viewport());
    editor_->setFrame(false);
    editor_->setMaxLength(kEditorMaxLength);
    editor_->installEventFilter(this);
    editor_->hide();
  }
  const CellDescriptor& cell = sheet_.CellAt(col, row);
  const Font& f = cell.font ? *cell.font : sheet_.BaseFont();
  const QFont qf = ToQFont(f, font());
  editor_->setFont(qf);
  const int textHeight = QFontMetrics(qf).height() + 2;
  QRect g(r.left, r.top, r.Width(), r.Height());
  if (textHeight < r.Height()) {
    int top = r.top;
    if (cell.VAlignment() == kAlignMiddle) top = r.top + (r.Height() - textHeight) / 2;
    else if (cell.VAlignment() == kAlignBottom) top = r.bottom - 1 - textHeight;
    g = QRect(r.left, top, r.Width(), textHeight);
  }
  editor_->setGeometry(g);
  editor_->setText(ToQString(text));
  const int len = static_cast<int>(editor_->text().size());
  const int start = std::clamp(selStart, 0, len);
  editor_->setSelection(start, std::clamp(selLength, 0, len - start));
  if (selLength <= 0) editor_->setCursorPosition(start);
  editor_->setModified(false);
  editCol_ = col;
  editRow_ = row;
  sheet_.SetEditorVisible(true);
  editor_->show();
  editor_->setFocus(Qt::OtherFocusReason);
}

void cuiGrid::CloseEditor(bool commit) {
  if (!EditorOpen() || closingEditor_) return;
  closingEditor_ = true;
  const std::string text = FromQString(editor_->text());
  const int col = editCol_, row = editRow_;
  const bool hadFocus = editor_->hasFocus();
  editor_->hide();
  sheet_.SetEditorVisible(false);
  if (hadFocus) setFocus(Qt::OtherFocusReason);
  closingEditor_ = false;
  InvalidateCell(col, row);
  if (commit && col >= 0 && row >= 0) Act(col, row, kKeyEnter, 0, &text);
}

bool cuiGrid::eventFilter(QObject* watched, QEvent* e) {
  if (watched != editor_ || !*alive_) return QAbstractScrollArea::eventFilter(watched, e);
  if (e->type() == QEvent::FocusOut) {
    if (!closingEditor_ && EditorOpen()) {
      // Leaving the editor commits it (the focus stays where it went).
      closingEditor_ = true;
      const std::string text = FromQString(editor_->text());
      editor_->hide();
      sheet_.SetEditorVisible(false);
      closingEditor_ = false;
      InvalidateCell(editCol_, editRow_);
      Act(editCol_, editRow_, kKeyEnter, 0, &text);
    }
    return false;
  }
  if (e->type() != QEvent::KeyPress) return false;
  auto* k = static_cast<QKeyEvent*>(e);
  ClearStatus();
  switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      CloseEditor(true);
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
      const std::shared_ptr<bool> alive = alive_;
      CloseEditor(true);
      if (*alive) MoveBy(0, k->key() == Qt::Key_Up ? -1 : 1);
      return true;
    }
    case Qt::Key_Escape:
      closingEditor_ = true;
      editor_->hide();
      sheet_.SetEditorVisible(false);
      setFocus(Qt::OtherFocusReason);
      closingEditor_ = false;
      InvalidateCell(editCol_, editRow_);
      return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      const std::shared_ptr<bool> alive = alive_;
      CloseEditor(true);
      if (*alive) GridKey(k->key(), k->modifiers());
      return true;
    }
    default:
      return false;
  }
}

}  // namespace twk
