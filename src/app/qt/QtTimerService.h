// The timer service on the Qt event loop: every timer is a QTimer on the
// user-interface thread, so cmcTask, the message bus and the main frame's
// tick all run between the window's events.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <map>

#include "clone/TimerService.h"

class QTimer;

namespace twk {

class QtTimerService : public TimerService {
 public:
  QtTimerService();
  ~QtTimerService() override;

  TimerId Create(std::function<void()> tick) override;
  void Start(TimerId id, int ms) override;
  void Stop(TimerId id) override;
  void Destroy(TimerId id) override;
  std::uint32_t TickCount() const override;

 private:
  std::map<TimerId, QTimer*> timers_;
  TimerId next_ = 1;
  QElapsedTimer clock_;
};

}  // namespace twk
