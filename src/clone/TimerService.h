// Timers on the user-interface thread and the millisecond tick count, behind
// an interface: the editor runs them on the Qt event loop, tests on a manual
// clock that only moves when told to. Every periodic job of the program
// (cmcTask) sits on one of these timers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

namespace twk {

class TimerService {
 public:
  using TimerId = std::uint64_t;

  virtual ~TimerService() = default;

  // Creates a stopped timer that calls `tick` each time it fires.
  virtual TimerId Create(std::function<void()> tick) = 0;
  // Starts (or restarts) the timer with a period of max(ms, 1) milliseconds;
  // the first tick comes one period from now.
  virtual void Start(TimerId id, int ms) = 0;
  virtual void Stop(TimerId id) = 0;
  // Removes the timer; it never fires again. Safe from inside its own tick.
  virtual void Destroy(TimerId id) = 0;
  // Milliseconds since an arbitrary origin, wrapping at 2^32.
  virtual std::uint32_t TickCount() const = 0;
};

// The service the program's objects use when none is given explicitly.
// The front end installs its Qt service at start-up; tests install a
// ManualClock.
TimerService& DefaultTimerService();
TimerService* SetDefaultTimerService(TimerService* service);

// Deterministic timer service for tests: time moves only in Advance(), and
// due timers fire in order of their due time (then of creation).
class ManualClock : public TimerService {
 public:
  TimerId Create(std::function<void()> tick) override;
  void Start(TimerId id, int ms) override;
  void Stop(TimerId id) override;
  void Destroy(TimerId id) override;
  std::uint32_t TickCount() const override { return static_cast<std::uint32_t>(now_); }

  // Moves time forward by `ms`, firing every timer that falls due on the way,
  // each at its due time. A timer restarted from inside a tick is scheduled
  // from the time of that tick.
  void Advance(std::int64_t ms);
  // Advances in 1 ms steps until `done()` is true or `limitMs` passed;
  // returns whether `done()` became true.
  bool RunUntil(const std::function<bool()>& done, std::int64_t limitMs);

  std::int64_t Now() const { return now_; }
  int RunningTimers() const;

 private:
  struct Timer {
    std::function<void()> tick;
    bool running = false;
    int period = 1;
    std::int64_t due = 0;
  };
  std::map<TimerId, Timer> timers_;
  TimerId next_ = 1;
  std::int64_t now_ = 0;
};

}  // namespace twk
