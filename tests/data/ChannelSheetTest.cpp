// Channel list sheets: 256 rows, the used-channels view with its row count,
// slot order and title suffix, and the "Only_UsaModel" body option.
#include <gtest/gtest.h>

#include "data/ChannelSheet.h"
#include "data/DataTestSupport.h"
#include "data/ItemRecord.h"
#include "data/Labels.h"
#include "sheet/RecordingCanvas.h"

namespace twk::test {
namespace {

class ChannelSheetTest : public ::testing::Test {
 protected:
  DataEnv env;
  RecordingCanvas canvas;

  std::unique_ptr<ChannelSheet> Build(const std::string& key, bool used, int model = 0) {
    env.hooks.usedView = used;
    env.hooks.model = model;
    auto sheet = std::make_unique<ChannelSheet>(nullptr, nullptr, 0, 0, MainText(), key, nullptr);
    sheet->SetScreenCanvas(&canvas);
    sheet->Build();
    return sheet;
  }
  // Slot indexes of the data rows (the cells bound to the channel number).
  std::vector<int> Slots(Sheet& s) {
    std::vector<int> slots;
    for (int r = 0; r < s.RowCount(); ++r)
      for (int c = 0; c < s.ColCount(); ++c)
        if (s.CellAt(c, r).label == CL_ChList_No) slots.push_back(s.CellAt(c, r).index);
    return slots;
  }
  void SetInUse(RecordKind kind, int slot, bool inUse) {
    ItemRecord r(&env.hooks.image);
    r.Load(kind, slot);
    if (inUse)
      r.flags &= ~ItemRecord::kFlagNotInUse;
    else
      r.flags |= ItemRecord::kFlagNotInUse;
    r.Store();
  }
};

TEST_F(ChannelSheetTest, EveryPlanSheetHasA256SlotBody) {
  for (const char* key : {"GI_Sheet_IntCh", "GI_Sheet_UsaCh", "GI_Sheet_CanCh"}) {
    auto sheet = Build(key, false);
    const std::vector<int> slots = Slots(*sheet);
    ASSERT_EQ(slots.size(), 256u) << key;
    for (int i = 0; i < 256; ++i) ASSERT_EQ(slots[static_cast<size_t>(i)], i) << key;
    ASSERT_TRUE(sheet->Title().has_value()) << key;
    EXPECT_EQ(sheet->Title()->find(MainText().GetFirstLine("GI_AppInd_chSheet_Usable_Title")),
              std::string::npos);
  }
}

TEST_F(ChannelSheetTest, UsedChannelsViewShowsUsedSlotsAndThePAndCChannels) {
  const RecordKind kind = RecordKind::IntChannel;
  for (int s = 0; s < 256; ++s) SetInUse(kind, s, false);
  // Ten slots in use (the C channel 18 among them), the P channel 32 not.
  const std::vector<int> used = {18, 20, 22, 24, 26, 28, 30, 34, 36, 38};
  for (int s : used) SetInUse(kind, s, true);
  ItemRecord p(&env.hooks.image);
  p.Load(kind, 32);
  ASSERT_TRUE(p.planMarks & ItemRecord::kMarkP);
  ASSERT_EQ(ShownSlotCount(env.hooks.image, kind), 11);

  auto sheet = Build("GI_Sheet_IntCh", true);
  std::vector<int> expected = used;
  expected.insert(expected.begin() + 7, 32);
  EXPECT_EQ(Slots(*sheet), expected);
  EXPECT_EQ(sheet->RowCount(), 12) << "a header row and 11 channel rows";
  const std::string suffix = MainText().GetFirstLine("GI_AppInd_chSheet_Usable_Title");
  ASSERT_TRUE(sheet->Title().has_value());
  EXPECT_EQ(sheet->Title()->substr(sheet->Title()->size() - suffix.size() - 1), " " + suffix);
  Font expectedFont;
  ApplyFontSpec(MainText().GetFirstLine("GI_AppInd_chSheet_Usable_Font"), expectedFont);
  EXPECT_EQ(sheet->TitleFont(), expectedFont);
  // Every row's cells follow the row's slot.
  for (int r = 1; r < sheet->RowCount(); ++r)
    for (int c = 1; c < sheet->ColCount(); ++c)
      EXPECT_EQ(sheet->CellAt(c, r).index, sheet->CellAt(0, r).index) << r << "," << c;
}

TEST_F(ChannelSheetTest, OnlyUsaModelHidesLinesForOtherModels) {
  std::vector<std::string> lines = {
      "#T_Style", "(FixedRows=1)",
      "#T_BasicCell", "{(%CT_UsaCh.)}",
      "#T_Cells",
      "Head",
      ":(Only_UsaModel 2)",
      "{(%CL_ChList_No[0])}",
      "{(%CL_ChList_No[1])}",
      "{(%CL_ChList_No[2])}",
      "#",
      "#End_Of_Ovl",
  };
  TextStore store;
  store.SetLines(lines);
  struct Case { int model; std::vector<int> slots; } cases[] = {{0, {0, 1, 2}}, {1, {2}}, {3, {2}}};
  for (const Case& c : cases) {
    env.hooks.model = c.model;
    ChannelSheet sheet(nullptr, nullptr, 0, 0, store, "T", nullptr);
    sheet.SetScreenCanvas(&canvas);
    sheet.Build();
    EXPECT_EQ(Slots(sheet), c.slots) << "model " << c.model;
  }
}

// In the used-channels view every cell of a row follows the row's slot, also
// one of another category (a plain slot number column); header rows stay.
TEST_F(ChannelSheetTest, UsedChannelsViewMovesEveryCellOfTheRow) {
  std::vector<std::string> lines = {
      "#GI_Sheet_IntCh_Style", "(FixedRows=1)",
      "#GI_Sheet_IntCh_BasicCell", "{(%CT_IntCh.)}",
      "#GI_Sheet_IntCh_Cells",
      "Head|{(%CT_Null.CL_Misc_ChNo_0Base[5])}",
      ":(LoopFrom)",
      "{(%CL_ChList_No[0])}|{(%CT_Null.CL_Misc_ChNo_0Base[0])}",
      ":(LoopTo)",
      "#",
      "#End_Of_Ovl",
  };
  TextStore store;
  store.SetLines(lines);
  for (int s = 0; s < 256; ++s) SetInUse(RecordKind::IntChannel, s, s == 40 || s == 41);
  env.hooks.usedView = true;
  ChannelSheet sheet(nullptr, nullptr, 0, 0, store, "GI_Sheet_IntCh", nullptr);
  sheet.SetScreenCanvas(&canvas);
  sheet.Build();
  EXPECT_EQ(Slots(sheet), (std::vector<int>{18, 32, 40, 41})) << "C 18, P 32, and the two in use";
  for (int r = 1; r < sheet.RowCount(); ++r)
    EXPECT_EQ(sheet.CellAt(1, r).index, sheet.CellAt(0, r).index) << "row " << r;
  EXPECT_EQ(sheet.CellAt(1, 0).index, 5) << "a header row keeps its indexes";
}

TEST_F(ChannelSheetTest, FactoryMakesChannelSheetsOnlyForThePlanKeys) {
  auto a = CreateSheetFor(nullptr, nullptr, 0, 0, MainText(), "GI_Sheet_CanCh", nullptr);
  auto b = CreateSheetFor(nullptr, nullptr, 0, 0, MainText(), "GI_Sheet_WxCh", nullptr);
  EXPECT_NE(dynamic_cast<ChannelSheet*>(a.get()), nullptr);
  EXPECT_EQ(dynamic_cast<ChannelSheet*>(b.get()), nullptr);
}

}  // namespace
}  // namespace twk::test
