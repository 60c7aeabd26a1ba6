#include "app/qt/Application.h"

#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "app/Fatal.h"
#include "app/qt/QtDialogs.h"

namespace twk {

void Application::ShowException(const char* what) {
  std::fprintf(stderr, "%s: %s\n", ProgramFileName().c_str(), what);
  std::fflush(stderr);
  if (HeadlessPlatform()) return;
  QMessageBox::critical(activeWindow(), QString::fromStdString(ProgramFileName()),
                        QString::fromLocal8Bit(what));
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("Unknown exception.");
  }
  return false;
}

}  // namespace twk
