#include "app/qt/TForm1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/AppSettings.h"
#include "sheet/CellDescriptor.h"
#include "sheet/CellMarkup.h"
#include "text/TextStore.h"

namespace twk {

QColor ToQColor(Color c) {
  if (IsSystemColor(c)) {
    const QPalette pal = QApplication::palette();
    switch (SystemColorIndex(c)) {
      case 4: return pal.color(QPalette::Window);            // clMenu
      case 5: return pal.color(QPalette::Base);              // clWindow
      case 7: return pal.color(QPalette::WindowText);        // clMenuText
      case 8: return pal.color(QPalette::WindowText);        // clWindowText
      case 13: return pal.color(QPalette::Highlight);        // clHighlight
      case 14: return pal.color(QPalette::HighlightedText);  // clHightlightText
      case 15: return pal.color(QPalette::Button);           // clBtnFace
      case 16: return pal.color(QPalette::Dark);             // clBtnShadow
      case 17: return pal.color(QPalette::PlaceholderText);  // clGrayText
      case 18: return pal.color(QPalette::ButtonText);       // clBtnText
      case 20: return pal.color(QPalette::Light);            // clBtnHighlight
      default: return pal.color(QPalette::Window);
    }
  }
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QFont ToQFont(const Font& font, const QFont& base) {
  QFont f = base;
  if (!font.face.empty()) f.setFamily(QString::fromStdString(font.face));
  if (font.height < 0) {
    f.setPixelSize(-font.height);
  } else if (font.height > 0) {
    f.setPixelSize(std::max(1, font.height * 3 / 4));  // a cell height holds the leading too
  } else if (font.size > 0) {
    f.setPointSize(font.size);
  }
  f.setBold(font.style & fsBold);
  f.setItalic(font.style & fsItalic);
  f.setUnderline(font.style & fsUnderline);
  f.setStrikeOut(font.style & fsStrikeOut);
  if (font.pitch == FontPitch::Fixed) f.setFixedPitch(true);
  return f;
}

WorkArea PrimaryWorkArea() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return WorkArea{0, 0, 1024, 768};
  const QRect r = screen->availableGeometry();
  return WorkArea{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// ---------------------------------------------------------------- message panel

MessagePanel::MessagePanel(const MainFrame& frame, QWidget* parent)
    : QWidget(parent), frame_(frame) {
  setMinimumWidth(100);
}

void MessagePanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const StatusMessage& m = frame_.StatusLine();
  p.fillRect(rect(), ToQColor(m.backColor));
  p.setPen(ToQColor(m.textColor));
  const int textHeight = fontMetrics().height();
  const int y = (height() - textHeight) / 2;
  p.drawText(QRect(0, y, width(), textHeight), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromLatin1(m.text));
}

// ---------------------------------------------------------------- main window

TForm1::TForm1(MainFrame& frame, AppSettings& settings)
    : QMainWindow(nullptr), frame_(frame), settings_(settings) {
  // 1. Caption.
  const QString caption = QString::fromLatin1(MainText().GetFirstLine("GI_Sys_AppTitle"));
  setWindowTitle(caption);
  // 2. The window's font from its base cell.
  {
    CellDescriptor cell;
    ParseCell(cell, MainText().GetFirstLine("GI_Form_Main_BasicCell"), nullptr, nullptr);
    if (cell.font) setFont(ToQFont(*cell.font, font()));
  }
  // 3. Bounds from the settings, moved onto the work area.
  const WindowBounds placed =
      MoveOntoWorkArea({settings_.left, settings_.top, settings_.width, settings_.height},
                       PrimaryWorkArea());
  // 4. Minimum tracking size.
  setMinimumSize(kMinTrackWidth, kMinTrackHeight);
  resize(std::max(placed.width, kMinTrackWidth), std::max(placed.height, kMinTrackHeight));
  move(placed.left, placed.top);

  // The parts, top to bottom. Menus, toolbar buttons, the tree and the
  // sheets are filled in by the frame from the resources.
  menuBar()->setNativeMenuBar(false);
  toolbar_ = addToolBar("Main");
  toolbar_->setObjectName("MainToolBar");
  toolbar_->setMovable(false);
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setHandleWidth(3);
  splitter_->setChildrenCollapsible(false);
  splitter_->setOpaqueResize(true);
  left_ = new QFrame(splitter_);
  left_->setObjectName("LeftPanel");
  left_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  left_->setLineWidth(2);
  left_->setMinimumWidth(8);
  right_ = new QFrame(splitter_);
  right_->setObjectName("RightPanel");
  right_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  right_->setLineWidth(2);
  for (QFrame* panel : {left_, right_}) {
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
  }
  splitter_->addWidget(left_);
  splitter_->addWidget(right_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  message_ = new MessagePanel(frame_, statusBar());
  message_->setObjectName("MessagePanel");
  statusBar()->addWidget(message_, 1);
  spacer_ = new QWidget(statusBar());
  statusBar()->addPermanentWidget(spacer_);
  statusBar()->setSizeGripEnabled(true);

  // 6. The frame builds the window's contents and shows it.
  frame_.BuildWindow(*this);
}

TForm1::~TForm1() = default;

void TForm1::SetCaption(const std::string& caption) {
  setWindowTitle(QString::fromLatin1(caption));
}

bool TForm1::NormalPlacement(WindowBounds& b) const {
  QRect client = (isMaximized() || isMinimized() || isFullScreen()) ? normalGeometry() : geometry();
  if (!client.isValid()) return false;
  // The stored left and top are those of the frame, as move() takes them.
  const QPoint frameOffset = geometry().topLeft() - pos();
  b.left = client.left() - frameOffset.x();
  b.top = client.top() - frameOffset.y();
  b.width = client.width();
  b.height = client.height();
  return true;
}

int TForm1::LeftPanelWidth() const { return left_->width(); }

void TForm1::SetLeftPanelWidth(int width) {
  const int total = std::max(splitter_->width(), width + 100);
  splitter_->setSizes({width, total - width});
  left_->resize(width, left_->height());
}

void TForm1::SetToolbarVisible(bool visible) {
  // Every row of the toolbar (the resources may break it into several).
  for (QToolBar* row : findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly))
    row->setVisible(visible);
}

void TForm1::SetWaitCursor(bool on) {
  if (on)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TForm1::RepaintStatusBar() { message_->update(); }

void TForm1::ShowWindow() {
  spacer_->setFixedWidth(statusBar()->sizeHint().height());
  const int leftWidth = std::max(settings_.splitterV, 8);
  show();
  SetLeftPanelWidth(leftWidth);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!frame_.CloseQuery()) {
    event->ignore();
    return;
  }
  frame_.Close();
  event->accept();
}

}  // namespace twk
