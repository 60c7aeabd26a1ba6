// Validation over the shipped check list and navigation tree: the counts,
// the tree overlays (errors after warnings, collapsed branches), and the
// Clone Write gate.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "data/DataTestSupport.h"
#include "data/ItemRecord.h"
#include "data/MemoryMap.h"
#include "data/Validation.h"
#include "sheet/CellMarkup.h"

namespace twk::test {
namespace {

struct Node : CheckNode {
  std::optional<std::string> address;
  std::string caption;
  bool expanded = true;
  int overlay = kOverlayNone;
  std::vector<std::unique_ptr<Node>> children;

  const std::string* Address() const override { return address ? &*address : nullptr; }
  bool Expanded() const override { return expanded; }
  int ChildCount() const override { return static_cast<int>(children.size()); }
  CheckNode* Child(int i) override { return children[static_cast<size_t>(i)].get(); }
  void SetOverlay(int o) override { overlay = o; }
};

struct Tree : CheckTree {
  std::vector<std::unique_ptr<Node>> top;
  int TopLevelCount() const override { return static_cast<int>(top.size()); }
  CheckNode* TopLevel(int i) override { return top[static_cast<size_t>(i)].get(); }

  // All nodes, depth first.
  void Walk(const std::function<void(Node&)>& fn) {
    std::function<void(Node&)> rec = [&](Node& n) {
      fn(n);
      for (auto& c : n.children) rec(*c);
    };
    for (auto& n : top) rec(*n);
  }
  Node* Find(const std::string& address) {
    Node* found = nullptr;
    Walk([&](Node& n) {
      if (!found && n.address == address) found = &n;
    });
    return found;
  }
};

// The navigation tree as the resources describe it (levels by the bytes
// before the first "+").
Tree ShippedTree() {
  Tree tree;
  CellDescriptor base;
  ParseCell(base, MainText().GetLine("GI_Tree_Main_BasicCell", 0), nullptr, nullptr);
  std::vector<std::pair<size_t, Node*>> stack;
  for (int i = 0;; ++i) {
    const std::string line = MainText().GetLine("GI_Tree_Main_Body", i);
    if (!line.empty() && line[0] == '#') break;
    const size_t level = line.find('+');
    CellDescriptor cell;
    ParseCell(cell, line.substr(level + 1), nullptr, &base);
    auto node = std::make_unique<Node>();
    node->caption = DisplayTextOf(cell);
    if (cell.option && !cell.option->empty()) node->address = *cell.option;
    while (!stack.empty() && stack.back().first >= level) stack.pop_back();
    Node* raw = node.get();
    if (stack.empty())
      tree.top.push_back(std::move(node));
    else
      stack.back().second->children.push_back(std::move(node));
    stack.emplace_back(level, raw);
  }
  return tree;
}

class ValidationTest : public ::testing::Test {
 public:
  DataEnv env;
  Tree tree = ShippedTree();
  int errors = -1, warnings = -1;
  void Check() { RunWarningCheck(&tree, &errors, &warnings, &env.hooks); }
  void SetNotInUse(RecordKind kind, int slot) {
    ItemRecord r(&env.hooks.image);
    r.Load(kind, slot);
    r.flags |= ItemRecord::kFlagNotInUse;
    r.Store();
  }
};

TEST_F(ValidationTest, EveryCheckReportsToANodeOfTheTree) {
  for (const CheckResult& r : EvaluateCheckList(&env.hooks))
    EXPECT_NE(tree.Find(r.address), nullptr) << r.address;
}

TEST_F(ValidationTest, TheInitialImageIsClean) {
  Check();
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(warnings, 0);
  tree.Walk([](Node& n) { EXPECT_EQ(n.overlay, kOverlayNone) << n.caption; });
  EXPECT_TRUE(CloneWriteAllowed(&tree, env.hooks));
  EXPECT_TRUE(env.hooks.boxes.shown.empty());
}

// Each rule, with the node it marks and the overlay it gives.
TEST_F(ValidationTest, RulesMarkTheirNodes) {
  struct Case {
    const char* what;
    std::function<void(ValidationTest&)> edit;
    const char* node;
    int overlay;
  } cases[] = {
      {"USA P channel not in use", [](ValidationTest& t) { t.SetNotInUse(RecordKind::UsaChannel, 32); },
       "GI_Sheet_UsaCh", kOverlayError},
      {"INT C channel not in use", [](ValidationTest& t) { t.SetNotInUse(RecordKind::IntChannel, 18); },
       "GI_Sheet_IntCh", kOverlayError},
      {"no weather channel", [](ValidationTest& t) { t.env.hooks.image.SetWord(mem::kWeatherFlags, 0x3FF); },
       "GI_Sheet_WxCh", kOverlayError},
      {"repeated DSC ID",
       [](ValidationTest& t) {
         for (int row : {2, 5}) {
           t.env.Commit(CT_DscIndId, CL_DscIndId_Id, row, "316000001");
           t.env.Commit(CT_DscIndId, CL_DscIndId_Comment, row, "TUG");
         }
       },
       "GI_Sheet_DscIndId", kOverlayWarning},
      {"DSC ID without a name",
       [](ValidationTest& t) { t.env.Commit(CT_DscIndId, CL_DscIndId_Id, 1, "316000001"); },
       "GI_Sheet_DscIndId", kOverlayError},
      {"self ID beginning with 0",
       [](ValidationTest& t) { t.env.Commit(CT_None, CL_ComDsc_SelfId, 0, "031600001"); },
       "GI_Sheet_SelfId", kOverlayError},
  };
  for (const Case& c : cases) {
    env.hooks.image.Assign(env.initial);
    c.edit(*this);
    Check();
    EXPECT_EQ(errors, c.overlay == kOverlayError ? 1 : 0) << c.what;
    EXPECT_EQ(warnings, c.overlay == kOverlayWarning ? 1 : 0) << c.what;
    tree.Walk([&](Node& n) {
      const bool isNode = n.address && *n.address == c.node;
      EXPECT_EQ(n.overlay, isNode ? c.overlay : kOverlayNone) << c.what << ": " << n.caption;
    });
  }
}

TEST_F(ValidationTest, ErrorsBlockCloneWriteAndWarningsDoNot) {
  for (int row : {2, 5}) {
    env.Commit(CT_DscIndId, CL_DscIndId_Id, row, "316000001");
    env.Commit(CT_DscIndId, CL_DscIndId_Comment, row, "TUG");
  }
  EXPECT_TRUE(CloneWriteAllowed(&tree, env.hooks));
  SetNotInUse(RecordKind::UsaChannel, 32);
  EXPECT_FALSE(CloneWriteAllowed(&tree, env.hooks));
  ASSERT_EQ(env.hooks.boxes.shown.size(), 1u);
  EXPECT_EQ(env.hooks.boxes.shown[0].text, MainText().GetSectionText("GI_Mess_DataError"));
  EXPECT_EQ(env.hooks.boxes.shown[0].caption, MainText().GetLine("GI_Sys_AppTitle", 0));
  EXPECT_EQ(env.hooks.boxes.shown[0].icon, MsgIcon::Error);
  // Without a tree the check list still decides.
  EXPECT_FALSE(CloneWriteAllowed(nullptr, env.hooks));
}

TEST_F(ValidationTest, ACollapsedBranchShowsTheProblemOfAHiddenChild) {
  env.Commit(CT_None, CL_ComDsc_SelfId, 0, "031600001");
  Node* selfId = tree.Find("GI_Sheet_SelfId");
  ASSERT_NE(selfId, nullptr);
  Node* dsc = nullptr;
  tree.Walk([&](Node& n) {
    for (auto& c : n.children)
      if (c.get() == selfId) dsc = &n;
  });
  ASSERT_NE(dsc, nullptr);
  dsc->expanded = false;
  Check();
  EXPECT_EQ(errors, 1) << "only nodes with their own address count";
  EXPECT_EQ(selfId->overlay, kOverlayError);
  EXPECT_EQ(dsc->overlay, kOverlayError);
  dsc->expanded = true;
  Check();
  EXPECT_EQ(dsc->overlay, kOverlayNone);
}

TEST_F(ValidationTest, AnErrorWinsOverAWarningOnTheSameNode) {
  int e = 0, w = 0;
  MarkTree(tree, {"GI_Sheet_IntCh"}, {"GI_Sheet_IntCh", "GI_Sheet_WxCh"}, &e, &w);
  EXPECT_EQ(tree.Find("GI_Sheet_IntCh")->overlay, kOverlayError);
  EXPECT_EQ(tree.Find("GI_Sheet_WxCh")->overlay, kOverlayWarning);
  EXPECT_EQ(e, 1);
  EXPECT_EQ(w, 2);
}

TEST_F(ValidationTest, NoTreeNoCounts) {
  SetNotInUse(RecordKind::UsaChannel, 32);
  RunWarningCheck(nullptr, &errors, &warnings, &env.hooks);
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(warnings, 0);
}

}  // namespace
}  // namespace twk::test
