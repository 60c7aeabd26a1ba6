#include "clone/qt/CloneCommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cctype>
#include <cstdlib>

#include "app/AppSettings.h"
#include "app/WindowPlacement.h"
#include "app/qt/EditorFrame.h"
#include "app/qt/TForm1.h"
#include "data/Validation.h"
#include "sheet/MessageBus.h"
#include "sheet/Sheet.h"
#include "sheet/qt/SheetView.h"
#include "text/TextStore.h"

namespace twk {

namespace {

constexpr const char* kInfoSheetKey = "GI_Sheet_CloneInfo";

std::string Title() { return MainText().GetFirstLine("GI_Sys_AppTitle"); }

// Strips the accelerator marks ("&x" shows x, "&&" shows "&").
QString WithoutAccelerators(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return QString::fromStdString(out);
}

// Centres `w` over `owner`, then moves it onto the work area.
void PlaceOver(QWidget* w, QWidget* owner) {
  WindowBounds b{0, 0, w->width(), w->height()};
  if (owner) {
    const QRect o = owner->frameGeometry();
    b.left = o.left() + (o.width() - b.width) / 2;
    b.top = o.top() + (o.height() - b.height) / 2;
  }
  b = MoveOntoWorkArea(b, PrimaryWorkArea());
  w->move(b.left, b.top);
}

}  // namespace

// ---- progress bar and window ---------------------------------------------------------

CloneProgressBar::CloneProgressBar(const cmcCloneControl& control, QWidget* parent)
    : QWidget(parent), control_(control) {
  setFixedSize(256, 14);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

int CloneProgressBar::FilledCells(int bytes, int expected) {
  if (expected <= 0) return 0;
  return static_cast<int>(static_cast<long long>(bytes) * 33 / expected);
}

void CloneProgressBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The active colours: the window is disabled along with its owner.
  const QColor lit = palette().color(QPalette::Active, QPalette::Highlight);
  const QColor unlit = palette().color(QPalette::Active, QPalette::Base);
  const int filled = FilledCells(control_.DataBytes(), control_.ExpectedDataBytes());
  const int cell = (width() + 1) / 32;
  for (int i = 0; i < 32; ++i) {
    const int left = cell * i;
    const int gap = cell * (i + 1) - 1;
    p.fillRect(QRect(left, 0, gap - left, height()), i < filled ? lit : unlit);
    p.fillRect(QRect(gap, 0, 1, height()), unlit);
  }
}

CloneProgressWindow::CloneProgressWindow(const cmcCloneControl& control, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("CloneProgressWindow");
  setWindowTitle("Cloning");
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  panel->setFixedSize(258, 16);
  bar_ = new CloneProgressBar(control, panel);
  bar_->move(1, 1);
  panel->move(16, 8);
  setFixedSize(16 + 258 + 16, 8 + 16 + 24);
}

void CloneProgressWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

// ---- COM selection -----------------------------------------------------------------

bool ParseComEntry(const std::string& text, int* port, std::string* path) {
  std::size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  const std::string t = text.substr(b, e - b);
  *port = 0;
  path->clear();
  if (t.find('/') != std::string::npos) {
    *path = t;
    return true;
  }
  // The leading decimal number, with its sign; 0 when there is none.
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  long long n = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])) && n <= 100000)
    n = n * 10 + (t[i++] - '0');
  if (negative) n = -n;
  if (n < 1 || n > 256) return false;
  *port = static_cast<int>(n);
  return true;
}

ComSelectDialog::ComSelectDialog(int comPort, const std::string& devicePath, Dialogs& boxes,
                                 QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      boxes_(boxes) {
  setObjectName("ComSelectDialog");
  setWindowTitle(QString::fromStdString(MainText().GetFirstLine("GI_AppInd_Opt_ComSel_Caption")));
  const QFontMetrics fm(font());
  const int h = fm.height();
  auto* label = new QLabel(WithoutAccelerators(MainText().GetSectionText("GI_AppInd_Opt_ComSel_Notice")), this);
  label->setTextFormat(Qt::PlainText);
  label->adjustSize();
  label->move(h, h);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("ComSelectEdit");
  edit_->setMaxLength(devicePath.empty() ? 4 : 255);
  edit_->setAttribute(Qt::WA_InputMethodEnabled, false);
  edit_->setText(devicePath.empty() ? QString::number(comPort) : QString::fromStdString(devicePath));
  const int editHeight = std::max(fm.height(), edit_->sizeHint().height());
  edit_->setGeometry(h + fm.horizontalAdvance("WW"), label->geometry().bottom() + 1 + h / 2,
                     fm.horizontalAdvance("255WWWW"), editHeight);
  auto* ok = new QPushButton(
      QString::fromStdString(MainText().GetLine("GI_AppInd_Opt_ComSel_Buttons", 0)), this);
  auto* cancel = new QPushButton(
      QString::fromStdString(MainText().GetLine("GI_AppInd_Opt_ComSel_Buttons", 1)), this);
  ok->setObjectName("ComSelectOk");
  cancel->setObjectName("ComSelectCancel");
  ok->setDefault(true);
  const int bw = std::max(
      fm.horizontalAdvance(QString::fromStdString(MainText().GetFirstLine("GI_AppInd_Opt_ComSel_SizeOfButtons"))),
      std::max(ok->sizeHint().width(), cancel->sizeHint().width()));
  const int bh = std::max(2 * fm.height(), ok->sizeHint().height());
  const int top = edit_->y() + 4 * editHeight;
  const int right = label->geometry().right() + 1;
  cancel->setGeometry(std::max(0, right - bw), top, bw, bh);
  ok->setGeometry(std::max(0, cancel->x() - bh / 2 - bw), top, bw, bh);
  const int width = std::max({label->width() + 2 * h, edit_->geometry().right() + 1 + h,
                              cancel->geometry().right() + 1 + h});
  setFixedSize(width, top + bh * 3 / 2);
  connect(ok, &QPushButton::clicked, this, [this] { TryAccept(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  PlaceOver(this, owner);
}

bool ComSelectDialog::TryAccept() {
  int port = 0;
  std::string path;
  if (!ParseComEntry(edit_->text().toStdString(), &port, &path)) {
    boxes_.MessageBox(MainText().GetSectionText("GI_AppInd_Opt_ComSel_OutofRange"), Title(),
                      MsgIcon::Error, MsgButtons::Ok);
    edit_->setFocus();
    return false;
  }
  port_ = port;
  path_ = path;
  accept();
  return true;
}

// ---- the commands ------------------------------------------------------------------

CloneCommands::CloneCommands(EditorFrame& frame)
    : frame_(frame), control_(std::make_unique<cmcCloneControl>(frame.timers_)) {
  control_->SetTextStore(&MainText());
  control_->SetIdentificationHandler([this](cmcCloneResult& r) {
    if (r.code == kCmcOk && r.mode == cmcCloneMode::Identify) CheckIdentity(r, info_);
  });
  control_->SetReadHandler([](cmcCloneResult& r) {
    if (r.code == kCmcOk && r.mode == cmcCloneMode::Read) CheckImage(r);
  });
  control_->SetErrorSink([this](const std::string& text, const cmcCloneResult&) {
    if (text.empty()) return;
    // A box over a disabled window would be disabled with it (Qt disables
    // the owner's child windows too): the transfer is over, enable it.
    SetMainEnabled(true);
    frame_.Boxes().MessageBox(text, Title(), MsgIcon::Error, MsgButtons::Ok);
  });
  control_->SetProgressHooks(
      [this] {
        delete progress_.data();
        progress_ = new CloneProgressWindow(*control_, MainWindow());
        PlaceOver(progress_, MainWindow());
        progress_->show();
        SetMainEnabled(false);
        progress_->setEnabled(true);  // a child window is disabled with its owner
      },
      [this] {
        SetMainEnabled(true);
        if (progress_) {
          progress_->hide();
          delete progress_.data();
        }
      },
      [this] {
        if (progress_) progress_->Bar()->repaint();
      });
  if (const char* dev = std::getenv("TWK208_CLONE_PORT"); dev && *dev) {
    int port = 0;
    std::string path;
    if (ParseComEntry(dev, &port, &path) && !path.empty()) devicePath_ = path;
  }
}

CloneCommands::~CloneCommands() {
  control_.reset();  // closes a progress window that is still up
  delete progress_.data();
  delete infoDialog_.data();
}

QWidget* CloneCommands::MainWindow() const { return frame_.form_; }

void CloneCommands::SetMainEnabled(bool on) {
  QWidget* w = MainWindow();
  if (!w) return;
  w->setEnabled(on);
  if (on) {
    w->activateWindow();
    w->setFocus();
  }
}

void CloneCommands::PreparePort() {
  control_->SetPort(frame_.settings_.comPort, devicePath_);
}

bool CloneCommands::StartIdentification(cmcCloneControl::Completion next) {
  PreparePort();
  control_->SetCodes(frame_.ModelCode() ? frame_.ModelCode() : kModelCode, 0);
  SetMainEnabled(false);
  const bool started = control_->StartIdentification([this, next](cmcCloneResult& r) {
    // The identification's end enables the window; the next step disables
    // it again when it starts a transfer.
    SetMainEnabled(true);
    if (next) next(r);
  });
  if (!started) SetMainEnabled(true);
  return started;
}

void CloneCommands::Read() {
  if (!frame_.ConfirmSave(false)) return;
  if (control_->Busy()) return;
  StartIdentification([this](cmcCloneResult& id) {
    if (id.code != kCmcOk) return;
    control_->SetImageSize(frame_.current_.Size());
    control_->StartRead(ReadRangeList(), [this](cmcCloneResult& r) { AfterRead(r); });
  });
}

void CloneCommands::AfterRead(cmcCloneResult& result) {
  if (result.code != kCmcOk) return;  // the document stays as it was
  frame_.current_.Assign(result.image);
  // The model's after-read step: the model of the image without asking,
  // the normalizing pass and message 27.
  frame_.AfterLoad(frame_.current_);
  frame_.dirty_ = true;
  frame_.SetFileName("");
  // The sheet history keeps the cursor; the tick reopens the sheet.
  frame_.CloseCurrentSheet();
  frame_.SendMessage(msg::kPlanOptionsChanged);
}

void CloneCommands::Write() {
  frame_.SendMessage(msg::kCommitEditors);
  if (!CloneWriteAllowed(frame_.WarningTree(), frame_)) return;
  if (control_->Busy()) return;
  if (frame_.MakerMode() && !frame_.ConfirmMakerWrite()) return;
  if (frame_.Boxes().MessageBox(MainText().GetSectionText("GI_Mess_Confirm_CloneWrite"), Title(),
                                MsgIcon::Warning, MsgButtons::OkCancel) != MsgAnswer::Ok)
    return;
  StartIdentification([this](cmcCloneResult& id) {
    if (id.code != kCmcOk) return;
    EepromImage& current = frame_.current_;
    control_->SetImageSize(current.Size());
    frame_.UpdateDirty();
    const bool modified = frame_.dirty_;
    frame_.Normalize(current, false);
    if (!modified) {
      // Normalizing alone never makes the document modified.
      frame_.saved_.Resize(current.Size());
      frame_.saved_.Assign(current);
      frame_.dirty_ = false;
    }
    control_->StartWrite(current, WriteRangeList(frame_.MakerMode()), [this](cmcCloneResult& r) {
      if (r.code != kCmcOk) return;
      frame_.Boxes().MessageBox(MainText().GetSectionText("GI_Mess_CloneWrite_Succeeded"), Title(),
                                MsgIcon::Information, MsgButtons::Ok);
    });
  });
}

void CloneCommands::ShowInfo() {
  frame_.SendMessage(msg::kCommitEditors);
  if (control_->Busy()) return;
  StartIdentification([this](cmcCloneResult& id) {
    if (id.code == kCmcOk) OpenInfoSheet();
  });
}

void CloneCommands::OpenInfoSheet() {
  QWidget* owner = MainWindow();
  delete infoDialog_.data();
  auto* dlg = new QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                                     Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  dlg->setObjectName("CloneInfoDialog");
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  dlg->setWindowTitle(QString::fromStdString(Title()));
  auto* layout = new QVBoxLayout(dlg);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* panel = new QFrame(dlg);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(2);
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(8, 8, 8, 8);
  auto* view = new SheetView(panel, nullptr);
  view->setObjectName("CloneInfoSheet");
  panelLayout->addWidget(view);
  layout->addWidget(panel);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(5, 5, 5, 5);
  buttons->addStretch(1);
  auto* ok = new QPushButton(
      QString::fromStdString(MainText().GetFirstLine("GI_AppInd_Button_OkCancel")), dlg);
  ok->setObjectName("CloneInfoOk");
  ok->setDefault(true);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  QObject::connect(ok, &QPushButton::clicked, dlg, &QDialog::close);
  QObject::connect(dlg, &QDialog::rejected, dlg, &QDialog::close);  // Escape
  view->resize(400, 200);
  if (Sheet* sheet = view->Open(kInfoSheetKey)) {
    // Twice: the needed size depends on the client size the first one gave.
    for (int i = 0; i < 2; ++i) {
      view->setFixedSize(std::max(1, sheet->ExtraWidthNeeded()),
                         std::max(1, sheet->ExtraHeightNeeded()));
    }
  }
  dlg->adjustSize();
  PlaceOver(dlg, owner);
  // The owner stays disabled while the dialog exists.
  if (owner) owner->setEnabled(false);
  dlg->setEnabled(true);  // Qt disabled it with its owner; a window can be enabled again
  QPointer<QWidget> ownerRef = owner;
  QObject::connect(dlg, &QObject::destroyed, [ownerRef] {
    if (ownerRef) {
      ownerRef->setEnabled(true);
      ownerRef->activateWindow();
      ownerRef->setFocus();
    }
  });
  infoDialog_ = dlg;
  dlg->show();
  ok->setFocus();
}

void CloneCommands::SelectPort() {
  ComSelectDialog dlg(frame_.settings_.comPort, devicePath_, frame_.Boxes(), MainWindow());
  if (dlg.exec() != QDialog::Accepted) return;
  if (!dlg.Path().empty()) {
    devicePath_ = dlg.Path();
  } else {
    devicePath_.clear();
    frame_.settings_.comPort = dlg.Port();
  }
  frame_.SendMessage(msg::kMenuStateChanged);
}

}  // namespace twk
