#include "sheet/qt/NavigationTree.h"

#include <QHeaderView>
#include <QPainter>

#include "data/EepromImage.h"
#include "sheet/CellMarkup.h"
#include "sheet/MenuBuilder.h"
#include "sheet/qt/QtCanvas.h"
#include "text/TextStore.h"

namespace twk {

QColor ToQColor(Color color);
QFont ToQFont(const Font& font, const QFont& base);

namespace {
constexpr int kPlanOptionsAddress = 0x418;
}  // namespace

// One node as the warning check sees it.
class NavigationTree::Node : public CheckNode {
 public:
  Node(NavigationTree& tree, QTreeWidgetItem* item, std::unique_ptr<CellDescriptor> cell)
      : tree_(tree), item_(item), cell_(std::move(cell)) {}
  const std::string* Address() const override {
    return cell_->option ? &*cell_->option : nullptr;
  }
  bool Expanded() const override { return item_->isExpanded(); }
  int ChildCount() const override { return item_->childCount(); }
  CheckNode* Child(int i) override { return tree_.NodeOf(item_->child(i)); }
  void SetOverlay(int overlay) override { tree_.SetOverlay(item_, overlay); }

  CellDescriptor* Cell() const { return cell_.get(); }
  int overlay = kOverlayNone;

 private:
  NavigationTree& tree_;
  QTreeWidgetItem* item_;
  std::unique_ptr<CellDescriptor> cell_;
};

NavigationTree::NavigationTree(QWidget* parent, TextStore& store, std::string key,
                               const QtImageList* images)
    : QTreeWidget(parent), store_(store), key_(std::move(key)), images_(images) {
  setObjectName("NavigationTree");
  setHeaderHidden(true);
  setColumnCount(1);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setRootIsDecorated(true);
  if (images_) setIconSize(QSize(images_->Width(), images_->Height()));
  delay_.setSingleShot(true);
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { delay_.start(); });
  connect(&delay_, &QTimer::timeout, this, [this] {
    if (applied_) applied_();
  });
  connect(this, &QTreeWidget::itemExpanded, this, [this] {
    if (expandChanged_) expandChanged_();
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this] {
    if (expandChanged_) expandChanged_();
  });
}

NavigationTree::~NavigationTree() {
  delay_.stop();
  // The items go with the widget; the descriptors with the node records.
  blockSignals(true);
  clear();
  nodes_.clear();
}

void NavigationTree::Build() {
  blockSignals(true);
  clear();
  nodes_.clear();
  ParseCell(base_, store_.GetFirstLine(key_ + "_BasicCell"), nullptr, nullptr);
  if (base_.font) setFont(ToQFont(*base_.font, font()));
  {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ToQColor(base_.color));
    if (base_.font && base_.font->color != clWindowText) pal.setColor(QPalette::Text, ToQColor(base_.font->color));
    setPalette(pal);
  }
  ReadItemTree(store_, key_ + "_Body", 0, nullptr, [this](void* parent, std::string_view text) {
    return static_cast<void*>(CreateNode(static_cast<QTreeWidgetItem*>(parent), text));
  });
  if (topLevelItemCount() > 0) topLevelItem(0)->setExpanded(true);
  blockSignals(false);
}

QTreeWidgetItem* NavigationTree::CreateNode(QTreeWidgetItem* parent, std::string_view text) {
  auto cell = std::make_unique<CellDescriptor>();
  ParseCell(*cell, text, nullptr, &base_);
  auto* item = new QTreeWidgetItem();
  item->setText(0, ToQString(DisplayTextOf(*cell)));
  if (parent)
    parent->addChild(item);
  else
    addTopLevelItem(item);
  nodes_[item] = std::make_unique<Node>(*this, item, std::move(cell));
  UpdateIcon(item);
  return item;
}

NavigationTree::Node* NavigationTree::NodeOf(QTreeWidgetItem* item) {
  auto it = nodes_.find(item);
  return it == nodes_.end() ? nullptr : it->second.get();
}

CellDescriptor* NavigationTree::CellOf(const QTreeWidgetItem* item) const {
  auto it = nodes_.find(item);
  return it == nodes_.end() ? nullptr : it->second->Cell();
}

int NavigationTree::OverlayOf(const QTreeWidgetItem* item) const {
  auto it = nodes_.find(item);
  return it == nodes_.end() ? kOverlayNone : it->second->overlay;
}

CellDescriptor* NavigationTree::SelectedCell() const { return CellOf(currentItem()); }

std::vector<QTreeWidgetItem*> NavigationTree::AllNodes() const {
  std::vector<QTreeWidgetItem*> out;
  std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
    out.push_back(item);
    for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
  };
  for (int i = 0; i < topLevelItemCount(); ++i) walk(topLevelItem(i));
  return out;
}

QTreeWidgetItem* NavigationTree::FindNode(const std::string& address) const {
  for (QTreeWidgetItem* item : AllNodes()) {
    const CellDescriptor* c = CellOf(item);
    if (c && c->option && *c->option == address) return item;
  }
  return nullptr;
}

CheckNode* NavigationTree::TopLevel(int i) { return NodeOf(topLevelItem(i)); }

void NavigationTree::SetOverlay(QTreeWidgetItem* item, int overlay) {
  Node* n = NodeOf(item);
  if (!n || n->overlay == overlay) return;
  n->overlay = overlay;
  UpdateIcon(item);
}

void NavigationTree::UpdateIcon(QTreeWidgetItem* item) {
  const Node* n = NodeOf(item);
  if (!n || !images_) return;
  const QPixmap* base = images_->Pixmap(n->Cell()->imageIndex);
  const int overlayImage = n->overlay == kOverlayError ? 5 : n->overlay == kOverlayWarning ? 4 : -1;
  const QPixmap* mark = overlayImage >= 0 ? images_->Pixmap(overlayImage) : nullptr;
  if (!base && !mark) {
    item->setIcon(0, QIcon());
    return;
  }
  QPixmap pm(images_->Width(), images_->Height());
  pm.fill(Qt::transparent);
  {
    QPainter p(&pm);
    if (base) p.drawPixmap(0, 0, *base);
    // The mark covers the lower right part of the picture.
    if (mark) p.drawPixmap(QRect(pm.width() / 3, pm.height() / 3, pm.width() * 2 / 3, pm.height() * 2 / 3), *mark);
  }
  item->setIcon(0, QIcon(pm));
}

void NavigationTree::Forget(QTreeWidgetItem* item) {
  for (int i = 0; i < item->childCount(); ++i) Forget(item->child(i));
  nodes_.erase(item);
}

void NavigationTree::DeleteMarked(int flag) {
  while (true) {
    QTreeWidgetItem* found = nullptr;
    for (QTreeWidgetItem* item : AllNodes()) {
      const CellDescriptor* c = CellOf(item);
      if (c && c->UserFlag(flag)) {
        found = item;
        break;
      }
    }
    if (!found) return;
    Forget(found);
    delete found;
  }
}

void NavigationTree::Adjust(const EepromImage& image, int modelIndex, bool makerMode) {
  const int b = image.InRange(kPlanOptionsAddress) ? image.GetByte(kPlanOptionsAddress) : 0;
  int p = 0;
  {
    const std::vector<QTreeWidgetItem*> all = AllNodes();
    for (std::size_t i = 0; i < all.size(); ++i) {
      const CellDescriptor* c = CellOf(all[i]);
      if (c && c->option && *c->option == "GI_Sheet_IntCh") {
        p = static_cast<int>(i) + 1;
        break;
      }
    }
  }
  // Makes sure a node for `sheet` exists; a new one stands before the node
  // at absolute position p, as a child of the first node.
  auto ensure = [&](const std::string& sheet) {
    if (FindNode(sheet) == nullptr) {
      for (int i = 0;; ++i) {
        const std::string line = store_.GetLine(key_ + "_Body", i);
        if (!line.empty() && line[0] == '#') break;
        if (line.find(sheet) == std::string::npos) continue;
        const auto plus = line.find('+');
        const std::string_view text =
            plus == std::string::npos ? std::string_view(line) : std::string_view(line).substr(plus + 1);
        QTreeWidgetItem* first = topLevelItem(0);
        const std::vector<QTreeWidgetItem*> all = AllNodes();
        QTreeWidgetItem* target = p < static_cast<int>(all.size()) ? all[static_cast<std::size_t>(p)] : nullptr;
        QTreeWidgetItem* node = CreateNode(first, text);
        if (target && target != node) {
          if (first) first->removeChild(node); else takeTopLevelItem(indexOfTopLevelItem(node));
          if (QTreeWidgetItem* parent = target->parent())
            parent->insertChild(parent->indexOfChild(target), node);
          else
            insertTopLevelItem(indexOfTopLevelItem(target), node);
        }
        break;
      }
    }
    ++p;
  };
  if (b & 0x01) ensure("GI_Sheet_UsaCh"); else DeleteMarked(1);
  if (b & 0x04) ensure("GI_Sheet_CanCh"); else DeleteMarked(2);
  if (b & 0x02) ensure("GI_Sheet_WxCh"); else DeleteMarked(3);
  if (modelIndex != 0) DeleteMarked(4);
  if (!makerMode) DeleteMarked(0);
}

}  // namespace twk
