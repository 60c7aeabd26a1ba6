#include "sheet/qt/QtSheetWidgets.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "app/qt/TForm1.h"
#include "sheet/qt/cuiGrid.h"

namespace twk {

namespace {

QVBoxLayout* HostLayout(QWidget* host) {
  auto* layout = qobject_cast<QVBoxLayout*>(host->layout());
  if (layout == nullptr) {
    layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
  }
  return layout;
}

}  // namespace

QtSheetWidgets::QtSheetWidgets(QWidget* host) : host_(host), canvas_(host->font(), host) {}

QtSheetWidgets::~QtSheetWidgets() { Release(); }

void QtSheetWidgets::Release(bool deferred) {
  if (grid_ != nullptr) grid_->Detach();
  for (QFrame* f : {title_, panel_}) {
    if (f == nullptr) continue;
    if (deferred) {
      f->hide();
      f->setParent(nullptr);
      f->deleteLater();
    } else {
      delete f;
    }
  }
  title_ = nullptr;
  titleLabel_ = nullptr;
  panel_ = nullptr;
  grid_ = nullptr;
}

void QtSheetWidgets::CreateTitle(const std::string& text, const std::optional<Font>& font,
                                 Color color, int height) {
  title_ = new QFrame(host_);
  title_->setObjectName("SheetTitle");
  title_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  title_->setLineWidth(2);
  title_->setFixedHeight(height);
  title_->setAutoFillBackground(true);
  QPalette pal = title_->palette();
  pal.setColor(QPalette::Window, ToQColor(color));
  if (font) pal.setColor(QPalette::WindowText, ToQColor(font->color));
  title_->setPalette(pal);
  auto* layout = new QVBoxLayout(title_);
  layout->setContentsMargins(2, 0, 2, 0);
  titleLabel_ = new QLabel(ToQString(text), title_);
  titleLabel_->setTextFormat(Qt::PlainText);
  titleLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  if (font) titleLabel_->setFont(ToQFont(*font, host_->font()));
  layout->addWidget(titleLabel_);
  title_->hide();
  HostLayout(host_)->addWidget(title_);
}

void QtSheetWidgets::CreateGridPanel(bool popupMode, Color background, const Font& font) {
  panel_ = new QFrame(host_);
  panel_->setObjectName("SheetGridPanel");
  panel_->setFrameStyle(QFrame::Panel | (popupMode ? QFrame::Raised : QFrame::Sunken));
  panel_->setLineWidth(popupMode ? 1 : 2);
  const QFont qf = ToQFont(font, host_->font());
  panel_->setFont(qf);
  canvas_.SetBaseFont(host_->font());
  auto* layout = new QVBoxLayout(panel_);
  // The frame draws the bevel; a popup panel adds a border of 2 inside it.
  const int border = popupMode ? 2 : 0;
  layout->setContentsMargins(border, border, border, border);
  grid_ = new cuiGrid(*sheet_, canvas_, panel_);
  grid_->setObjectName("SheetGrid");
  QPalette pal = grid_->palette();
  pal.setColor(QPalette::Base, ToQColor(background));
  grid_->setPalette(pal);
  layout->addWidget(grid_);
  panel_->hide();
  HostLayout(host_)->addWidget(panel_, 1);
}

void QtSheetWidgets::ShowWidgets() {
  if (title_ != nullptr) title_->show();
  if (panel_ != nullptr) panel_->show();
  if (grid_ != nullptr) grid_->SyncScrollBars();
}

Size QtSheetWidgets::ParentSize() const { return Size{host_->width(), host_->height()}; }

void QtSheetWidgets::RefreshPopupMenu(bool force) {
  if (grid_ != nullptr) grid_->RefreshPopupMenu(force);
}

int QtSheetWidgets::TitleTextHeight(const std::optional<Font>& font) {
  const QFont qf = font ? ToQFont(*font, host_->font()) : host_->font();
  return QFontMetrics(qf).height();
}

}  // namespace twk
