#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/MainFrame.h"
#include "app/SettingsBackend.h"
#include "app/WindowPlacement.h"
#include "clone/TimerService.h"
#include "clone/cmcTask.h"
#include "common/TestSupport.h"
#include "data/DocumentHooks.h"
#include "data/Labels.h"
#include "file/CloneOpen.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

namespace twk {
namespace {

class FakeWindow : public MainWindowHost {
 public:
  bool IsWindowVisible() const override { return shown; }
  bool IsWindowEnabled() const override { return enabled; }
  void SetCaption(const std::string& c) override { caption = c; }
  bool NormalPlacement(WindowBounds& b) const override {
    if (!placementReadable) return false;
    b = placement;
    return true;
  }
  int LeftPanelWidth() const override { return leftPanel; }
  void SetLeftPanelWidth(int w) override { leftPanel = w; }
  void SetToolbarVisible(bool v) override { toolbar = v; }
  void RepaintStatusBar() override { ++repaints; }
  void ShowWindow() override { shown = true; }
  void CloseWindow() override { ++closeRequests; }

  bool shown = false, enabled = true, placementReadable = true, toolbar = false;
  WindowBounds placement{10, 20, 700, 500};
  int leftPanel = 0, repaints = 0, closeRequests = 0;
  std::string caption;
};

// Records every message type the bus delivers.
struct Recorder {
  std::vector<int> types;
  static void On(void* self, const Message& m) { static_cast<Recorder*>(self)->types.push_back(m.type); }
};

// A program folder in a temporary directory: the two resources and, unless
// told otherwise, an initial file whose format marker is `marker`.
struct Fixture {
  explicit Fixture(bool writeInitial = true, int marker = 1) {
    test::WriteFileBytes(dir / "TWK208.OVL",
                         "comment\n#GI_Sys_AppTitle\nTest Editor\n#GI_App_InitialFile\n"
                         "init.dat\n#GI_Mess_FileErr_Headline\nFile error\n#GI_Mess_FileErr_FileOpen\n"
                         "Cannot open the file.\n#End_Of_Ovl\n");
    test::WriteFileBytes(dir / "TWK208H.OVL", "#End_Of_Ovl\n");
    if (writeInitial) {
      EepromImage image(EepromImage::kModelSize);
      image.SetByte(0x3DA, static_cast<std::uint8_t>(marker));
      image.SetByte(0x123, 0x5A);
      EXPECT_EQ(WriteCloneFile((dir / "init.dat").string(), image, nullptr), 0);
    }
    SetTextStores(&mainText, &helpText);
    SetBus(&bus);
  }
  ~Fixture() {
    SetBus(nullptr);
    SetTextStores(nullptr, nullptr);
  }
  std::string Folder() const { return dir.path().string() + "/"; }

  test::TempDir dir;
  test::FatalCatcher fatal;
  test::ScriptedDialogs dialogs;
  ManualClock clock;
  MemorySettingsBackend store;
  AppSettings settings{store, ScreenSize{1280, 1024}};
  TextStore mainText, helpText;
  MessageBus bus{clock};
};

TEST(MainFrame, BuildWindowLoadsTheInitialFileAndStartsTheTick) {
  Fixture f;
  f.settings.SetStopCheck([] { return true; });
  f.settings.modelType = 3;
  f.settings.splitterV = 3;
  FakeWindow w;
  ModelFrame frame(f.settings, f.dialogs, f.clock, f.Folder());
  EXPECT_EQ(frame.ImageSize(), 4097);
  EXPECT_EQ(frame.ModelCode(), 0x2989);
  EXPECT_EQ(frame.SubCode(), 1);
  EXPECT_TRUE(frame.Task()->Stopped()) << "the tick waits for the window";
  EXPECT_EQ(frame.Current().Size(), 4097);
  EXPECT_EQ(frame.Current().GetByte(0x123), 0);

  frame.BuildWindow(w);
  EXPECT_EQ(f.settings.modelType, 0) << "model index forced to 0";
  EXPECT_EQ(frame.Template().GetByte(0x123), 0x5A);
  EXPECT_TRUE(frame.Current().Equals(frame.Template()));
  EXPECT_TRUE(frame.Saved().Equals(frame.Current()));
  EXPECT_TRUE(frame.Reference().Equals(frame.Template()));
  EXPECT_FALSE(frame.Dirty());
  EXPECT_EQ(frame.Task()->Interval(), 50);
  EXPECT_FALSE(frame.Task()->Stopped());
  EXPECT_TRUE(w.shown);
  EXPECT_EQ(w.leftPanel, 8) << "a stored SplitterV of 3 gives 8";
  EXPECT_EQ(w.caption, "Untitled - Test Editor");
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_TRUE(f.fatal.texts.empty());
}

TEST(MainFrame, UnusableInitialFileStopsBeforeTheWindowShows) {
  for (bool missing : {true, false}) {
    SCOPED_TRACE(missing ? "missing" : "format marker 0");
    Fixture f(!missing, 0);
    f.settings.SetStopCheck([] { return true; });
    FakeWindow w;
    ModelFrame frame(f.settings, f.dialogs, f.clock, f.Folder());
    const std::string text = test::FatalTextOf([&] { frame.BuildWindow(w); });
    EXPECT_EQ(text, "Cannot open '" + f.Folder() + "init.dat'.");
    EXPECT_FALSE(w.shown);
    EXPECT_TRUE(frame.Task()->Stopped());
    // A read failure shows the clone file's own message first.
    EXPECT_EQ(f.dialogs.shown.size(), missing ? 1u : 0u);
  }
}

TEST(MainFrame, SelfCheckRefusesImagesSmallerThanTheMap) {
  Fixture f;
  f.settings.SetStopCheck([] { return true; });
  MainFrame small(4096, f.settings, f.dialogs, f.clock, f.Folder());
  EXPECT_EQ(test::FatalTextOf([&] { small.SelfCheck(); }),
            "Self Check Error.\nEEPROM Map is too large.");
  ModelFrame model(f.settings, f.dialogs, f.clock, f.Folder());
  EXPECT_EQ(test::FatalTextOf([&] { model.SelfCheck(); }), "");
}

TEST(MainFrame, SettleCountdownRefreshesWarningsOnceAfterABurst) {
  Fixture f;
  f.settings.SetStopCheck([] { return true; });
  Recorder rec;
  f.bus.Subscribe(&Recorder::On, &rec);
  FakeWindow w;
  ModelFrame frame(f.settings, f.dialogs, f.clock, f.Folder());
  frame.BuildWindow(w);
  const int before = frame.WarningRefreshes();
  frame.CellActionDone();
  f.clock.Advance(200);
  frame.CellActionDone();  // restarts the 250 ms
  f.clock.Advance(200);    // 400 ms after the first action, 200 after the last
  EXPECT_EQ(frame.WarningRefreshes(), before);
  EXPECT_TRUE(frame.SettleTimerActive());
  f.clock.Advance(100);  // first tick at least 250 ms after the last action
  EXPECT_EQ(frame.WarningRefreshes(), before + 1);
  EXPECT_FALSE(frame.SettleTimerActive());
  f.clock.Advance(500);
  EXPECT_EQ(frame.WarningRefreshes(), before + 1);
  EXPECT_EQ(std::count(rec.types.begin(), rec.types.end(), msg::kEeDebugRefresh), 1);
}

TEST(MainFrame, CellActionMarksTheDocumentDirtyUntilClean) {
  Fixture f;
  f.settings.SetStopCheck([] { return true; });
  FakeWindow w;
  ModelFrame frame(f.settings, f.dialogs, f.clock, f.Folder());
  frame.BuildWindow(w);
  frame.Current().SetByte(0x10, 0x77);
  frame.CellActionDone();
  EXPECT_TRUE(frame.Dirty());
  frame.Current().SetByte(0x10, frame.Saved().GetByte(0x10));
  frame.CellActionDone();
  EXPECT_TRUE(frame.Dirty()) << "changing back keeps the document dirty";
  frame.MarkClean();
  EXPECT_FALSE(frame.Dirty());
}

class RefusingFrame : public ModelFrame {
 public:
  using ModelFrame::ModelFrame;
  bool ConfirmSave(bool) override { return answer; }
  bool answer = true;
};

TEST(MainFrame, CloseQueryRefusesWhileDisabledOrCancelledAndStoresPlacement) {
  Fixture f;
  f.settings.SetStopCheck([] { return true; });
  FakeWindow w;
  RefusingFrame frame(f.settings, f.dialogs, f.clock, f.Folder());
  frame.BuildWindow(w);
  const int left = f.settings.left, width = f.settings.width;
  w.leftPanel = 321;

  w.enabled = false;
  EXPECT_FALSE(frame.CloseQuery());
  w.enabled = true;
  frame.answer = false;
  EXPECT_FALSE(frame.CloseQuery());
  EXPECT_EQ(f.settings.left, left) << "settings unchanged after Cancel";
  EXPECT_EQ(f.settings.width, width);
  frame.answer = true;
  w.placementReadable = false;
  EXPECT_TRUE(frame.CloseQuery());
  EXPECT_EQ(f.settings.left, left) << "unreadable placement stores nothing";
  EXPECT_NE(f.settings.splitterV, 321);
  w.placementReadable = true;
  EXPECT_TRUE(frame.CloseQuery());
  EXPECT_EQ(f.settings.left, 10);
  EXPECT_EQ(f.settings.top, 20);
  EXPECT_EQ(f.settings.width, 700);
  EXPECT_EQ(f.settings.height, 500);
  EXPECT_EQ(f.settings.splitterV, 321);

  frame.Close();
  EXPECT_TRUE(frame.Task()->Stopped());
  EXPECT_EQ(frame.Window(), nullptr);
}

TEST(MainFrame, HandlesItsBusMessages) {
  Fixture f;
  f.settings.SetStopCheck([] { return true; });
  Recorder rec;
  FakeWindow w;
  ModelFrame frame(f.settings, f.dialogs, f.clock, f.Folder());
  frame.BuildWindow(w);
  f.bus.Subscribe(&Recorder::On, &rec);  // delivered before the frame

  rec.types.clear();
  f.bus.Send(msg::kMenuStateChanged, 0, 0);
  EXPECT_EQ(rec.types, (std::vector<int>{2, 9, 20}));

  f.bus.SendText(msg::kStatusText, kStatusWarnText, kStatusWarnBack, "Out of range");
  EXPECT_EQ(frame.StatusLine().text, "Out of range");
  EXPECT_EQ(frame.StatusLine().textColor, kStatusWarnText);
  EXPECT_EQ(frame.StatusLine().backColor, kStatusWarnBack);
  EXPECT_EQ(w.repaints, 1);

  frame.Current().SetByte(0x200, 0x42);
  EXPECT_FALSE(frame.Reference().Equals(frame.Current()));
  f.bus.Send(msg::kEeDebugToMain, 0, 0);
  EXPECT_TRUE(frame.Reference().Equals(frame.Current()));

  const int chList = f.settings.chListType;
  f.bus.Post(msg::kAttributeChanged, 1, 0);
  f.clock.Advance(10);
  EXPECT_EQ(f.settings.chListType, chList ? 0 : 1);
  f.bus.Post(msg::kAttributeChanged, 0, 0);
  f.clock.Advance(10);
  EXPECT_EQ(f.settings.chListType, chList ? 0 : 1) << "argument 0 does not flip";
}

TEST(MainFrame, DestroyingTheFrameWithARunningTickIsSafe) {
  Fixture f;
  f.settings.SetStopCheck([] { return true; });
  FakeWindow w;
  auto frame = std::make_unique<ModelFrame>(f.settings, f.dialogs, f.clock, f.Folder());
  frame->BuildWindow(w);
  const int before = f.clock.RunningTimers();
  frame.reset();  // task still running: it deletes itself on its next turn
  f.clock.Advance(200);
  EXPECT_LT(f.clock.RunningTimers(), before);
  const std::size_t entries = f.bus.SubscriberEntries();
  f.bus.Send(msg::kEeDebugToMain, 0, 0);  // the frame no longer receives
  EXPECT_LE(f.bus.SubscriberEntries(), entries);
}

TEST(MainFrame, IsTheDocumentOwnerAndRunsTheShellCommands) {
  Fixture f;
  f.settings.SetStopCheck([] { return true; });
  Recorder rec;
  FakeWindow w;
  DocumentHooks* const before = CurrentDocumentHooks();
  {
    ModelFrame frame(f.settings, f.dialogs, f.clock, f.Folder());
    EXPECT_EQ(CurrentDocumentHooks(), &frame);
    frame.BuildWindow(w);
    f.bus.Subscribe(&Recorder::On, &rec);
    EXPECT_EQ(&frame.CurrentImage(), &frame.Current());
    EXPECT_EQ(frame.DebugCompareImage(), &frame.Reference());

    frame.RunCommand(CL_Menu_View_ToolBar, 0, "");
    EXPECT_EQ(f.settings.toolbarVisible, 0);
    EXPECT_FALSE(w.toolbar);
    EXPECT_FALSE(frame.ToolbarVisible());
    frame.RunCommand(CL_Menu_Port_Com, 3, "");
    EXPECT_EQ(f.settings.comPort, 3);
    EXPECT_EQ(frame.ComPort(), 3);
    EXPECT_EQ(rec.types, (std::vector<int>{2, 9, 20}));
    frame.RunCommand(CL_Menu_View_FontSize, 150, "");
    EXPECT_EQ(f.settings.fontSizePercentage, 150);
    EXPECT_EQ(frame.FontSizeIndex(), 150);
    EXPECT_TRUE(frame.FontsChanged());
    frame.RunCommand(CL_Menu_File_Exit, 0, "");
    EXPECT_EQ(w.closeRequests, 1);

    f.settings.recent.AddToFront("/other/R&D.cln");
    f.settings.recent.AddToFront(frame.LastFolder() + "a.cln");
    EXPECT_EQ(frame.RecentFile(0), "a.cln") << "file name only in the last folder";
    EXPECT_EQ(frame.RecentFile(1), "/other/R&&D.cln") << "ampersands doubled";
    EXPECT_EQ(frame.RecentFile(2), "");
  }
  EXPECT_EQ(CurrentDocumentHooks(), before) << "the frame uninstalls itself";
}

TEST(Countdown, ElapsedAcrossTheTickCountWrap) {
  struct Case {
    std::uint32_t start, now;
    std::int64_t elapsed;
  };
  const std::vector<Case> cases = {
      {100, 100, 0},
      {100, 350, 250},
      {0xFFFFFF00u, 0x00000010u, 0x110 - 2},  // wrapped: difference minus 2
      {0xFFFFFFFFu, 0u, 0},                   // never negative
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + " -> " + std::to_string(c.now));
    EXPECT_EQ(Countdown::Elapsed(c.start, c.now), c.elapsed);
  }
  ManualClock clock;
  Countdown cd(clock, 250);
  EXPECT_EQ(cd.Remaining(), 0) << "never started";
  cd.Restart();
  clock.Advance(100);
  EXPECT_EQ(cd.Remaining(), 150);
  clock.Advance(150);
  EXPECT_EQ(cd.Remaining(), 0);
  EXPECT_FALSE(cd.Active());
}

TEST(WindowPlacement, StoredBoundsMoveOntoTheWorkArea) {
  struct Case {
    const char* what;
    WindowBounds stored;
    WorkArea area;
    WindowBounds placed;
  };
  const WorkArea screen{0, 0, 1280, 1000};
  const std::vector<Case> cases = {
      {"inside stays", {100, 50, 800, 600}, screen, {100, 50, 800, 600}},
      {"far right", {5000, 50, 800, 600}, screen, {1264, 50, 800, 600}},
      {"far left", {-200, 50, 100, 600}, screen, {-84, 50, 100, 600}},
      {"below", {100, 3000, 800, 600}, screen, {100, 984, 800, 600}},
      {"above", {100, -40, 800, 600}, screen, {100, 0, 800, 600}},
      {"above a top taskbar", {100, 10, 800, 600}, {0, 30, 1280, 1000}, {100, 30, 800, 600}},
      {"left of a left taskbar", {-900, 10, 800, 600}, {60, 0, 1280, 1000}, {-724, 10, 800, 600}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(MoveOntoWorkArea(c.stored, c.area), c.placed);
  }
}

}  // namespace
}  // namespace twk
