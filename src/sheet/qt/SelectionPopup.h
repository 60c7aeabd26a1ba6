// The popup selection window: a borderless window over a cell holding a list
// sheet in popup mode, the cell's current value focused. A choice (click,
// Enter, double click) goes back to the cell through the label handler and
// the window closes; Escape, a click outside, the end of the owner's sheet
// and message 21 close it too.
#pragma once

#include <QWidget>
#include <string>

#include "data/DocumentHooks.h"
#include "sheet/CellAccess.h"

namespace twk {

class SheetView;
struct Message;

class SelectionPopup : public QWidget {
  Q_OBJECT
 public:
  // Builds, sizes, places and shows the window for the cell of `ctx` (a
  // cell of a cuiGrid); it deletes itself when it closes.
  static SelectionPopup* Open(CellAccessContext& ctx, const std::string& listKey, int value);
  // The window that is open now, or null.
  static SelectionPopup* Current();
  ~SelectionPopup() override;

  SheetView* View() const { return view_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  SelectionPopup(CellAccessContext& ctx, QWidget* owner);
  static void OnBus(void* self, const Message& m);
  void Place(const QRect& cellGlobal);

  SheetView* view_ = nullptr;
  const void* ownerGrid_ = nullptr;  // the owner sheet's grid model (message 1)
  bool subscribed_ = false;
};

// The Qt popup windows behind the document hooks' popup requests.
class QtPopupOpener : public PopupOpener {
 public:
  void OpenSelectionPopup(CellAccessContext& ctx, const std::string& listKey, int value) override;
};
// Installs a process-wide QtPopupOpener unless an opener is installed.
void InstallQtPopupOpener();

}  // namespace twk
