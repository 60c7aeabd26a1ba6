// The menu builder: items read from "_Body" with levels, state refresh
// through the label handler, the parent cell request, the default click,
// mirrored popup items (messages 10 and 11) and reference-checked freeing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "clone/TimerService.h"
#include "common/TestSupport.h"
#include "sheet/MenuBuilder.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

namespace twk {
namespace {

using test::FatalCatcher;

// A small label handler: records each call and sets menu flags by label.
struct Handler {
  struct Call {
    int label, mode, key;
    void* sender;
    int parentIndex;  // -1 without parent context
  };
  std::vector<Call> calls;
  std::function<void()> onCommand;

  static int Run(void* self, CellAccessContext& ctx, int mode) {
    auto* h = static_cast<Handler*>(self);
    CellDescriptor& c = *ctx.cell;
    h->calls.push_back({c.label, mode, ctx.key, ctx.sender,
                        ctx.parent != nullptr && ctx.parent->cell ? ctx.parent->cell->index : -1});
    if (ctx.key == kKeyEnter) {
      if (h->onCommand) h->onCommand();
      return 0;
    }
    switch (c.label) {
      case CL_Menu_File_Open: c.SetUserFlag(kMenuChecked, true); break;
      case CL_Menu_File_Recent:
        c.SetUserFlag(kMenuCaption, true);
        c.SetUserFlag(kMenuDisabled, true);
        ctx.outputText = "&1 plan.clone";
        break;
      case CL_Help_About:
        c.SetUserFlag(kMenuHidden, true);
        c.imageIndex = 7;
        break;
      default: break;
    }
    return 0;
  }
  LabelHandlerRef Ref() { return {&Handler::Run, this}; }
};

// A sheet stand-in that answers request 12 for one popup root with a copy
// of its current cell.
struct FakeSheet {
  MessageBus& bus;
  MenuItem* popupRoot;  // nullptr: answers only owner-less requests
  CellDescriptor current;
  int requests = 0;

  static void OnMessage(void* self, const Message& m) {
    auto* s = static_cast<FakeSheet*>(self);
    if (m.type != msg::kRequestParentCell) return;
    ++s->requests;
    if (m.value1 == reinterpret_cast<std::intptr_t>(s->popupRoot)) s->bus.ReplyObject(s->current);
  }
};

class MenuTest : public ::testing::Test {
 protected:
  MenuTest() {
    store.SetLines({
        "#GI_Menu_Main_BasicCell", "{(%CT_Null.)}",
        "#GI_Menu_Main_Body",
        "+File",
        " +Open...\t{(%CL_Menu_File_Open:Ctrl+O)(ImageIndex=2)}",
        " +Recent{(%CL_Menu_File_Recent[0])}",
        "+Edit{(%CL_Menu_Edit_Top)}",
        "+Help",
        "  +About{(%CL_Help_About)}",
        "    +Deep{(%CL_Help_Contents)}",
        "+Last",
        "#",
        "#GI_PMenu_Ch_BasicCell", "{(%CT_PopupMenu.)}",
        "#GI_PMenu_Ch_Body",
        "+Edit...\t{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}",
        "+Copy{(%CL_PMenu_Copy)}",
        "#",
        "#End_Of_Ovl",
    });
  }

  FatalCatcher fatal;
  ManualClock clock;
  MessageBus bus{clock};
  TextStore store;
  Handler handler;
  int window = 0;  // the owner window
  MenuItem root;
};

TEST_F(MenuTest, BuildReadsItemsWithLevels) {
  MenuBuilder b(&window, &root, store, "GI_Menu_Main", nullptr, nullptr, bus, handler.Ref());
  b.Build();
  ASSERT_EQ(root.Count(), 4);
  const MenuItem* file = root.Child(0);
  EXPECT_EQ(file->caption, "File");
  ASSERT_EQ(file->Count(), 2);
  const MenuItem* open = file->Child(0);
  EXPECT_EQ(open->caption, "Open...");  // the TAB before the braces is trimmed
  EXPECT_EQ(open->shortcut, "Ctrl+O");
  EXPECT_EQ(open->imageIndex, 2);
  ASSERT_NE(open->cell, nullptr);
  EXPECT_EQ(open->cell->label, CL_Menu_File_Open);
  EXPECT_EQ(open->cell->category, CT_Null);  // from the base cell
  EXPECT_EQ(open->owner, &root);
  EXPECT_EQ(file->Child(1)->cell->index, 0);
  EXPECT_EQ(root.Child(1)->Count(), 0);
  const MenuItem* help = root.Child(2);
  ASSERT_EQ(help->Count(), 1);
  ASSERT_EQ(help->Child(0)->Count(), 1);  // a deeper line is a submenu item
  EXPECT_EQ(help->Child(0)->Child(0)->caption, "Deep");
  EXPECT_EQ(root.Child(3)->caption, "Last");  // back two levels at once
  EXPECT_EQ(b.DescriptorCount(), 8u);

  b.Build();  // rebuilding starts from an empty root
  EXPECT_EQ(root.Count(), 4);
  EXPECT_EQ(b.DescriptorCount(), 8u);
  EXPECT_EQ(b.FindByLabel(CL_Help_Contents), root.Child(2)->Child(0)->Child(0));
  EXPECT_EQ(b.FindByLabel(CL_Model), nullptr);
}

TEST_F(MenuTest, RefreshAppliesTheHandlersFlagsOnMessage9) {
  MenuBuilder b(&window, &root, store, "GI_Menu_Main", nullptr, nullptr, bus, handler.Ref());
  b.Build();
  FakeSheet sheet{bus, &root, {}};
  sheet.current.index = 41;
  bus.Subscribe(&FakeSheet::OnMessage, &sheet);
  MenuItem* open = b.FindByLabel(CL_Menu_File_Open);
  MenuItem* recent = b.FindByLabel(CL_Menu_File_Recent);
  MenuItem* about = b.FindByLabel(CL_Help_About);
  open->cell->SetUserFlag(kMenuHidden, true);  // stale flags are cleared first

  bus.Send(msg::kRefreshMenuStates, 0, 0);
  EXPECT_TRUE(open->checked);
  EXPECT_TRUE(open->visible);
  EXPECT_TRUE(open->enabled);
  EXPECT_FALSE(recent->checked);
  EXPECT_FALSE(recent->enabled);
  EXPECT_EQ(recent->caption, "&1 plan.clone");
  EXPECT_FALSE(about->visible);
  EXPECT_EQ(about->imageIndex, 7);
  EXPECT_TRUE(root.Child(3)->visible);
  // Only bound cells reach the handler, in display mode, from the owner window,
  // with the parent cell fetched once for the pass.
  std::vector<int> labels;
  for (const Handler::Call& c : handler.calls) {
    labels.push_back(c.label);
    EXPECT_EQ(c.mode, kModeDisplay);
    EXPECT_EQ(c.sender, &window);
    EXPECT_EQ(c.parentIndex, 41);
  }
  EXPECT_EQ(labels, (std::vector<int>{CL_Menu_File_Open, CL_Menu_File_Recent, CL_Menu_Edit_Top,
                                      CL_Help_About, CL_Help_Contents}));
  EXPECT_EQ(sheet.requests, 1);
  sheet.current.index = 42;  // the next pass asks again
  b.RefreshStates(&root);
  EXPECT_EQ(sheet.requests, 2);
  EXPECT_EQ(handler.calls.back().parentIndex, 42);
  bus.Unsubscribe(&FakeSheet::OnMessage, &sheet);
}

TEST_F(MenuTest, DefaultClickRunsTheCommandWithEnterThenRefreshes) {
  MenuBuilder b(&window, &root, store, "GI_Menu_Main", nullptr, nullptr, bus, handler.Ref());
  b.Build();
  FakeSheet sheet{bus, nullptr, {}};
  sheet.current.index = 5;
  bus.Subscribe(&FakeSheet::OnMessage, &sheet);
  MenuItem* about = b.FindByLabel(CL_Help_About);
  about->Click();
  ASSERT_FALSE(handler.calls.empty());
  const Handler::Call& command = handler.calls.front();
  EXPECT_EQ(command.label, CL_Help_About);
  EXPECT_EQ(command.mode, kModeDisplay);
  EXPECT_EQ(command.key, kKeyEnter);
  EXPECT_EQ(command.parentIndex, 5);  // the sheet answered the owner-less request
  EXPECT_EQ(handler.calls.size(), 6u);  // then the refresh of the five bound items
  EXPECT_FALSE(about->visible);
  bus.Unsubscribe(&FakeSheet::OnMessage, &sheet);
}

TEST_F(MenuTest, ACommandMayDestroyTheMenu) {
  auto b = std::make_unique<MenuBuilder>(&window, &root, store, "GI_Menu_Main", nullptr, nullptr,
                                         bus, handler.Ref());
  b->Build();
  handler.onCommand = [&] {
    b.reset();
    root.DeleteChildren();
  };
  MenuItem* open = root.Child(0)->Child(0);
  open->Click();
  EXPECT_EQ(b, nullptr);
  EXPECT_EQ(handler.calls.size(), 1u);  // no refresh after the builder went
}

struct Clicks {
  std::vector<std::string> captions;
  static void On(void* self, MenuItem& item) {
    static_cast<Clicks*>(self)->captions.push_back(item.caption);
  }
};

TEST_F(MenuTest, MirroredPopupItemsAreAddedAndRemovedByLabel) {
  MenuBuilder main(&window, &root, store, "GI_Menu_Main", nullptr, nullptr, bus, handler.Ref());
  main.Build();
  MenuItem popupRoot;
  Clicks clicks;
  MenuBuilder popup(&window, &popupRoot, store, "GI_PMenu_Ch", &Clicks::On, &clicks, bus,
                    handler.Ref());
  popup.Build();
  MenuItem* edit = main.FindByLabel(CL_Menu_Edit_Top);
  ASSERT_EQ(popupRoot.Count(), 2);
  EXPECT_EQ(popupRoot.Child(0)->shortcut, "Enter");
  EXPECT_EQ(popupRoot.Child(0)->cell->category, CT_PopupMenu);

  bus.SendText(msg::kAddPopupItems, reinterpret_cast<std::intptr_t>(&popup), CL_Menu_Edit_Top,
               "GI_PMenu_Ch");
  ASSERT_EQ(edit->Count(), 2);
  EXPECT_EQ(edit->Child(0)->caption, "Edit...");
  EXPECT_EQ(edit->Child(0)->cell->label, CL_PMenu_Edit);
  EXPECT_EQ(edit->Child(1)->owner, &popupRoot);  // serves the popup's sheet
  EXPECT_EQ(main.DescriptorCount(), 10u);
  edit->Child(1)->Click();  // acts through the popup's click handler
  EXPECT_EQ(clicks.captions, (std::vector<std::string>{"Copy"}));

  bus.Send(msg::kRemoveMirroredItems, 0, CL_Menu_Edit_Top);
  EXPECT_EQ(edit->Count(), 0);
  EXPECT_EQ(main.DescriptorCount(), 8u);  // only the mirrored descriptors went
  EXPECT_EQ(main.FindByLabel(CL_Help_About)->cell->label, CL_Help_About);
  EXPECT_EQ(popupRoot.Count(), 2);  // the popup keeps its own items
  EXPECT_EQ(popup.DescriptorCount(), 2u);

  bus.Send(msg::kRemoveMirroredItems, 0, CL_Model);  // no such item: nothing happens
  EXPECT_EQ(main.DescriptorCount(), 8u);
}

TEST_F(MenuTest, DestroyedBuilderNoLongerReacts) {
  {
    MenuBuilder b(&window, &root, store, "GI_Menu_Main", nullptr, nullptr, bus, handler.Ref());
    b.Build();
  }
  bus.Send(msg::kRefreshMenuStates, 0, 0);
  EXPECT_TRUE(handler.calls.empty());
}

}  // namespace
}  // namespace twk
