// The application object of the editor. An exception that escapes an event
// handler after start-up is shown in an error box and the program keeps
// running (Qt alone would end the process).
#pragma once

#include <QApplication>

namespace twk {

class Application : public QApplication {
  Q_OBJECT
 public:
  Application(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
  // Shows the standard exception box (stderr on a headless platform).
  static void ShowException(const char* what);
};

}  // namespace twk
