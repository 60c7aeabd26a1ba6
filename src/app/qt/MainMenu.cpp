#include "app/qt/MainMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "sheet/MessageBus.h"
#include "sheet/qt/QtCanvas.h"

namespace twk {

MainMenu::MainMenu(QMenuBar* bar, void* ownerWindow, TextStore& store, const std::string& key,
                   MessageBus& bus)
    : QObject(bar), bar_(bar), bus_(bus) {
  bus_.Subscribe(&MainMenu::OnMessage, this);
  builder_ = std::make_unique<MenuBuilder>(ownerWindow, &root_, store, key, nullptr, nullptr, bus_);
}

MainMenu::~MainMenu() {
  bus_.Unsubscribe(&MainMenu::OnMessage, this);
  builder_.reset();
}

void MainMenu::Build() {
  builder_->Build();
  Sync();
}

void MainMenu::Refresh() {
  builder_->RefreshStates(&root_);
  Sync();
}

void MainMenu::OnMessage(void* self, const Message& m) {
  auto* menu = static_cast<MainMenu*>(self);
  switch (m.type) {
    case msg::kRefreshMenuStates:
    case msg::kRemoveMirroredItems:
    case msg::kAddPopupItems:
      menu->Sync();
      break;
    default:
      break;
  }
}

QAction* MainMenu::ActionOf(const MenuItem* item) const {
  for (const auto& [container, level] : levels_)
    for (std::size_t i = 0; i < level.items.size(); ++i)
      if (level.items[i] == item) return level.actions[i];
  return nullptr;
}

void MainMenu::Sync() {
  if (!bar_ || syncing_) return;
  syncing_ = true;
  SyncLevel(bar_, &root_, true);
  syncing_ = false;
}

void MainMenu::SyncLevel(QWidget* container, MenuItem* parent, bool topLevel) {
  Level& level = levels_[container];
  std::vector<MenuItem*> items;
  for (int i = 0; i < parent->Count(); ++i) items.push_back(parent->Child(i));
  bool same = items == level.items && level.actions.size() == items.size();
  for (std::size_t i = 0; same && i < items.size(); ++i) {
    const QAction* a = level.actions[i];
    same = a != nullptr &&
           (a->isSeparator() || (a->menu() != nullptr) == (topLevel || items[i]->Count() > 0));
  }
  if (!same) {
    // Rebuild this level; the old actions and submenus go later (one of them
    // may be the action being triggered right now).
    for (const auto& a : level.actions) {
      if (a.isNull()) continue;
      container->removeAction(a);
      if (QMenu* sub = a->menu()) {
        for (QMenu* nested : sub->findChildren<QMenu*>()) levels_.erase(nested);
        levels_.erase(sub);
        sub->deleteLater();
      } else {
        a->deleteLater();
      }
    }
    level.items = items;
    level.actions.clear();
    for (MenuItem* item : items) {
      QAction* action = nullptr;
      if (item->caption == "-") {
        action = new QAction(container);
        action->setSeparator(true);
      } else if (topLevel || item->Count() > 0) {
        auto* sub = new QMenu(container);
        connect(sub, &QMenu::aboutToShow, this, [this, topLevel] {
          if (topLevel) Refresh();
        });
        action = sub->menuAction();
      } else {
        action = new QAction(container);
        connect(action, &QAction::triggered, this, [this, item] { Clicked(item); });
      }
      container->addAction(action);
      level.actions.emplace_back(action);
    }
  }
  for (std::size_t i = 0; i < items.size(); ++i) {
    MenuItem* item = items[i];
    QAction* action = level.actions[i];
    if (!action || action->isSeparator()) {
      if (action) action->setVisible(item->visible);
      continue;
    }
    const bool own = item->owner == &root_;
    QString text = ToQString(item->caption);
    if (!item->shortcut.empty()) {
      const QKeySequence keys = QKeySequence::fromString(ToQString(item->shortcut));
      if (own && !action->menu()) {
        action->setShortcut(keys);
      } else {
        // Keys of mirrored popup items belong to the grid: shown, not taken.
        text += "\t" + keys.toString(QKeySequence::NativeText);
      }
    }
    action->setText(text);
    action->setCheckable(item->checked);
    action->setChecked(item->checked);
    action->setVisible(item->visible);
    action->setEnabled(item->enabled);
    if (QMenu* sub = action->menu()) SyncLevel(sub, item, false);
  }
}

void MainMenu::Clicked(MenuItem* item) {
  // The click may change the menu (or close the window): guard this object.
  QPointer<MainMenu> self(this);
  item->Click();
  if (self) Sync();
}

}  // namespace twk
