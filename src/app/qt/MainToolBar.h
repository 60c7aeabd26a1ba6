// The toolbar from the resources (key "GI_ToolBar_Main"): one button per
// body line with its "ImageIndex" picture and the line's display text as its
// hint, "-" an 8-pixel gap, "/" the start of a new row. A click runs the
// label handler on the button's cell with the Enter key; on message 20 every
// button takes its state from the handler (checked: pressed, disabled).
#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "sheet/CellDescriptor.h"

class QAction;
class QMainWindow;
class QToolBar;

namespace twk {

class MessageBus;
class QtImageList;
class TextStore;
struct Message;

class MainToolBar : public QObject {
  Q_OBJECT
 public:
  // `first` is the window's toolbar (the first row); further rows are added
  // to `window` below it. `images` is not owned.
  MainToolBar(QMainWindow* window, QToolBar* first, const QtImageList* images, TextStore& store,
              std::string key, MessageBus& bus);
  ~MainToolBar() override;

  void Build();
  // Message 20: the buttons' states through the label handler.
  void RefreshStates();
  void SetVisible(bool visible);

  struct Button {
    QToolBar* row = nullptr;
    QAction* action = nullptr;  // none for a gap
    int gapWidth = 0;           // 8 for "-"
    CellDescriptor* cell = nullptr;
  };
  const std::vector<Button>& Buttons() const { return buttons_; }
  const std::vector<QToolBar*>& Rows() const { return rows_; }
  const CellDescriptor& BaseCell() const { return base_; }

 private:
  static void OnMessage(void* self, const Message& m);
  void Clicked(CellDescriptor* cell);
  void SetImage(QAction* action, int index);

  QMainWindow* window_;
  const QtImageList* images_;
  TextStore& store_;
  std::string key_;
  MessageBus& bus_;
  CellDescriptor base_;
  std::vector<std::unique_ptr<CellDescriptor>> cells_;
  std::vector<Button> buttons_;
  std::vector<QToolBar*> rows_;  // rows_[0] is the window's toolbar
  bool visible_ = true;
};

}  // namespace twk
