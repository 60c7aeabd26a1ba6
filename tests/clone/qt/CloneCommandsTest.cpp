// The editor's clone commands against the radio simulator on its
// pseudo-terminal: a read fills the document (modified, untitled), a failed
// read shows the error box and leaves the document alone, a write sends the
// image, and the COM selection entry rules.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <memory>

#include "app/AppSettings.h"
#include "app/SettingsBackend.h"
#include "app/qt/EditorFrame.h"
#include "app/qt/QtTimerService.h"
#include "app/qt/TForm1.h"
#include "clone/SimProcess.h"
#include "clone/qt/CloneCommands.h"
#include "data/Labels.h"
#include "file/CloneOpen.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

using namespace twk;

namespace {

bool NeverStopped() { return false; }

class Answers : public Dialogs {
 public:
  MsgAnswer MessageBox(const std::string& text, const std::string&, MsgIcon icon,
                       MsgButtons buttons) override {
    texts.push_back(text);
    icons.push_back(icon);
    if (!answers.empty()) {
      const MsgAnswer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
  }
  std::deque<MsgAnswer> answers;
  std::vector<std::string> texts;
  std::vector<MsgIcon> icons;
};

struct Editor {
  Editor() {
    SetDefaultTimerService(&timers);
    SetTextStores(&mainText, &helpText);
    SetBus(&bus);
    settings.SetStopCheck(NeverStopped);
    settings.left = 10;
    settings.top = 10;
    settings.width = 800;
    settings.height = 600;
    frame = std::make_unique<EditorFrame>(settings, dialogs, timers);
    window = std::make_unique<TForm1>(*frame, settings);
    frame->Clone().Control().SetTracing(false);
  }
  ~Editor() {
    window.reset();
    frame.reset();
    SetBus(nullptr);
    SetTextStores(nullptr, nullptr);
    SetDefaultTimerService(nullptr);
  }
  void Run(int label) { frame->RunCommand(label, 0, ""); }

  QtTimerService timers;
  TextStore mainText, helpText;
  MessageBus bus;
  MemorySettingsBackend store;
  AppSettings settings{store, ScreenSize{1280, 1024}};
  Answers dialogs;
  std::unique_ptr<EditorFrame> frame;
  std::unique_ptr<TForm1> window;
};

}  // namespace

class CloneCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void readFillsTheDocumentAndMarksItModified() {
    QTemporaryDir dir;
    Editor e;
    // The radio holds the template with one changed byte.
    EepromImage radio(e.frame->Current().Size());
    radio.Assign(e.frame->Current());
    const int address = 0x3E0;
    radio.SetByte(address, radio.GetByte(address) ^ 0x01);
    const std::string in = (dir.path() + "/radio.cln").toStdString();
    QCOMPARE(WriteCloneFile(in, radio, &e.dialogs), 0);
    test::SimProcess sim({"--in", in});
    QVERIFY(sim.Ok());
    e.frame->Clone().SetDevicePath(sim.Path());
    e.frame->SetFileName((dir.path() + "/doc.cln").toStdString());
    QVERIFY(!e.frame->Dirty());
    e.Run(CL_Menu_Clone_Read);
    QVERIFY(!e.window->isEnabled());  // disabled from the identification on
    QTRY_VERIFY_WITH_TIMEOUT(e.frame->Dirty() || !e.dialogs.texts.empty(), 15000);
    QVERIFY2(e.dialogs.texts.empty(), e.dialogs.texts.empty() ? "" : e.dialogs.texts[0].c_str());
    QCOMPARE(int(e.frame->Current().GetByte(address)), int(radio.GetByte(address)));
    QVERIFY(e.frame->IsUntitled());
    QVERIFY(e.window->isEnabled());
    QVERIFY(e.frame->Clone().ProgressWindow() == nullptr);
  }

  void failedReadShowsTheErrorAndLeavesTheDocument() {
    Editor e;
    test::SimProcess sim({"--no-answer"});
    QVERIFY(sim.Ok());
    e.frame->Clone().SetDevicePath(sim.Path());
    EepromImage before(e.frame->Current().Size());
    before.Assign(e.frame->Current());
    e.Run(CL_Menu_Clone_Read);
    QTRY_VERIFY_WITH_TIMEOUT(!e.dialogs.texts.empty(), 15000);
    QCOMPARE(e.dialogs.texts.size(), std::size_t(1));
    QVERIFY(e.dialogs.icons[0] == MsgIcon::Error);
    QVERIFY(e.dialogs.texts[0].find(MainText().GetLine("GI_Mess_CloneErr_Check", 0)) !=
            std::string::npos);
    QVERIFY(e.frame->Current().Equals(before));
    QVERIFY(!e.frame->Dirty());
    QVERIFY(e.window->isEnabled());
  }

  void writeSendsTheImage() {
    QTemporaryDir dir;
    Editor e;
    const std::string out = (dir.path() + "/written.cln").toStdString();
    test::SimProcess sim({"--out", out});
    QVERIFY(sim.Ok());
    e.frame->Clone().SetDevicePath(sim.Path());
    const int address = 0x3E0;
    e.frame->Current().SetByte(address, e.frame->Current().GetByte(address) ^ 0x01);
    e.frame->CellActionDone();
    QVERIFY(e.frame->Dirty());
    // Cancel at the confirmation: nothing is sent.
    e.dialogs.answers = {MsgAnswer::Cancel};
    e.Run(CL_Menu_Clone_Write);
    QCOMPARE(e.dialogs.texts.size(), std::size_t(1));
    QVERIFY(!e.frame->Clone().Control().Busy());
    e.dialogs.answers = {MsgAnswer::Ok};
    e.Run(CL_Menu_Clone_Write);
    const std::string done = MainText().GetSectionText("GI_Mess_CloneWrite_Succeeded");
    QTRY_VERIFY_WITH_TIMEOUT(e.dialogs.texts.size() >= 3, 15000);
    QCOMPARE(e.dialogs.texts.back(), done);
    QVERIFY(e.frame->Dirty());  // a write keeps the modified state
    // The simulator saves what it received after the write.
    EepromImage written;
    QTRY_VERIFY_WITH_TIMEOUT(
        LoadCloneFile(out, e.frame->Current().Size(), written, nullptr) == 0, 5000);
    for (int a = 0; a <= 0xFEB; ++a)
      QCOMPARE(int(written.GetByte(a)), int(e.frame->Current().GetByte(a)));
  }

  // An image with a data error (the INT P channel on a slot not in use) is
  // refused with the data error text before anything is sent.
  void writeRefusesAnImageWithAnError() {
    QTemporaryDir dir;
    Editor e;
    const std::string out = (dir.path() + "/written.cln").toStdString();
    test::SimProcess sim({"--out", out});
    QVERIFY(sim.Ok());
    e.frame->Clone().SetDevicePath(sim.Path());
    e.frame->Current().SetWord(0x412, 0);  // INT P channel: slot 0, not in use
    e.frame->CellActionDone();
    e.dialogs.answers = {MsgAnswer::Ok, MsgAnswer::Ok};
    e.Run(CL_Menu_Clone_Write);
    QCOMPARE(e.dialogs.texts.size(), std::size_t(1));
    QCOMPARE(e.dialogs.texts[0], MainText().GetSectionText("GI_Mess_DataError"));
    QVERIFY(!e.frame->Clone().Control().Busy());
    QVERIFY(e.window->isEnabled());
    QTest::qWait(300);
    QVERIFY(!QFile::exists(QString::fromStdString(out)));
  }

  void infoOpensTheSheetDialogUntilClosed() {
    Editor e;
    test::SimProcess sim({});
    QVERIFY(sim.Ok());
    e.frame->Clone().SetDevicePath(sim.Path());
    e.Run(CL_Menu_Clone_Info);
    QTRY_VERIFY_WITH_TIMEOUT(e.frame->Clone().InfoDialog() != nullptr || !e.dialogs.texts.empty(),
                             15000);
    QVERIFY(e.dialogs.texts.empty());
    QVERIFY(e.frame->Clone().Info().valid);
    QCOMPARE(e.frame->Clone().Info().block.size(), std::size_t(kIdBlockKept));
    QCOMPARE(e.frame->CloneInfoModel(), int(e.frame->Clone().Info().block[21]));
    QCOMPARE(e.frame->CloneInfoRevision(), int(e.frame->Clone().Info().block[1]));
    QVERIFY(!e.window->isEnabled());  // the dialog owns the window while it is up
    auto* ok = e.frame->Clone().InfoDialog()->findChild<QPushButton*>("CloneInfoOk");
    QVERIFY(ok);
    ok->click();
    QTRY_VERIFY(e.frame->Clone().InfoDialog() == nullptr);
    QVERIFY(e.window->isEnabled());
  }

  void comEntries() {
    struct Case {
      const char* text;
      bool ok;
      int port;
      const char* path;
    } cases[] = {{" 12 ", true, 12, ""}, {"1", true, 1, ""},     {"256", true, 256, ""},
                 {"0", false, 0, ""},    {"257", false, 0, ""},  {"-3", false, 0, ""},
                 {"abc", false, 0, ""},  {"7x", true, 7, ""},    {" /dev/pts/3 ", true, 0, "/dev/pts/3"}};
    for (const Case& c : cases) {
      int port = -1;
      std::string path;
      QCOMPARE(ParseComEntry(c.text, &port, &path), c.ok);
      if (c.ok) {
        QCOMPARE(port, c.port);
        QCOMPARE(path, std::string(c.path));
      }
    }
    // Out of range: the message, the dialog stays open, the port unchanged.
    Editor e;
    ComSelectDialog dlg(3, "", e.dialogs, e.window.get());
    dlg.Edit()->setText("257");
    QVERIFY(!dlg.TryAccept());
    QCOMPARE(e.dialogs.texts.size(), std::size_t(1));
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    dlg.Edit()->setText(" 12 ");
    QVERIFY(dlg.TryAccept());
    QCOMPARE(dlg.Port(), 12);
  }

  void progressCells() {
    QCOMPARE(CloneProgressBar::FilledCells(2048, 4096), 16);
    QCOMPARE(CloneProgressBar::FilledCells(0, 0), 0);
    QCOMPARE(CloneProgressBar::FilledCells(4096, 4096), 33);
  }
};

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
  qputenv("XDG_CACHE_HOME", home.path().toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  CloneCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "CloneCommandsTest.moc"
