#include "app/qt/QtTimerService.h"

#include <QTimer>

namespace twk {

QtTimerService::QtTimerService() { clock_.start(); }

QtTimerService::~QtTimerService() {
  for (auto& [id, timer] : timers_) delete timer;
}

TimerService::TimerId QtTimerService::Create(std::function<void()> tick) {
  auto* timer = new QTimer();
  timer->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer, &QTimer::timeout, [tick = std::move(tick)] { tick(); });
  TimerId id = next_++;
  timers_[id] = timer;
  return id;
}

void QtTimerService::Start(TimerId id, int ms) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second->start(ms < 1 ? 1 : ms);
}

void QtTimerService::Stop(TimerId id) {
  auto it = timers_.find(id);
  if (it != timers_.end()) it->second->stop();
}

void QtTimerService::Destroy(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  QTimer* timer = it->second;
  timers_.erase(it);
  timer->stop();
  // The timer may be inside its own timeout right now: delete it later.
  QObject::disconnect(timer, nullptr, nullptr, nullptr);
  timer->deleteLater();
}

std::uint32_t QtTimerService::TickCount() const {
  return static_cast<std::uint32_t>(clock_.elapsed());
}

}  // namespace twk
