#include "clone/LoopTimerService.h"

#include <algorithm>
#include <thread>

namespace twk {

LoopTimerService::LoopTimerService() : origin_(Clock::now()) {}

TimerService::TimerId LoopTimerService::Create(std::function<void()> tick) {
  const TimerId id = next_++;
  timers_[id].tick = std::move(tick);
  return id;
}

void LoopTimerService::Start(TimerId id, int ms) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second.running = true;
  it->second.period = std::max(ms, 1);
  it->second.due = Clock::now() + std::chrono::milliseconds(it->second.period);
}

void LoopTimerService::Stop(TimerId id) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second.running = false;
}

void LoopTimerService::Destroy(TimerId id) { timers_.erase(id); }

std::uint32_t LoopTimerService::TickCount() const {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - origin_).count());
}

int LoopTimerService::RunningTimers() const {
  return static_cast<int>(std::count_if(timers_.begin(), timers_.end(),
                                        [](const auto& t) { return t.second.running; }));
}

bool LoopTimerService::RunUntil(const std::function<bool()>& done, int limitMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(limitMs);
  for (;;) {
    if (done()) return true;
    TimerId best = 0;
    Clock::time_point bestDue = Clock::time_point::max();
    for (auto& [id, t] : timers_) {
      if (t.running && t.due < bestDue) {
        best = id;
        bestDue = t.due;
      }
    }
    if (best == 0) return done();
    if (bestDue > end) {
      std::this_thread::sleep_until(end);
      return done();
    }
    std::this_thread::sleep_until(bestDue);
    auto it = timers_.find(best);
    if (it == timers_.end() || !it->second.running) continue;
    // Fixed period from the tick's own time, like a UI timer.
    it->second.due = Clock::now() + std::chrono::milliseconds(it->second.period);
    auto tick = it->second.tick;  // the tick may destroy its own timer
    tick();
  }
}

}  // namespace twk
