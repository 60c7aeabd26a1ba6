// Row operations through the label handler's popup commands: copy, paste,
// carry and the row-editing permission, with their confirmations, clamping
// to the kind's row range and the clipboard's record kind.
#include <gtest/gtest.h>

#include "data/DataTestSupport.h"
#include "data/ItemRecord.h"
#include "data/MemoryMap.h"
#include "data/RowOperation.h"

namespace twk::test {
namespace {

class RowOperationTest : public ::testing::Test {
 protected:
  void SetUp() override { RecordClipboard().Clear(); }
  void TearDown() override {
    RecordClipboard().Clear();
    SetRowEditingPermitted(false);
  }
  DataEnv env;
  ItemRecord Load(RecordKind kind, int index) {
    ItemRecord r(&env.hooks.image);
    r.Load(kind, index);
    return r;
  }
  void SetDscId(int row, const std::string& digits, const std::string& name) {
    env.Commit(CT_DscIndId, CL_DscIndId_Id, row, digits);
    env.Commit(CT_DscIndId, CL_DscIndId_Comment, row, name);
  }
  std::string DscName(int row) { return env.Show(CT_DscIndId, CL_DscIndId_Comment, row); }
};

TEST_F(RowOperationTest, RowRanges) {
  struct Case { RecordKind kind; int first, last; } cases[] = {
      {RecordKind::IntChannel, 0, 255}, {RecordKind::UsaChannel, 0, 255},
      {RecordKind::CanadaChannel, 0, 255}, {RecordKind::Weather, 0, 9},
      {RecordKind::FreeChannel, 0, 21}, {RecordKind::DscId, 0, 29},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RowRangeOf(c.kind).first, c.first);
    EXPECT_EQ(RowRangeOf(c.kind).last, c.last);
    EXPECT_FALSE(KindPermitsRowEditing(c.kind));
  }
  EXPECT_FALSE(RowRangeOf(RecordKind::None).Contains(0));
}

TEST_F(RowOperationTest, CopyTakesTheSelectionClampedToTheRange) {
  DataEnv::Result r = env.Command(CT_DscIndId, CL_DscIndId_Id, 28, CL_PMenu_Copy, 25, 40);
  ASSERT_TRUE(RecordClipboard().Holds(RecordKind::DscId));
  EXPECT_EQ(RecordClipboard().first, 25);
  EXPECT_EQ(RecordClipboard().Count(), 5);
  EXPECT_TRUE(r.ctx.selectionFlags & selection::kApplyRange);
  EXPECT_EQ(r.ctx.rangeLow, 25);
  EXPECT_EQ(r.ctx.rangeHigh, 29);
  EXPECT_EQ(env.hooks.LastStatus()->text, env.StatusOf("GI_AppMess_S_Copy"));
}

TEST_F(RowOperationTest, PasteNearTheEndPastesWhatFits) {
  for (int i = 0; i < 5; ++i) SetDscId(i, "23000000" + std::to_string(i), "B" + std::to_string(i));
  env.Command(CT_DscIndId, CL_DscIndId_Id, 0, CL_PMenu_Copy, 0, 4);
  ASSERT_EQ(RecordClipboard().Count(), 5);
  DataEnv::Result r = env.Command(CT_DscIndId, CL_DscIndId_Id, 27, CL_PMenu_Paste);
  EXPECT_TRUE(env.hooks.boxes.shown.empty()) << "empty target rows need no confirmation";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(DscName(27 + i), "B" + std::to_string(i));
  EXPECT_EQ(r.ctx.rangeLow, 27);
  EXPECT_EQ(r.ctx.rangeHigh, 29);
  EXPECT_FALSE(env.hooks.Of(msg::kRepaintAll).empty());
  EXPECT_EQ(env.hooks.LastStatus()->text, env.StatusOf("GI_AppMess_S_Paste"));
  // Nothing beyond the last row was touched.
  EXPECT_EQ(env.Byte(mem::DscId(29) + 11), env.initial.GetByte(mem::DscId(29) + 11));
}

TEST_F(RowOperationTest, PasteOverUsedRowsAsksAndCancelKeepsTheImage) {
  SetDscId(0, "230000001", "ONE");
  SetDscId(10, "230000002", "TEN");
  env.Command(CT_DscIndId, CL_DscIndId_Id, 0, CL_PMenu_Copy);
  const EepromImage before(env.hooks.image);
  env.hooks.boxes.answers.push_back(MsgAnswer::Cancel);
  env.Command(CT_DscIndId, CL_DscIndId_Comment, 10, CL_PMenu_Paste);
  ASSERT_EQ(env.hooks.boxes.shown.size(), 1u);
  EXPECT_EQ(env.hooks.boxes.shown[0].text, MainText().GetSectionText("GI_AppMess_Conv_Overwrite"));
  EXPECT_EQ(env.hooks.boxes.shown[0].buttons, MsgButtons::OkCancel);
  EXPECT_TRUE(env.hooks.image.Equals(before));
  env.hooks.boxes.answers.push_back(MsgAnswer::Ok);
  env.Command(CT_DscIndId, CL_DscIndId_Comment, 10, CL_PMenu_Paste);
  EXPECT_EQ(DscName(10), "ONE");
  EXPECT_EQ(env.hooks.Of(msg::kRepaintIndex).back().v2, 10);
}

TEST_F(RowOperationTest, PasteOfAnotherKindDoesNothing) {
  env.Command(CT_IntCh, CL_ChList_Comment, 32, CL_PMenu_Copy);
  ASSERT_TRUE(RecordClipboard().Holds(RecordKind::IntChannel));
  env.Commit(CT_UsaCh, CL_ChList_Comment, 40, "KEEP");
  const EepromImage before(env.hooks.image);
  env.Command(CT_UsaCh, CL_ChList_Comment, 40, CL_PMenu_Paste);
  EXPECT_TRUE(env.hooks.image.Equals(before));
  // The Paste item shows disabled for the USA rows and enabled for INT rows.
  auto pasteDisabled = [&](int category) {
    CellDescriptor parentCell;
    parentCell.category = category;
    parentCell.label = CL_ChList_Comment;
    parentCell.index = 40;
    CellAccessContext parent;
    parent.cell = &parentCell;
    CellDescriptor item;
    item.category = CT_PopupMenu;
    item.label = CL_PMenu_Paste;
    CellAccessContext ctx;
    ctx.cell = &item;
    ctx.parent = &parent;
    HandleLabel(&env.hooks, ctx, kModeDisplay);
    return item.UserFlag(kMenuDisabled);
  };
  EXPECT_TRUE(pasteDisabled(CT_UsaCh));
  EXPECT_FALSE(pasteDisabled(CT_IntCh));
}

TEST_F(RowOperationTest, ChannelRecordsKeepTheirMarksWhenPasted) {
  env.Command(CT_CanCh, CL_ChList_Comment, 32, CL_PMenu_Copy);  // the P channel
  // Every channel slot counts as used: pasting always asks.
  env.hooks.boxes.answers.push_back(MsgAnswer::Ok);
  env.Command(CT_CanCh, CL_ChList_Comment, 50, CL_PMenu_Paste);
  EXPECT_EQ(Load(RecordKind::CanadaChannel, 50).name, Load(RecordKind::CanadaChannel, 32).name);
  EXPECT_EQ(env.hooks.image.GetWord(mem::PChannelWord(mem::kPlanCanada)), 50);
}

TEST_F(RowOperationTest, RowEditingIsRefusedForEveryKind) {
  SetDscId(3, "230000003", "X");
  const EepromImage before(env.hooks.image);
  for (int command : {CL_PMenu_Clear, CL_PMenu_Delete, CL_PMenu_Insert})
    env.Command(CT_DscIndId, CL_DscIndId_Id, 3, command);
  EXPECT_TRUE(env.hooks.image.Equals(before));
  EXPECT_TRUE(env.hooks.boxes.shown.empty());
}

// With row editing permitted (not in this program), the algorithms move
// records as a block.
TEST_F(RowOperationTest, CarryDeleteInsertWhenPermitted) {
  SetRowEditingPermitted(true);
  for (int i = 0; i < 4; ++i) SetDscId(i, "24000000" + std::to_string(i), "R" + std::to_string(i));
  // Carry rows 1-2 down: the neighbour row 3 goes round to row 1.
  DataEnv::Result r = env.Command(CT_DscIndId, CL_DscIndId_Id, 1, CL_PMenu_CarryDown, 1, 2);
  EXPECT_EQ(DscName(1), "R3");
  EXPECT_EQ(DscName(2), "R1");
  EXPECT_EQ(DscName(3), "R2");
  EXPECT_TRUE(r.ctx.jumpRequest);
  EXPECT_EQ(r.ctx.jumpIndex, 3);
  // Carry up of the first row does nothing.
  const EepromImage before(env.hooks.image);
  env.Command(CT_DscIndId, CL_DscIndId_Id, 0, CL_PMenu_CarryUp);
  EXPECT_TRUE(env.hooks.image.Equals(before));
  // Delete row 0 (used: confirmed): the rows move up, the last row empties.
  env.hooks.boxes.answers.push_back(MsgAnswer::Ok);
  env.Command(CT_DscIndId, CL_DscIndId_Id, 0, CL_PMenu_Delete);
  EXPECT_EQ(DscName(0), "R3");
  EXPECT_EQ(env.Byte(mem::DscId(29)), 0xFF);
  // Insert at row 0: an empty row, the others move down.
  env.Command(CT_DscIndId, CL_DscIndId_Id, 0, CL_PMenu_Insert);
  EXPECT_EQ(env.Byte(mem::DscId(0)), 0xFF);
  EXPECT_EQ(DscName(1), "R3");
  EXPECT_EQ(env.hooks.LastStatus()->text, env.StatusOf("GI_AppMess_S_Insert"));
  // Clear asks first.
  env.hooks.boxes.answers.push_back(MsgAnswer::Cancel);
  env.Command(CT_DscIndId, CL_DscIndId_Id, 1, CL_PMenu_Clear);
  EXPECT_EQ(DscName(1), "R3");
}

}  // namespace
}  // namespace twk::test
