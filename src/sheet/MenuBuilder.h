// Menus built from the OVL resources, over an abstract tree of menu items
// that the front end maps to real menus. A builder reads key + "_BasicCell"
// (the base cell) and key + "_Body" (the items, one a line, nested by the
// indentation before "+"), keeps every item's cell descriptor, and keeps the
// items' state (checked, visible, enabled, caption, image) in step with the
// label handler.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/CellAccess.h"
#include "sheet/CellDescriptor.h"

namespace twk {

class MenuBuilder;
class MessageBus;
class TextStore;
struct Message;

// The item reader shared by menus and the navigation tree. Reads lines of
// section `key` from `firstLine` until a line beginning with "#": a line's
// level is the number of bytes before its first "+"; the first line sets
// the level of the call, a deeper line starts the children of the item made
// last, a shallower one ends the call. `create(parent, text)` makes an item
// from the text after the "+" (the whole line without one) and returns it
// as the parent of its children. Returns the number of lines consumed.
using ItemFactory = std::function<void*(void* parent, std::string_view text)>;
int ReadItemTree(TextStore& store, const std::string& key, int firstLine, void* parent,
                 const ItemFactory& create);

class MenuItem {
 public:
  using ClickHandler = void (*)(void* object, MenuItem& item);

  MenuItem() = default;
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  std::string caption;
  std::string shortcut;  // the toolkit's shortcut text, e.g. "Enter" or "Ctrl+O"
  int imageIndex = -1;
  bool checked = false;
  bool visible = true;
  bool enabled = true;
  CellDescriptor* cell = nullptr;  // the tag; owned by the builder that made the item
  // The root item of the menu whose items this one serves (for a mirrored
  // item: the root of the source builder); sent with request 12.
  MenuItem* owner = nullptr;
  ClickHandler onClick = nullptr;
  void* clickObject = nullptr;

  MenuItem* Parent() const { return parent_; }
  const std::vector<std::unique_ptr<MenuItem>>& Children() const { return children_; }
  int Count() const { return static_cast<int>(children_.size()); }
  MenuItem* Child(int i) const { return children_[static_cast<std::size_t>(i)].get(); }
  MenuItem* Add();
  void DeleteChildren() { children_.clear(); }

  // What a user's choice of this item does.
  void Click() {
    if (onClick != nullptr) onClick(clickObject, *this);
  }

 private:
  MenuItem* parent_ = nullptr;
  std::vector<std::unique_ptr<MenuItem>> children_;
};

class MenuBuilder {
 public:
  // Subscribes to `bus`. With no click handler the builder's own one runs
  // the label handler with the Enter key. `handler` is the label handler
  // used for clicks and refreshes (default: the standard one at call time).
  MenuBuilder(void* ownerWindow, MenuItem* root, TextStore& store, std::string key,
              MenuItem::ClickHandler onClick, void* clickObject, MessageBus& bus,
              LabelHandlerRef handler = {});
  ~MenuBuilder();
  MenuBuilder(const MenuBuilder&) = delete;
  MenuBuilder& operator=(const MenuBuilder&) = delete;

  // Clears the root and builds the items from key + "_Body".
  void Build();
  // Reads items of `sectionKey` from `firstLine` under `item`; returns the
  // number of lines consumed. With a source builder the new items act
  // through its click handler, object and root.
  int AddItems(MenuItem* item, const std::string& sectionKey, int firstLine,
               const MenuBuilder* source);
  // Deletes every item under `item` and frees the descriptors that no
  // remaining item references.
  void Clear(MenuItem* item);
  // The first item, depth first from the root itself, bound to `label`.
  MenuItem* FindByLabel(int label) const;
  // Refreshes the items under `item` through the label handler.
  void RefreshStates(MenuItem* item);

  MenuItem* Root() const { return root_; }
  const std::string& Key() const { return key_; }
  const CellDescriptor& BaseCell() const { return baseCell_; }
  std::size_t DescriptorCount() const { return descriptors_.size(); }

  // The builder's own click handler (the default).
  static void DefaultClick(void* builder, MenuItem& item);

 private:
  static void OnMessage(void* builder, const Message& m);
  LabelHandlerRef Handler() const;
  bool Contains(const MenuItem* item) const;
  void FetchParent(MenuItem* owner);

  void* ownerWindow_;
  MenuItem* root_;
  TextStore& store_;
  std::string key_;
  MenuItem::ClickHandler onClick_;
  void* clickObject_;
  MessageBus& bus_;
  LabelHandlerRef handler_;
  CellDescriptor baseCell_;
  std::vector<std::unique_ptr<CellDescriptor>> descriptors_;
  CellAccessContext context_;
  CellDescriptor parentCell_;
  CellAccessContext parentContext_;
  bool haveParent_ = false;
  const MenuItem* lastOwner_ = nullptr;
  std::shared_ptr<bool> alive_;  // false once destroyed (checked after handler calls)
};

}  // namespace twk
