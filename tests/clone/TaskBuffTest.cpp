#include <string>

#include "clone/SerialDevice.h"
#include "clone/cmcBuff.h"
#include "clone/cmcTask.h"
#include "common/TestSupport.h"

namespace twk {
namespace {

TEST(cmcTask, IntervalZeroTicksEveryMillisecondAndMinusOneStops) {
  ManualClock clock;
  cmcTask* task = cmcTask::Create(clock);
  int ticks = 0;
  task->SetCallback([&](cmcTask*) { ++ticks; });
  EXPECT_FALSE(task->SetInterval(0));
  clock.Advance(10);
  EXPECT_EQ(ticks, 10);
  EXPECT_TRUE(task->SetInterval(-1));
  clock.Advance(10);
  EXPECT_EQ(ticks, 10);
  task->Dispose();
  EXPECT_EQ(clock.RunningTimers(), 0);
}

TEST(cmcTask, DisposeFromItsOwnCallbackDestroysOnTheNextTick) {
  ManualClock clock;
  cmcTask* task = cmcTask::Create(clock);
  int ticks = 0;
  task->SetCallback([&](cmcTask* t) {
    ++ticks;
    t->Dispose();
    // Still alive here: the callback's own state is usable.
    EXPECT_TRUE(t->Busy());
  });
  task->SetInterval(5);
  clock.Advance(5);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(clock.RunningTimers(), 1);  // the pending dispose tick
  clock.Advance(1);
  EXPECT_EQ(clock.RunningTimers(), 0);
  clock.Advance(20);
  EXPECT_EQ(ticks, 1);
}

TEST(cmcTask, TickArrivingWhileTheCallbackRunsIsSkipped) {
  ManualClock clock;
  cmcTask* task = cmcTask::Create(clock);
  int ticks = 0;
  task->SetCallback([&](cmcTask* t) {
    ++ticks;
    t->Tick();  // a nested tick, as a modal box pumping messages would cause
  });
  task->SetInterval(1);
  clock.Advance(3);
  EXPECT_EQ(ticks, 3);
  task->Clear();
  clock.Advance(3);
  EXPECT_EQ(ticks, 3);
  task->Dispose();
}

TEST(cmcBuff, FrontRemovalGrowthAndCheckedAccess) {
  test::FatalCatcher catcher;
  cmcBuff b;
  EXPECT_EQ(b.TakeFront(), -1);
  EXPECT_EQ(b.Length(), 0);
  b.Push(7);
  b.Push(8);
  b.SetLength(10);
  ASSERT_EQ(b.Length(), 10);
  EXPECT_EQ(b.At(0), 7);
  EXPECT_EQ(b.At(1), 8);
  for (int i = 2; i < 10; ++i) EXPECT_EQ(b.At(i), 0) << i;
  EXPECT_EQ(b.TakeFront(), 7);
  EXPECT_EQ(b.At(0), 8);
  EXPECT_EQ(test::FatalTextOf([&] { b.At(9); }), "Out of cmcBuff element !");
  EXPECT_EQ(test::FatalTextOf([&] { b.At(-1); }), "Out of cmcBuff element !");
  b.PushN(0xFE, 3);
  EXPECT_EQ(b.Length(), 12);
  EXPECT_EQ(b.At(11), 0xFE);
  b.Assign(b.Data() + 1, 2);  // from itself
  ASSERT_EQ(b.Length(), 2);
  EXPECT_EQ(b.At(0), 0);
  b.Reset();
  EXPECT_EQ(b.Length(), 0);
  EXPECT_EQ(b.Capacity(), 1);
}

TEST(cmcBuff, TakingFromTheFrontCompactsAfter4096Bytes) {
  cmcBuff b;
  for (int i = 0; i < 5000; ++i) b.Push(static_cast<std::uint8_t>(i));
  for (int i = 0; i < 4096; ++i) ASSERT_EQ(b.TakeFront(), i & 0xFF);
  EXPECT_EQ(b.ReadPosition(), 4096);
  EXPECT_EQ(b.TakeFront(), 4096 & 0xFF);
  EXPECT_EQ(b.ReadPosition(), 0);  // compacted
  EXPECT_EQ(b.Length(), 5000 - 4097);
  EXPECT_EQ(b.At(0), 4097 & 0xFF);
}

TEST(cmcDeadline, CountsDownThenReportsPassed) {
  ManualClock clock;
  cmcDeadline d(clock);
  EXPECT_EQ(d.Remaining(), 0);  // never started: passed
  d.Start(1000);
  EXPECT_EQ(d.Remaining(), 1000);
  clock.Advance(400);
  EXPECT_EQ(d.Remaining(), 600);
  clock.Advance(599);
  EXPECT_EQ(d.Remaining(), 1);
  EXPECT_TRUE(d.Running());
  clock.Advance(1);
  EXPECT_EQ(d.Remaining(), 0);
  EXPECT_FALSE(d.Running());
}

TEST(LineSettings, ParsesTheFourFields) {
  struct Case {
    const char* text;
    int baud, bits, stop;
    bool parity;
  } cases[] = {
      {"9600,N,8,1", 9600, 8, 0, false}, {"4800,n,8,1", 4800, 8, 0, false},
      {"9600,N,3,1", 9600, 4, 0, false}, {"9600,N,9,2", 9600, 8, 2, false},
      {"38400,N,7,1.5", 38400, 7, 1, false}, {"9600,O,8,x", 9600, 8, 0, true},
  };
  for (const auto& c : cases) {
    const LineSettings s = ParseLineSettings(c.text);
    EXPECT_EQ(s.baud, c.baud) << c.text;
    EXPECT_EQ(s.byteSize, c.bits) << c.text;
    EXPECT_EQ(s.stopBits, c.stop) << c.text;
    EXPECT_EQ(s.parityCheck, c.parity) << c.text;
  }
}

TEST(PortNames, NumbersMapToDevicesAndPathsPassThrough) {
  struct Case {
    int n;
    const char* path;
  } map[] = {{1, "/dev/ttyS0"},    {4, "/dev/ttyS3"},      {5, "/dev/ttyUSB0"},
             {132, "/dev/ttyUSB127"}, {133, "/dev/ttyACM0"}, {256, "/dev/ttyACM123"},
             {0, ""},              {257, ""}};
  for (const auto& c : map) EXPECT_EQ(PortDevicePath(c.n), c.path) << c.n;

  struct Arg {
    const char* text;
    bool ok;
    int n;
    const char* path;
  } args[] = {{"5", true, 5, ""},          {"COM12", true, 12, ""},
              {"/dev/pts/3", true, 0, "/dev/pts/3"}, {"0", false, 0, ""},
              {"257", false, 0, ""},       {"x1", false, 0, ""}, {"", false, 0, ""}};
  for (const auto& a : args) {
    int n = -1;
    std::string p = "junk";
    EXPECT_EQ(ParsePortArgument(a.text, &n, &p), a.ok) << a.text;
    if (a.ok) {
      EXPECT_EQ(n, a.n) << a.text;
      EXPECT_EQ(p, a.path) << a.text;
    }
  }
}

}  // namespace
}  // namespace twk
