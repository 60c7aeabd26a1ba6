// cmcTask: a timer-driven job on the UI thread. It calls one callback at a set
// interval, never re-enters it, and can be disposed of from inside its own
// callback (it then deletes itself on its next tick). Every periodic job of
// the program (the port's write pump, the clone engine's step, the progress
// repaint, the message bus) runs on one of these.
#pragma once

#include <cstdint>
#include <functional>

#include "clone/TimerService.h"

namespace twk {

class cmcTask {
 public:
  using Function = void (*)(void* context, cmcTask* task);

  // Tasks live on the heap: Dispose() may delete the object later, from its
  // own tick. `timers` must outlive the task.
  static cmcTask* Create(TimerService& timers = DefaultTimerService());

  cmcTask(const cmcTask&) = delete;
  cmcTask& operator=(const cmcTask&) = delete;

  void SetCallback(Function fn, void* context);
  void SetCallback(std::function<void(cmcTask*)> fn);
  // n < 0 stops the timer; otherwise it ticks every max(n, 1) ms. Returns
  // whether the timer is now stopped.
  bool SetInterval(int n);
  // Removes the callback and stops the timer.
  void Clear();
  // Destroys the task: at once when it is stopped, otherwise on its next
  // tick (so an owner may dispose of its task from inside the callback).
  // The pointer must not be used afterwards.
  void Dispose();

  int Interval() const { return interval_; }
  bool Stopped() const { return stopped_; }
  bool Busy() const { return busy_; }

  // One tick as the timer delivers it (public for tests that drive a task
  // by hand).
  void Tick();

 private:
  explicit cmcTask(TimerService& timers);
  ~cmcTask();

  TimerService& timers_;
  TimerService::TimerId id_;
  std::function<void(cmcTask*)> callback_;
  int interval_ = -1;
  bool busy_ = false;
  bool disposePending_ = false;
  bool stopped_ = true;
};

// A millisecond time limit read by polling, on a timer service's tick count.
class cmcDeadline {
 public:
  explicit cmcDeadline(const TimerService& timers = DefaultTimerService()) : timers_(&timers) {}
  void Start(int ms);
  // Milliseconds left; 0 when not running or when the time has passed (the
  // deadline stops running then). A deadline never started counts as passed.
  int Remaining();
  bool Running() const { return running_; }

 private:
  const TimerService* timers_;
  int length_ = 0;
  std::uint32_t start_ = 0;
  bool running_ = false;
};

}  // namespace twk
