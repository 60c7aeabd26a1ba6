// The main menu on Qt: the core's menu item tree (built by a MenuBuilder
// from "GI_Menu_Main") shown in a QMenuBar. Each item becomes an action
// (a submenu when it has items, a separator for "-"); captions, check marks,
// hidden and disabled states follow the items whenever the builder
// refreshes them (message 9, after every click, and when a menu opens);
// items added or removed under an item (messages 10 and 11) are rebuilt.
// Choosing an action is the item's click.
#pragma once

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <vector>

#include "sheet/MenuBuilder.h"

class QAction;
class QMenu;
#include <QMenuBar>
class QWidget;

namespace twk {

class MessageBus;
class TextStore;

class MainMenu : public QObject {
  Q_OBJECT
 public:
  // Subscribes to the bus before the builder does, so that the builder has
  // changed its items when this menu follows them. `ownerWindow` is the
  // window the items act for (the sender of their handler calls).
  MainMenu(QMenuBar* bar, void* ownerWindow, TextStore& store, const std::string& key,
           MessageBus& bus);
  ~MainMenu() override;

  // Builds the items from the resources and the actions from the items.
  void Build();
  // Computes every item's state through the label handler, then follows.
  void Refresh();
  // Makes the actions follow the items (structure and states).
  void Sync();

  MenuBuilder& Builder() { return *builder_; }
  MenuItem& Root() { return root_; }
  QMenuBar* Bar() const { return bar_; }
  // The action of an item (none when the item has none).
  QAction* ActionOf(const MenuItem* item) const;

 private:
  static void OnMessage(void* self, const Message& m);
  void SyncLevel(QWidget* container, MenuItem* parent, bool topLevel);
  void Clicked(MenuItem* item);

  QPointer<QMenuBar> bar_;
  MessageBus& bus_;
  MenuItem root_;
  std::unique_ptr<MenuBuilder> builder_;
  // Per container (the bar or a submenu): the items its actions show.
  struct Level {
    std::vector<MenuItem*> items;
    std::vector<QPointer<QAction>> actions;
  };
  std::map<QWidget*, Level> levels_;
  bool syncing_ = false;
};

}  // namespace twk
