// The real serial code (termios port, engine, controller checks) against
// twk208-radiosim on a pseudo-terminal, on the real-time loop.
#include <filesystem>

#include "SimProcess.h"
#include "clone/LoopTimerService.h"
#include "clone/cmcCloneControl.h"
#include "common/TestSupport.h"
#include "file/CloneOpen.h"

namespace twk {
namespace {

class ScopedCache {
 public:
  explicit ScopedCache(const std::filesystem::path& dir) { setenv("XDG_CACHE_HOME", dir.c_str(), 1); }
  ~ScopedCache() { unsetenv("XDG_CACHE_HOME"); }
};

EepromImage TestImage(int salt) {
  EepromImage image(EepromImage::kModelSize);
  for (int a = 0; a < image.Size(); ++a) image.SetByte(a, static_cast<std::uint8_t>((a * 13 + salt) & 0xFF));
  image.SetByte(0x3D9, 0);
  image.SetByte(0x3DA, 1);
  return image;
}

// One command as the clone controller runs it: identification, then the
// read or write when that succeeded.
struct Session {
  LoopTimerService loop;
  cmcCloneControl control{loop};
  CloneInfo info;
  bool finished = false;
  int code = -1;
  EepromImage readImage;

  explicit Session(const std::string& device) {
    control.SetPort(1, device);
    control.SetIdentificationHandler([this](cmcCloneResult& r) { CheckIdentity(r, info); });
    control.SetReadHandler([](cmcCloneResult& r) { CheckImage(r); });
  }
  int Run(cmcCloneMode mode, const EepromImage* image = nullptr, bool maker = false) {
    finished = false;
    code = -1;
    control.SetCodes(kModelCode, 0);
    EXPECT_TRUE(control.StartIdentification([=, this](cmcCloneResult& r) {
      if (r.code != 0 || mode == cmcCloneMode::Identify) {
        code = r.code, finished = true;
        return;
      }
      control.SetImageSize(EepromImage::kModelSize);
      auto done = [this](cmcCloneResult& rr) {
        if (rr.code == 0 && rr.mode == cmcCloneMode::Read) readImage.Assign(rr.image);
        code = rr.code, finished = true;
      };
      if (mode == cmcCloneMode::Read)
        control.StartRead(ReadRangeList(), done);
      else
        control.StartWrite(*image, WriteRangeList(maker), done);
    }));
    EXPECT_TRUE(loop.RunUntil([this] { return finished; }, 30000));
    return code;
  }
  void ExpectIdle() {
    EXPECT_FALSE(control.Busy());
    EXPECT_FALSE(control.Engine().Port().IsOpen());
    EXPECT_FALSE(control.Engine().TickRunning());
    EXPECT_EQ(loop.RunningTimers(), 0);
  }
};

class SimEndToEnd : public ::testing::Test {
 protected:
  test::TempDir dir;
  ScopedCache cache{dir.path()};
};

TEST_F(SimEndToEnd, ReadAndWriteAFullImage) {
  const EepromImage served = TestImage(5);
  const auto in = dir / "served.cln";
  const auto out = dir / "received.cln";
  ASSERT_EQ(WriteCloneFile(in.string(), served, nullptr), 0);
  test::SimProcess sim({"--in", in.string(), "--out", out.string()});
  ASSERT_TRUE(sim.Ok());
  Session s(sim.Path());

  EXPECT_EQ(s.Run(cmcCloneMode::Identify), 0);
  EXPECT_EQ(s.info.modelCode, 0x2989);
  EXPECT_EQ(s.info.Comment(), "TW-K208 SIM     ");

  EXPECT_EQ(s.Run(cmcCloneMode::Read), 0);
  for (int a = 0; a < 0x1000; ++a) ASSERT_EQ(s.readImage.GetByte(a), served.GetByte(a)) << a;
  s.ExpectIdle();

  for (bool maker : {false, true}) {
    SCOPED_TRACE(maker);
    const EepromImage sent = TestImage(maker ? 77 : 99);
    EXPECT_EQ(s.Run(cmcCloneMode::Write, &sent, maker), 0);
    s.ExpectIdle();
    EepromImage saved;
    ASSERT_EQ(LoadCloneFile(out.string(), EepromImage::kModelSize, saved, nullptr), 0);
    const int last = maker ? 0xFFF : 0xFEB;
    for (int a = 0; a <= last; ++a) ASSERT_EQ(saved.GetByte(a), sent.GetByte(a)) << a;
    if (!maker) {  // the last 20 bytes are not written: the radio keeps its own
      for (int a = 0xFEC; a < 0x1000; ++a) ASSERT_EQ(saved.GetByte(a), served.GetByte(a)) << a;
    }
  }
  // The radio now serves what it was sent last.
  EXPECT_EQ(s.Run(cmcCloneMode::Read), 0);
  EXPECT_EQ(s.readImage.GetByte(0x100), TestImage(77).GetByte(0x100));
}

TEST_F(SimEndToEnd, EveryInjectedFailureEndsWithItsCode) {
  struct Case {
    const char* flag;
    cmcCloneMode mode;
    int code;
  } cases[] = {
      {"--no-echo", cmcCloneMode::Identify, 4},
      {"--bad-echo", cmcCloneMode::Identify, 4},
      {"--no-answer", cmcCloneMode::Identify, 5},
      {"--non-bcd", cmcCloneMode::Identify, 6},
      {"--wrong-second-code", cmcCloneMode::Identify, 11},
      {"--short-id", cmcCloneMode::Identify, 11},
      {"--id-length", cmcCloneMode::Identify, 11},
      {"--bad-format", cmcCloneMode::Identify, 14},
      {"--lower-hex", cmcCloneMode::Read, 6},
      {"--bad-checksum", cmcCloneMode::Read, 6},
      {"--wrong-count", cmcCloneMode::Read, 7},
      {"--skip-block", cmcCloneMode::Read, 8},
      {"--past-image", cmcCloneMode::Read, 9},
      {"--outside-range", cmcCloneMode::Read, 9},
      {"--long-frame", cmcCloneMode::Read, 6},
      {"--bad-marker", cmcCloneMode::Read, 15},
      {"--write-status", cmcCloneMode::Write, 10},
      {"--no-write-result", cmcCloneMode::Write, 5},
  };
  const EepromImage image = TestImage(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flag);
    test::SimProcess sim({c.flag});
    ASSERT_TRUE(sim.Ok());
    Session s(sim.Path());
    EepromImage document = TestImage(3);
    const EepromImage before = TestImage(3);
    s.readImage.Assign(document);
    EXPECT_EQ(s.Run(c.mode, &image), c.code);
    // The engine never touches a document; a failed read hands nothing over.
    EXPECT_TRUE(s.readImage.Equals(before));
    s.ExpectIdle();
    EXPECT_FALSE(s.control.LastTracePath().empty());
    // Ready for the next transfer.
    EXPECT_TRUE(s.control.StartIdentification([](cmcCloneResult&) {}));
    EXPECT_TRUE(s.loop.RunUntil([&] { return !s.control.Busy(); }, 5000));
    s.ExpectIdle();
  }
}

TEST_F(SimEndToEnd, PortThatCannotBeOpenedGivesCode2WithTheReason) {
  Session s((dir / "no-such-tty").string());
  std::string reason;
  s.control.SetErrorSink([&](const std::string&, const cmcCloneResult& r) { reason = r.portError; });
  EXPECT_EQ(s.Run(cmcCloneMode::Identify), 2);
  EXPECT_NE(reason.find("no-such-tty"), std::string::npos);
  s.ExpectIdle();
}

}  // namespace
}  // namespace twk
