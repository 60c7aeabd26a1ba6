// The cell index of list sheets: texts by value, stepping in position order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "data/Labels.h"
#include "text/CellIndex.h"
#include "text/TextStore.h"

namespace twk {
namespace {

using test::FatalCatcher;

class CellIndexTest : public ::testing::Test {
 protected:
  CellIndexTest() {
    store.SetLines({
        "#GI_Sheet_L_Cells",
        "{(%CT_Null.CL_Fch_WN[2]:Wide)}W|{(%CL_Fch_WN[0])}Narrow",
        "{(%CL_Fch_WN[1])}Mid|{(%CL_Null)}x|{(%CL_Fch_WN[5])} Five ",
        "#",
        "#GI_Sheet_Keep_Cells",
        "{(%CL_Fch_ChName[7])}A|{(%CL_Fch_ChName)}B",
        "#",
        "#GI_Sheet_Vars_Cells",
        "{(@ch0++)(%CL_Fch_FreqR[@ch0])}X",
        "#",
        "#End_Of_Ovl",
    });
  }
  FatalCatcher fatal;
  TextStore store;
  CellIndex index{&store};
};

TEST_F(CellIndexTest, TextOfValue) {
  const struct {
    std::int32_t value;
    const char* text;
  } cases[] = {{0, "Narrow"}, {1, "Mid"}, {2, "Wide"},  // the option text wins
               {5, "Five"},   {3, "error"}, {-1, "error"}, {6, "error"}};
  for (const auto& c : cases) EXPECT_EQ(index.TextOf("GI_Sheet_L", CL_Fch_WN, c.value), c.text) << c.value;
  const CellIndex::List* list = index.Find("GI_Sheet_L", CL_Fch_WN);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->rows, 2);
  EXPECT_EQ(list->maxCells, 3);
  EXPECT_EQ(index.TextOf("GI_Sheet_L", CL_Fch_FreqT, 0), "error");  // a label with no cells
}

TEST_F(CellIndexTest, StepInPositionOrderWrapsRound) {
  EXPECT_FALSE(index.Step("GI_Sheet_L", CL_Fch_WN, 0, 1).has_value());  // not built yet
  index.Get("GI_Sheet_L", CL_Fch_WN);
  // Column-major positions (row + 2 x column): 2 (0,0), 1 (1,0), 0 (0,1), 5 (1,2).
  const struct {
    std::int32_t current;
    int delta;
    std::int32_t next;
  } cases[] = {{2, 1, 1}, {1, 1, 0}, {0, 1, 5}, {5, 1, 2},  // forward from the last: the first
               {2, -1, 5}, {1, -1, 2},                       // backward from the first: the last
               {3, 1, 2}, {3, -1, 2}};                       // a value not in the list: the first
  for (const auto& c : cases) {
    auto v = index.Step("GI_Sheet_L", CL_Fch_WN, c.current, c.delta);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(*v, c.next) << c.current << " " << c.delta;
  }
  index.Get("GI_Sheet_L", CL_Fch_FreqT);
  EXPECT_FALSE(index.Step("GI_Sheet_L", CL_Fch_FreqT, 0, 1).has_value());  // empty list
}

TEST_F(CellIndexTest, CellsReuseOneDescriptorAndOneSetOfVariables) {
  // A cell naming no index keeps that of the cell before it.
  const CellIndex::List& keep = index.Get("GI_Sheet_Keep", CL_Fch_ChName);
  ASSERT_EQ(keep.byValue.size(), 2u);
  EXPECT_EQ(keep.byValue[0].value, 7);
  EXPECT_EQ(keep.byValue[1].value, 7);
  EXPECT_EQ(keep.byValue[0].text, "A");
  EXPECT_EQ(index.TextOf("GI_Sheet_Keep", CL_Fch_ChName, 7), "A");
  // The variables run on from the counting pass into the reading pass.
  const CellIndex::List& vars = index.Get("GI_Sheet_Vars", CL_Fch_FreqR);
  ASSERT_EQ(vars.byValue.size(), 1u);
  EXPECT_EQ(vars.byValue[0].value, 2);
}

}  // namespace
}  // namespace twk
