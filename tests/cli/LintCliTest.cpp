// twk208-cli run end to end: lint results and exit statuses, and the fatal
// stop of a resource lookup (text on stderr, exit status 3).
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "common/TestSupport.h"

namespace twk {
namespace {

namespace fs = std::filesystem;

using test::ProgramRun;

ProgramRun RunProgram(const fs::path& exe, const std::string& args, const test::TempDir& scratch) {
  return test::RunProgram(exe, args, scratch.path());
}

const std::string kHelp =
    "#GI_AppItem_Topic_ID\n#\n#GI_AppItem_Context_ID\n#\n#End_Of_Ovl\n";

TEST(LintCli, ShippedResourcesPass) {
  test::TempDir scratch;
  ProgramRun r = RunProgram(test::BinDir() / "twk208-cli", "lint", scratch);
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "");
}

TEST(LintCli, BrokenFolderFailsWithFileAndLine) {
  test::TempDir res, scratch;
  test::WriteFileBytes(res / "TWK208.OVL", "comment\n#GI_Other\nx\n#End_Of_Ovl\n");
  test::WriteFileBytes(res / "TWK208H.OVL", kHelp);
  ProgramRun r = RunProgram(test::BinDir() / "twk208-cli", "lint '" + res.path().string() + "'", scratch);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find((res / "TWK208.OVL").string() + ":4: missing key 'GI_Sys_AppTitle'\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(RunProgram(test::BinDir() / "twk208-cli", "lint a b", scratch).status, 64);
}

// Without a folder the tool checks its own folder, not the working directory.
TEST(LintCli, DefaultFolderIsTheProgramsOwn) {
  test::TempDir home, scratch;
  fs::copy_file(test::BinDir() / "twk208-cli", home / "twk208-cli");
  test::WriteFileBytes(home / "TWK208H.OVL", kHelp);
  ProgramRun r = RunProgram(home / "twk208-cli", "lint", scratch);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, (home / "TWK208.OVL").string() +
                       ":0: resource file is missing or cannot be read\n");
}

TEST(LintCli, MissingKeyLookupIsAFatalStop) {
  test::TempDir res, scratch;
  test::WriteFileBytes(res / "TWK208.OVL", "#GI_Sys_AppTitle\nTitle\n#End_Of_Ovl\n");
  const std::string folder = "--folder '" + res.path().string() + "' ";
  ProgramRun ok = RunProgram(test::BinDir() / "twk208-cli", "text " + folder + "GI_Sys_AppTitle 0",
                      scratch);
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "Title\n");
  ProgramRun r = RunProgram(test::BinDir() / "twk208-cli", "text " + folder + "GI_Nope", scratch);
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("GTEX Error !\nThe index 'GI_Nope' was not found."), std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace twk
