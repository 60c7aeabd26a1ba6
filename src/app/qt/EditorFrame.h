// The editor's main frame on Qt: this radio's model frame with the window's
// parts built from the resources: the main menu ("GI_Menu_Main"), the
// toolbar ("GI_ToolBar_Main"), the navigation tree ("GI_Tree_Main") in the
// left panel and the one open sheet in the right panel. It installs the
// standard label handler and the selection lists of the cell index while
// it exists.
#pragma once

#include <QPointer>
#include <memory>
#include <string>

#include "app/MainFrame.h"
#include "app/qt/MainMenu.h"
#include "app/qt/MainToolBar.h"
#include "sheet/qt/NavigationTree.h"
#include "sheet/qt/QtCanvas.h"
#include "sheet/qt/SheetView.h"

namespace twk {

class CloneCommands;
class IndexedSelectionLists;
class TForm1;
namespace codec {
class SelectionLists;
}

class EditorFrame : public ModelFrame {
 public:
  EditorFrame(AppSettings& settings, Dialogs& dialogs, TimerService& timers,
              std::string resourceFolder = "");
  ~EditorFrame() override;

  void BuildWindow(MainWindowHost& window) override;
  void BuildMenusAndToolbar() override;
  void BuildTree() override;
  void AdjustTree() override;
  bool HasTree() const override;
  void OpenSelectedNodeSheet() override;
  CheckTree* WarningTree() override;
  void OpenSheet(const std::string& address) override;
  void CloseCurrentSheet() override;
  bool HasOpenSheet() const override;
  bool CanPrintCurrent() const override;
  int EditMenuItemCount() const override;
  void RunCommand(int label, int index, const std::string& option) override;
  // The identification of the last Clone Info (or other clone command).
  int CloneInfoModel() const override;
  int CloneInfoRevision() const override;
  std::string CloneInfoComment() const override;

  CloneCommands& Clone() { return *clone_; }
  MainMenu* Menu() const { return menu_; }
  MainToolBar* Toolbar() const { return toolbar_; }
  NavigationTree* Tree() const { return tree_; }
  SheetView* Sheets() const { return sheets_; }
  // The address of the open sheet ("" when none is open).
  const std::string& OpenSheetAddress() const { return openAddress_; }
  const QtImageList& TreeImages() const { return treeImages_; }

  // The key part of a sheet address "[prefix]key,argument".
  static std::string KeyOfAddress(const std::string& address);

 private:
  friend class CloneCommands;  // the document steps of a read and a write
  // The selected node's cell run with the Enter key (opens its sheet).
  void RunSelectedNode();
  void ApplyTreeSelection();

  TForm1* form_ = nullptr;
  QtImageList treeImages_;
  QtImageList toolbarImages_;
  QPointer<MainMenu> menu_;
  QPointer<MainToolBar> toolbar_;
  QPointer<NavigationTree> tree_;
  QPointer<SheetView> sheets_;
  std::string openAddress_;
  std::unique_ptr<IndexedSelectionLists> lists_;
  codec::SelectionLists* previousLists_ = nullptr;
  std::unique_ptr<CloneCommands> clone_;
};

}  // namespace twk
