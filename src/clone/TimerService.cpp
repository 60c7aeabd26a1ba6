#include "clone/TimerService.h"

#include <algorithm>
#include <chrono>

namespace twk {
namespace {

// Used until the front end or a test installs its own: timers never fire,
// but the tick count is real. Headless tools that need timers install a
// loop of their own.
class InertTimerService : public TimerService {
 public:
  TimerId Create(std::function<void()>) override { return ++next_; }
  void Start(TimerId, int) override {}
  void Stop(TimerId) override {}
  void Destroy(TimerId) override {}
  std::uint32_t TickCount() const override {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }

 private:
  TimerId next_ = 0;
};

InertTimerService g_inert;
TimerService* g_default = nullptr;

}  // namespace

TimerService& DefaultTimerService() { return g_default ? *g_default : g_inert; }

TimerService* SetDefaultTimerService(TimerService* service) {
  TimerService* old = g_default;
  g_default = service;
  return old;
}

TimerService::TimerId ManualClock::Create(std::function<void()> tick) {
  TimerId id = next_++;
  timers_[id].tick = std::move(tick);
  return id;
}

void ManualClock::Start(TimerId id, int ms) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second.running = true;
  it->second.period = std::max(ms, 1);
  it->second.due = now_ + it->second.period;
}

void ManualClock::Stop(TimerId id) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second.running = false;
}

void ManualClock::Destroy(TimerId id) { timers_.erase(id); }

int ManualClock::RunningTimers() const {
  return static_cast<int>(std::count_if(timers_.begin(), timers_.end(),
                                        [](const auto& t) { return t.second.running; }));
}

void ManualClock::Advance(std::int64_t ms) {
  const std::int64_t end = now_ + ms;
  for (;;) {
    // Earliest due running timer at or before `end`; ties by creation order.
    TimerId best = 0;
    std::int64_t bestDue = end + 1;
    for (auto& [id, t] : timers_) {
      if (t.running && t.due < bestDue) {
        best = id;
        bestDue = t.due;
      }
    }
    if (best == 0) break;
    now_ = std::max(now_, bestDue);
    auto& t = timers_[best];
    t.due = now_ + t.period;
    auto tick = t.tick;  // the tick may destroy its own timer
    tick();
  }
  now_ = end;
}

bool ManualClock::RunUntil(const std::function<bool()>& done, std::int64_t limitMs) {
  for (std::int64_t i = 0; i < limitMs; ++i) {
    if (done()) return true;
    Advance(1);
  }
  return done();
}

}  // namespace twk
