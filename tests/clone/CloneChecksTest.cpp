#include <filesystem>
#include <fstream>
#include <thread>

#include "FakeSerial.h"
#include "clone/SerialTrace.h"
#include "clone/cmcCloneControl.h"
#include "common/TestSupport.h"
#include "text/TextStore.h"

namespace twk {
namespace {

cmcCloneResult IdentResult(int first, int second, std::vector<std::uint8_t> block) {
  cmcCloneResult r;
  r.mode = cmcCloneMode::Identify;
  r.firstCode = first;
  r.secondCode = second;
  r.idBlock = std::move(block);
  return r;
}

std::vector<std::uint8_t> Block(int length, int format = 1) {
  std::vector<std::uint8_t> b(length, 'x');
  b[0] = static_cast<std::uint8_t>(length);
  b[1] = 0x21;
  b[2] = static_cast<std::uint8_t>(format);
  if (length > 21) b[21] = 0;
  return b;
}

TEST(CloneChecks, IdentityCheck) {
  struct Case {
    const char* name;
    cmcCloneResult result;
    int code;
    bool infoKept;
  } cases[] = {
      {"good", IdentResult(0x2989, 1, Block(22)), 0, true},
      {"longer block", IdentResult(0x2989, 1, Block(30)), 0, true},
      {"second code 2", IdentResult(0x2989, 2, Block(22)), 11, false},
      {"other model", IdentResult(0x2988, 1, Block(22)), 11, false},
      {"21-byte block", IdentResult(0x2989, 1, Block(21)), 11, false},
      {"format byte 2", IdentResult(0x2989, 1, Block(22, 2)), 14, true},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    CloneInfo info;
    EXPECT_EQ(CheckIdentity(c.result, info), c.code);
    EXPECT_EQ(c.result.code, c.code);
    EXPECT_EQ(info.valid, c.infoKept);
    if (c.infoKept) {
      ASSERT_EQ(info.block.size(), 22u);
      EXPECT_EQ(info.Revision(), 0x21);
      EXPECT_EQ(info.Comment(), std::string(16, 'x'));
    }
  }
  cmcCloneResult bad = IdentResult(0x2989, 1, Block(22));
  bad.idBlock[0] = 23;  // byte 0 is not the length
  CloneInfo info;
  EXPECT_EQ(CheckIdentity(bad, info), 11);
  cmcCloneResult failed = IdentResult(0, 0, {});
  failed.code = 5;  // a failed transfer is not checked
  EXPECT_EQ(CheckIdentity(failed, info), 5);
}

TEST(CloneChecks, ImageCheckWantsTheFormatMarker) {
  cmcCloneResult r;
  r.mode = cmcCloneMode::Read;
  r.image.Resize(EepromImage::kModelSize);
  EXPECT_EQ(CheckImage(r), 15);
  r.code = 0;
  r.image.SetByte(0x3DA, 1);
  EXPECT_EQ(CheckImage(r), 0);
}

class CloneErrorTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> lines = {"#GI_Mess_CloneErr_Head"};
    for (int i = 0; i < 18; ++i) lines.push_back(i == 2 ? "port COM%d failed" : "H" + std::to_string(i));
    lines.push_back("#GI_Mess_CloneErr_Check");
    for (int i = 0; i < 8; ++i) lines.push_back("C" + std::to_string(i));
    lines.push_back("#End_Of_Ovl");
    store.SetLines(lines);
  }
  TextStore store;
};

TEST_F(CloneErrorTextTest, HeadLineAndTheCheckLinesOfTheCode) {
  struct Case {
    int code;
    const char* text;
  } cases[] = {
      {0, ""},
      {2, "port COM7 failed\n\nC0\nC1\nC2\nC3"},
      {4, "H4\n\nC0\nC1\nC2\nC3"},
      {10, "H10\n\nC0\nC2\nC3"},
      {11, "H11\n\nC0\nC1\nC2\nC3\nC4\nC5"},
      {12, "H12\n\nC0\nC1\nC2\nC3\nC4\nC5"},
      {13, "H13\n\nC6\nC7"},
      {14, "H14\n\nC0\nC4\nC5"},
      {15, "H15\n\nC0\nC1\nC2\nC3"},
      {16, "H16\n\n"},
      {17, "H17\n\nC0\nC1\nC2\nC3"},
  };
  for (const auto& c : cases) EXPECT_EQ(CloneErrorText(store, c.code, 7), c.text) << c.code;
  EXPECT_EQ(CloneErrorText(store, 2, 1, "/dev/ttyUSB3"), "port /dev/ttyUSB3 failed\n\nC0\nC1\nC2\nC3");
}

TEST(CloneErrorText, TheProgramsResourceHasEveryLine) {
  test::FatalCatcher catcher;
  TextStore store;
  ASSERT_TRUE(store.SetFile((test::SourceDir() / "resources" / "TWK208.OVL").string()));
  for (int code = 1; code < kCloneErrHeadLines; ++code) {
    const std::string text = CloneErrorText(store, code, 3);
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_EQ(text.find('%'), std::string::npos) << code;
  }
  EXPECT_NE(CloneErrorText(store, 2, 3).find("COM3"), std::string::npos);
  EXPECT_EQ(store.GetLine("GI_Mess_CloneErr_Check", kCloneErrCheckLines - 1).empty(), false);
}

class ScopedCache {
 public:
  explicit ScopedCache(const std::filesystem::path& dir) {
    const char* old = std::getenv("XDG_CACHE_HOME");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("XDG_CACHE_HOME", dir.c_str(), 1);
  }
  ~ScopedCache() {
    if (had_)
      setenv("XDG_CACHE_HOME", old_.c_str(), 1);
    else
      unsetenv("XDG_CACHE_HOME");
  }

 private:
  bool had_ = false;
  std::string old_;
};

TEST(SerialTrace, LogsTheTransferAndKeepsTheNewestTen) {
  test::TempDir dir;
  ScopedCache cache(dir.path());
  EXPECT_EQ(SerialTraceFolder(), (dir.path() / "twk208").string());
  std::vector<std::string> paths;
  for (int i = 0; i < 12; ++i) {
    SerialTrace trace("info", "COM1 (/dev/ttyS0)");
    ASSERT_FALSE(trace.Path().empty());
    paths.push_back(trace.Path());
    const std::uint8_t tx[] = {0xFE, 0xE0, 0xFD};
    trace.OnPortOpen("4800,N,8,1", true);
    trace.OnSent(tx, 3);
    trace.OnReceived(tx, 2);
    cmcCloneResult r;
    r.code = 5;
    trace.OnDone(r);
    // Names carry the time to the millisecond; keep them apart.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  int count = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path() / "twk208")) (void)e, ++count;
  EXPECT_EQ(count, 10);
  EXPECT_FALSE(std::filesystem::exists(paths[0]));
  EXPECT_FALSE(std::filesystem::exists(paths[1]));
  const std::string text = test::ReadFileBytes(paths.back());
  EXPECT_NE(text.find("OPEN 4800,N,8,1 ok"), std::string::npos);
  EXPECT_NE(text.find("TX FE E0 FD"), std::string::npos);
  EXPECT_NE(text.find("RX FE E0"), std::string::npos);
  EXPECT_NE(text.find("RESULT 5"), std::string::npos);
}

TEST(CloneControl, CompletionRunsTheCheckThenTheMessageThenClosesProgress) {
  test::TempDir dir;
  ScopedCache cache(dir.path());
  ManualClock clock;
  test::FakeLine line;
  // A radio that answers E2 with too few records: code 8 after the read.
  line.radio = [](const test::Bytes& f) -> test::Bytes {
    if (f[3] != 0xE2) return {};
    test::Bytes out;
    for (int a = 0; a < 0x800; a += 16) {
      std::uint8_t d[16] = {};
      const std::string t = RecordText(a, d, 16);
      out.insert(out.end(), {0xFE, 0xFE, 0xEF, 0xEE, 0xE4});
      out.insert(out.end(), t.begin(), t.end());
      out.push_back(0xFD);
    }
    const std::string e = "Zelt Inc.80";
    out.insert(out.end(), {0xFE, 0xFE, 0xEF, 0xEE, 0xE5});
    out.insert(out.end(), e.begin(), e.end());
    out.push_back(0xFD);
    return out;
  };
  cmcCloneControl control(clock, test::MakeFake(line));
  std::vector<std::string> log;
  int cellsAtClose = -1;
  control.SetReadHandler([&](cmcCloneResult& r) {
    log.push_back("check " + std::to_string(r.code));
    CheckImage(r);
  });
  control.SetErrorSink([&](const std::string& text, const cmcCloneResult& r) {
    log.push_back("error " + std::to_string(r.code) + (text.empty() ? "" : " text"));
  });
  control.SetProgressHooks([&] { log.push_back("open"); },
                           [&] {
                             log.push_back("close");
                             cellsAtClose = control.ProgressCells();
                           },
                           [] {});
  control.SetImageSize(EepromImage::kModelSize);
  bool done = false;
  ASSERT_TRUE(control.StartRead(ReadRangeList(), [&](cmcCloneResult& r) {
    log.push_back("done " + std::to_string(r.code));
    done = true;
  }));
  EXPECT_FALSE(control.StartIdentification(nullptr));  // busy
  EXPECT_EQ(control.ExpectedDataBytes(), 4096);
  ASSERT_TRUE(clock.RunUntil([&] { return done; }, 10000));
  EXPECT_EQ(log, (std::vector<std::string>{"open", "check 8", "error 8", "close", "done 8"}));
  EXPECT_EQ(cellsAtClose, 2048 * 33 / 4096);  // half the data: 16 of 32 cells
  EXPECT_FALSE(control.LastTracePath().empty());
  const std::string trace = test::ReadFileBytes(control.LastTracePath());
  ASSERT_NE(trace.find("RESULT 8"), std::string::npos);
  EXPECT_EQ(trace.find("RESULT", trace.find("RESULT 8") + 1), std::string::npos);  // once
  // Without an identification handler an identification never passes.
  done = false;
  line.radio = [](const test::Bytes& f) -> test::Bytes {
    if (f[3] != 0xE0) return {};
    return {0xFE, 0xEF, 0xEE, 0xE1, 0x29, 0x89, 0x00, 0x01, 0xFD};
  };
  ASSERT_TRUE(control.StartIdentification([&](cmcCloneResult& r) {
    log.push_back("ident " + std::to_string(r.code));
    done = true;
  }));
  ASSERT_TRUE(clock.RunUntil([&] { return done; }, 10000));
  EXPECT_EQ(log.back(), "ident 11");
}

}  // namespace
}  // namespace twk
