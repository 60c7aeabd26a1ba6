// The editor's main window with its parts built from the shipped resources,
// on the offscreen platform: the main menu and the toolbar with their
// states and commands, the navigation tree opening sheets, the tree
// adjustment and warning marks, the sheet history, and a save / open round
// trip through the menu commands with scripted file names.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMainWindow>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <deque>
#include <memory>

#include "app/AppSettings.h"
#include "app/FileDialogs.h"
#include "app/SettingsBackend.h"
#include "app/qt/AppImages.h"
#include "app/qt/EditorFrame.h"
#include "app/qt/QtFileDialogs.h"
#include "app/qt/QtTimerService.h"
#include "app/qt/TForm1.h"
#include "clone/cmcTask.h"
#include "data/Validation.h"
#include "file/CloneOpen.h"
#include "sheet/CellAccess.h"
#include "sheet/MessageBus.h"
#include "sheet/Sheet.h"
#include "sheet/qt/cuiGrid.h"
#include "text/TextStore.h"

using namespace twk;

namespace {

bool NeverStopped() { return false; }

// Boxes answered from a script (empty: the default, No for questions).
class Answers : public Dialogs {
 public:
  MsgAnswer MessageBox(const std::string& text, const std::string&, MsgIcon,
                       MsgButtons buttons) override {
    texts.push_back(text);
    if (!answers.empty()) {
      const MsgAnswer a = answers.front();
      answers.pop_front();
      return a;
    }
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
  }
  std::deque<MsgAnswer> answers;
  std::vector<std::string> texts;
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
    frame->SetFileDialogs(&files);
    window = std::make_unique<TForm1>(*frame, settings);
  }
  ~Editor() {
    window.reset();
    frame.reset();
    SetBus(nullptr);
    SetTextStores(nullptr, nullptr);
    SetDefaultTimerService(nullptr);
  }
  // The top-level menu with this title (the '&' removed).
  QMenu* TopMenu(const QString& title) const {
    for (QAction* a : window->menuBar()->actions())
      if (a->menu() && a->text().remove('&') == title) return a->menu();
    return nullptr;
  }
  static QAction* Item(QMenu* menu, const QString& text) {
    if (!menu) return nullptr;
    for (QAction* a : menu->actions())
      if (a->text().remove('&').section('\t', 0, 0) == text) return a;
    return nullptr;
  }
  QTreeWidgetItem* Node(const QString& text) const {
    for (QTreeWidgetItem* n : frame->Tree()->AllNodes())
      if (n->text(0) == text) return n;
    return nullptr;
  }
  QStringList NodeTexts() const {
    QStringList out;
    for (QTreeWidgetItem* n : frame->Tree()->AllNodes()) out << n->text(0);
    return out;
  }
  // Selects a tree node as a click does and waits for its sheet.
  bool OpenByTree(const QString& text, const std::string& address) {
    QTreeWidgetItem* n = Node(text);
    if (!n) return false;
    frame->Tree()->setCurrentItem(n);
    return QTest::qWaitFor([&] { return frame->OpenSheetAddress() == address; }, 3000);
  }

  QtTimerService timers;
  Answers dialogs;
  ScriptedFileDialogs files;
  MemorySettingsBackend store;
  AppSettings settings{store, ScreenSize{1280, 1024}};
  TextStore mainText, helpText;
  MessageBus bus{timers};
  std::unique_ptr<EditorFrame> frame;
  std::unique_ptr<TForm1> window;
};

}  // namespace

// A value typed into a cell and committed, as the grid hands it over.
void Commit(int category, int label, int index, const std::string& text) {
  CellDescriptor cell;
  cell.category = category;
  cell.label = label;
  cell.index = index;
  CellAccessContext ctx;
  ctx.cell = &cell;
  ctx.inputKind = kInputCommitted;
  ctx.inputText = text;
  StandardLabelHandler()(ctx, kModeAction);
}

class EditorWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void menusAreBuiltWithTheirItemsAndStates() {
    Editor e;
    QStringList titles;
    for (QAction* a : e.window->menuBar()->actions()) titles << a->text().remove('&');
    QCOMPARE(titles, QStringList({"File", "Edit", "View", "Port", "Clone", "Help"}));
    QMenu* file = e.TopMenu("File");
    QAction* open = Editor::Item(file, "Open...");
    QVERIFY(open);
    QCOMPARE(open->shortcut(), QKeySequence("Ctrl+O"));
    // An empty recent list shows one disabled item.
    int recentShown = 0;
    for (QAction* a : file->actions()) {
      if (a->text().contains(QRegularExpression("^&\\d+ ")) && a->isVisible()) {
        ++recentShown;
        QVERIFY(!a->isEnabled());
      }
    }
    QCOMPARE(recentShown, 1);
    // Check marks from the settings.
    QMenu* view = e.TopMenu("View");
    QVERIFY(Editor::Item(view, "Toolbar")->isChecked());
    QMenu* sizes = Editor::Item(view, "Font size")->menu();
    QVERIFY(sizes);
    QVERIFY(Editor::Item(sizes, "100 %")->isChecked());
    QVERIFY(!Editor::Item(sizes, "150 %")->isChecked());
    QMenu* port = e.TopMenu("Port");
    QVERIFY(Editor::Item(port, "COM1")->isChecked());
    QVERIFY(!Editor::Item(port, "COM2")->isChecked());
    // The empty Edit menu holds the disabled "no item" entry.
    QMenu* edit = e.TopMenu("Edit");
    QAction* none = Editor::Item(edit, "(no item)");
    QVERIFY(none);
    QVERIFY(!none->isEnabled());
  }

  void menuAndToolbarClicksRunTheirCommands() {
    Editor e;
    QMenu* port = e.TopMenu("Port");
    Editor::Item(port, "COM3")->trigger();
    QCOMPARE(e.settings.comPort, 3);
    QVERIFY(Editor::Item(port, "COM3")->isChecked());
    QVERIFY(!Editor::Item(port, "COM1")->isChecked());
    // The toolbar follows (message 2 -> 20).
    const MainToolBar* bar = e.frame->Toolbar();
    QAction* com3 = nullptr;
    QAction* com2 = nullptr;
    for (const MainToolBar::Button& b : bar->Buttons()) {
      if (b.action && b.action->toolTip() == "COM3") com3 = b.action;
      if (b.action && b.action->toolTip() == "COM2") com2 = b.action;
    }
    QVERIFY(com3 && com2);
    QVERIFY(com3->isChecked());
    com2->trigger();
    QCOMPARE(e.settings.comPort, 2);
    QVERIFY(com2->isChecked());
    QVERIFY(!com3->isChecked());
    e.frame->Menu()->Refresh();
    QVERIFY(Editor::Item(port, "COM2")->isChecked());

    // View Toolbar hides every row of the toolbar and clears its mark.
    QMenu* view = e.TopMenu("View");
    Editor::Item(view, "Toolbar")->trigger();
    QCOMPARE(e.settings.toolbarVisible, 0);
    QVERIFY(!e.window->MainToolBar()->isVisible());
    QVERIFY(!Editor::Item(view, "Toolbar")->isChecked());
    // Font size: the setting, the mark, and the sheet reopened at the size.
    QVERIFY(e.OpenByTree("INT channels", "GI_Sheet_IntCh"));
    Editor::Item(Editor::Item(view, "Font size")->menu(), "150 %")->trigger();
    QCOMPARE(e.settings.fontSizePercentage, 150);
    QVERIFY(Editor::Item(Editor::Item(view, "Font size")->menu(), "150 %")->isChecked());
    QVERIFY(QTest::qWaitFor([&] { return e.frame->HasOpenSheet(); }, 3000));
    QCOMPARE(e.frame->OpenSheetAddress(), std::string("GI_Sheet_IntCh"));
  }

  void editMenuMirrorsTheFocusedGridsPopupItems() {
    Editor e;
    e.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(e.window.get()));
    QVERIFY(e.OpenByTree("INT channels", "GI_Sheet_IntCh"));
    e.frame->Sheets()->FocusGrid();
    QMenu* edit = e.TopMenu("Edit");
    QVERIFY(QTest::qWaitFor([&] { return Editor::Item(edit, "Copy rows") != nullptr; }, 3000));
    QAction* copy = Editor::Item(edit, "Copy rows");
    // The grid's keys are shown, not taken from it.
    QVERIFY(copy->text().contains('\t'));
    QVERIFY(copy->shortcut().isEmpty());
    QAction* none = Editor::Item(edit, "(no item)");
    QVERIFY(!none || !none->isVisible());
    // The sheet goes: so do its items, and the empty entry is back.
    e.frame->CloseCurrentSheet();
    e.frame->Menu()->Refresh();
    QVERIFY(!Editor::Item(edit, "Copy rows"));
    QVERIFY(Editor::Item(edit, "(no item)"));
    QVERIFY(Editor::Item(edit, "(no item)")->isVisible());
  }

  void toolbarIsBuiltFromItsBody() {
    Editor e;
    const MainToolBar* bar = e.frame->Toolbar();
    QStringList hints;
    int gaps = 0;
    for (const MainToolBar::Button& b : bar->Buttons()) {
      if (b.action) {
        hints << b.action->toolTip();
        QVERIFY(!b.action->icon().isNull());
      } else {
        QCOMPARE(b.gapWidth, 8);
        ++gaps;
      }
    }
    QCOMPARE(hints, QStringList({"New", "Open", "Save", "COM1", "COM2", "COM3", "COM4",
                                 "Clone Read", "Clone Write", "Clone Info"}));
    QCOMPARE(gaps, 2);
    QCOMPARE(bar->Rows().size(), std::size_t(1));
  }

  void fileDialogFiltersInQtForm_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expect");
    QTest::newRow("described") << "Clone files (*.cln)|*.cln|All files (*)|*"
                               << "Clone files (*.cln);;All files (*)";
    QTest::newRow("bare description") << "Text|*.txt;*.csv" << "Text (*.txt *.csv)";
    QTest::newRow("empty") << "" << "";
  }
  void fileDialogFiltersInQtForm() {
    QFETCH(QString, filter);
    QFETCH(QString, expect);
    QCOMPARE(QtFileDialogs::QtFilter(filter.toStdString()), expect);
  }

  void sheetAddressesGiveTheirKey_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("key");
    QTest::newRow("plain") << "GI_Sheet_IntCh" << "GI_Sheet_IntCh";
    QTest::newRow("prefix") << "[P]GI_Sheet_IntCh" << "GI_Sheet_IntCh";
    QTest::newRow("argument") << "GI_Sheet_DscCall,2" << "GI_Sheet_DscCall";
    QTest::newRow("both") << "[P]GI_Sheet_DscCall,2" << "GI_Sheet_DscCall";
  }
  void sheetAddressesGiveTheirKey() {
    QFETCH(QString, address);
    QFETCH(QString, key);
    QCOMPARE(QString::fromStdString(EditorFrame::KeyOfAddress(address.toStdString())), key);
  }

  void toolbarGapsAndRowBreaks() {
    QMainWindow window;
    QToolBar* first = window.addToolBar("Main");
    TextStore store;
    store.SetLines({"#T_BasicCell", "{(%CT_Null.)}", "#T_Body",
                    "New\t{(ImageIndex=0)(%CT_Null.CL_Menu_File_New)}", "-",
                    "Open\t{(ImageIndex=1)(%CT_Null.CL_Menu_File_Open)}", "/",
                    "Read\t{(ImageIndex=7)(%CT_Null.CL_Menu_Clone_Read)}", "#End_Of_Ovl"});
    MessageBus bus;
    const QtImageList images = MakeToolbarImages();
    MainToolBar bar(&window, first, &images, store, "T", bus);
    bar.Build();
    QCOMPARE(bar.Rows().size(), std::size_t(2));
    const std::vector<MainToolBar::Button>& b = bar.Buttons();
    QCOMPARE(b.size(), std::size_t(4));
    QCOMPARE(b[0].action->toolTip(), QString("New"));
    QCOMPARE(b[1].gapWidth, 8);
    QCOMPARE(b[2].action->toolTip(), QString("Open"));
    QCOMPARE(b[3].action->toolTip(), QString("Read"));
    QCOMPARE(b[0].row, first);
    QCOMPARE(b[2].row, first);
    QCOMPARE(b[3].row, bar.Rows()[1]);
    QCOMPARE(window.toolBarBreak(bar.Rows()[1]), true);
    bar.SetVisible(false);
    QVERIFY(bar.Rows()[1]->isHidden());
  }

  void treeNodesNestByIndentation() {
    TextStore store;
    store.SetLines({"#T_BasicCell", "{(%CallSheet)}", "#T_Body", "  +A {(%CallSheet:S1)}",
                    "    +B {(%CallSheet:S2)}", "  +C {(%CallSheet:S1)}", "#End_Of_Ovl"});
    const QtImageList images = MakeTreeImages();
    NavigationTree tree(nullptr, store, "T", &images);
    tree.Build();
    QCOMPARE(tree.topLevelItemCount(), 2);
    QCOMPARE(tree.topLevelItem(0)->text(0), QString("A"));
    QCOMPARE(tree.topLevelItem(0)->childCount(), 1);
    QCOMPARE(tree.topLevelItem(0)->child(0)->text(0), QString("B"));
    QCOMPARE(tree.topLevelItem(1)->text(0), QString("C"));
    // Two nodes with one address: the upper one is found.
    QCOMPARE(tree.FindNode("S1"), tree.topLevelItem(0));
    QVERIFY(tree.FindNode("S9") == nullptr);
    // A mark inside a collapsed parent marks the parent; expanded, only the node.
    tree.topLevelItem(0)->setExpanded(false);
    int errors = 0, warnings = 0;
    MarkTree(tree, {}, {"S2"}, &errors, &warnings);
    QCOMPARE(warnings, 1);
    QCOMPARE(tree.OverlayOf(tree.topLevelItem(0)), kOverlayWarning);
    QCOMPARE(tree.OverlayOf(tree.topLevelItem(0)->child(0)), kOverlayWarning);
    tree.topLevelItem(0)->setExpanded(true);
    MarkTree(tree, {}, {"S2"}, &errors, &warnings);
    QCOMPARE(tree.OverlayOf(tree.topLevelItem(0)), kOverlayNone);
    QCOMPARE(tree.OverlayOf(tree.topLevelItem(0)->child(0)), kOverlayWarning);
  }

  void treeIsBuiltAndAClickOpensTheSheet() {
    Editor e;
    NavigationTree* tree = e.frame->Tree();
    QVERIFY(tree);
    QVERIFY(tree->isVisible());
    QCOMPARE(tree->topLevelItem(0)->text(0), QString("Radio TW-K208"));
    QVERIFY(tree->topLevelItem(0)->isExpanded());
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));  // the first node is selected
    QVERIFY2(!e.Node("Maker adjustment"), "no maker node while maker mode is off");
    QCOMPARE(tree->ChangeDelay(), 300);

    QVERIFY(e.OpenByTree("INT channels", "GI_Sheet_IntCh"));
    QVERIFY(e.frame->Sheets()->IsOpen());
    QCOMPARE(e.frame->Sheets()->CurrentSheet()->Key(), std::string("GI_Sheet_IntCh"));
    QVERIFY(e.frame->Sheets()->isVisible());
    QVERIFY(e.OpenByTree("DSC directory", "GI_Sheet_DscIndId"));
    QCOMPARE(e.frame->Sheets()->CurrentSheet()->Key(), std::string("GI_Sheet_DscIndId"));
    // A folder node without a sheet leaves the open sheet.
    tree->setCurrentItem(e.Node("DSC"));
    QTest::qWait(500);
    QCOMPARE(e.frame->OpenSheetAddress(), std::string("GI_Sheet_DscIndId"));
    // Print current follows the open sheet.
    QVERIFY(e.frame->CanPrintCurrent());
  }

  void leavingASheetAndComingBackKeepsTheRow() {
    Editor e;
    QVERIFY(e.OpenByTree("INT channels", "GI_Sheet_IntCh"));
    cuiGrid* grid = e.frame->Sheets()->Grid();
    QVERIFY(grid);
    const SheetPosition start = e.frame->Sheets()->Position();
    grid->FocusTo(start.col, 40, true);
    QCOMPARE(e.frame->Sheets()->Position().row, 40);
    QVERIFY(e.OpenByTree("User channels", "GI_Sheet_FreeCh"));
    QVERIFY(e.OpenByTree("DSC directory", "GI_Sheet_DscIndId"));
    QVERIFY(e.OpenByTree("INT channels", "GI_Sheet_IntCh"));
    QCOMPARE(e.frame->Sheets()->Position().row, 40);
    QCOMPARE(e.frame->SheetHistory().front().sheet, std::string("GI_Sheet_DscIndId"));
  }

  void treeFollowsThePlanOptions() {
    Editor e;
    EepromImage& image = e.frame->Current();
    image.SetByte(0x418, 0);
    e.bus.Send(msg::kPlanOptionsChanged, 0, 0);
    QVERIFY(!e.Node("USA channels") && !e.Node("CANADA channels") && !e.Node("Weather channels"));
    image.SetByte(0x418, 7);
    e.bus.Send(msg::kPlanOptionsChanged, 0, 0);
    const QStringList nodes = e.NodeTexts();
    const int i = nodes.indexOf("INT channels");
    QVERIFY(i >= 0);
    QCOMPARE(nodes.mid(i, 4),
             QStringList({"INT channels", "USA channels", "CANADA channels", "Weather channels"}));
    // Only USA (bit 0): the other two go, USA stays after INT.
    image.SetByte(0x418, 1);
    e.bus.Send(msg::kPlanOptionsChanged, 0, 0);
    QCOMPARE(e.NodeTexts().mid(i, 3),
             QStringList({"INT channels", "USA channels", "User channels"}));
  }

  void warningMarksFollowTheCheckList() {
    Editor e;
    int errors = -1, warnings = -1;
    e.frame->RefreshWarnings(&errors, &warnings);
    QCOMPARE(errors, 0);  // the initial image is clean
    QCOMPARE(warnings, 0);
    // The same ID twice (a warning) and an ID without a name (an error) on
    // the DSC directory, as typed into its cells.
    for (int row : {2, 5}) {
      Commit(CT_DscIndId, CL_DscIndId_Id, row, "316000001");
      Commit(CT_DscIndId, CL_DscIndId_Comment, row, "TUG");
    }
    Commit(CT_DscIndId, CL_DscIndId_Id, 1, "316000002");
    e.frame->RefreshWarnings(&errors, &warnings);
    QTreeWidgetItem* directory = e.Node("DSC directory");
    QTreeWidgetItem* folder = e.Node("DSC");
    QCOMPARE(e.frame->Tree()->OverlayOf(directory), kOverlayError);  // the error wins
    QVERIFY(!folder->isExpanded());
    QCOMPARE(e.frame->Tree()->OverlayOf(folder), kOverlayError);  // shows its hidden child
    QCOMPARE(errors, 1);
    QCOMPARE(warnings, 0);  // a sheet with an error is listed as an error only
    // Expanding refreshes the marks: the open folder has none of its own.
    folder->setExpanded(true);
    QCOMPARE(e.frame->Tree()->OverlayOf(folder), kOverlayNone);
    QCOMPARE(e.frame->Tree()->OverlayOf(directory), kOverlayError);
    e.frame->RefreshWarnings(&errors, &warnings);
    // Every node whose sheet the check list reports carries its mark.
    int expectErrors = 0, expectWarnings = 0;
    for (const CheckResult& r : EvaluateCheckList(e.frame.get())) {
      QTreeWidgetItem* node = e.frame->Tree()->FindNode(r.address);
      if (!node) continue;
      const int overlay = e.frame->Tree()->OverlayOf(node);
      if (r.marks & 0x08) {
        ++expectErrors;
        QCOMPARE(overlay, kOverlayError);
      } else if (r.marks & 0x04) {
        ++expectWarnings;
        QCOMPARE(overlay, kOverlayWarning);
      } else {
        QCOMPARE(overlay, kOverlayNone);
      }
    }
    QCOMPARE(errors, expectErrors);
    QCOMPARE(warnings, expectWarnings);
  }

  void saveAndOpenThroughTheMenu() {
    Editor e;
    QTemporaryDir dir;
    const std::string path = dir.filePath("round.cln").toStdString();
    const std::uint8_t before = e.frame->Current().GetByte(0x3E0);
    e.frame->Current().SetByte(0x3E0, 'Q');
    e.frame->CellActionDone();
    QVERIFY(e.frame->Dirty());
    QMenu* file = e.TopMenu("File");
    e.files.answers = {path};
    Editor::Item(file, "Save As...")->trigger();
    QCOMPARE(e.window->windowTitle(), QString("round.cln - TW-K208 Memory Editor"));
    QVERIFY(!e.frame->Dirty());
    // The recent item shows the file.
    e.frame->Menu()->Refresh();
    QAction* recent = nullptr;
    for (QAction* a : file->actions())
      if (a->text() == "&1 round.cln") recent = a;
    QVERIFY(recent);
    QVERIFY(recent->isEnabled());

    Editor::Item(file, "New")->trigger();
    QCOMPARE(e.frame->Current().GetByte(0x3E0), before);
    QCOMPARE(e.window->windowTitle(), QString("Untitled - TW-K208 Memory Editor"));
    e.frame->Menu()->Refresh();
    recent->trigger();
    QCOMPARE(e.frame->Current().GetByte(0x3E0), std::uint8_t('Q'));
    QCOMPARE(e.frame->FileName(), path);
    QVERIFY(e.dialogs.texts.empty());

    // A changed document and Cancel keep the window open.
    e.frame->Current().SetByte(0x3E0, 'R');
    e.frame->CellActionDone();
    e.dialogs.answers = {MsgAnswer::Cancel};
    QVERIFY(!e.window->close());
    QVERIFY(e.window->isVisible());
    QCOMPARE(e.dialogs.texts.size(), std::size_t(1));
    // File Exit closes the window as its close box does (No: without saving).
    e.dialogs.answers = {MsgAnswer::No};
    Editor::Item(file, "Exit")->trigger();
    QCOMPARE(e.dialogs.texts.size(), std::size_t(2));
    QVERIFY(!e.window->isVisible());
    QVERIFY(e.frame->Window() == nullptr);
    QVERIFY(e.frame->Task()->Stopped());
  }
};

int main(int argc, char** argv) {
  // Settings, caches and runtime files of this run stay in a temporary folder.
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
  qputenv("XDG_CACHE_HOME", home.path().toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  EditorWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "EditorWindowTest.moc"
