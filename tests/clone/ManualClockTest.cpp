#include "clone/TimerService.h"

#include <string>

#include "common/TestSupport.h"

namespace twk {
namespace {

TEST(ManualClock, TimersFireInDueOrderAtTheirDueTimes) {
  ManualClock clock;
  std::string log;
  auto a = clock.Create([&] { log += "a" + std::to_string(clock.Now()) + " "; });
  auto b = clock.Create([&] { log += "b" + std::to_string(clock.Now()) + " "; });
  clock.Start(a, 10);
  clock.Start(b, 15);
  clock.Advance(30);
  EXPECT_EQ(log, "a10 b15 a20 a30 b30 ");
  EXPECT_EQ(clock.TickCount(), 30u);
}

TEST(ManualClock, TickMayStopOrDestroyItsOwnTimer) {
  ManualClock clock;
  int n = 0;
  TimerService::TimerId id = 0;
  id = clock.Create([&] {
    if (++n == 3) clock.Destroy(id);
  });
  clock.Start(id, 0);  // 0 means 1 ms
  clock.Advance(100);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(clock.RunningTimers(), 0);
}

}  // namespace
}  // namespace twk
