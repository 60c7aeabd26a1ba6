// The label handler over the shipped resources and the initial image: what
// the cells show, what keys, committed texts and popup choices do to the
// image, which marks appear, and the handler's fixed steps.
#include <gtest/gtest.h>

#include "data/DataCells.h"
#include "data/DataTestSupport.h"
#include "data/ItemRecord.h"
#include "data/MemoryMap.h"
#include "data/RowOperation.h"
#include "sheet/RecordingCanvas.h"
#include "sheet/Sheet.h"

namespace twk::test {
namespace {

constexpr int kSpace = 32;
constexpr int kEnter = 13;

class LabelHandlerTest : public ::testing::Test {
 protected:
  DataEnv env;
  int Attr(int planTable, int slot) const { return env.Byte(planTable + slot); }
  ItemRecord Load(RecordKind kind, int index) {
    ItemRecord r(&env.hooks.image);
    r.Load(kind, index);
    return r;
  }
  void SetNotInUse(RecordKind kind, int slot, bool notInUse) {
    ItemRecord r = Load(kind, slot);
    if (notInUse)
      r.flags |= ItemRecord::kFlagNotInUse;
    else
      r.flags &= ~ItemRecord::kFlagNotInUse;
    r.Store();
  }
};

// ---- plan channel rows ---------------------------------------------------------

TEST_F(LabelHandlerTest, ChannelNumberColumn) {
  struct Case { int slot; std::string expected; } cases[] = {
      {1, "0A"}, {2, "1  "}, {32, "16  "}, {233, "116A"},
  };
  for (const Case& c : cases) EXPECT_EQ(env.Show(CT_IntCh, CL_ChList_No, c.slot), c.expected) << c.slot;
  // Slot 234 shows free channel 0's short name and a space.
  ItemRecord fc = Load(RecordKind::FreeChannel, 0);
  fc.shortName = {'W', 'K', '1'};
  fc.Store();
  EXPECT_EQ(env.Show(CT_UsaCh, CL_ChList_No, 234), "WK1 ");
}

TEST_F(LabelHandlerTest, SlotNotInUseMasksDataCellsAndRefusesTyping) {
  ASSERT_TRUE(Load(RecordKind::IntChannel, 0).flags & ItemRecord::kFlagNotInUse);
  for (int label : {CL_ChList_Tag, CL_ChList_TxInh, CL_ChList_Poc, CL_ChList_Comment})
    EXPECT_EQ(env.Show(CT_IntCh, label, 0), "---") << LabelName(label);
  EXPECT_NE(env.Show(CT_IntCh, CL_ChList_No, 0), "---");
  EXPECT_NE(env.Show(CT_IntCh, CL_ChList_Atr, 0), "---");
  {
    RecordingCanvas canvas;
    CellDescriptor d;
    d.category = CT_IntCh;
    d.label = CL_ChList_Tag;
    CellAccessContext ctx;
    ctx.cell = &d;
    ctx.canvas = &canvas;
    HandleLabel(&env.hooks, ctx, kModeDisplay);
    EXPECT_EQ(canvas.GetFont().color, kReadOnlyTextColour);
  }

  DataEnv::Result r = env.Key(CT_IntCh, CL_ChList_Comment, 0, 'A');
  EXPECT_EQ(r.rc, 0);
  EXPECT_TRUE(env.hooks.image.Equals(env.initial));
  auto status = env.hooks.LastStatus();
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->text, env.StatusOf("GI_Botttom_EditRestrected"));
  EXPECT_EQ(status->v1, static_cast<std::intptr_t>(kAlertText));
  EXPECT_EQ(status->v2, static_cast<std::int32_t>(kAlertBack));
}

TEST_F(LabelHandlerTest, SimplexRuleForOddAndFreeChannelSlots) {
  SetNotInUse(RecordKind::UsaChannel, 3, false);
  SetNotInUse(RecordKind::UsaChannel, 240, false);
  EXPECT_EQ(env.Show(CT_UsaCh, CL_ChList_Simp, 3), "---");
  const std::string shown = env.Show(CT_UsaCh, CL_ChList_Simp, 240);
  EXPECT_NE(shown, "---");
  EXPECT_FALSE(shown.empty());
  const EepromImage before(env.hooks.image);
  env.Key(CT_UsaCh, CL_ChList_Simp, 240, kSpace);
  EXPECT_TRUE(env.hooks.image.Equals(before));
  EXPECT_EQ(env.hooks.LastStatus()->text, env.StatusOf("GI_Botttom_EditRestrected"));
}

// Each flag column toggles exactly its bit of the attribute byte.
TEST_F(LabelHandlerTest, FlagColumnsToggleTheirBit) {
  struct Case { int label; int bit; } cases[] = {
      {CL_ChList_Tag, mem::kAttrTag},
      {CL_ChList_TxInh, mem::kAttrTxInhibit},
      {CL_ChList_Poc, mem::kAttrLowPower},
      {CL_ChList_Simp, mem::kAttrSimplex},
  };
  const int slot = 32;  // channel 16, in use in every plan
  for (const Case& c : cases) {
    const int before = Attr(mem::kPlanTableInt, slot);
    const std::string shownBefore = env.Show(CT_IntCh, c.label, slot);
    env.Key(CT_IntCh, c.label, slot, kSpace);
    EXPECT_EQ(Attr(mem::kPlanTableInt, slot), before ^ c.bit) << LabelName(c.label);
    EXPECT_NE(env.Show(CT_IntCh, c.label, slot), shownBefore);
    EXPECT_EQ(Attr(mem::kPlanTableUsa, slot), env.initial.GetByte(mem::kPlanTableUsa + slot));
  }
}

TEST_F(LabelHandlerTest, ChannelNameIsCleanedAndStored) {
  env.Commit(CT_CanCh, CL_ChList_Comment, 32, "sea#kayak");
  EXPECT_EQ(env.Show(CT_CanCh, CL_ChList_Comment, 32), "Sea KayaK");
  char name[11] = {};
  env.hooks.image.ReadBlock(mem::ChannelName(32), reinterpret_cast<std::uint8_t*>(name), 10);
  EXPECT_EQ(std::string(name, 10), "Sea KayaK ");
}

TEST_F(LabelHandlerTest, AttributeMenuMarksAndInUseToggle) {
  EXPECT_EQ(env.Show(CT_IntCh, CL_ChList_Atr, 32), "P");
  EXPECT_EQ(env.Show(CT_IntCh, CL_ChList_Atr, 18), "C");
  // Choice 1 makes slot 20 the P channel (and in use), posting message 28.
  SetNotInUse(RecordKind::IntChannel, 20, true);
  env.Choose(CT_IntCh, CL_ChList_Atr, 20, 1);
  EXPECT_EQ(env.hooks.image.GetWord(mem::PChannelWord(mem::kPlanInt)), 20);
  EXPECT_FALSE(Load(RecordKind::IntChannel, 20).flags & ItemRecord::kFlagNotInUse);
  ASSERT_EQ(env.hooks.Of(msg::kAttributeChanged).size(), 1u);
  EXPECT_EQ(env.hooks.Of(msg::kAttributeChanged)[0].v1, 0);
  // Space toggles the in-use flag while the used-channels view is off.
  env.Key(CT_IntCh, CL_ChList_Atr, 24, kSpace);
  EXPECT_EQ(Attr(mem::kPlanTableInt, 24) & mem::kAttrNotInUse,
            (env.initial.GetByte(mem::kPlanTableInt + 24) ^ mem::kAttrNotInUse) & mem::kAttrNotInUse);
  // ... and does nothing in the used-channels view.
  env.hooks.usedView = true;
  const int now = Attr(mem::kPlanTableInt, 24);
  env.Key(CT_IntCh, CL_ChList_Atr, 24, kSpace);
  EXPECT_EQ(Attr(mem::kPlanTableInt, 24), now);
  // Choice 5 asks for the list type toggle; Enter opens the right list.
  env.Choose(CT_IntCh, CL_ChList_Atr, 24, 5);
  EXPECT_EQ(env.hooks.Of(msg::kAttributeChanged).back().v1, 1);
  env.Key(CT_IntCh, CL_ChList_Atr, 24, kEnter);
  ASSERT_FALSE(env.hooks.popups.empty());
  EXPECT_EQ(env.hooks.popups.back().first, "GI_Sheet_Sel_ChATRUse");
}

TEST_F(LabelHandlerTest, PChannelNotInUseIsAnError) {
  EXPECT_EQ(env.Marks(CT_UsaCh, CL_ChList_Atr, 32), 0);
  SetNotInUse(RecordKind::UsaChannel, 32, true);
  EXPECT_EQ(env.Marks(CT_UsaCh, CL_ChList_Atr, 32), cellstate::kError);
  EXPECT_EQ(env.Marks(CT_IntCh, CL_ChList_Atr, 32), 0);
}

// ---- weather, user channels, DSC --------------------------------------------------

TEST_F(LabelHandlerTest, WeatherFlagAndName) {
  env.Choose(CT_WxCh, CL_WX_ChAtr, 3, 1);
  EXPECT_TRUE(env.hooks.image.GetWord(mem::kWeatherFlags) & (1 << 3));
  EXPECT_EQ(env.Show(CT_WxCh, CL_WX_ChComment, 3), "---");
  ASSERT_FALSE(env.hooks.Of(msg::kRepaintLabel).empty());
  EXPECT_EQ(env.hooks.Of(msg::kRepaintLabel)[0].v2, CL_WX_ChAtr);
  EXPECT_EQ(env.Marks(CT_WxCh, CL_WX_ChAtr, 0), 0);
  env.hooks.image.SetWord(mem::kWeatherFlags, 0x3FF);
  EXPECT_EQ(env.Marks(CT_WxCh, CL_WX_ChAtr, 0), cellstate::kError);
}

TEST_F(LabelHandlerTest, UserChannelFrequenciesAndShortName) {
  env.Commit(CT_FreeCh, CL_Fch_FreqR, 2, "156.8");
  EXPECT_EQ(env.Show(CT_FreeCh, CL_Fch_FreqR, 2), "156.80000");
  env.Commit(CT_FreeCh, CL_Fch_FreqT, 2, "156.8");
  EXPECT_EQ(env.Show(CT_FreeCh, CL_Fch_FreqT, 2), "<-");
  {
    // "<-" is drawn left-aligned, a value right-aligned.
    CellDescriptor d;
    d.category = CT_FreeCh;
    d.label = CL_Fch_FreqT;
    d.index = 2;
    d.layoutFlags = kAlignRight;
    CellAccessContext ctx;
    ctx.cell = &d;
    HandleLabel(&env.hooks, ctx, kModeDisplay);
    EXPECT_EQ(d.HAlignment(), kAlignLeft);
    d.label = CL_Fch_FreqR;
    HandleLabel(&env.hooks, ctx, kModeDisplay);
    EXPECT_EQ(d.HAlignment(), kAlignRight);
  }
  // Equal frequencies: bit 1 of slot 236 in all three plans.
  for (int k = 0; k < mem::kPlanCount; ++k)
    EXPECT_TRUE(env.Byte(mem::PlanTable(k) + 236) & mem::kAttrSimplex) << k;
  // A linked first frequency drags the second along.
  env.Commit(CT_FreeCh, CL_Fch_FreqR, 2, "157.0375");
  EXPECT_EQ(Load(RecordKind::FreeChannel, 2).secondFrequency, 157037500u);
  env.Commit(CT_FreeCh, CL_Fch_FreqR, 2, "156.013");  // off the grid: refused
  EXPECT_EQ(Load(RecordKind::FreeChannel, 2).firstFrequency, 157037500u);
  env.Commit(CT_FreeCh, CL_Fch_ChName, 2, "ab1");
  EXPECT_EQ(env.Show(CT_FreeCh, CL_Fch_ChName, 2), "ab");
}

TEST_F(LabelHandlerTest, DscIdsWarnOnlyOnTheLaterDuplicate) {
  env.Commit(CT_DscIndId, CL_DscIndId_Id, 4, "366123456");
  env.Commit(CT_DscIndId, CL_DscIndId_Id, 9, "366123456");
  EXPECT_EQ(env.Show(CT_DscIndId, CL_DscIndId_Id, 9), "366123456");
  EXPECT_EQ(env.Marks(CT_DscIndId, CL_DscIndId_Id, 4), 0);
  EXPECT_EQ(env.Marks(CT_DscIndId, CL_DscIndId_Id, 9), cellstate::kWarning);
  EXPECT_EQ(env.Byte(mem::DscId(9) + 4), 60) << "digit 9 is stored as 0";
  // Eight digits empty the ID.
  env.Commit(CT_DscIndId, CL_DscIndId_Id, 9, "36612345");
  for (int b = 0; b < 5; ++b) EXPECT_EQ(env.Byte(mem::DscId(9) + b), 0xFF);
  EXPECT_EQ(env.Marks(CT_DscIndId, CL_DscIndId_Id, 9), 0);
  // The name of a valid record must not be blank.
  EXPECT_EQ(env.Marks(CT_DscIndId, CL_DscIndId_Comment, 4), cellstate::kError);
  env.Commit(CT_DscIndId, CL_DscIndId_Comment, 4, "harbour");
  EXPECT_EQ(env.Show(CT_DscIndId, CL_DscIndId_Comment, 4), "harbo");
  EXPECT_EQ(env.Marks(CT_DscIndId, CL_DscIndId_Comment, 4), 0);
}

TEST_F(LabelHandlerTest, TypingIntoNameOfEmptyDscRowJumpsToTheId) {
  DataEnv::Result r = env.Key(CT_DscIndId, CL_DscIndId_Comment, 7, '3');
  EXPECT_TRUE(r.ctx.jumpRequest);
  EXPECT_EQ(r.ctx.jumpLabel, CL_DscIndId_Id);
  EXPECT_EQ(r.ctx.jumpIndex, 7);
  EXPECT_EQ(r.ctx.repeatKey, '3');
  EXPECT_EQ(env.Show(CT_DscIndId, CL_DscIndId_Comment, 7), "");
  EXPECT_TRUE(env.hooks.image.Equals(env.initial));
}

// The record sheets number every row, empty ones included (a DSC row
// without a valid ID shows nothing in its cells of the DSC category).
TEST_F(LabelHandlerTest, RecordSheetsNumberEveryRow) {
  struct Case { const char* key; int rows; } cases[] = {
      {"GI_Sheet_WxCh", 10}, {"GI_Sheet_FreeCh", 22}, {"GI_Sheet_DscIndId", 30},
  };
  RecordingCanvas canvas;
  for (const Case& c : cases) {
    Sheet sheet(nullptr, nullptr, 0, 0, MainText(), c.key, nullptr);
    sheet.SetScreenCanvas(&canvas);
    sheet.Build();
    ASSERT_EQ(sheet.RowCount(), c.rows + 1) << c.key;
    for (int r = 1; r <= c.rows; ++r) {
      CellAccessContext ctx;
      ctx.cell = &sheet.CellAt(0, r);
      HandleLabel(&env.hooks, ctx, kModeDisplay);
      EXPECT_EQ(ctx.outputText, std::to_string(r)) << c.key << " row " << r;
    }
  }
}

TEST_F(LabelHandlerTest, SelfId) {
  // Empty: the "not set" text, check byte 0xFF, no mark.
  EXPECT_EQ(env.Show(CT_None, CL_ComDsc_SelfId, 0), env.StatusOf("GI_AppInd_Dsc_SelfIdOff"));
  EXPECT_EQ(env.Byte(mem::kSelfIdCheck), 0xFF);
  EXPECT_EQ(env.Marks(CT_None, CL_ComDsc_SelfId, 0), 0);
  env.Commit(CT_None, CL_ComDsc_SelfId, 0, "211234567");
  EXPECT_EQ(env.Show(CT_None, CL_ComDsc_SelfId, 0), "211234567");
  std::uint8_t id[5];
  env.hooks.image.ReadBlock(mem::kSelfId, id, 5);
  EXPECT_EQ(env.Byte(mem::kSelfIdCheck), PackedIdCheckByte(id));
  EXPECT_EQ(env.Marks(CT_None, CL_ComDsc_SelfId, 0), 0);
  env.Commit(CT_None, CL_ComDsc_SelfId, 0, "011234567");
  EXPECT_EQ(env.Marks(CT_None, CL_ComDsc_SelfId, 0), cellstate::kError);
  // Enter on an empty ID opens the editor empty, not with the "not set" text.
  env.Commit(CT_None, CL_ComDsc_SelfId, 0, "");
  DataEnv::Result r = env.Key(CT_None, CL_ComDsc_SelfId, 0, kEnter);
  EXPECT_EQ(r.rc, kActionOpenEditor);
  EXPECT_EQ(r.output, "");
}

// ---- settings ----------------------------------------------------------------------

// Every settings cell: Space changes exactly its bit (or, for the weather
// alert, its byte), and the shown text follows.
TEST_F(LabelHandlerTest, EverySettingCellWritesOnlyItsBit) {
  for (const SettingCell& cell : SettingCells()) {
    env.hooks.image.Assign(env.initial);
    const std::string before = env.Show(CT_None, cell.label, 0);
    EXPECT_NE(before, "error") << LabelName(cell.label) << " has its value in " << cell.list;
    env.Key(CT_None, cell.label, 0, kSpace);
    for (int a = 0; a < EepromImage::kModelSize; ++a) {
      const int diff = env.Byte(a) ^ env.initial.GetByte(a);
      if (a != cell.address) {
        ASSERT_EQ(diff, 0) << LabelName(cell.label) << " at " << a;
      } else if (cell.mask != 0) {
        EXPECT_EQ(diff, cell.mask) << LabelName(cell.label);
      } else {
        EXPECT_NE(diff, 0) << LabelName(cell.label);
      }
    }
    EXPECT_NE(env.Show(CT_None, cell.label, 0), before) << LabelName(cell.label);
  }
}

TEST_F(LabelHandlerTest, WeatherAlertWritesTheWholeByte) {
  env.hooks.image.SetByte(mem::kWeatherAlert, 0x7E);
  env.Choose(CT_None, CL_ComSet_WxAlert, 0, 0);
  EXPECT_EQ(env.Byte(mem::kWeatherAlert), 0);
  env.Choose(CT_None, CL_ComSet_WxAlert, 0, 1);
  EXPECT_EQ(env.Byte(mem::kWeatherAlert), 1);
}

TEST_F(LabelHandlerTest, PlanSwitchPostsPlanChangeAndGreysDependentCells) {
  RecordingCanvas canvas;
  auto colourOf = [&](int label) {
    CellDescriptor d;
    d.category = CT_None;
    d.label = label;
    CellAccessContext ctx;
    ctx.cell = &d;
    ctx.canvas = &canvas;
    canvas.SetFontColor(clWindowText);
    HandleLabel(&env.hooks, ctx, kModeDisplay);
    return canvas.GetFont().color;
  };
  ASSERT_TRUE(env.Byte(mem::kPlanSwitches) & mem::kSwitchCanada);
  EXPECT_EQ(colourOf(CL_ComDsc_CanCh), clWindowText);
  env.Choose(CT_None, CL_ComExp_Canada, 0, 0);
  EXPECT_FALSE(env.Byte(mem::kPlanSwitches) & mem::kSwitchCanada);
  ASSERT_EQ(env.hooks.Of(msg::kPlanOptionsChanged).size(), 1u);
  EXPECT_EQ(colourOf(CL_ComDsc_CanCh), kGreyTextColour);
  // A cell without a grey rule stays as it is.
  EXPECT_EQ(colourOf(CL_ComDsc_IntCh), clWindowText);
  // A change of another option posts no plan change.
  env.Key(CT_None, CL_ComExp_TotFun, 0, kSpace);
  EXPECT_EQ(env.hooks.Of(msg::kPlanOptionsChanged).size(), 1u);
}

TEST_F(LabelHandlerTest, DisplaySettingsUseTheModelsListAndSplitTheBits) {
  env.Choose(CT_None, CL_ComExp_LcdUsa, 0, 3);
  EXPECT_TRUE(env.Byte(mem::kDisplayHigh) & 0x10);
  EXPECT_TRUE(env.Byte(mem::kDisplayLow) & 0x01);
  env.Choose(CT_None, CL_ComExp_LcdUsa, 0, 2);
  EXPECT_TRUE(env.Byte(mem::kDisplayHigh) & 0x10);
  EXPECT_FALSE(env.Byte(mem::kDisplayLow) & 0x01);
  const std::string u = env.Show(CT_None, CL_ComExp_LcdUsa, 0);
  EXPECT_EQ(u, MainText().GetLine("GI_Sheet_Sel_UserSetLcdUsaU_Cells", 2).substr(std::string("{(%Flex0[2])}").size()));
  env.hooks.model = 1;
  const std::string e = env.Show(CT_None, CL_ComExp_LcdUsa, 0);
  EXPECT_EQ(e, MainText().GetLine("GI_Sheet_Sel_UserSetLcdUsaE_Cells", 2).substr(std::string("{(%Flex0[2])}").size()));
  env.Key(CT_None, CL_ComExp_LcdUsa, 0, kEnter);
  EXPECT_EQ(env.hooks.popups.back(), std::make_pair(std::string("GI_Sheet_Sel_UserSetLcdUsaE"), 2));
}

TEST_F(LabelHandlerTest, NumberCells) {
  struct Case { int label; std::string input; int address; int expected; } cases[] = {
      {CL_MakerR_DscAmp13, "200", 0xFEC, 200},
      {CL_MakerR_DscAmp21, "300", 0xFED, 255},
      {CL_MakerR_ScanSpeed, "0.1", 0xFFB, 100},
      {CL_MakerR_ScanSpeed, "9", 0xFFB, 200},
      {CL_Free_Byte_Dec, "17", 0x123, 17},
  };
  for (const Case& c : cases) {
    env.Commit(CT_None, c.label, c.label == CL_Free_Byte_Dec ? 0x123 : 0, c.input);
    EXPECT_EQ(env.Byte(c.address), c.expected) << LabelName(c.label) << " " << c.input;
  }
  env.Commit(CT_None, CL_MakerR_TotTimer, 0, "0");
  env.Key(CT_None, CL_MakerR_TotTimer, 0, 8);  // Backspace at 0 wraps to 600
  EXPECT_EQ(env.hooks.image.GetWord(mem::kMakerTotTimer), 600);
}

TEST_F(LabelHandlerTest, CloneCommentStoresOnlyPrintableBytes) {
  env.Commit(CT_None, CL_ComCom_CloneComment, 0, "My boat\tname");
  EXPECT_EQ(env.Show(CT_None, CL_ComCom_CloneComment, 0), "My boat name");
  EXPECT_EQ(env.Byte(mem::kCloneComment + 15), ' ');
}

// ---- fixed steps, information cells, commands --------------------------------------

TEST_F(LabelHandlerTest, EditsRestartTheSettleDeadlineAndUpdateTheDirtyFlag) {
  env.Show(CT_IntCh, CL_ChList_Tag, 32);
  EXPECT_EQ(env.hooks.settleRestarts, 0);
  env.Key(CT_IntCh, CL_ChList_Tag, 32, kSpace);
  env.Commit(CT_IntCh, CL_ChList_Comment, 32, "X");
  EXPECT_EQ(env.hooks.settleRestarts, 2);
  EXPECT_EQ(env.hooks.dirtyUpdates, 2);
}

TEST_F(LabelHandlerTest, InformationCells) {
  EXPECT_EQ(env.Show(CT_None, CL_Misc_ChNo_0Base, 7), "7");
  EXPECT_EQ(env.Show(CT_None, CL_Misc_ChNo_1Base, 7), "8");
  EXPECT_EQ(env.Show(CT_None, CL_EeDebugWin_Adr, 0x2A), " 2A0");
  env.hooks.image.SetByte(0x2A3, 0x5C);
  EXPECT_EQ(env.Show(CT_None, CL_EeDebugWin_3, 0x2A), "5C");
  EXPECT_EQ(env.Show(CT_None, CL_CloneInfo_Model, 0), MainText().GetLine("GI_AppInd_Model", 0));
  EXPECT_EQ(env.Show(CT_None, 263, 0), "263 *Yet*");
  EXPECT_EQ(env.Show(CT_None, CL_ComAtis_AtisId, 0), "");
  // A read-only dummy refuses typing.
  env.Key(CT_None, CL_Dummy, 0, 'x');
  EXPECT_EQ(env.hooks.LastStatus()->text, env.StatusOf("GI_Botttom_EditRestrected"));
}

// The model index of Clone Info comes from the radio: an index the model
// list has no line for shows the number, never a line of another section.
TEST_F(LabelHandlerTest, CloneInfoModelOutsideTheModelList) {
  struct Hooks : FakeHooks {
    int reported = 0;
    int CloneInfoModel() const override { return reported; }
  } hooks;
  hooks.image.Assign(env.hooks.image);
  int models = 0;
  while (MainText().GetLine("GI_AppInd_Model", models).rfind('#', 0) != 0) ++models;
  struct Case { int reported; std::string expected; } cases[] = {
      {0, MainText().GetLine("GI_AppInd_Model", 0)},
      {models, std::to_string(models)},
      {255, "255"},
  };
  for (const Case& c : cases) {
    hooks.reported = c.reported;
    CellDescriptor d;
    d.category = CT_Null;
    d.label = CL_CloneInfo_Model;
    CellAccessContext ctx;
    ctx.cell = &d;
    HandleLabel(&hooks, ctx, kModeDisplay);
    EXPECT_EQ(ctx.outputText, c.expected) << c.reported;
  }
}

TEST_F(LabelHandlerTest, DebugCellsSearchDifferencesAndWriteBytes) {
  EepromImage other(env.hooks.image);
  other.SetByte(0x500, other.GetByte(0x500) ^ 1);
  env.hooks.compare = &other;
  env.Key(CT_None, CL_EeDebugWin_0, 0x10, 0x7200);  // F3 from 0x100
  ASSERT_FALSE(env.hooks.Of(msg::kEeDebugFocus).empty());
  EXPECT_EQ(env.hooks.Of(msg::kEeDebugFocus).back().v2, 0x500);
  env.Key(CT_None, CL_EeDebugWin_0, 0x10, 0x7300);  // F4 finds nothing below 0x100
  EXPECT_EQ(env.hooks.Of(msg::kEeDebugFocus).size(), 1u);
  env.Commit(CT_None, CL_EeDebugWin_F, 0x20, "a5");
  EXPECT_EQ(env.Byte(0x20F), 0xA5);
}

TEST_F(LabelHandlerTest, CommandsRunOnEnterAndDoubleClick) {
  struct Case { int label; int index; int key; bool runs; } cases[] = {
      {CL_Menu_File_Open, 0, kEnter, true},
      {CL_Menu_Clone_Read, 0, 256, true},
      {CL_Menu_Clone_Write, 0, 0, false},
      {CL_Menu_Debug_Window, 0, kEnter, false},
  };
  for (const Case& c : cases) {
    env.hooks.commands.clear();
    CellDescriptor d;
    d.category = CT_Null;
    d.label = c.label;
    CellAccessContext ctx;
    ctx.cell = &d;
    ctx.key = c.key;
    HandleLabel(&env.hooks, ctx, kModeDisplay);
    EXPECT_EQ(env.hooks.commands.size(), c.runs ? 1u : 0u) << LabelName(c.label);
  }
  // Recent file items: caption, disabled and hidden when empty.
  env.hooks.recent0 = "/boats/a.cln";
  CellDescriptor d;
  d.category = CT_Null;
  d.label = CL_Menu_File_Recent;
  CellAccessContext ctx;
  ctx.cell = &d;
  HandleLabel(&env.hooks, ctx, kModeDisplay);
  EXPECT_EQ(ctx.outputText, "&1 /boats/a.cln");
  EXPECT_TRUE(d.UserFlag(kMenuCaption));
  EXPECT_FALSE(d.UserFlag(kMenuDisabled));
  d.index = 3;
  HandleLabel(&env.hooks, ctx, kModeDisplay);
  EXPECT_TRUE(d.UserFlag(kMenuDisabled));
  EXPECT_TRUE(d.UserFlag(kMenuHidden));
}

// Menu item states: checked, hidden and disabled as the document reports.
TEST_F(LabelHandlerTest, MenuItemStates) {
  struct Hooks : FakeHooks {
    int FontSizeIndex() const override { return 2; }
    bool ToolbarVisible() const override { return false; }
    int ComPort() const override { return 6; }
  } hooks;
  hooks.image.Assign(env.hooks.image);
  auto flags = [&](int category, int label, int index, int editItems) {
    hooks.editItems = editItems;
    CellDescriptor d;
    d.category = category;
    d.label = label;
    d.index = index;
    CellAccessContext ctx;
    ctx.cell = &d;
    HandleLabel(&hooks, ctx, kModeDisplay);
    return std::make_tuple(d.UserFlag(kMenuChecked), d.UserFlag(kMenuHidden), d.UserFlag(kMenuDisabled));
  };
  struct Case { int category, label, index, editItems; bool checked, hidden, disabled; } cases[] = {
      {CT_Null, CL_Menu_View_FontSize, 2, -1, true, false, false},
      {CT_Null, CL_Menu_View_FontSize, 1, -1, false, false, false},
      {CT_Null, CL_Menu_View_ToolBar, 0, -1, false, false, false},
      {CT_Null, CL_Menu_Port_Com, 6, -1, true, false, false},
      {CT_Null, CL_Menu_Port_Com, 1, -1, false, false, false},
      {CT_Null, CL_Menu_Port_Usb, 0, -1, true, false, false},
      {CT_Null, CL_Model, 0, -1, true, false, false},
      {CT_Null, CL_Menu_File_Print_Current, 0, -1, false, false, true},
      {CT_PopupMenu, CL_PMenu_NoItem, 0, 1, false, false, true},
      {CT_PopupMenu, CL_PMenu_NoItem, 0, 3, false, true, true},
      {CT_PopupMenu, CL_PMenu_Delete, 0, -1, false, false, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(flags(c.category, c.label, c.index, c.editItems), std::make_tuple(c.checked, c.hidden, c.disabled))
        << LabelName(c.label) << " " << c.index;
  // The Edit menu item asks to be filled when it has no sub items.
  flags(CT_Null, CL_Menu_Edit_Top, 0, 0);
  ASSERT_EQ(hooks.commands.size(), 1u);
  EXPECT_EQ(std::get<2>(hooks.commands[0]), "GI_PMenu_NoItem");
  flags(CT_Null, CL_Menu_Edit_Top, 0, 2);
  EXPECT_EQ(hooks.commands.size(), 1u);
}

// A few settings cells against the memory map, to catch a slip in the table.
TEST_F(LabelHandlerTest, SettingCellAddresses) {
  struct Case { int label; int address; int mask; const char* list; } cases[] = {
      {CL_ComSet_ScanF, 0x436, 0x01, "GI_Sheet_Sel_ScanF"},
      {CL_ComSet_WxAlert, 0x438, 0, "GI_Sheet_Sel_Misc_OnOff"},
      {CL_ComDsc_TX_Distress, 0x428, 0x08, "GI_Sheet_Sel_Misc_I_OnOff"},
      {CL_ComDsc_GroupCall_ChCall, 0x42B, 0x40, "GI_Sheet_Sel_ChCall"},
      {CL_ComExp_PttScan, 0x418, 0x08, "GI_Sheet_Sel_Misc_I_Accept"},
      {CL_MakerR_UsaIni, 0x439, 0x80, "GI_Sheet_Sel_Misc_OnOff"},
  };
  for (const Case& c : cases) {
    const SettingCell* cell = FindSettingCell(c.label);
    ASSERT_NE(cell, nullptr) << LabelName(c.label);
    EXPECT_EQ(cell->address, c.address) << LabelName(c.label);
    EXPECT_EQ(cell->mask, c.mask) << LabelName(c.label);
    EXPECT_STREQ(cell->list, c.list) << LabelName(c.label);
  }
  EXPECT_EQ(FindSettingCell(CL_ComSet_Contrast), nullptr);
  EXPECT_TRUE(LabelWithoutBehaviour(CL_ComDsc_AllCall_Distress));
  EXPECT_FALSE(LabelWithoutBehaviour(CL_ComDsc_AllCall_Routine_Pow));
}

TEST_F(LabelHandlerTest, PopupCommandsOutsideTheRowRangeDoNothing) {
  env.Command(CT_WxCh, CL_WX_ChComment, 10, CL_PMenu_Copy);
  EXPECT_FALSE(RecordClipboard().Holds(RecordKind::Weather));
  env.Command(CT_Null, CL_ComSet_Beep, 0, CL_PMenu_Copy);
  EXPECT_TRUE(env.hooks.Of(msg::kStatusText).empty() ||
              env.hooks.LastStatus()->text != env.StatusOf("GI_AppMess_S_Copy"));
  env.Command(CT_IntCh, CL_ChList_Comment, 32, CL_PMenu_Help);
  ASSERT_EQ(env.hooks.helpLabels.size(), 1u);
  EXPECT_EQ(env.hooks.helpLabels[0], CL_ChList_Comment);
}

}  // namespace
}  // namespace twk::test
