// twk208-cli info, read and write against the simulator: exit statuses,
// the saved file, the failure message and the trace path on stderr.
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

#include "SimProcess.h"
#include "common/TestSupport.h"
#include "data/EepromImage.h"
#include "file/CloneOpen.h"

namespace twk {
namespace {

using CliRun = test::ProgramRun;

CliRun RunCli(const test::TempDir& dir, const std::string& args) {
  return test::RunCli(args, dir.path());
}

TEST(CliClone, ReadWriteAndInfoAgainstTheSimulator) {
  test::TempDir dir;
  const auto received = dir / "radio.cln";
  test::SimProcess sim({"--out", received.string()});
  ASSERT_TRUE(sim.Ok());
  const std::string port = " --port '" + sim.Path() + "'";

  CliRun info = RunCli(dir, "info" + port);
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("2989 0001"), std::string::npos);

  const auto file = dir / "read.cln";
  CliRun read = RunCli(dir, "read" + port + " --out '" + file.string() + "'");
  ASSERT_EQ(read.status, 0) << read.err;
  EepromImage image;
  ASSERT_EQ(LoadCloneFile(file.string(), EepromImage::kModelSize, image, nullptr), 0);

  CliRun write = RunCli(dir, "write" + port + " '" + file.string() + "'");
  ASSERT_EQ(write.status, 0) << write.err;
  EepromImage back;
  ASSERT_EQ(LoadCloneFile(received.string(), EepromImage::kModelSize, back, nullptr), 0);
  for (int a = 0; a < 0xFEC; ++a) ASSERT_EQ(back.GetByte(a), image.GetByte(a)) << a;
}

// --verify reads the memory back: a radio that stores what it was sent
// passes; one that keeps a changed byte is reported byte by byte (sent ->
// read) with exit 31, even though the write itself reported success.
TEST(CliClone, WriteVerifyReadsBackAndReportsEveryDifferingByte) {
  test::TempDir dir;
  const std::string initial = test::Quoted(test::SourceDir() / "resources" / "TWK208_Initial.cln");
  {
    test::SimProcess sim({});
    ASSERT_TRUE(sim.Ok());
    CliRun r = RunCli(dir, "write --verify --port '" + sim.Path() + "' " + initial);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Verified"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  {
    test::SimProcess sim({"--store-flip"});
    ASSERT_TRUE(sim.Ok());
    CliRun plain = RunCli(dir, "write --port '" + sim.Path() + "' " + initial);
    EXPECT_EQ(plain.status, 0) << plain.err;  // the radio reports success
    CliRun r = RunCli(dir, "write --verify --port '" + sim.Path() + "' " + initial);
    EXPECT_EQ(r.status, 31) << r.err;
    EXPECT_EQ(r.out.substr(0, 7), "05EC : ");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    EXPECT_NE(r.err.find("VERIFY FAILED: 1 byte(s)"), std::string::npos) << r.err;
  }
}

TEST(CliClone, ExitStatusesOfFailures) {
  test::TempDir dir;
  {
    test::SimProcess sim({"--no-answer"});
    ASSERT_TRUE(sim.Ok());
    CliRun r = RunCli(dir, "info --port '" + sim.Path() + "'");
    EXPECT_EQ(r.status, 5);
    EXPECT_NE(r.err.find("(error 5)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Serial trace: " + (dir / "cache" / "twk208").string()), std::string::npos)
        << r.err;
  }
  {
    test::SimProcess sim({"--bad-marker"});
    ASSERT_TRUE(sim.Ok());
    const auto file = dir / "never.cln";
    CliRun r = RunCli(dir, "read --port '" + sim.Path() + "' --out '" + file.string() + "'");
    EXPECT_EQ(r.status, 15);
    EXPECT_FALSE(std::filesystem::exists(file));
  }
  CliRun missing = RunCli(dir, "write --port 1 '" + (dir / "missing.cln").string() + "'");
  EXPECT_EQ(missing.status, 21);  // 20 + the clone file's "cannot open"
  CliRun port = RunCli(dir, "info --port '" + (dir / "nothing").string() + "'");
  EXPECT_EQ(port.status, 2);
  EXPECT_NE(port.err.find("could not be opened"), std::string::npos) << port.err;
  EXPECT_EQ(RunCli(dir, "info --port 0").status, 64);  // usage
}

}  // namespace
}  // namespace twk
