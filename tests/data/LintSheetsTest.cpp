// The sheet checks of `twk208-cli lint` on the shipped resources and on
// copies with one fault each.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/TestSupport.h"
#include "text/Lint.h"

namespace twk::test {
namespace {

std::string Messages(const LintReport& r) {
  std::string all;
  for (const LintProblem& p : r.Problems()) all += p.Text() + "\n";
  return all;
}

TEST(LintSheetsTest, ShippedResourcesAreClean) {
  const LintReport r = RunLint(BinDir().string() + "/");
  EXPECT_TRUE(r.Clean()) << Messages(r);
}

TEST(LintSheetsTest, FaultsAreReported) {
  struct Case {
    const char* what;
    std::string from, to;
    std::string expected;
  } cases[] = {
      {"check to a missing node", "CL_Check_Dsc_SelfId:GI_Sheet_SelfId)",
       "CL_Check_Dsc_SelfId:GI_Sheet_Nowhere)", "reports to 'GI_Sheet_Nowhere', which no tree node"},
      {"list without value 1", "{(%Flex0[1])}Scan tag\n", "",
       "selection list 'GI_Sheet_Sel_ChTag' has no entry for the value 1"},
      {"label on no sheet", "|{W($GRowEdit)(%CL_DscIndId_Comment[0])}MMMMM", "",
       "the label CL_DscIndId_Comment appears on no sheet"},
      {"sheet that stops", "(%CL_ComSet_Beep)}", "(%CL_ComSet_Beep)($Nope)}",
       "sheet 'GI_Sheet_ComSet' does not build"},
      {"channel sheet without body", "#GI_Sheet_UsaCh_Cells\n", "#GI_Sheet_UsaCh_Cells\n#\n",
       "sheet 'GI_Sheet_UsaCh' does not build"},
  };
  const std::string original = ReadFileBytes(BinDir() / "TWK208.OVL");
  for (const Case& c : cases) {
    TempDir dir;
    for (const char* f : {"TWK208H.OVL", "TWK208_Initial.cln"})
      std::filesystem::copy_file(BinDir() / f, dir / f);
    std::string text = original;
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.what;
    text.replace(at, c.from.size(), c.to);
    WriteFileBytes(dir / "TWK208.OVL", text);
    const LintReport r = RunLint(dir.path().string() + "/");
    EXPECT_NE(Messages(r).find(c.expected), std::string::npos) << c.what << ":\n" << Messages(r);
  }
}

}  // namespace
}  // namespace twk::test
