// The document commands of the main frame over the shipped resources: New,
// Open, Save, Save As, the recent files, the save confirmation and the title.
#include <gtest/gtest.h>

#include <string>

#include "app/AppSettings.h"
#include "app/FileDialogs.h"
#include "app/MainFrame.h"
#include "app/SettingsBackend.h"
#include "clone/TimerService.h"
#include "common/TestSupport.h"
#include "data/Labels.h"
#include "file/CloneOpen.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

namespace twk {
namespace {

class Window : public MainWindowHost {
 public:
  bool IsWindowVisible() const override { return true; }
  bool IsWindowEnabled() const override { return true; }
  void SetCaption(const std::string& c) override { caption = c; }
  bool NormalPlacement(WindowBounds& b) const override {
    b = {0, 0, 600, 400};
    return true;
  }
  int LeftPanelWidth() const override { return 200; }
  void SetLeftPanelWidth(int) override {}
  void SetToolbarVisible(bool) override {}
  void RepaintStatusBar() override {}
  void ShowWindow() override {}
  void SetWaitCursor(bool on) override { waitCursor += on ? 1 : -1; }
  std::string caption;
  int waitCursor = 0;
};

struct Recorder {
  std::vector<int> types;
  static void On(void* self, const Message& m) { static_cast<Recorder*>(self)->types.push_back(m.type); }
  int Count(int type) const { return static_cast<int>(std::count(types.begin(), types.end(), type)); }
};

constexpr int kByte = 0x3E0;  // first byte of the clone comment

// The editor's frame over the resources beside the binaries, its window
// built, with scripted boxes and file dialogs.
struct Doc {
  Doc() {
    SetTextStores(&mainText, &helpText);
    SetBus(&bus);
    settings.SetStopCheck([] { return true; });
    frame = std::make_unique<ModelFrame>(settings, dialogs, clock, test::BinDir().string() + "/");
    frame->SetFileDialogs(&files);
    frame->BuildWindow(window);
    bus.Subscribe(&Recorder::On, &rec);
  }
  ~Doc() {
    bus.Unsubscribe(&Recorder::On, &rec);
    frame.reset();
    SetBus(nullptr);
    SetTextStores(nullptr, nullptr);
  }
  // Changes the document as a cell edit does.
  void Edit(std::uint8_t value = 'Z') {
    frame->Current().SetByte(kByte, value);
    frame->CellActionDone();
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  std::string Title(const std::string& name) const { return name + " - TW-K208 Memory Editor"; }

  test::TempDir dir;
  test::FatalCatcher fatal;
  test::ScriptedDialogs dialogs;
  ScriptedFileDialogs files;
  ManualClock clock;
  MemorySettingsBackend store;
  AppSettings settings{store, ScreenSize{1280, 1024}};
  TextStore mainText, helpText;
  MessageBus bus{clock};
  Window window;
  std::unique_ptr<ModelFrame> frame;
  Recorder rec;
};

TEST(DocumentCommands, NewOnACleanDocumentAsksNothingAndAChangedOneAsks) {
  Doc d;
  d.frame->RunCommand(CL_Menu_File_New, 0, "");
  EXPECT_TRUE(d.dialogs.shown.empty());
  EXPECT_EQ(d.rec.Count(msg::kCommitEditors), 1) << "open editors commit first";
  EXPECT_EQ(d.rec.Count(msg::kPlanOptionsChanged), 1);

  // Changed; No: the template comes back without saving.
  d.Edit();
  EXPECT_TRUE(d.frame->Dirty());
  d.dialogs.answers = {MsgAnswer::No};
  d.frame->RunCommand(CL_Menu_File_New, 0, "");
  ASSERT_EQ(d.dialogs.shown.size(), 1u);
  EXPECT_EQ(d.dialogs.shown[0].text, "Save the changes to Untitled?");
  EXPECT_EQ(d.dialogs.shown[0].caption, "TW-K208 Memory Editor");
  EXPECT_EQ(d.dialogs.shown[0].icon, MsgIcon::Warning);
  EXPECT_EQ(d.dialogs.shown[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_TRUE(d.frame->Current().Equals(d.frame->Template()));
  EXPECT_FALSE(d.frame->Dirty());
  EXPECT_TRUE(d.files.asked.empty());
  EXPECT_EQ(d.window.caption, d.Title("Untitled"));
}

TEST(DocumentCommands, YesOnAnUntitledDocumentOffersUntitledAndCancellingKeepsIt) {
  Doc d;
  d.Edit();
  d.dialogs.answers = {MsgAnswer::Yes};
  d.files.answers = {""};  // the save dialog is cancelled
  d.frame->RunCommand(CL_Menu_File_New, 0, "");
  ASSERT_EQ(d.files.asked.size(), 1u);
  EXPECT_TRUE(d.files.asked[0].save);
  EXPECT_EQ(d.files.asked[0].request.initialName, "Untitled");
  EXPECT_EQ(d.files.asked[0].request.initialFolder, d.frame->LastFolder());
  EXPECT_EQ(d.files.asked[0].request.defaultExtension, "cln");
  EXPECT_EQ(d.frame->Current().GetByte(kByte), 'Z') << "New was cancelled";
  EXPECT_TRUE(d.frame->Dirty());
  // Cancel in the box: nothing happens either.
  d.dialogs.answers = {MsgAnswer::Cancel};
  EXPECT_FALSE(d.frame->ConfirmSave(false));
  EXPECT_EQ(d.files.asked.size(), 1u);
}

TEST(DocumentCommands, SaveAsNamesTheDocumentAndSaveThenWritesWithoutADialog) {
  Doc d;
  d.Edit('A');
  const std::string a = d.Path("a.cln");
  d.files.answers = {a};
  d.frame->RunCommand(CL_Menu_File_SaveAs, 0, "");
  EXPECT_EQ(d.frame->FileName(), a);
  EXPECT_EQ(d.window.caption, d.Title("a.cln"));
  EXPECT_FALSE(d.frame->Dirty());
  EXPECT_EQ(d.settings.recent.Entry(0), a);
  EXPECT_EQ(d.frame->LastFolder(), d.dir.path().string() + "/");
  EXPECT_EQ(d.frame->RecentFile(0), "a.cln") << "a file in the last folder shows its name";
  EXPECT_EQ(d.window.waitCursor, 0);

  d.Edit('B');
  d.frame->RunCommand(CL_Menu_File_Save, 0, "");
  EXPECT_EQ(d.files.asked.size(), 1u) << "Save writes to the file name";
  EXPECT_FALSE(d.frame->Dirty());
  EepromImage back;
  ASSERT_EQ(LoadCloneFile(a, EepromImage::kModelSize, back, nullptr), 0);
  EXPECT_EQ(back.GetByte(kByte), 'B');

  // Open it again as a fresh document: what was saved comes back.
  d.frame->RunCommand(CL_Menu_File_New, 0, "");
  EXPECT_NE(d.frame->Current().GetByte(kByte), 'B');
  d.files.answers = {a};
  d.frame->RunCommand(CL_Menu_File_Open, 0, "");
  EXPECT_EQ(d.frame->Current().GetByte(kByte), 'B');
  EXPECT_EQ(d.frame->FileName(), a);
  EXPECT_FALSE(d.frame->Dirty());
  EXPECT_TRUE(d.dialogs.shown.empty());
}

TEST(DocumentCommands, ReopeningTheOpenFileAsksForAnotherFileAndNeverWritesIt) {
  Doc d;
  const std::string a = d.Path("A.cln");
  d.files.answers = {a};
  ASSERT_FALSE(d.frame->SaveAsDialog());
  const std::string before = test::ReadFileBytes(a);
  d.Edit();
  d.dialogs.answers = {MsgAnswer::Yes};
  d.files.answers = {""};
  EXPECT_TRUE(d.frame->OpenFile(d.Path("a.CLN"))) << "same path in another case";
  ASSERT_EQ(d.dialogs.shown.size(), 1u);
  EXPECT_EQ(d.dialogs.shown[0].text, d.mainText.GetFirstLine("GI_Mess_Confirm_WriteAnother"));
  ASSERT_EQ(d.files.asked.size(), 2u);
  EXPECT_TRUE(d.files.asked[1].save) << "Yes goes to Save As";
  EXPECT_EQ(test::ReadFileBytes(a), before);
  EXPECT_EQ(d.frame->Current().GetByte(kByte), 'Z');
}

TEST(DocumentCommands, AFileThatCannotBeUsedLeavesTheDocumentAsItWas) {
  Doc d;
  const std::string a = d.Path("a.cln");
  d.files.answers = {a};
  ASSERT_FALSE(d.frame->SaveAsDialog());
  d.Edit();
  const struct {
    const char* name;
    const char* bytes;  // nullptr: no file
  } cases[] = {{"missing.cln", nullptr}, {"garbage.cln", "not a clone file\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.bytes) test::WriteFileBytes(d.dir / c.name, c.bytes);
    d.dialogs.shown.clear();
    d.dialogs.answers = {MsgAnswer::No};  // don't save the changes
    EXPECT_TRUE(d.frame->OpenFile(d.Path(c.name)));
    ASSERT_EQ(d.dialogs.shown.size(), 2u) << "the question, then the file's error";
    EXPECT_EQ(d.frame->FileName(), a);
    EXPECT_TRUE(d.frame->Dirty());
    EXPECT_EQ(d.frame->Current().GetByte(kByte), 'Z');
    EXPECT_EQ(d.settings.recent.Count(), 1);
    EXPECT_EQ(d.window.waitCursor, 0);
  }
}

TEST(DocumentCommands, RecentCommandOpensItsEntry) {
  Doc d;
  const std::string a = d.Path("a.cln"), b = d.Path("b.cln");
  d.Edit('A');
  d.files.answers = {a};
  ASSERT_FALSE(d.frame->SaveAsDialog());
  d.Edit('B');
  d.files.answers = {b};
  ASSERT_FALSE(d.frame->SaveAsDialog());
  EXPECT_EQ(d.settings.recent.Entry(0), b);
  EXPECT_EQ(d.settings.recent.Entry(1), a);
  d.frame->RunCommand(CL_Menu_File_Recent, 1, "");
  EXPECT_EQ(d.frame->FileName(), a);
  EXPECT_EQ(d.frame->Current().GetByte(kByte), 'A');
  EXPECT_EQ(d.settings.recent.Entry(0), a) << "opened files move to the top";
  // A position without an entry does nothing.
  d.frame->RunCommand(CL_Menu_File_Recent, 5, "");
  EXPECT_EQ(d.frame->FileName(), a);
}

TEST(DocumentCommands, CloseQueryFollowsTheAnswer) {
  Doc d;
  EXPECT_TRUE(d.frame->CloseQuery()) << "clean: no question";
  EXPECT_TRUE(d.dialogs.shown.empty());
  d.Edit();
  const int leftBefore = d.settings.left;
  d.dialogs.answers = {MsgAnswer::Cancel};
  EXPECT_FALSE(d.frame->CloseQuery());
  EXPECT_EQ(d.settings.left, leftBefore);
  // Yes on an untitled document whose save dialog is cancelled refuses too.
  d.dialogs.answers = {MsgAnswer::Yes};
  d.files.answers = {""};
  EXPECT_FALSE(d.frame->CloseQuery());
  d.dialogs.answers = {MsgAnswer::No};
  EXPECT_TRUE(d.frame->CloseQuery());
}

}  // namespace
}  // namespace twk
