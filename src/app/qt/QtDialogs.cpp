#include "app/qt/QtDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace twk {

bool HeadlessPlatform() {
  const QString p = QGuiApplication::platformName();
  return p == "offscreen" || p == "minimal";
}

MsgAnswer QtDialogs::MessageBox(const std::string& text, const std::string& caption,
                                MsgIcon icon, MsgButtons buttons) {
  if (HeadlessPlatform()) return headless_.MessageBox(text, caption, icon, buttons);
  QMessageBox box(parent_);
  box.setWindowTitle(QString::fromLatin1(caption));
  box.setText(QString::fromLatin1(text));
  switch (icon) {
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::None: break;
  }
  switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return MsgAnswer::Cancel;  // also the close box / Escape
  }
}

void QtFatalReporter::Report(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", ProgramFileName().c_str(), text.c_str());
  std::fflush(stderr);
  if (qApp && !HeadlessPlatform()) {
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(ProgramFileName()),
                    QString::fromLatin1(text), QMessageBox::Ok);
    box.exec();
  }
  std::_Exit(kFatalExitStatus);
}

}  // namespace twk
