#include "sheet/MenuBuilder.h"

#include <algorithm>
#include <unordered_set>

#include "sheet/CellMarkup.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

namespace twk {

MenuItem* MenuItem::Add() {
  children_.push_back(std::make_unique<MenuItem>());
  children_.back()->parent_ = this;
  return children_.back().get();
}

MenuBuilder::MenuBuilder(void* ownerWindow, MenuItem* root, TextStore& store, std::string key,
                         MenuItem::ClickHandler onClick, void* clickObject, MessageBus& bus,
                         LabelHandlerRef handler)
    : ownerWindow_(ownerWindow),
      root_(root),
      store_(store),
      key_(std::move(key)),
      onClick_(onClick != nullptr ? onClick : &MenuBuilder::DefaultClick),
      clickObject_(onClick != nullptr ? clickObject : this),
      bus_(bus),
      handler_(handler),
      alive_(std::make_shared<bool>(true)) {
  bus_.Subscribe(&MenuBuilder::OnMessage, this);
}

MenuBuilder::~MenuBuilder() {
  *alive_ = false;
  bus_.Unsubscribe(&MenuBuilder::OnMessage, this);
}

LabelHandlerRef MenuBuilder::Handler() const {
  return handler_ ? handler_ : StandardLabelHandler();
}

void MenuBuilder::Build() {
  root_->DeleteChildren();
  descriptors_.clear();
  ParseCell(baseCell_, store_.GetFirstLine(key_ + "_BasicCell"), nullptr, nullptr);
  AddItems(root_, key_ + "_Body", 0, nullptr);
}

int ReadItemTree(TextStore& store, const std::string& key, int firstLine, void* parent,
                 const ItemFactory& create) {
  int i = firstLine;
  std::size_t level = std::string::npos;
  void* last = nullptr;
  while (true) {
    const std::string line = store.GetLine(key, i);
    if (!line.empty() && line[0] == '#') break;
    const std::size_t plus = line.find('+');
    const std::size_t lv = plus == std::string::npos ? 0 : plus;
    if (level == std::string::npos) level = lv;
    if (lv > level && last != nullptr) {
      i += ReadItemTree(store, key, i, last, create);
      continue;
    }
    if (lv < level) break;
    const std::string_view text =
        plus == std::string::npos ? std::string_view(line) : std::string_view(line).substr(plus + 1);
    last = create(parent, text);
    ++i;
  }
  return i - firstLine;
}

int MenuBuilder::AddItems(MenuItem* item, const std::string& sectionKey, int firstLine,
                          const MenuBuilder* source) {
  const MenuBuilder* acting = source != nullptr ? source : this;
  return ReadItemTree(store_, sectionKey, firstLine, item, [&](void* parent, std::string_view text) {
    auto cell = std::make_unique<CellDescriptor>();
    ParseCell(*cell, text, nullptr, &baseCell_);
    MenuItem* m = static_cast<MenuItem*>(parent)->Add();
    m->caption = DisplayTextOf(*cell);
    m->shortcut = cell->option.value_or(std::string());
    m->imageIndex = cell->imageIndex;
    m->cell = cell.get();
    m->owner = acting->root_;
    m->onClick = acting->onClick_;
    m->clickObject = acting->clickObject_;
    descriptors_.push_back(std::move(cell));
    return static_cast<void*>(m);
  });
}

namespace {
void CollectCells(const MenuItem* item, std::unordered_set<const CellDescriptor*>& cells) {
  if (item->cell != nullptr) cells.insert(item->cell);
  for (const auto& c : item->Children()) CollectCells(c.get(), cells);
}

MenuItem* Find(MenuItem* item, int label) {
  if (item->cell != nullptr && item->cell->label == label) return item;
  for (const auto& c : item->Children())
    if (MenuItem* f = Find(c.get(), label)) return f;
  return nullptr;
}

bool Within(const MenuItem* item, const MenuItem* top) {
  for (const MenuItem* p = item; p != nullptr; p = p->Parent())
    if (p == top) return true;
  return false;
}
}  // namespace

void MenuBuilder::Clear(MenuItem* item) {
  item->DeleteChildren();
  std::unordered_set<const CellDescriptor*> referenced;
  CollectCells(root_, referenced);
  std::erase_if(descriptors_, [&](const std::unique_ptr<CellDescriptor>& d) {
    return referenced.count(d.get()) == 0;
  });
}

MenuItem* MenuBuilder::FindByLabel(int label) const { return Find(root_, label); }

bool MenuBuilder::Contains(const MenuItem* item) const { return Within(item, root_); }

void MenuBuilder::FetchParent(MenuItem* owner) {
  haveParent_ = false;
  for (ReplyRecord& r : bus_.Request(msg::kRequestParentCell, reinterpret_cast<std::intptr_t>(owner), 0)) {
    if (const auto* d = std::any_cast<CellDescriptor>(&r.object)) {
      parentCell_ = *d;
      parentContext_ = CellAccessContext{};
      parentContext_.cell = &parentCell_;
      haveParent_ = true;
      break;
    }
  }
  lastOwner_ = owner;
}

void MenuBuilder::RefreshStates(MenuItem* item) {
  // The parent cell is fetched afresh on each refresh pass (the sheet's
  // current cell may have moved since the last one).
  if (item == root_) {
    lastOwner_ = nullptr;
    haveParent_ = false;
  }
  const std::shared_ptr<bool> alive = alive_;
  for (std::size_t i = 0; i < static_cast<std::size_t>(item->Count()); ++i) {
    MenuItem* c = item->Child(static_cast<int>(i));
    if (c->cell != nullptr) {
      context_ = CellAccessContext{};
      context_.sender = ownerWindow_;
      context_.cell = c->cell;
      if (c->owner != lastOwner_) FetchParent(c->owner);
      context_.parent = haveParent_ ? &parentContext_ : nullptr;
      c->cell->ClearMenuFlags();
      Handler()(context_, kModeDisplay);
      if (!*alive) return;
      c->checked = c->cell->UserFlag(kMenuChecked);
      c->visible = !c->cell->UserFlag(kMenuHidden);
      c->enabled = !c->cell->UserFlag(kMenuDisabled);
      if (c->cell->UserFlag(kMenuCaption) && context_.outputText != c->caption)
        c->caption = context_.outputText;
      if (c->imageIndex != c->cell->imageIndex) c->imageIndex = c->cell->imageIndex;
    } else {
      c->checked = false;
    }
    RefreshStates(c);
    if (!*alive) return;
  }
}

void MenuBuilder::DefaultClick(void* object, MenuItem& item) {
  auto* b = static_cast<MenuBuilder*>(object);
  if (b == nullptr || !b->Contains(&item) || item.cell == nullptr) return;
  // The command may rebuild or destroy the menu: work on copies, and check
  // that the builder still exists before refreshing.
  CellDescriptor cell = *item.cell;
  CellAccessContext ctx;
  ctx.sender = b->ownerWindow_;
  ctx.cell = &cell;
  ctx.key = kKeyEnter;
  CellDescriptor parentCell;
  CellAccessContext parentCtx;
  for (ReplyRecord& r : b->bus_.Request(msg::kRequestParentCell, 0, 0)) {
    if (const auto* d = std::any_cast<CellDescriptor>(&r.object)) {
      parentCell = *d;
      parentCtx.cell = &parentCell;
      ctx.parent = &parentCtx;
      break;
    }
  }
  const std::shared_ptr<bool> alive = b->alive_;
  b->Handler()(ctx, kModeDisplay);
  if (*alive) b->RefreshStates(b->root_);
}

void MenuBuilder::OnMessage(void* object, const Message& m) {
  auto* b = static_cast<MenuBuilder*>(object);
  switch (m.type) {
    case msg::kRefreshMenuStates:
      b->RefreshStates(b->root_);
      break;
    case msg::kRemoveMirroredItems:
      if (MenuItem* it = b->FindByLabel(m.value2)) b->Clear(it);
      break;
    case msg::kAddPopupItems:
      if (MenuItem* it = b->FindByLabel(m.value2))
        b->AddItems(it, m.Text() + "_Body", 0, reinterpret_cast<const MenuBuilder*>(m.value1));
      break;
    default:
      break;
  }
}

}  // namespace twk
