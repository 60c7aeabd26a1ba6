#include "sheet/qt/SelectionPopup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "data/Labels.h"
#include "sheet/MessageBus.h"
#include "sheet/Sheet.h"
#include "sheet/qt/QtCanvas.h"
#include "sheet/qt/SheetView.h"
#include "sheet/qt/cuiGrid.h"
#include "text/TextStore.h"

namespace twk {

namespace {
QPointer<SelectionPopup> g_current;
constexpr int kListLabel = Flex0;  // the cells of a selection list
}  // namespace

SelectionPopup* SelectionPopup::Current() { return g_current.data(); }

SelectionPopup::SelectionPopup(CellAccessContext& ctx, QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("SelectionPopup");
  setWindowTitle(ToQString(MainText().GetFirstLine("GI_Sys_AppTitle")));
  if (ctx.ownerSheet != nullptr) ownerGrid_ = &ctx.ownerSheet->Grid();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  view_ = new SheetView(this, ctx.ownerSheet ? ctx.ownerSheet->Images() : nullptr);
  layout->addWidget(view_);
  if (MessageBus* bus = BusOrNull()) {
    bus->Subscribe(&SelectionPopup::OnBus, this);
    subscribed_ = true;
  }
}

SelectionPopup::~SelectionPopup() {
  if (subscribed_) {
    if (MessageBus* bus = BusOrNull()) bus->Unsubscribe(&SelectionPopup::OnBus, this);
  }
}

void SelectionPopup::OnBus(void* self, const Message& m) {
  auto* p = static_cast<SelectionPopup*>(self);
  const bool ownerGone = m.type == msg::kSheetDestroyed &&
                         (reinterpret_cast<const void*>(m.value1) == p->ownerGrid_ ||
                          reinterpret_cast<const void*>(static_cast<std::intptr_t>(m.value2)) ==
                              p->ownerGrid_);
  if (ownerGone || m.type == msg::kCommitEditors) {
    if (ownerGone) p->ownerGrid_ = nullptr;
    p->close();
  }
}

SelectionPopup* SelectionPopup::Open(CellAccessContext& ctx, const std::string& listKey, int value) {
  if (g_current) g_current->close();
  auto* grid = ctx.grid;
  QWidget* owner = grid ? grid->window() : nullptr;
  auto* popup = new SelectionPopup(ctx, owner);
  g_current = popup;

  SheetView::OpenOptions options;
  options.popupMode = true;
  options.parentContext = &ctx;
  options.requestedLabel = kListLabel;
  options.requestedIndex = value;
  if (ctx.ownerSheet != nullptr) {
    options.handler = ctx.ownerSheet->Handler();
    options.store = &ctx.ownerSheet->Store();
  }
  Sheet* sheet = popup->view_->Open(listKey, options);
  cuiGrid* g = popup->view_->Grid();
  if (sheet == nullptr || g == nullptr) {
    popup->deleteLater();
    return nullptr;
  }
  QPointer<SelectionPopup> self = popup;
  g->SetPopupDone([self] {
    if (self) self->close();
  });

  QRect cell;
  if (grid != nullptr) cell = grid->GlobalCellRect(grid->Model().Col(), grid->Model().Row());
  if (grid != nullptr && !ctx.cellRect.IsEmpty()) {
    const QPoint tl = grid->viewport()->mapToGlobal(QPoint(ctx.cellRect.left, ctx.cellRect.top));
    cell = QRect(tl, QSize(ctx.cellRect.Width(), ctx.cellRect.Height()));
  }
  popup->Place(cell);
  popup->show();
  popup->activateWindow();
  g->setFocus(Qt::PopupFocusReason);
  g->ScrollHome();
  return popup;
}

void SelectionPopup::Place(const QRect& cell) {
  cuiGrid* g = view_->Grid();
  Sheet* sheet = view_->CurrentSheet();
  GridModel& m = sheet->Grid();
  QScreen* screen = cell.isValid() ? QGuiApplication::screenAt(cell.center()) : nullptr;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);

  // First without scroll bars, sized to show the whole grid.
  m.SetScrollBars(ScrollBars::None);
  g->SyncScrollBars();
  resize(200, 100);
  layout()->activate();
  int chromeW = width() - g->width();
  int chromeH = height() - g->height();
  QSize want(m.TotalWidth() + chromeW, m.TotalHeight() + chromeH);
  if (want.width() > work.width() || want.height() > work.height()) {
    m.SetScrollBars(ScrollBars::Both);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    want = QSize(std::min(want.width() + sb, work.width()), std::min(want.height() + sb, work.height()));
  }
  resize(want);
  layout()->activate();
  m.SetClientSize(g->viewport()->width(), g->viewport()->height());

  // Below the cell, moved inside the work area.
  int left = cell.left() + 8;
  int top = cell.bottom() + 1;
  bool alignedBottom = false;
  if (top + want.height() > work.bottom() + 1) {
    if (want.height() < cell.top() - work.top()) {
      top = cell.top() - want.height();
    } else {
      top = work.bottom() + 1 - want.height();
      alignedBottom = true;
    }
  }
  if (left + want.width() > work.right() + 1) {
    if (alignedBottom && cell.left() - want.width() >= work.left()) left = cell.left() - want.width();
    else left = work.right() + 1 - want.width();
  }
  move(left, top);
}

void SelectionPopup::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

void SelectionPopup::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  // Losing activation hides a popup: it closes for good.
  if (testAttribute(Qt::WA_DeleteOnClose)) deleteLater();
}

void QtPopupOpener::OpenSelectionPopup(CellAccessContext& ctx, const std::string& listKey,
                                       int value) {
  SelectionPopup::Open(ctx, listKey, value);
}

void InstallQtPopupOpener() {
  static QtPopupOpener opener;
  if (CurrentPopupOpener() == nullptr) SetPopupOpener(&opener);
}

}  // namespace twk
