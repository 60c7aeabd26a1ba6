// twk208-cli export, import and validate end to end, and write against the
// radio simulator refusing an image with an error before anything is sent.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "clone/SimProcess.h"
#include "common/TestSupport.h"
#include "text/TextStore.h"

namespace twk {
namespace {

namespace fs = std::filesystem;

using CliRun = test::ProgramRun;

class SheetCsvCli : public ::testing::Test {
 protected:
  test::TempDir dir;
  const fs::path initial = test::SourceDir() / "resources" / "TWK208_Initial.cln";

  CliRun Cli(const std::string& args) { return test::RunCli(args, dir.path()); }
  static std::string Q(const fs::path& p) { return test::Quoted(p); }
  // Replaces the CSV line that starts with `prefix` by `line`.
  static std::string ReplaceLine(std::string csv, const std::string& prefix, const std::string& line) {
    const std::size_t at = csv.find("\r\n" + prefix);
    EXPECT_NE(at, std::string::npos) << prefix;
    const std::size_t end = csv.find("\r\n", at + 2);
    return csv.replace(at + 2, end - at - 2, line);
  }
  // A copy of the initial file whose INT channel 16 (the P channel) is not in use.
  fs::path PChannelNotInUse() {
    const fs::path csv = dir / "int.csv", bad = dir / "bad.cln";
    CliRun e = Cli("export " + Q(initial) + " --sheet GI_Sheet_IntCh --out -");
    EXPECT_EQ(e.status, 0) << e.err;
    test::WriteFileBytes(csv, ReplaceLine(e.out, "16,", "16,P,---,---,---,---,---"));
    CliRun i = Cli("import " + Q(initial) + " --sheet GI_Sheet_IntCh --csv " + Q(csv) + " --out " + Q(bad));
    EXPECT_EQ(i.status, 0) << i.err;
    return bad;
  }
};

TEST_F(SheetCsvCli, ExportOfEveryTreeSheetAndImportOfTheUnchangedCsvsRoundTrip) {
  const fs::path out = dir / "csv" / "all";  // made by export
  CliRun e = Cli("export " + Q(initial) + " --out " + Q(out));
  ASSERT_EQ(e.status, 0) << e.err;
  EXPECT_EQ(test::ReadFileBytes(out / "INT channels.csv"),
            test::ReadFileBytes(test::SourceDir() / "tests" / "data" / "golden" / "GI_Sheet_IntCh.csv"));
  // One file per sheet, named after the title; stderr names key and file.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(out)) {
    (void)entry;
    ++files;
  }
  EXPECT_GE(files, 11);
  EXPECT_NE(e.err.find("GI_Sheet_WxCh: " + (out / "Weather channels.csv").string()), std::string::npos) << e.err;

  const fs::path work = dir / "work.cln";
  fs::copy_file(initial, work);
  for (const auto& entry : fs::directory_iterator(out)) {
    // The key of the file's sheet, from export's own listing.
    const std::string name = entry.path().string();
    const std::size_t at = e.err.find(": " + name + "\n");
    ASSERT_NE(at, std::string::npos) << name;
    const std::size_t start = e.err.rfind('\n', at) == std::string::npos ? 0 : e.err.rfind('\n', at) + 1;
    const std::string key = e.err.substr(start, at - start);
    CliRun i = Cli("import " + Q(work) + " --sheet " + key + " --csv " + Q(entry.path()));
    EXPECT_EQ(i.status, 0) << key << ": " << i.err;
    EXPECT_NE(i.err.find("0 cell(s) changed, 0 refused"), std::string::npos) << i.err;
  }
  EXPECT_EQ(test::ReadFileBytes(work), test::ReadFileBytes(initial));
}

TEST_F(SheetCsvCli, ExportUsageAndUnknownSheets) {
  EXPECT_EQ(Cli("export " + Q(initial) + " --out -").status, 64);  // several sheets to stdout
  EXPECT_EQ(Cli("export").status, 64);
  EXPECT_EQ(Cli("export " + Q(initial) + " --sheet GI_Sheet_Nothing --out -").status, 10);
  EXPECT_EQ(Cli("export " + Q(dir / "missing.cln")).status, 21);
}

TEST_F(SheetCsvCli, RefusedCellsAreReportedAndNothingIsSavedWithoutPartial) {
  CliRun e = Cli("export " + Q(initial) + " --sheet GI_Sheet_WxCh --out -");
  ASSERT_EQ(e.status, 0);
  std::string csv = ReplaceLine(e.out, "2,", "2,162.4000 MHz,In use,RAIN");
  csv = ReplaceLine(csv, "3,", "3,162.4750 MHz,Sometimes,WX3");
  test::WriteFileBytes(dir / "wx.csv", csv);
  const fs::path out = dir / "out.cln";
  CliRun i = Cli("import " + Q(initial) + " --sheet GI_Sheet_WxCh --csv " + Q(dir / "wx.csv") + " --out " + Q(out));
  EXPECT_EQ(i.status, 1);
  EXPECT_NE(i.err.find("4,3: Sometimes: not in the list"), std::string::npos) << i.err;
  EXPECT_NE(i.err.find("nothing saved"), std::string::npos);
  EXPECT_FALSE(fs::exists(out));

  i = Cli("import " + Q(initial) + " --sheet GI_Sheet_WxCh --csv " + Q(dir / "wx.csv") + " --out " + Q(out) +
          " --partial");
  EXPECT_EQ(i.status, 1);
  ASSERT_TRUE(fs::exists(out));
  CliRun back = Cli("export " + Q(out) + " --sheet GI_Sheet_WxCh --out -");
  EXPECT_NE(back.out.find("\r\n2,162.4000 MHz,In use,RAIN\r\n"), std::string::npos) << back.out;
  EXPECT_NE(back.out.find("\r\n3,162.4750 MHz,In use,WX3\r\n"), std::string::npos);
}

TEST_F(SheetCsvCli, ImportOfUnusableCsvs) {
  test::WriteFileBytes(dir / "bad.csv", "\"unterminated\r\n");
  EXPECT_EQ(Cli("import " + Q(initial) + " --sheet GI_Sheet_WxCh --csv " + Q(dir / "bad.csv")).status, 10);
  test::WriteFileBytes(dir / "other.csv", "No.,MMSI,Name\r\n");
  CliRun r = Cli("import " + Q(initial) + " --sheet GI_Sheet_WxCh --csv " + Q(dir / "other.csv"));
  EXPECT_EQ(r.status, 10);
  EXPECT_NE(r.err.find("the header does not match"), std::string::npos) << r.err;
  EXPECT_EQ(Cli("import " + Q(initial) + " --sheet GI_Sheet_WxCh").status, 64);
}

TEST_F(SheetCsvCli, ValidateReportsErrorsWithExitStatus30) {
  CliRun ok = Cli("validate " + Q(initial));
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(ok.out, "");
  CliRun bad = Cli("validate " + Q(PChannelNotInUse()));
  EXPECT_EQ(bad.status, 30);
  EXPECT_EQ(bad.out, "ERROR: INT channels: row 16\n");
}

TEST_F(SheetCsvCli, WriteRefusesAnImageWithAnErrorBeforeAnyTransfer) {
  const fs::path bad = PChannelNotInUse();
  const fs::path received = dir / "radio.cln";
  test::SimProcess sim({"--out", received.string()});
  ASSERT_TRUE(sim.Ok());
  CliRun w = Cli("write --port '" + sim.Path() + "' " + Q(bad));
  EXPECT_EQ(w.status, 30) << w.err;
  EXPECT_NE(w.err.find("ERROR: INT channels: row 16\n"), std::string::npos) << w.err;
  TextStore texts;
  texts.SetFile((test::BinDir() / "TWK208.OVL").string());
  EXPECT_NE(w.err.find(texts.GetLine("GI_Mess_DataError", 0)), std::string::npos) << w.err;
  EXPECT_FALSE(fs::exists(received)) << "nothing reached the radio";
  // The same radio takes the file without the error.
  CliRun good = Cli("write --port '" + sim.Path() + "' " + Q(initial));
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_TRUE(fs::exists(received));
}

}  // namespace
}  // namespace twk
