#include "app/qt/MainToolBar.h"

#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <QToolBar>
#include <QWidget>

#include "sheet/CellAccess.h"
#include "sheet/CellMarkup.h"
#include "sheet/MessageBus.h"
#include "sheet/qt/QtCanvas.h"
#include "text/TextStore.h"

namespace twk {

MainToolBar::MainToolBar(QMainWindow* window, QToolBar* first, const QtImageList* images,
                         TextStore& store, std::string key, MessageBus& bus)
    : QObject(window), window_(window), images_(images), store_(store), key_(std::move(key)),
      bus_(bus) {
  rows_.push_back(first);
  bus_.Subscribe(&MainToolBar::OnMessage, this);
}

MainToolBar::~MainToolBar() { bus_.Unsubscribe(&MainToolBar::OnMessage, this); }

void MainToolBar::OnMessage(void* self, const Message& m) {
  if (m.type == msg::kToolbarRefresh) static_cast<MainToolBar*>(self)->RefreshStates();
}

void MainToolBar::SetImage(QAction* action, int index) {
  const QPixmap* pm = images_ ? images_->Pixmap(index) : nullptr;
  action->setIcon(pm ? QIcon(*pm) : QIcon());
  action->setProperty("imageIndex", index);
}

void MainToolBar::Build() {
  // The lines up to the first one beginning with '#'.
  std::vector<std::string> lines;
  for (int i = 0;; ++i) {
    std::string line = store_.GetLine(key_ + "_Body", i);
    if (!line.empty() && line[0] == '#') break;
    lines.push_back(std::move(line));
  }
  ParseCell(base_, store_.GetFirstLine(key_ + "_BasicCell"), nullptr, nullptr);
  QToolBar* row = rows_.front();
  row->setMovable(false);
  row->setFloatable(false);
  row->setToolButtonStyle(Qt::ToolButtonIconOnly);
  row->setContentsMargins(4, 0, 0, 0);  // indent 4 pixels
  if (images_) row->setIconSize(QSize(images_->Width(), images_->Height()));
  for (const std::string& line : lines) {
    auto cell = std::make_unique<CellDescriptor>();
    ParseCell(*cell, line, nullptr, &base_);
    const std::string& text = DisplayTextOf(*cell);
    Button b;
    if (text == "/") {
      // A new row below the current one.
      window_->addToolBarBreak(Qt::TopToolBarArea);
      row = new QToolBar(window_);
      row->setObjectName(QString("MainToolBarRow%1").arg(rows_.size()));
      row->setMovable(false);
      row->setFloatable(false);
      row->setToolButtonStyle(Qt::ToolButtonIconOnly);
      row->setContentsMargins(4, 0, 0, 0);
      if (images_) row->setIconSize(QSize(images_->Width(), images_->Height()));
      row->setVisible(visible_);
      window_->addToolBar(Qt::TopToolBarArea, row);
      rows_.push_back(row);
      continue;
    }
    b.row = row;
    if (text == "-") {
      auto* gap = new QWidget(row);
      gap->setFixedWidth(8);
      row->addWidget(gap);
      b.gapWidth = 8;
    } else {
      QAction* action = row->addAction(QString());
      action->setToolTip(ToQString(text));
      action->setText(ToQString(text));
      SetImage(action, cell->imageIndex);
      CellDescriptor* c = cell.get();
      connect(action, &QAction::triggered, this, [this, c] { Clicked(c); });
      b.action = action;
      b.cell = c;
    }
    cells_.push_back(std::move(cell));
    buttons_.push_back(b);
  }
}

void MainToolBar::Clicked(CellDescriptor* cell) {
  CellDescriptor copy = *cell;  // the command may rebuild the toolbar
  CellAccessContext ctx;
  ctx.sender = window_;
  ctx.cell = &copy;
  ctx.key = kKeyEnter;
  QPointer<MainToolBar> self(this);
  StandardLabelHandler()(ctx, kModeDisplay);
  if (self) RefreshStates();
}

void MainToolBar::RefreshStates() {
  for (Button& b : buttons_) {
    if (!b.action || !b.cell) continue;
    CellAccessContext ctx;
    ctx.sender = window_;
    ctx.cell = b.cell;
    b.cell->ClearMenuFlags();
    StandardLabelHandler()(ctx, kModeDisplay);
    const bool checked = b.cell->UserFlag(kMenuChecked);
    b.action->setCheckable(checked);
    b.action->setChecked(checked);
    b.action->setEnabled(!b.cell->UserFlag(kMenuDisabled));
    if (b.action->property("imageIndex").toInt() != b.cell->imageIndex)
      SetImage(b.action, b.cell->imageIndex);
  }
}

void MainToolBar::SetVisible(bool visible) {
  visible_ = visible;
  for (QToolBar* r : rows_) r->setVisible(visible);
}

}  // namespace twk
