// twk208: the editor. Start-up creates the process-wide objects in their
// order (settings with the single-instance lock, the two text stores, the
// message bus, the main frame), then the main window, and runs the event
// loop; they are destroyed in the reverse order. The settings are written
// once, when the process ends normally.
#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <csignal>
#include <exception>
#include <memory>
#include <unistd.h>

#include "app/AppSettings.h"
#include "app/Fatal.h"
#include "app/MainFrame.h"
#include "app/SingleInstance.h"
#include "app/qt/Application.h"
#include "app/qt/EditorFrame.h"
#include "app/qt/QtDialogs.h"
#include "app/qt/QtFileDialogs.h"
#include "app/qt/QtSettingsBackend.h"
#include "app/qt/QtTimerService.h"
#include "app/qt/TForm1.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

namespace {

// A termination request (SIGTERM from a session logout, SIGINT from a
// terminal) closes the main window the way its close box does, so the close
// rules apply and the settings are written. The handler only writes a byte;
// the event loop does the rest.
int g_signalPipe[2] = {-1, -1};
QWidget* g_closeTarget = nullptr;

void OnSignal(int) {
  const char b = 1;
  [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &b, 1);
}

// Installed before anything else, so that a request that comes early is
// not lost: it is handled once the event loop runs, i.e. with the window up.
void CloseOnSignals(QObject* owner) {
  if (::pipe(g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
    char b;
    [[maybe_unused]] ssize_t n = ::read(g_signalPipe[0], &b, 1);
    if (g_closeTarget) g_closeTarget->close();
  });
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGINT, &sa, nullptr);
}

twk::ScreenSize PrimaryScreenSize() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  return {screen->geometry().width(), screen->geometry().height()};
}

}  // namespace

int main(int argc, char** argv) {
  twk::Application app(argc, argv);
  CloseOnSignals(&app);
  twk::QtFatalReporter fatal;
  twk::SetFatalReporter(&fatal);
  twk::QtTimerService timers;
  twk::SetDefaultTimerService(&timers);
  twk::QtDialogs dialogs;
  twk::QtSettingsBackend store;

  // 1. The settings: the single-instance lock, then (first instance only)
  // the stored values. A second copy ends here, touching nothing.
  twk::AppSettings settings(
      store, PrimaryScreenSize(),
      std::make_unique<twk::SingleInstance>(twk::AppSettings::kMutexName));
  if (!settings.FirstInstance()) return 0;
  twk::SetSettings(&settings);

  // 2. The two text stores and the message bus, empty.
  twk::TextStore mainText;
  twk::TextStore helpText;
  twk::SetTextStores(&mainText, &helpText);
  twk::MessageBus bus(timers);
  twk::SetBus(&bus);

  int status = 0;
  {
    // 3. The main frame: resources, images, the stopped tick, subscriptions.
    twk::EditorFrame frame(settings, dialogs, timers);
    twk::QtFileDialogs fileDialogs;
    frame.SetFileDialogs(&fileDialogs);
    try {
      // 4./5. The main window; its construction builds and shows it.
      twk::TForm1 window(frame, settings);
      dialogs.SetParent(&window);
      fileDialogs.SetParent(&window);
      g_closeTarget = &window;
      status = app.exec();
      g_closeTarget = nullptr;
      dialogs.SetParent(nullptr);
      fileDialogs.SetParent(nullptr);
    } catch (const std::exception& e) {
      twk::Application::ShowException(e.what());
    }
  }
  twk::SetBus(nullptr);
  twk::SetTextStores(nullptr, nullptr);
  twk::SetSettings(nullptr);
  (void)status;
  return 0;
}
