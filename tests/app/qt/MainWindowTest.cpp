// The main window in process on the offscreen platform: placement from the
// settings, minimum size, caption and font, layout parts, the close rules.
#include <QApplication>
#include <QFrame>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "app/AppSettings.h"
#include "app/MainFrame.h"
#include "app/SettingsBackend.h"
#include "app/qt/QtDialogs.h"
#include "app/qt/QtTimerService.h"
#include "app/qt/TForm1.h"
#include "clone/cmcTask.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

using namespace twk;

namespace {

bool NeverStopped() { return false; }

// The process-wide objects of the editor, on a settings store in memory.
struct Editor {
  explicit Editor(WindowBounds stored, int splitter = 200) {
    SetDefaultTimerService(&timers);
    SetTextStores(&mainText, &helpText);
    SetBus(&bus);
    settings.SetStopCheck(NeverStopped);
    settings.left = stored.left;
    settings.top = stored.top;
    settings.width = stored.width;
    settings.height = stored.height;
    settings.splitterV = splitter;
    frame = std::make_unique<ModelFrame>(settings, dialogs, timers);
    window = std::make_unique<TForm1>(*frame, settings);
  }
  ~Editor() {
    window.reset();
    frame.reset();
    SetBus(nullptr);
    SetTextStores(nullptr, nullptr);
    SetDefaultTimerService(nullptr);
  }
  QtTimerService timers;
  QtDialogs dialogs;
  MemorySettingsBackend store;
  AppSettings settings{store, ScreenSize{1280, 1024}};
  TextStore mainText, helpText;
  MessageBus bus{timers};
  std::unique_ptr<ModelFrame> frame;
  std::unique_ptr<TForm1> window;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void placementMovesOntoTheWorkArea_data() {
    const WorkArea a = PrimaryWorkArea();
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("expectLeft");
    QTest::addColumn<int>("expectTop");
    QTest::newRow("inside") << a.left + 20 << a.top + 30 << 500 << a.left + 20 << a.top + 30;
    QTest::newRow("left 5000") << 5000 << a.top + 10 << 500 << a.right - 16 << a.top + 10;
    QTest::newRow("width 100 at -200") << -200 << a.top + 10 << 100 << a.left + 16 - 100
                                       << a.top + 10;
    QTest::newRow("below") << a.left << 9000 << 500 << a.left << a.bottom - 16;
    QTest::newRow("above") << a.left << a.top - 500 << 500 << a.left << a.top;
  }
  void placementMovesOntoTheWorkArea() {
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, expectLeft);
    QFETCH(int, expectTop);
    Editor e({left, top, width, 300});
    QVERIFY(e.window->isVisible());
    QCOMPARE(e.window->pos().x(), expectLeft);
    QCOMPARE(e.window->pos().y(), expectTop);
  }

  void windowHasItsCaptionFontMinimumAndParts() {
    Editor e({10, 10, 300, 100}, 3);
    QCOMPARE(e.window->windowTitle(), QString("Untitled - TW-K208 Memory Editor"));
    QCOMPARE(e.window->font().pixelSize(), 13);  // from GI_Form_Main_BasicCell
    QCOMPARE(e.window->minimumSize(), QSize(400, 200));
    QVERIFY(e.window->width() >= 400);
    QVERIFY(e.window->MainToolBar()->isVisible());
    QVERIFY(e.window->LeftPanel() != nullptr && e.window->RightPanel() != nullptr);
    QCOMPARE(e.window->Splitter()->handleWidth(), 3);
    QCOMPARE(e.window->LeftPanelWidth(), 8);  // SplitterV 3 gives 8
    QVERIFY(e.window->statusBar()->findChild<QWidget*>("MessagePanel") != nullptr);
    QCOMPARE(e.frame->Window(), static_cast<MainWindowHost*>(e.window.get()));
  }

  void toolbarFollowsTheSetting() {
    Editor e({10, 10, 500, 300});
    e.window->SetToolbarVisible(false);
    QVERIFY(!e.window->MainToolBar()->isVisible());
  }

  void closeIsRefusedWhileDisabledAndStoresPlacement() {
    Editor e({40, 50, 520, 330}, 150);
    QVERIFY(QTest::qWaitForWindowExposed(e.window.get()));
    const int leftBefore = e.settings.left;
    e.window->setEnabled(false);
    QVERIFY(!e.window->close());
    QVERIFY(e.window->isVisible());
    QCOMPARE(e.settings.left, leftBefore);
    QVERIFY(!e.frame->Task()->Stopped());

    e.window->setEnabled(true);
    e.window->move(70, 80);
    e.window->resize(610, 420);
    QTest::qWait(50);
    QVERIFY(e.window->close());
    QCOMPARE(e.settings.left, 70);
    QCOMPARE(e.settings.top, 80);
    QCOMPARE(e.settings.width, 610);
    QCOMPARE(e.settings.height, 420);
    QCOMPARE(e.settings.splitterV, e.window->LeftPanel()->width());
    QVERIFY(e.frame->Task()->Stopped());
    QCOMPARE(e.frame->Window(), nullptr);
  }

  void tickRunsOnTheEventLoop() {
    Editor e({10, 10, 500, 300});
    e.frame->CellActionDone();
    QVERIFY(e.frame->SettleTimerActive());
    QTRY_VERIFY_WITH_TIMEOUT(!e.frame->SettleTimerActive(), 2000);
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
