// The grid control of a sheet: it shows the sheet's grid model, paints every
// visible cell through the sheet (CellPainter on a QtCanvas) and turns keys,
// mouse clicks, popup menu choices and the inline editor's committed text
// into calls of the sheet's label handler. It keeps the interaction state:
// focus movement, the multi-selection, the per-cell popup menu and the
// inline editor.
#pragma once

#include <QAbstractScrollArea>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "sheet/CellAccess.h"
#include "sheet/GridModel.h"
#include "sheet/MenuBuilder.h"
#include "sheet/qt/QtCanvas.h"

class QLineEdit;
class QMenu;
class QTimer;

namespace twk {

class Sheet;
struct Message;

class cuiGrid : public QAbstractScrollArea, public GridView {
  Q_OBJECT
 public:
  // `canvas` measures and paints the cells (owned by the sheet's widgets).
  cuiGrid(Sheet& sheet, QtCanvas& canvas, QWidget* parent);
  ~cuiGrid() override;

  Sheet& GetSheet() const { return sheet_; }
  GridModel& Model() const;

  // ---- operations of the sheet ----
  // The action protocol: one call of the label handler in action mode (or,
  // in a popup selection window, the choice handed to the owner cell).
  // `text` = a committed edit.
  void Act(int col, int row, int key, int command, const std::string* text = nullptr);
  // Moves the current cell without calling the handler.
  void FocusTo(int col, int row, bool scroll);
  // The first selectable cell with these values, without scrolling.
  bool FocusCell(int category, int label, std::int32_t index);
  // Arrow navigation by dx columns or dy rows.
  void MoveBy(int dx, int dy);
  void OpenEditor(int col, int row, const std::string& text, int selStart, int selLength);
  // Hides the inline editor; with `commit` its text goes to the handler.
  void CloseEditor(bool commit);
  bool EditorOpen() const;
  QLineEdit* Editor() const { return editor_; }
  void ScrollHome();
  void RefreshPopupMenu(bool force);
  // The current cell's popup menu (null when none is built).
  MenuBuilder* PopupBuilder() const { return builder_.get(); }
  MenuItem& PopupRoot() { return popupRoot_; }
  // Opens the popup menu at a viewport position (synchronously runs it).
  void ShowPopupMenu(const QPoint& pos);
  // Called when a choice in a popup selection window is done (the window
  // hides itself).
  void SetPopupDone(std::function<void()> fn) { popupDone_ = std::move(fn); }
  // The viewport rectangle of a cell in global coordinates.
  QRect GlobalCellRect(int col, int row) const;
  // Keeps the scroll bars in step with the model.
  void SyncScrollBars();
  bool MultiSelectionActive() const { return multiActive_; }
  // Cuts the grid off its sheet before the sheet goes (the grid itself is
  // deleted later: it may be inside one of its own event handlers).
  void Detach();
  bool Attached() const { return *alive_; }
  // Inside an action (the handler may be closing the sheet).
  bool Busy() const { return actDepth_ > 0; }

  // Display text and value of a descriptor, marks of a triple.
  std::string DisplayTextOf(CellDescriptor& cell, int value);
  int DisplayValueOf(CellDescriptor& cell, int value);

  // GridView
  void InvalidateCell(int col, int row) override;
  void InvalidateAll() override;
  void LayoutChanged() override;
  void CurrentChanged(int oldCol, int oldRow) override;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  static void OnBus(void* self, const Message& m);
  static void RepaintCallback(void* self, const CellAccessContext& ctx, std::uint8_t criteria);
  static void ReopenCallback(void* self);
  static void MenuClick(void* self, MenuItem& item);

  void FillContext(CellAccessContext& ctx, int col, int row);
  bool GridKey(int key, Qt::KeyboardModifiers mods);
  void CharKey(int ch);
  bool SelectCell(int col, int row);  // user-driven move; false when refused
  void UpdateSelection(int col, int row);
  void EndMultiSelection();
  void UpdateRowMarks();
  bool RowMultiSelectable(int row) const;
  bool StepFrom(int& col, int& row, int dx, int dy);
  int ResolveOwner(int col, int row) const;
  bool HeaderBorderAt(const QPoint& p, int& col) const;
  void FitColumn(int col);
  void ClearStatus();
  void UpdateRow(int row);
  void DragScrollStep();
  void SyncScrollBarsOnce();
  Qt::KeyboardModifiers Modifiers() const;

  Sheet& sheet_;
  QtCanvas& canvas_;
  std::shared_ptr<bool> alive_;
  bool syncing_ = false;
  bool resyncPending_ = false;
  bool moving_ = false;
  bool multiActive_ = false;
  bool buttonHeld_ = false;
  bool pressMovedFocus_ = false;  // the last press moved the focus
  int anchorCol_ = -1, anchorRow_ = -1;
  int navCol_ = 0, navRow_ = 0;
  const CellDescriptor* lastPopupCell_ = nullptr;
  std::string lastPopupKey_;
  MenuItem popupRoot_;
  std::unique_ptr<MenuBuilder> builder_;
  QLineEdit* editor_ = nullptr;
  int editCol_ = -1, editRow_ = -1;
  bool closingEditor_ = false;
  int lastMouseCol_ = -1, lastMouseRow_ = -1;
  int resizeCol_ = -1;  // the column whose border is dragged
  int resizeStartX_ = 0, resizeStartWidth_ = 0;
  std::function<void()> popupDone_;
  bool subscribed_ = false;
  int actDepth_ = 0;
  // Modifiers of the key or mouse event being handled (Shift extends a
  // selection).
  Qt::KeyboardModifiers eventMods_;
  bool haveEventMods_ = false;
  // Dragging beyond the edge: one navigation step per timer event.
  QTimer* dragScroll_ = nullptr;
  int dragDx_ = 0, dragDy_ = 0;
};

}  // namespace twk
