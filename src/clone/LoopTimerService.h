// A real-time timer service for headless runs: RunUntil() sleeps until the
// next timer falls due and runs its tick on the calling thread, so the clone
// engine and the serial port's pump work without a window system.
#pragma once

#include <chrono>
#include <functional>
#include <map>

#include "clone/TimerService.h"

namespace twk {

class LoopTimerService : public TimerService {
 public:
  LoopTimerService();
  TimerId Create(std::function<void()> tick) override;
  void Start(TimerId id, int ms) override;
  void Stop(TimerId id) override;
  void Destroy(TimerId id) override;
  std::uint32_t TickCount() const override;

  // Runs due timers until `done()` is true (checked after every tick and
  // before every sleep) or `limitMs` of real time passed, or no timer is
  // running any more. Returns whether `done()` became true.
  bool RunUntil(const std::function<bool()>& done, int limitMs);
  int RunningTimers() const;

 private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    std::function<void()> tick;
    bool running = false;
    int period = 1;
    Clock::time_point due;
  };
  std::map<TimerId, Timer> timers_;
  TimerId next_ = 1;
  Clock::time_point origin_;
};

}  // namespace twk
