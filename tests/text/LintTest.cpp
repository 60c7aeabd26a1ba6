#include "text/Lint.h"

#include <filesystem>

#include "common/TestSupport.h"
#include "text/TextStore.h"

namespace twk {
namespace {

const std::vector<KeyUse> kKeys = {
    {"GI_Sys_AppTitle", ResourceFile::Main, 1},
    {"GI_Two", ResourceFile::Main, 2},
    {"GI_AppItem_Topic_ID", ResourceFile::Help, 0},
    {"GI_AppItem_Context_ID", ResourceFile::Help, 0},
};

const std::string kMain =
    "comment\n"
    "#GI_Sys_AppTitle\n"
    "Title\n"
    "#GI_Two\n"
    "a\n"
    "b\n"
    "#End_Of_Ovl\n";

const std::string kHelp =
    "#GI_AppItem_Topic_ID\n"
    "CL_X\tT1\n"
    "#\n"
    "#GI_AppItem_Context_ID\n"
    "T1\t10\n"
    "#\n"
    "#End_Of_Ovl\n";

// "NAME:LINE: message" with the folder taken off.
std::vector<std::string> Lint(const std::string* main, const std::string* help,
                              std::vector<KeyUse> keys = kKeys) {
  test::TempDir dir;
  if (main) test::WriteFileBytes(dir / "TWK208.OVL", *main);
  if (help) test::WriteFileBytes(dir / "TWK208H.OVL", *help);
  std::vector<std::string> out;
  // The folder given without its trailing separator.
  for (const auto& p : RunLint(dir.path().string(), std::move(keys)).Problems()) {
    std::string text = p.Text();
    EXPECT_EQ(text.rfind(dir.path().string() + "/", 0), 0u) << text;
    out.push_back(text.substr(dir.path().string().size() + 1));
  }
  return out;
}

TEST(Lint, FindsEachKindOfProblemWithFileAndLine) {
  struct Case {
    const char* name;
    std::string main, help;
    std::vector<std::string> problems;
  };
  const Case cases[] = {
      {"clean", kMain, kHelp, {}},
      {"clean with CR LF",
       "#GI_Sys_AppTitle\r\nTitle\r\n#GI_Two\r\na\r\nb\r\n#\r\n",
       kHelp,
       {}},
      {"missing key",
       "#GI_Sys_AppTitle\nTitle\n#End_Of_Ovl\n",
       kHelp,
       {"TWK208.OVL:3: missing key 'GI_Two'"}},
      {"key after the end",
       "#GI_Sys_AppTitle\nTitle\n#End_Of_Ovl\n#GI_Two\na\nb\n#\n",
       kHelp,
       {"TWK208.OVL:4: key 'GI_Two' comes after #End_Of_Ovl and is never found"}},
      {"unterminated section",
       "#GI_Sys_AppTitle\nTitle\n#GI_Two\na\nb\n",
       kHelp,
       {"TWK208.OVL:3: section 'GI_Two' is not ended by a \"#\" line before the end of the "
        "file"}},
      {"too few lines",
       "#GI_Sys_AppTitle\n#GI_Two\na\n#\n",
       kHelp,
       {"TWK208.OVL:1: section 'GI_Sys_AppTitle' has 0 line(s) but the program reads 1",
        "TWK208.OVL:2: section 'GI_Two' has 1 line(s) but the program reads 2"}},
      {"shadowed duplicate",
       "#GI_Sys_AppTitle\nT\n#GI_Two\na\nb\n#GI_Sys_AppTitle\nU\n#End_Of_Ovl\n",
       kHelp,
       {"TWK208.OVL:6: section 'GI_Sys_AppTitle' is shadowed by the one at line 1 and is "
        "never read"}},
      {"malformed help tables",
       kMain,
       "#GI_AppItem_Topic_ID\n"
       "CL_X T1\n"
       "CL_Y\tT2\textra\n"
       "\tT3\n"
       "\n"
       "#GI_AppItem_Context_ID\n"
       "T1\t1x\n"
       "T2\t\n"
       "T3\t30\n"
       "#\n"
       "#End_Of_Ovl\n",
       {"TWK208H.OVL:2: line of 'GI_AppItem_Topic_ID' needs two fields separated by a TAB",
        "TWK208H.OVL:3: line of 'GI_AppItem_Topic_ID' has more than two fields",
        "TWK208H.OVL:4: line of 'GI_AppItem_Topic_ID' has an empty field",
        "TWK208H.OVL:5: line of 'GI_AppItem_Topic_ID' needs two fields separated by a TAB",
        "TWK208H.OVL:6: table 'GI_AppItem_Topic_ID' must be ended by a line holding \"#\" "
        "alone",
        "TWK208H.OVL:7: line of 'GI_AppItem_Context_ID' has context number '1x', which is not "
        "a decimal number",
        "TWK208H.OVL:8: line of 'GI_AppItem_Context_ID' has an empty field"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Lint(&c.main, &c.help), c.problems);
  }
}

TEST(Lint, MissingFilesAreReportedOnce) {
  EXPECT_EQ(Lint(nullptr, &kHelp), std::vector<std::string>{
                                       "TWK208.OVL:0: resource file is missing or cannot be read"});
  EXPECT_EQ(Lint(&kMain, nullptr),
            std::vector<std::string>{"TWK208H.OVL:0: resource file is missing or cannot be read"});
}

// Line numbers are those of the file, also after a line the store splits.
TEST(Lint, LongLinesKeepTheirFileLineNumber) {
  const std::string longLine(9000, 'x');
  const std::string main = "#GI_Sys_AppTitle\n" + longLine + "\n#GI_Two\na\n#\n";
  EXPECT_EQ(Lint(&main, &kHelp),
            std::vector<std::string>{
                "TWK208.OVL:3: section 'GI_Two' has 1 line(s) but the program reads 2"});
}

TEST(Lint, ShippedResourcesAreClean) {
  for (const auto& folder : {test::BinDir(), test::SourceDir() / "resources"}) {
    LintReport report = RunLint(folder.string());
    for (const auto& p : report.Problems()) ADD_FAILURE() << p.Text();
    EXPECT_TRUE(report.Clean());
  }
}

// The lint and the store agree: every required key of the shipped resources
// can be read through the store, all lines the program reads.
TEST(Lint, ShippedKeysReadThroughTheStore) {
  TextStore mainStore, helpStore;
  mainStore.SetFile(MainResourceName(test::BinDir().string() + "/", kShortCode));
  helpStore.SetFile(HelpResourceName(test::BinDir().string() + "/", kShortCode));
  test::FatalCatcher catcher;
  for (const KeyUse& k : AllRequiredKeys()) {
    TextStore& s = k.file == ResourceFile::Help ? helpStore : mainStore;
    EXPECT_NO_THROW({
      for (int n = 0; n < k.minLines; ++n) s.GetLine(k.key, n);
      s.GetSectionText(k.key);
    }) << k.key;
  }
}

}  // namespace
}  // namespace twk
