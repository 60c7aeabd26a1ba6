// twk208-cli check, diff and make-initial, run end to end.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "common/TestSupport.h"

namespace twk {
namespace {

namespace fs = std::filesystem;

using CliRun = test::ProgramRun;

class CloneCli : public ::testing::Test {
 protected:
  test::TempDir dir;
  const fs::path initial = test::SourceDir() / "resources" / "TWK208_Initial.cln";

  CliRun Cli(const std::string& args) { return test::RunCli(args, dir.path()); }
  static std::string Q(const fs::path& p) { return test::Quoted(p); }
  // A copy of the initial file with some data bytes changed (line index,
  // character position, two hex digits).
  fs::path Changed(const std::string& name,
                   const std::vector<std::tuple<int, int, std::string>>& edits) {
    std::string text = test::ReadFileBytes(initial);
    std::vector<std::size_t> starts = {0};
    for (std::size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n') starts.push_back(i + 1);
    for (const auto& [line, pos, digits] : edits)
      text.replace(starts[static_cast<std::size_t>(line)] + static_cast<std::size_t>(pos), digits.size(), digits);
    const fs::path p = dir / name;
    test::WriteFileBytes(p, text);
    return p;
  }
};

TEST_F(CloneCli, InitialFilePassesTheCheck) {
  CliRun r = Cli("check " + Q(initial));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, initial.string() +
                       ": OK; channels in use: INT 57, USA 49, CANADA 53; DSC IDs: 0; comment: \"\"\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(CloneCli, CheckFailuresExitWithTwentyPlusTheCode) {
  test::WriteFileBytes(dir / "model.cln", "29880001\r\n");
  test::WriteFileBytes(dir / "format.cln", "garbage\r\n");
  // Line 3 + 0x3D holds 0x3D0-0x3DF; byte 0x3DA is at character 6 + 2 * 10.
  const fs::path marker = Changed("marker.cln", {{3 + 0x3D, 26, "00"}});
  struct Case {
    fs::path file;
    int status;
    const char* text;  // a piece of the message on stderr
  } cases[] = {
      {dir / "missing.cln", 21, "could not be opened"},
      {dir / "model.cln", 23, "different radio model"},
      {dir / "format.cln", 26, "not a valid clone file"},
      {marker, 28, "format mark"},
  };
  for (const Case& c : cases) {
    CliRun r = Cli("check " + Q(c.file));
    EXPECT_EQ(r.status, c.status) << c.file;
    EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(Cli("check").status, 64);
}

TEST_F(CloneCli, DiffListsDifferingBytesInAddressOrder) {
  // 0x010 (line 4, first byte) and 0xFFF (last data line, last byte); the
  // edits are given out of address order.
  const fs::path b = Changed("b.cln", {{3 + 0xFF, 36, "5A"}, {4, 6, "7E"}});
  const std::string text = test::ReadFileBytes(initial);
  const std::string at010 = text.substr(text.find("\n001010") + 7, 2);
  const std::string atFFF = text.substr(text.find("\n0FF010") + 1 + 36, 2);
  CliRun r = Cli("diff " + Q(initial) + " " + Q(b));
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "0010 : " + at010 + " -> 7E\n0FFF : " + atFFF + " -> 5A\n");
  EXPECT_EQ(Cli("diff " + Q(initial) + " " + Q(initial)).status, 0);
  EXPECT_EQ(Cli("diff " + Q(initial) + " " + Q(dir / "none.cln")).status, 21);
  EXPECT_EQ(Cli("diff " + Q(initial)).status, 64);
}

TEST_F(CloneCli, RegeneratingTheInitialFileGivesTheSameBytes) {
  const fs::path out = dir / "regen.cln";
  CliRun r = Cli("make-initial " + Q(test::SourceDir() / "data" / "marine-vhf-channels.csv") + " " +
              Q(test::SourceDir() / "data" / "noaa-weather-channels.csv") + " " + Q(out));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ReadFileBytes(out), test::ReadFileBytes(initial));
  EXPECT_EQ(Cli("make-initial " + Q(dir / "x.csv") + " y z").status, 1);
}

}  // namespace
}  // namespace twk
