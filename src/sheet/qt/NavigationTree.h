// The navigation tree on the left of the main window: a read-only tree
// whose nodes name the sheets. Its content comes from key + "_BasicCell"
// (font and colour) and key + "_Body" (the nodes, nested by the indentation
// before "+"); each node keeps its cell descriptor, whose option text is the
// address of the sheet to open. The tree carries the warning and error
// overlays of the validation check (it is the check's CheckTree) and applies
// a selection change after a delay.
#pragma once

#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/Validation.h"
#include "sheet/CellDescriptor.h"

namespace twk {

class EepromImage;
class QtImageList;
class TextStore;

class NavigationTree : public QTreeWidget, public CheckTree {
  Q_OBJECT
 public:
  // `images` (not owned): 0 rig, 1 folder, 2 note, 3 second note, 4 warning
  // mark, 5 error mark; overlay 0 draws image 5, overlay 1 image 4.
  NavigationTree(QWidget* parent, TextStore& store, std::string key, const QtImageList* images);
  ~NavigationTree() override;

  // Reads the base cell and the nodes; expands the first node.
  void Build();

  // The selected node's descriptor, or none.
  CellDescriptor* SelectedCell() const;
  // The first node in display order (all nodes, expanded or not) whose
  // option text equals `address`; none when there is none.
  QTreeWidgetItem* FindNode(const std::string& address) const;
  CellDescriptor* CellOf(const QTreeWidgetItem* item) const;
  // Every node in display order (pre-order over all nodes).
  std::vector<QTreeWidgetItem*> AllNodes() const;
  int OverlayOf(const QTreeWidgetItem* item) const;

  // The adjustment to the current image: the USA, CANADA and WX channel
  // nodes follow bits 0, 2 and 1 of byte 0x418 (inserted directly after
  // the INT channel node in that order, or deleted with their marks Flag1,
  // Flag2, Flag3); Flag4 nodes go for model indexes other than 0, Flag0
  // nodes while maker mode is off.
  void Adjust(const EepromImage& image, int modelIndex, bool makerMode);
  // Deletes every node that carries user flag `flag` (0..7).
  void DeleteMarked(int flag);

  // The selection is applied `ms` after its last change (through the
  // handler given to SetSelectionApplied).
  void SetChangeDelay(int ms) { delay_.setInterval(ms < 0 ? 0 : ms); }
  int ChangeDelay() const { return delay_.interval(); }
  void SetSelectionApplied(std::function<void()> fn) { applied_ = std::move(fn); }
  void SetExpandChanged(std::function<void()> fn) { expandChanged_ = std::move(fn); }

  // CheckTree
  int TopLevelCount() const override { return topLevelItemCount(); }
  CheckNode* TopLevel(int i) override;

 private:
  class Node;
  QTreeWidgetItem* CreateNode(QTreeWidgetItem* parent, std::string_view text);
  Node* NodeOf(QTreeWidgetItem* item);
  void SetOverlay(QTreeWidgetItem* item, int overlay);
  void UpdateIcon(QTreeWidgetItem* item);
  void Forget(QTreeWidgetItem* item);

  TextStore& store_;
  std::string key_;
  const QtImageList* images_;
  CellDescriptor base_;
  std::map<const QTreeWidgetItem*, std::unique_ptr<Node>> nodes_;
  QTimer delay_;
  std::function<void()> applied_;
  std::function<void()> expandChanged_;
};

}  // namespace twk
