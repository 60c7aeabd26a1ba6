#include "app/qt/EditorFrame.h"

#include <QApplication>
#include <QFrame>
#include <QLayout>
#include <QMenuBar>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>

#include "app/AppSettings.h"
#include "app/qt/AppImages.h"
#include "app/qt/MainMenu.h"
#include "app/qt/MainToolBar.h"
#include "app/qt/TForm1.h"
#include "clone/qt/CloneCommands.h"
#include "data/IndexedSelectionLists.h"
#include "data/LabelHandler.h"
#include "data/Labels.h"
#include "sheet/CellAccess.h"
#include "sheet/MessageBus.h"
#include "sheet/Sheet.h"
#include "sheet/qt/NavigationTree.h"
#include "sheet/qt/SheetView.h"
#include "sheet/qt/cuiGrid.h"
#include "text/TextStore.h"

namespace twk {

namespace {
constexpr const char* kMenuKey = "GI_Menu_Main";
constexpr const char* kToolbarKey = "GI_ToolBar_Main";
constexpr const char* kTreeKey = "GI_Tree_Main";
}  // namespace

EditorFrame::EditorFrame(AppSettings& settings, Dialogs& dialogs, TimerService& timers,
                         std::string resourceFolder)
    : ModelFrame(settings, dialogs, timers, std::move(resourceFolder)),
      treeImages_(MakeTreeImages()),
      toolbarImages_(MakeToolbarImages()) {
  // Every label works in the editor: the standard handler, and the
  // selection lists answered by the cell index of the main resource.
  InstallStandardLabelHandler();
  lists_ = std::make_unique<IndexedSelectionLists>(&MainText());
  previousLists_ = codec::SetSelectionLists(lists_.get());
  clone_ = std::make_unique<CloneCommands>(*this);
}

EditorFrame::~EditorFrame() {
  clone_.reset();
  // The widgets went with the window (the frame outlives it); a frame
  // destroyed first takes its parts down here.
  delete sheets_.data();
  delete tree_.data();
  delete toolbar_.data();
  delete menu_.data();
  codec::SetSelectionLists(previousLists_);
}

std::string EditorFrame::KeyOfAddress(const std::string& address) {
  std::string key = address;
  if (!key.empty() && key[0] == '[') {
    const auto close = key.find(']');
    key = close == std::string::npos ? std::string() : key.substr(close + 1);
  }
  const auto comma = key.find(',');
  if (comma != std::string::npos) key = key.substr(0, comma);
  return key;
}

void EditorFrame::BuildWindow(MainWindowHost& window) {
  form_ = dynamic_cast<TForm1*>(&window);
  if (form_) {
    auto* view = new SheetView(form_->RightPanel(), &treeImages_);
    view->setObjectName("SheetView");
    form_->RightPanel()->layout()->addWidget(view);
    sheets_ = view;
  }
  ModelFrame::BuildWindow(window);
}

void EditorFrame::BuildMenusAndToolbar() {
  if (!form_) return;
  menu_ = new MainMenu(form_->menuBar(), form_, MainText(), kMenuKey, Bus());
  menu_->Build();
  toolbar_ = new MainToolBar(form_, form_->MainToolBar(), &toolbarImages_, MainText(),
                             kToolbarKey, Bus());
  toolbar_->Build();
  toolbar_->SetVisible(ToolbarVisible());
}

void EditorFrame::BuildTree() {
  if (!form_) return MainFrame::BuildTree();
  delete tree_.data();
  auto* tree = new NavigationTree(form_->LeftPanel(), MainText(), kTreeKey, &treeImages_);
  tree_ = tree;
  tree->hide();
  form_->LeftPanel()->layout()->addWidget(tree);
  tree->Build();
  // The model's name ends the root node's text.
  if (QTreeWidgetItem* root = tree->topLevelItem(0))
    root->setText(0, root->text(0) + ToQString(MainText().GetLine("GI_AppInd_Model", ModelIndex())));
  tree->SetExpandChanged([this] { RefreshWarnings(nullptr, nullptr); });
  tree->SetChangeDelay(std::atoi(MainText().GetFirstLine("GI_Sys_TreeChangeDelay").c_str()));
  tree->SetSelectionApplied([this] { ApplyTreeSelection(); });
  RefreshWarnings(nullptr, nullptr);
  CloseCurrentSheet();
  tree->show();
  SendMessage(msg::kPlanOptionsChanged);
  if (tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
}

void EditorFrame::AdjustTree() {
  if (!tree_) return;
  tree_->Adjust(current_, ModelIndex(), MakerMode());
  RefreshWarnings(nullptr, nullptr);
}

bool EditorFrame::HasTree() const { return !tree_.isNull(); }

CheckTree* EditorFrame::WarningTree() { return tree_.data(); }

void EditorFrame::RunSelectedNode() {
  if (!tree_) return;
  const CellDescriptor* selected = tree_->SelectedCell();
  if (!selected) return;
  CellDescriptor cell = *selected;  // the command may rebuild the tree
  CellAccessContext ctx;
  ctx.sender = form_;
  ctx.cell = &cell;
  ctx.key = kKeyEnter;
  StandardLabelHandler()(ctx, kModeDisplay);
}

void EditorFrame::OpenSelectedNodeSheet() { RunSelectedNode(); }

void EditorFrame::ApplyTreeSelection() {
  if (!tree_) return;
  const CellDescriptor* selected = tree_->SelectedCell();
  if (!selected) return;
  if (HasOpenSheet() && selected->option && *selected->option == openAddress_) return;
  RunSelectedNode();
}

bool EditorFrame::HasOpenSheet() const { return sheets_ && sheets_->IsOpen(); }

void EditorFrame::OpenSheet(const std::string& address) {
  if (!sheets_) return;
  CloseCurrentSheet();
  SheetView::OpenOptions options;
  options.address = address;
  for (const SheetHistoryEntry& h : history_) {
    if (h.sheet == address) {
      options.position = SheetPosition{h.column, h.row, h.leftColumn, h.topRow};
      break;
    }
  }
  options.fontsChanged = fontsChanged_;
  sheets_->Open(KeyOfAddress(address), options);
  fontsChanged_ = false;
  openAddress_ = address;
  cuiGrid* grid = sheets_->Grid();
  if (focusOnGrid_ && grid && grid->isEnabled())
    sheets_->FocusGrid();
  else if (tree_)
    tree_->setFocus();
}

void EditorFrame::CloseCurrentSheet() {
  if (!sheets_ || !sheets_->IsOpen()) return;
  if (sheets_->isVisible()) {
    const SheetPosition p = sheets_->Position();
    std::erase_if(history_, [&](const SheetHistoryEntry& h) { return h.sheet == openAddress_; });
    history_.insert(history_.begin(), SheetHistoryEntry{openAddress_, p.col, p.row, p.leftCol, p.topRow});
    focusOnGrid_ = !(tree_ && form_ && form_->focusWidget() == tree_.data());
  }
  sheets_->Close();
  openAddress_.clear();
  // The grid's popup items mirrored into the Edit menu act through the
  // grid: they go with it, and the menu shows its empty entry again.
  if (menu_) {
    SendMessage(msg::kRemoveMirroredItems, 0, CL_Menu_Edit_Top);
    SendMessage(msg::kRefreshMenuStates);
  }
}

bool EditorFrame::CanPrintCurrent() const {
  return HasOpenSheet() && sheets_->CurrentSheet()->PrintableQuery();
}

int EditorFrame::EditMenuItemCount() const {
  if (!menu_) return -1;
  const MenuItem* edit = menu_->Builder().FindByLabel(CL_Menu_Edit_Top);
  return edit ? edit->Count() : -1;
}

void EditorFrame::RunCommand(int label, int index, const std::string& option) {
  if (label == CL_Menu_Edit_Top) {
    // The Edit menu is empty: it shows the popup key's "no item" entry.
    if (menu_ && !option.empty())
      Bus().SendText(msg::kAddPopupItems, reinterpret_cast<std::intptr_t>(&menu_->Builder()),
                     CL_Menu_Edit_Top, option);
    return;
  }
  switch (label) {
    case CL_Menu_Clone_Read: return clone_->Read();
    case CL_Menu_Clone_Write: return clone_->Write();
    case CL_Menu_Clone_Info: return clone_->ShowInfo();
    case CL_Menu_Port_Usb: return clone_->SelectPort();
    case CL_Menu_Port_Com: clone_->SetDevicePath(""); break;  // the number names the port
    default: break;
  }
  ModelFrame::RunCommand(label, index, option);
}

int EditorFrame::CloneInfoModel() const { return clone_->Info().ModelIndex(); }
int EditorFrame::CloneInfoRevision() const { return clone_->Info().Revision(); }
std::string EditorFrame::CloneInfoComment() const {
  std::string c = clone_->Info().Comment();
  c.resize(16, ' ');
  return c;
}

}  // namespace twk
