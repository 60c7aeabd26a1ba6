// The sheet grid on the offscreen platform: the INT channel list of the
// initial image shown in a SheetView, driven with keys and the mouse as a
// user would, with the effects checked in the image and through the label
// handler.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QElapsedTimer>
#include <cstdlib>
#include <functional>
#include <memory>

#include "app/AppSettings.h"
#include "app/SettingsBackend.h"
#include "app/qt/QtTimerService.h"
#include "data/Codecs.h"
#include "data/DocumentHooks.h"
#include "data/EepromImage.h"
#include "data/IndexedSelectionLists.h"
#include "data/LabelHandler.h"
#include "data/Normalize.h"
#include "data/RowOperation.h"
#include "file/CloneOpen.h"
#include "sheet/CellMarkup.h"
#include "sheet/ColumnWidths.h"
#include "sheet/MessageBus.h"
#include "sheet/Sheet.h"
#include "sheet/qt/QtCanvas.h"
#include "sheet/qt/SelectionPopup.h"
#include "sheet/qt/SheetView.h"
#include "sheet/qt/cuiGrid.h"
#include "text/TextStore.h"

using namespace twk;

namespace {

constexpr const char* kIntSheet = "GI_Sheet_IntCh";
// Columns of the INT channel list; row 0 is the header, row 1 + n slot n.
constexpr int kColTag = 2;
constexpr int kColName = 6;

class Hooks : public DocumentHooks {
 public:
  EepromImage image;
  int actions = 0;
  EepromImage& CurrentImage() override { return image; }
  void RestartSettleDeadline() override { ++actions; }
};

// The process-wide objects a sheet needs: resources, selection lists, the
// standard label handler over the initial image, the bus and the settings.
struct Env {
  Env() {
    SetDefaultTimerService(&timers);
    mainText.SetFile(std::string(TWK208_BIN_DIR) + "/TWK208.OVL");
    helpText.SetFile(std::string(TWK208_BIN_DIR) + "/TWK208H.OVL");
    SetTextStores(&mainText, &helpText);
    previousLists = codec::SetSelectionLists(&lists);
    SetBus(&bus);
    SetSettings(&settings);
    InstallStandardLabelHandler();
    hooks.image.Resize(EepromImage::kModelSize);
    const int rc = LoadCloneFile(std::string(TWK208_BIN_DIR) + "/TWK208_Initial.cln",
                                 EepromImage::kModelSize, hooks.image, nullptr);
    loaded = rc == 0;
    NormalizeImage(hooks.image, EepromImage(hooks.image), 0);
    initial.Assign(hooks.image);
    previousHooks = SetDocumentHooks(&hooks);
  }
  ~Env() {
    SetDocumentHooks(previousHooks);
    SetSettings(nullptr);
    SetBus(nullptr);
    codec::SetSelectionLists(previousLists);
    SetTextStores(nullptr, nullptr);
    SetDefaultTimerService(nullptr);
  }
  QtTimerService timers;
  TextStore mainText, helpText;
  IndexedSelectionLists lists{&mainText};
  codec::SelectionLists* previousLists = nullptr;
  MessageBus bus{timers};
  MemorySettingsBackend store;
  AppSettings settings{store, ScreenSize{1280, 1024}};
  Hooks hooks;
  DocumentHooks* previousHooks = nullptr;
  EepromImage initial;
  bool loaded = false;
};

// A label handler that records what reaches it and answers as told.
struct Recorder {
  std::vector<int> keys;
  std::vector<int> commands;
  std::vector<std::string> texts;
  std::vector<qint64> times;
  QElapsedTimer clock;
  int repeatUntil = 0;  // calls that ask for a repeat
  bool jump = false;
  int result = 0;
  std::function<void()> duringAction;  // run inside the action call
  int labelAfter = -1;                 // the cell's label read after it

  static int Handle(void* object, CellAccessContext& ctx, int mode) {
    auto* r = static_cast<Recorder*>(object);
    if (mode == kModeDisplay) {
      ctx.outputText = "x";
      return 0;
    }
    if (r->duringAction) {
      auto fn = std::move(r->duringAction);
      r->duringAction = nullptr;
      fn();
      r->labelAfter = ctx.cell->label;  // the cell still exists
    }
    r->keys.push_back(ctx.key);
    r->commands.push_back(ctx.command);
    r->texts.push_back(ctx.inputKind == kInputCommitted ? ctx.inputText : std::string());
    r->times.push_back(r->clock.elapsed());
    if (static_cast<int>(r->keys.size()) <= r->repeatUntil) ctx.repeatKey = 'r';
    if (r->jump) {
      ctx.jumpRequest = true;
      ctx.jumpCategory = CT_IntCh;
      ctx.jumpLabel = CL_ChList_Comment;
      ctx.jumpIndex = 5;
    }
    if (r->result == kActionOpenEditor) {
      ctx.outputText = "hello";
      ctx.selStart = 1;
      ctx.selLength = 2;
    }
    return r->result;
  }
};

// Collects the regions painted on a widget.
class PaintSpy : public QObject {
 public:
  explicit PaintSpy(QWidget* w) { w->installEventFilter(this); }
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
    return false;
  }
};

std::string Trim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(s.begin());
  return s;
}

}  // namespace

class SheetViewTest : public QObject {
  Q_OBJECT

  std::unique_ptr<Env> env_;
  std::unique_ptr<QWidget> window_;
  SheetView* view_ = nullptr;
  QLineEdit* next_ = nullptr;

  cuiGrid* Grid() const { return view_->Grid(); }
  Sheet& TheSheet() const { return *view_->CurrentSheet(); }
  std::string Shown(int col, int row) {
    return Trim(Grid()->DisplayTextOf(TheSheet().CellAt(col, row), 0));
  }
  void Goto(int col, int row) {
    Grid()->FocusTo(col, row, true);
    QCOMPARE(Grid()->Model().Col(), col);
    QCOMPARE(Grid()->Model().Row(), row);
  }
  // The grid row of the n-th slot in use (0 = the first); slots not in use
  // show "---" and refuse edits.
  int UsedRow(int n) {
    for (int r = 1; r < TheSheet().RowCount(); ++r) {
      if (Shown(kColTag, r) != "---" && n-- == 0) return r;
    }
    return -1;
  }
  // Types `text` into the cell (the first key starts the editor) and
  // commits it with Enter.
  void TypeInto(int col, int row, const QString& text) {
    Goto(col, row);
    QTest::keyClicks(Grid(), text.left(1));
    QVERIFY(Grid()->EditorOpen());
    QTest::keyClicks(Grid()->Editor(), text.mid(1));
    QTest::keyClick(Grid()->Editor(), Qt::Key_Return);
    QVERIFY(!Grid()->EditorOpen());
  }
  // A double click as the platform delivers it: press, release, double
  // click, release.
  static void DoubleClick(QWidget* w, const QPoint& p) {
    QTest::mousePress(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, p);
    QTest::mouseDClick(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, p);
  }
  bool Selected(int col, int row) {
    return (TheSheet().SlotAt(col, row).state & slotstate::kSelected) != 0;
  }
  bool Marked(int col, int row) {
    return (TheSheet().SlotAt(col, row).state & slotstate::kRowMarked) != 0;
  }
  void OpenIntSheet() {
    view_->Open(kIntSheet);
    QVERIFY(Grid() != nullptr);
    Grid()->setFocus();
    QTRY_VERIFY(Grid()->hasFocus());
  }

 private slots:
  void init() {
    env_ = std::make_unique<Env>();
    QVERIFY(env_->loaded);
    window_ = std::make_unique<QWidget>();
    window_->resize(900, 600);
    auto* layout = new QVBoxLayout(window_.get());
    view_ = new SheetView(window_.get());
    layout->addWidget(view_);
    next_ = new QLineEdit(window_.get());  // the control after the sheet
    layout->addWidget(next_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    OpenIntSheet();
  }

  void cleanup() {
    if (SelectionPopup* p = SelectionPopup::Current()) delete p;
    window_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    env_.reset();
  }

  void buildsTheSheetWithTitleAndFirstSelectableCell() {
    Sheet& s = TheSheet();
    QCOMPARE(s.RowCount(), 1 + 256);
    QCOMPARE(s.ColCount(), 7);
    // The first selectable cell, row-major: slot 0's P/C cell.
    QCOMPARE(Grid()->Model().Col(), 1);
    QCOMPARE(Grid()->Model().Row(), 1);
    QCOMPARE(Grid()->Model().FixedCols(), 1);
    QCOMPARE(Grid()->Model().FixedRows(), 1);
    auto* title = view_->findChild<QLabel*>();
    QVERIFY(title != nullptr);
    QCOMPARE(title->text(), QString("INT channels"));
    // The header's own texts and the channel number through the handler.
    QCOMPARE(Trim(DisplayTextOf(s.CellAt(kColName, 0))), std::string("Channel name"));
    QCOMPARE(Shown(0, 1), std::string("0"));
    QVERIFY(Grid()->Model().ClientWidth() > 0);
  }

  void paintsTheCurrentCellHighlighted() {
    const Rect r = Grid()->Model().CellRect(Grid()->Model().Col(), Grid()->Model().Row());
    QVERIFY(!r.IsEmpty());
    const QImage img = Grid()->viewport()->grab().toImage();
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    const QColor inside = img.pixelColor(r.left + 2, r.top + 2);
    QCOMPARE(inside.rgb(), highlight.rgb());
    // A cell of another row shows the window colour.
    const Rect other = Grid()->Model().CellRect(kColName, 3);
    QCOMPARE(img.pixelColor(other.left + 2, other.top + 2).rgb(),
             QApplication::palette().color(QPalette::Base).rgb());
  }

  void keysMoveTheFocus_data() {
    QTest::addColumn<int>("startCol");
    QTest::addColumn<int>("startRow");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("endCol");
    QTest::addColumn<int>("endRow");
    QTest::newRow("down") << 1 << 1 << int(Qt::Key_Down) << 0 << 1 << 2;
    QTest::newRow("up at the top row stays") << 1 << 1 << int(Qt::Key_Up) << 0 << 1 << 1;
    QTest::newRow("up") << 3 << 5 << int(Qt::Key_Up) << 0 << 3 << 4;
    QTest::newRow("right") << 1 << 1 << int(Qt::Key_Right) << 0 << 2 << 1;
    QTest::newRow("left onto the row header is refused") << 1 << 4 << int(Qt::Key_Left) << 0 << 1
                                                          << 4;
    QTest::newRow("right at the last column stays") << kColName << 2 << int(Qt::Key_Right) << 0
                                                     << kColName << 2;
    QTest::newRow("page down") << 2 << 1 << int(Qt::Key_PageDown) << 0 << 2 << 11;
    QTest::newRow("page up") << 2 << 15 << int(Qt::Key_PageUp) << 0 << 2 << 5;
    QTest::newRow("page up near the top") << 2 << 4 << int(Qt::Key_PageUp) << 0 << 2 << 1;
    QTest::newRow("home does nothing") << 4 << 7 << int(Qt::Key_Home) << 0 << 4 << 7;
    QTest::newRow("end does nothing") << 4 << 7 << int(Qt::Key_End) << 0 << 4 << 7;
    QTest::newRow("ctrl+down does nothing") << 4 << 7 << int(Qt::Key_Down)
                                            << int(Qt::ControlModifier) << 4 << 7;
    QTest::newRow("page down at the end") << 2 << 250 << int(Qt::Key_PageDown) << 0 << 2 << 256;
  }
  void keysMoveTheFocus() {
    QFETCH(int, startCol);
    QFETCH(int, startRow);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, endCol);
    QFETCH(int, endRow);
    Goto(startCol, startRow);
    QTest::keyClick(Grid(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(Grid()->Model().Col(), endCol);
    QCOMPARE(Grid()->Model().Row(), endRow);
    // The current cell is kept in view.
    QVERIFY(!Grid()->Model().CellRect(endCol, endRow).IsEmpty());
    QVERIFY(env_->hooks.image.Equals(env_->initial));
  }

  void tabLeavesTheGrid() {
    Goto(kColTag, UsedRow(0));
    QTest::keyClick(Grid(), Qt::Key_Tab);
    QTRY_VERIFY(next_->hasFocus());
    QVERIFY(env_->hooks.image.Equals(env_->initial));
    QTest::keyClick(next_, Qt::Key_Backtab);
    QTRY_VERIFY(Grid()->hasFocus());
  }

  void clickFocusesACellAndDoubleClickActsOnTheCurrentOne() {
    const int row = UsedRow(1);
    const Rect r = Grid()->Model().CellRect(kColName, row);
    const QPoint p(r.left + 3, r.top + 3);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(Grid()->Model().Col(), kColName);
    QCOMPARE(Grid()->Model().Row(), row);
    QVERIFY(!Grid()->EditorOpen());
    // A double click on the current name cell opens its editor (as Enter).
    DoubleClick(Grid()->viewport(), p);
    QVERIFY(Grid()->EditorOpen());
    QCOMPARE(Grid()->Editor()->text().trimmed(), QString::fromStdString(Shown(kColName, row)));
    QTest::keyClick(Grid()->Editor(), Qt::Key_Escape);
    // A double click on another cell only moves the focus there.
    const int row2 = UsedRow(3);
    const Rect r2 = Grid()->Model().CellRect(kColName, row2);
    DoubleClick(Grid()->viewport(), QPoint(r2.left + 3, r2.top + 3));
    QCOMPARE(Grid()->Model().Row(), row2);
    QVERIFY(!Grid()->EditorOpen());
  }

  void typingANameAndEnterCommitsIt() {
    const int row0 = UsedRow(0);
    Goto(kColName, row0);
    const std::string before = Shown(kColName, row0);
    QTest::keyClicks(Grid(), "X");
    QVERIFY(Grid()->EditorOpen());
    QTest::keyClicks(Grid()->Editor(), "YZ");
    QVERIFY(env_->hooks.image.Equals(env_->initial));  // nothing until committed
    QTest::keyClick(Grid()->Editor(), Qt::Key_Return);
    QVERIFY(!Grid()->EditorOpen());
    QVERIFY(Grid()->hasFocus());
    QCOMPARE(Shown(kColName, row0), std::string("XYZ"));
    QVERIFY(before != "XYZ");
    QVERIFY(env_->hooks.image.NotEquals(env_->initial));
    QVERIFY(env_->hooks.actions > 0);
  }

  void escapeCancelsTheEditor() {
    const int row0 = UsedRow(1);
    Goto(kColName, row0);
    const std::string before = Shown(kColName, row0);
    QTest::keyClicks(Grid(), "Q");
    QVERIFY(Grid()->EditorOpen());
    QTest::keyClick(Grid()->Editor(), Qt::Key_Escape);
    QVERIFY(!Grid()->EditorOpen());
    QCOMPARE(Shown(kColName, row0), before);
    QVERIFY(env_->hooks.image.Equals(env_->initial));
  }

  void editorCommitsOnDownOnClickElsewhereAndOnMessage21_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("down arrow") << 0;
    QTest::newRow("click on another cell") << 1;
    QTest::newRow("message 21") << 2;
  }
  void editorCommitsOnDownOnClickElsewhereAndOnMessage21() {
    QFETCH(int, how);
    const int row0 = UsedRow(2);
    Goto(kColName, row0);
    QTest::keyClicks(Grid(), "K");
    QVERIFY(Grid()->EditorOpen());
    QTest::keyClicks(Grid()->Editor(), "L");
    if (how == 0) {
      QTest::keyClick(Grid()->Editor(), Qt::Key_Down);
      QCOMPARE(Grid()->Model().Row(), row0 + 1);
    } else if (how == 1) {
      const Rect r = Grid()->Model().CellRect(3, row0 + 3);
      QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, QPoint(r.left + 2, r.top + 2));
      QCOMPARE(Grid()->Model().Row(), row0 + 3);
    } else {
      env_->bus.Send(msg::kCommitEditors, 0, 0);
    }
    QVERIFY(!Grid()->EditorOpen());
    QCOMPARE(Shown(kColName, row0), std::string("KL"));
  }

  void enterOnASelectionCellOpensThePopupAndAChoiceLandsInTheImage() {
    const int row0 = UsedRow(0);
    Goto(kColTag, row0);
    const std::string before = Shown(kColTag, row0);
    QTest::keyClick(Grid(), Qt::Key_Return);
    SelectionPopup* popup = SelectionPopup::Current();
    QVERIFY(popup != nullptr);
    QVERIFY(popup->isVisible());
    Sheet* list = popup->View()->CurrentSheet();
    QVERIFY(list != nullptr);
    QVERIFY(list->PopupMode());
    QCOMPARE(list->Key(), std::string("GI_Sheet_Sel_ChTag"));
    // The current value is focused; the other entry is one step away.
    cuiGrid* listGrid = popup->View()->Grid();
    const int row = listGrid->Model().Row();
    const std::string current = Trim(DisplayTextOf(list->CellAt(0, row)));
    QCOMPARE(current, before);
    // Placed below the cell.
    const QRect cell = Grid()->GlobalCellRect(kColTag, row0);
    QCOMPARE(popup->geometry().top(), cell.bottom() + 1);
    QCOMPARE(popup->geometry().left(), cell.left() + 8);
    QTest::keyClick(listGrid, Qt::Key_Down);  // wraps in a list without scroll bars
    const int chosenRow = listGrid->Model().Row();
    QVERIFY(chosenRow != row);
    const std::string chosen = Trim(DisplayTextOf(list->CellAt(0, chosenRow)));
    QTest::keyClick(listGrid, Qt::Key_Return);
    QTRY_VERIFY(SelectionPopup::Current() == nullptr);
    QCOMPARE(Shown(kColTag, row0), chosen);
    QVERIFY(env_->hooks.image.NotEquals(env_->initial));
  }

  void aClickInThePopupChoosesTheEntry() {
    const int row0 = UsedRow(2);
    Goto(kColTag, row0);
    const std::string before = Shown(kColTag, row0);
    QTest::keyClick(Grid(), Qt::Key_Return);
    SelectionPopup* popup = SelectionPopup::Current();
    QVERIFY(popup != nullptr);
    cuiGrid* list = popup->View()->Grid();
    const int other = list->Model().Row() == 0 ? 1 : 0;
    const std::string chosen = Trim(DisplayTextOf(list->GetSheet().CellAt(0, other)));
    const Rect r = list->Model().CellRect(0, other);
    QVERIFY(!r.IsEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(r.left + 2, r.top + 2));
    QTRY_VERIFY(SelectionPopup::Current() == nullptr);
    QCOMPARE(Shown(kColTag, row0), chosen);
    QVERIFY(chosen != before);
  }

  void escapeClosesThePopupWithoutAChange() {
    const int row0 = UsedRow(1);
    Goto(kColTag, row0);
    QTest::keyClick(Grid(), Qt::Key_Return);
    SelectionPopup* popup = SelectionPopup::Current();
    QVERIFY(popup != nullptr);
    // Two entries, no scroll bars: Down twice wraps back to the start.
    cuiGrid* list = popup->View()->Grid();
    const int start = list->Model().Row();
    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(list->Model().Row() != start);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->Model().Row(), start);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Escape);
    QTRY_VERIFY(SelectionPopup::Current() == nullptr);
    QVERIFY(env_->hooks.image.Equals(env_->initial));
  }

  void closingTheOwnerSheetClosesThePopup() {
    const int row0 = UsedRow(1);
    Goto(kColTag, row0);
    QTest::keyClick(Grid(), Qt::Key_Return);
    QVERIFY(SelectionPopup::Current() != nullptr);
    view_->Close();
    QTRY_VERIFY(SelectionPopup::Current() == nullptr);
    QVERIFY(!view_->IsOpen());
  }

  void spaceStepsASelectionCell() {
    const int row0 = UsedRow(0);
    Goto(kColTag, row0);
    const std::string before = Shown(kColTag, row0);
    QTest::keyClick(Grid(), Qt::Key_Space);
    QVERIFY(Shown(kColTag, row0) != before);
    QTest::keyClick(Grid(), Qt::Key_Backspace);
    QCOMPARE(Shown(kColTag, row0), before);
  }

  void popupMenuOfTheCellIsBuiltFromItsKey() {
    const int row0 = UsedRow(1);
    Goto(kColName, row0);
    MenuBuilder* b = Grid()->PopupBuilder();
    QVERIFY(b != nullptr);
    QCOMPARE(b->Key(), std::string("GI_PMenu_Row"));
    MenuItem* edit = b->FindByLabel(CL_PMenu_Edit);
    QVERIFY(edit != nullptr);
    // Request 12 for the menu's root answers with the current cell.
    const auto replies =
        env_->bus.Request(msg::kRequestParentCell, reinterpret_cast<std::intptr_t>(&Grid()->PopupRoot()), 0);
    QCOMPARE(replies.size(), size_t(1));
    const auto* cell = std::any_cast<CellDescriptor>(&replies[0].object);
    QVERIFY(cell != nullptr);
    QCOMPARE(cell->label, int(CL_ChList_Comment));
    QCOMPARE(cell->index, TheSheet().CellAt(kColName, row0).index);
    QVERIFY(env_->bus.Request(msg::kRequestParentCell, 0, 0).empty());
    // Choosing "Edit..." acts on the current cell: its editor opens.
    edit->Click();
    QVERIFY(Grid()->EditorOpen());
  }

  void shiftArrowsSelectLinesAndAPlainMoveEndsThem() {
    const int row0 = UsedRow(0);
    Goto(kColName, row0);
    QTest::keyClick(Grid(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(Grid(), Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(Grid()->MultiSelectionActive());
    for (int r = row0; r <= row0 + 2; ++r) {
      QVERIFY(Selected(kColName, r));
      // Line mode: the rows are marked from the first non-fixed column.
      QVERIFY(Marked(1, r));
      QVERIFY(!Marked(0, r));
    }
    QVERIFY(!Marked(1, row0 + 3));
    QVERIFY(!Selected(kColName, row0 + 3));
    // Shift+Up shrinks the selection towards the anchor.
    QTest::keyClick(Grid(), Qt::Key_Up, Qt::ShiftModifier);
    QVERIFY(!Selected(kColName, row0 + 2));
    QVERIFY(!Marked(1, row0 + 2));
    QVERIFY(Selected(kColName, row0 + 1));
    QTest::keyClick(Grid(), Qt::Key_Down);
    QVERIFY(!Grid()->MultiSelectionActive());
    QVERIFY(!Marked(1, row0));
    QVERIFY(!Selected(kColName, row0));
  }

  void moveDownOfTheSelectedRowsMovesTheSelectionWithThem() {
    view_->Open("GI_Sheet_DscIndId");
    Grid()->setFocus();
    QTRY_VERIFY(Grid()->hasFocus());
    SetRowEditingPermitted(true);
    TypeInto(1, 1, "211234567");
    TypeInto(2, 1, "AB");
    TypeInto(1, 2, "211234568");
    QCOMPARE(Shown(1, 1), std::string("211234567"));
    QCOMPARE(Shown(2, 1), std::string("AB"));
    QCOMPARE(Shown(1, 2), std::string("211234568"));
    Goto(2, 1);
    QTest::keyClick(Grid(), Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(Grid()->MultiSelectionActive());
    MenuBuilder* b = Grid()->PopupBuilder();
    QVERIFY(b != nullptr);
    MenuItem* down = b->FindByLabel(CL_PMenu_CarryDown);
    QVERIFY(down != nullptr);
    down->Click();
    SetRowEditingPermitted(false);
    QCOMPARE(Shown(1, 2), std::string("211234567"));
    QCOMPARE(Shown(2, 2), std::string("AB"));
    QCOMPARE(Shown(1, 3), std::string("211234568"));
    // The selection follows the rows; the focus is on the moved edge.
    QVERIFY(Grid()->MultiSelectionActive());
    QVERIFY(!Selected(2, 1));
    QVERIFY(Selected(2, 2));
    QVERIFY(Selected(2, 3));
    QCOMPARE(Grid()->Model().Row(), 3);
  }

  void doubleClickOnAHeaderBorderFitsTheColumn_data() {
    QTest::addColumn<int>("offset");
    QTest::newRow("inside the right edge") << -2;
    QTest::newRow("just beyond the last column") << 2;
  }
  void doubleClickOnAHeaderBorderFitsTheColumn() {
    QFETCH(int, offset);
    GridModel& m = Grid()->Model();
    m.SetColWidth(kColName, 400);
    Grid()->SyncScrollBars();
    const Rect header = m.CellRect(kColName, 0);
    QVERIFY(!header.IsEmpty());
    QVERIFY(header.right + 4 < m.ClientWidth());
    DoubleClick(Grid()->viewport(), QPoint(header.right + offset, header.top + 2));
    const int fitted = m.ColWidth(kColName);
    QVERIFY(fitted < 400);
    // At least the header's text in its font plus the margins.
    QtCanvas canvas(view_->font());
    const CellDescriptor& head = TheSheet().CellAt(kColName, 0);
    canvas.SetFont(head.font ? *head.font : TheSheet().BaseFont());
    QVERIFY(fitted >= canvas.TextExtent("Channel name").cx + 8);
    QVERIFY(!Grid()->EditorOpen());
  }

  void keysReachTheHandlerAsTheirCodes_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    QTest::newRow("right at the edge") << kColName << int(Qt::Key_Right) << 0 << 0x2700;
    QTest::newRow("F5") << kColTag << int(Qt::Key_F5) << 0 << 0x7400;
    QTest::newRow("F12") << kColTag << int(Qt::Key_F12) << 0 << 0x7B00;
    QTest::newRow("enter") << kColTag << int(Qt::Key_Return) << 0 << 13;
    QTest::newRow("space") << kColTag << int(Qt::Key_Space) << 0 << 32;
    QTest::newRow("backspace") << kColTag << int(Qt::Key_Backspace) << 0 << 8;
    QTest::newRow("letter") << kColTag << int(Qt::Key_A) << 0 << int('a');
  }
  void keysReachTheHandlerAsTheirCodes() {
    QFETCH(int, col);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    Recorder rec;
    SheetView::OpenOptions o;
    o.handler = LabelHandlerRef{&Recorder::Handle, &rec};
    view_->Open(kIntSheet, o);
    Grid()->setFocus();
    QTRY_VERIFY(Grid()->hasFocus());
    Goto(col, 3);
    QTest::keyClick(Grid(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(rec.keys.size(), size_t(1));
    QCOMPARE(rec.keys[0], code);
    QCOMPARE(Grid()->Model().Row(), 3);
  }

  void handlerRequestsAreCarriedOut() {
    Recorder rec;
    SheetView::OpenOptions o;
    o.handler = LabelHandlerRef{&Recorder::Handle, &rec};
    view_->Open(kIntSheet, o);
    Grid()->setFocus();
    QTRY_VERIFY(Grid()->hasFocus());

    // A repeat key: called again after 30, 24, 18, 12 and 6 ms pauses.
    Goto(kColTag, 2);
    rec.repeatUntil = 6;
    rec.clock.start();
    QTest::keyClick(Grid(), Qt::Key_Space);
    QCOMPARE(rec.keys.size(), size_t(7));
    QCOMPARE(rec.keys[0], 32);
    for (size_t i = 1; i < rec.keys.size(); ++i) QCOMPARE(rec.keys[i], int('r'));
    QVERIFY(rec.times[5] - rec.times[0] >= 30 + 24 + 18 + 12 + 6);

    // A jump request focuses the first cell with its category, label, index.
    rec = Recorder{};
    rec.jump = true;
    QTest::keyClick(Grid(), Qt::Key_Return);
    QCOMPARE(Grid()->Model().Col(), kColName);
    QCOMPARE(Grid()->Model().Row(), 6);

    // Result 2 opens the editor with the output text and selection; the
    // commit comes back as input text.
    rec = Recorder{};
    rec.result = kActionOpenEditor;
    QTest::keyClick(Grid(), Qt::Key_Return);
    QVERIFY(Grid()->EditorOpen());
    QCOMPARE(Grid()->Editor()->text(), QString("hello"));
    QCOMPARE(Grid()->Editor()->selectedText(), QString("el"));
    rec.result = 0;
    QTest::keyClick(Grid()->Editor(), Qt::Key_End);
    QTest::keyClicks(Grid()->Editor(), "!");
    QTest::keyClick(Grid()->Editor(), Qt::Key_Return);
    QCOMPARE(rec.texts.back(), std::string("hello!"));
    QCOMPARE(rec.keys.back(), 0);
    QVERIFY(!Grid()->EditorOpen());

    // A popup menu choice arrives as the item's cell label.
    MenuBuilder* b = Grid()->PopupBuilder();
    QVERIFY(b != nullptr);
    b->FindByLabel(CL_PMenu_Clear)->Click();
    QCOMPARE(rec.commands.back(), int(CL_PMenu_Clear));
  }

  void aHandlerThatReopensTheSheetDuringItsActionIsSafe() {
    Recorder rec;
    SheetView::OpenOptions o;
    o.handler = LabelHandlerRef{&Recorder::Handle, &rec};
    view_->Open(kIntSheet, o);
    Grid()->setFocus();
    QTRY_VERIFY(Grid()->hasFocus());
    Goto(kColTag, 3);
    QPointer<cuiGrid> oldGrid = Grid();
    rec.duringAction = [this, &o] { view_->Open(kIntSheet, o); };
    QTest::keyClick(Grid(), Qt::Key_Space);
    QCOMPARE(rec.labelAfter, int(CL_ChList_Tag));
    QVERIFY(view_->CurrentSheet() != nullptr);
    QVERIFY(view_->Grid() != oldGrid.data());
    QVERIFY(oldGrid.isNull() || !oldGrid->Attached());
    // The old sheet and grid go with the event loop.
    QTRY_VERIFY(oldGrid.isNull());
    QCOMPARE(view_->CurrentSheet()->RowCount(), 257);
  }

  void rightClickFocusesTheCellAndOpensItsMenu() {
    const int row = UsedRow(2);
    const Rect r = Grid()->Model().CellRect(kColName, row);
    QStringList captions;
    bool triggered = false;
    QTimer::singleShot(100, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        captions << a->text();
        if (a->text().startsWith("Edit...")) {
          a->trigger();
          triggered = true;
        }
      }
      menu->close();
    });
    QTest::mouseClick(Grid()->viewport(), Qt::RightButton, {}, QPoint(r.left + 2, r.top + 2));
    QCOMPARE(Grid()->Model().Row(), row);
    QCOMPARE(Grid()->Model().Col(), kColName);
    QVERIFY(captions.contains("Copy rows\tCtrl+C"));
    QVERIFY(triggered);
    QVERIFY(Grid()->EditorOpen());
  }

  void repaintMessagesRepaintTheMatchingCells_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("value");  // -1: the index of slot row 3
    QTest::addColumn<bool>("name");  // the name cell of row 3
    QTest::addColumn<bool>("tag");   // the tag cell of row 3
    QTest::addColumn<bool>("otherRow");  // the name cell of row 6
    QTest::newRow("13 all") << int(msg::kRepaintAll) << 0 << true << true << true;
    QTest::newRow("15 label") << int(msg::kRepaintLabel) << int(CL_ChList_Comment) << true << false
                              << true;
    QTest::newRow("16 index") << int(msg::kRepaintIndex) << -1 << true << true << false;
    QTest::newRow("17 at most") << int(msg::kRepaintIndexAtMost) << -1 << true << true << false;
    QTest::newRow("18 at least") << int(msg::kRepaintIndexAtLeast) << -1 << true << true << true;
  }
  void repaintMessagesRepaintTheMatchingCells() {
    QFETCH(int, type);
    QFETCH(int, value);
    QFETCH(bool, name);
    QFETCH(bool, tag);
    QFETCH(bool, otherRow);
    Goto(1, 1);
    PaintSpy spy(Grid()->viewport());
    QTest::qWait(50);
    spy.painted = QRegion();
    if (value < 0) value = TheSheet().CellAt(kColName, 3).index;
    env_->bus.Post(type, 0, value);
    QTRY_VERIFY(!spy.painted.isEmpty());
    auto centre = [this](int c, int r) {
      const Rect x = Grid()->Model().CellRect(c, r);
      return QPoint((x.left + x.right) / 2, (x.top + x.bottom) / 2);
    };
    QCOMPARE(spy.painted.contains(centre(kColName, 3)), name);
    QCOMPARE(spy.painted.contains(centre(kColTag, 3)), tag);
    QCOMPARE(spy.painted.contains(centre(kColName, 6)), otherRow);
  }

  void draggingAColumnBorderKeepsTheLimitsAndTheWidthIsKept() {
    GridModel& m = Grid()->Model();
    const int col = kColName;
    const Rect header = m.CellRect(col, 0);
    QVERIFY(!header.IsEmpty());
    const QPoint border(header.right - 2, header.top + 2);
    // Narrower than 10 pixels: 10.
    QTest::mousePress(Grid()->viewport(), Qt::LeftButton, {}, border);
    QMouseEvent move(QEvent::MouseMove, QPointF(header.left + 2, border.y()),
                     Grid()->viewport()->mapToGlobal(QPointF(header.left + 2, border.y())),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Grid()->viewport(), &move);
    QTest::mouseRelease(Grid()->viewport(), Qt::LeftButton, {}, QPoint(header.left + 2, border.y()));
    QCOMPARE(m.ColWidth(col), 10);
    // Closing keeps it; the sheet opened again shows it.
    view_->Close();
    const std::string path = ColumnWidthParentPath("IntCh") + "\\colwidth";
    const auto stored = env_->store.Get(path, std::to_string(col));
    QVERIFY(stored.has_value());
    QCOMPARE(std::get<std::int32_t>(*stored), 10);
    OpenIntSheet();
    QCOMPARE(Grid()->Model().ColWidth(col), 10);
  }
};

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir cache, config, runtime;
  qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  QApplication app(argc, argv);
  SheetViewTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "SheetViewTest.moc"
