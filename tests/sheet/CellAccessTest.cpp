// The cell access context and the label handler boundary.
#include <gtest/gtest.h>

#include "sheet/CellAccess.h"

namespace twk {
namespace {

struct Counter {
  int calls = 0;
  int lastMode = -1;
  static int Run(void* self, CellAccessContext& ctx, int mode) {
    auto* c = static_cast<Counter*>(self);
    ++c->calls;
    c->lastMode = mode;
    ctx.outputText = "shown";
    return kActionOpenEditor;
  }
};

TEST(CellAccess, KeysAndDefaults) {
  EXPECT_EQ(FunctionKey(5), 0x7400);  // F5: virtual-key code 0x74 x 256
  EXPECT_EQ(FunctionKey(1), 0x7000);
  EXPECT_EQ(VirtualKey(kVkLeft), 0x2500);
  CellAccessContext ctx;
  EXPECT_EQ(ctx.parent, nullptr);
  EXPECT_EQ(ctx.cell, nullptr);
  EXPECT_EQ(ctx.key, 0);
  EXPECT_EQ(ctx.command, 0);
  EXPECT_EQ(ctx.state, 0);
  EXPECT_FALSE(ctx.jumpRequest);
  EXPECT_EQ(ctx.repeatKey, 0);
  EXPECT_TRUE(ctx.outputText.empty());
  ctx.Repaint(0xFF);  // no callback set: nothing happens
  ctx.ReopenEditor();
}

TEST(CellAccess, OnlyBoundCellsReachTheHandler) {
  Counter counter;
  LabelHandlerRef handler{&Counter::Run, &counter};
  CellDescriptor cell;  // label 262: none
  CellAccessContext ctx;
  ctx.cell = &cell;
  EXPECT_EQ(handler(ctx, kModeAction), 0);
  EXPECT_EQ(counter.calls, 0);
  cell.label = CL_Null;  // label 0 is bound
  EXPECT_EQ(handler(ctx, kModeAction), kActionOpenEditor);
  EXPECT_EQ(counter.calls, 1);
  EXPECT_EQ(counter.lastMode, kModeAction);
  EXPECT_EQ(ctx.outputText, "shown");
  ctx.cell = nullptr;
  EXPECT_EQ(handler(ctx, kModeDisplay), 0);
  EXPECT_EQ(counter.calls, 1);

  LabelHandlerRef previous = SetStandardLabelHandler(handler);
  EXPECT_EQ(StandardLabelHandler().object, &counter);
  SetStandardLabelHandler(previous);
}

TEST(CellAccess, RepaintCallbackGetsTheCriteria) {
  struct Seen {
    std::uint8_t criteria = 0;
    const CellAccessContext* ctx = nullptr;
  } seen;
  CellAccessContext ctx;
  ctx.repaint = [](void* o, const CellAccessContext& c, std::uint8_t criteria) {
    static_cast<Seen*>(o)->criteria = criteria;
    static_cast<Seen*>(o)->ctx = &c;
  };
  ctx.repaintObject = &seen;
  ctx.Repaint(0x09);
  EXPECT_EQ(seen.criteria, 0x09);
  EXPECT_EQ(seen.ctx, &ctx);
}

}  // namespace
}  // namespace twk
