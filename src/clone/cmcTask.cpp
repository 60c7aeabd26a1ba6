#include "clone/cmcTask.h"

#include <algorithm>

namespace twk {

cmcTask* cmcTask::Create(TimerService& timers) { return new cmcTask(timers); }

cmcTask::cmcTask(TimerService& timers) : timers_(timers) {
  id_ = timers_.Create([this] { Tick(); });
}

cmcTask::~cmcTask() { timers_.Destroy(id_); }

void cmcTask::SetCallback(Function fn, void* context) {
  if (!fn) {
    callback_ = nullptr;
    return;
  }
  callback_ = [fn, context](cmcTask* t) { fn(context, t); };
}

void cmcTask::SetCallback(std::function<void(cmcTask*)> fn) { callback_ = std::move(fn); }

bool cmcTask::SetInterval(int n) {
  interval_ = n;
  if (n < 0) {
    timers_.Stop(id_);
    stopped_ = true;
  } else {
    timers_.Start(id_, std::max(n, 1));
    stopped_ = false;
  }
  return stopped_;
}

void cmcTask::Clear() {
  callback_ = nullptr;
  SetInterval(-1);
}

void cmcTask::Dispose() {
  if (stopped_ && !busy_) {
    delete this;
    return;
  }
  // Running, or disposed of from inside its own callback: go on the next
  // tick, never while the callback is still on the stack.
  callback_ = nullptr;
  disposePending_ = true;
  SetInterval(1);
}

void cmcTask::Tick() {
  if (disposePending_) {
    if (busy_) return;
    delete this;
    return;
  }
  if (busy_ || !callback_) return;
  busy_ = true;
  auto cb = callback_;  // the callback may replace itself
  cb(this);
  busy_ = false;
}

void cmcDeadline::Start(int ms) {
  length_ = ms;
  start_ = timers_->TickCount();
  running_ = true;
}

int cmcDeadline::Remaining() {
  if (!running_) return 0;
  const std::uint32_t elapsed = timers_->TickCount() - start_;
  if (elapsed >= static_cast<std::uint32_t>(std::max(length_, 0))) {
    running_ = false;
    return 0;
  }
  return length_ - static_cast<int>(elapsed);
}

}  // namespace twk
