// Lint of the cell texts: stops, unknown names, missing cell models and
// popup menus are reported with their line; sound texts are not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "text/Lint.h"

namespace twk {
namespace {

std::vector<std::string> LintMain(const std::string& main) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "TWK208.OVL", main);
  test::WriteFileBytes(dir / "TWK208H.OVL", "#End_Of_Ovl\n");
  LintInput in = LoadLintInput(dir.path().string(), {});
  LintReport report;
  LintCellTexts(in, report);
  std::vector<std::string> out;
  for (const LintProblem& p : report.Problems())
    out.push_back(p.Text().substr(dir.path().string().size() + 1));
  return out;
}

TEST(LintCellTexts, ReportsEachBadCellOnce) {
  const std::string main =
      "#CellModel_Edit\n"                                      // 1
      "S(PopupMenu=GI_PMenu_A)\n"                             // 2
      "#CellModel_Bad\n"                                       // 3
      "(%CL_Nope)\n"                                          // 4
      "#GI_PMenu_A_BasicCell\n"                                // 5
      "{(%CT_PopupMenu.)}\n"                                  // 6
      "#GI_PMenu_A_Body\n"                                     // 7
      "+Edit\t{(%CL_PMenu_Edit:Enter)}\n"                     // 8
      "+Odd\t{(%CT_Nope.CL_PMenu_Copy)}\n"                    // 9
      "#GI_Sheet_S_BasicCell\n"                                // 10
      "{($Edit)(%CT_IntCh.)}\n"                               // 11
      "#GI_Sheet_S_Cells\n"                                    // 12
      ":(LoopFrom 3)\n"                                       // 13
      "{(@ch0++)(%CL_ChList_No[@ch0])}\\(@ch0)|{($Edit)}x|{($Gone)}y\n"  // 14
      "{(PopupMenu=GI_PMenu_None)}|{(@ch12=1)}\n"             // 15
      ":(LoopTo)\n"                                           // 16
      "#\n"                                                   // 17
      "#GI_WarningCheckList\n"                                 // 18
      "{(%CT_Null.CL_Check_Int_ChInh:GI_Sheet_S)}\n"          // 19
      "{(%CL_Check_Nothing)}\n"                               // 20
      "#End_Of_Ovl\n"                                          // 21
      "#GI_Dead_Cells\n"                                       // 22
      "{(%CL_Never)}\n";                                      // 23
  const std::vector<std::string> expected = {
      "TWK208.OVL:4: cell text stops the program (Cannot use the specified cell. 'CL_Nope'): "
      "{(%CL_Nope)}",
      "TWK208.OVL:9: cell text stops the program (Cannot use the specified category. 'CT_Nope'): "
      "Odd\t{(%CT_Nope.CL_PMenu_Copy)}",
      "TWK208.OVL:14: cell model 'Gone' does not exist (no section CellModel_Gone): {($Gone)}y",
      "TWK208.OVL:15: popup menu 'GI_PMenu_None' has no section GI_PMenu_None_Body",
      "TWK208.OVL:15: popup menu 'GI_PMenu_None' has no section GI_PMenu_None_BasicCell",
      "TWK208.OVL:15: cell text stops the program (Ch No. Error): {(@ch12=1)}",
      "TWK208.OVL:20: cell text stops the program (Cannot use the specified cell. "
      "'CL_Check_Nothing'): {(%CL_Check_Nothing)}",
  };
  EXPECT_EQ(LintMain(main), expected);
}

TEST(LintCellTexts, ShippedResourcesAreClean) {
  LintInput in = LoadLintInput(test::BinDir().string(), {});
  ASSERT_TRUE(in.main.present);
  LintReport report;
  LintCellTexts(in, report);
  for (const LintProblem& p : report.Problems()) ADD_FAILURE() << p.Text();
}

}  // namespace
}  // namespace twk
