// cmcPort: one serial port for the clone protocol. Reads never wait; writes
// are queued and pushed to the driver by a timer-driven pump, at most 1024
// bytes at a time and only when the driver's transmit queue is empty.
#pragma once

#include <memory>
#include <string>

#include "clone/SerialDevice.h"
#include "clone/TimerService.h"
#include "clone/cmcBuff.h"

namespace twk {

class cmcTask;

class cmcPort {
 public:
  static constexpr int kInputQueueSize = 32000;
  static constexpr int kOutputQueueSize = 1024;

  explicit cmcPort(TimerService& timers = DefaultTimerService(),
                   std::unique_ptr<SerialDevice> device = MakePosixSerialDevice());
  ~cmcPort();
  cmcPort(const cmcPort&) = delete;
  cmcPort& operator=(const cmcPort&) = delete;

  // Opens COM port `comPort` (1..256, mapped by PortDevicePath) or, when
  // `devicePath` is not empty, that device. False at once, changing nothing,
  // when the port is already open.
  bool Open(int comPort, const std::string& lineSettings, const std::string& devicePath = "");
  void Close();
  bool IsOpen() const;
  int Read(std::uint8_t* buffer, int max);
  int InputWaiting();
  int OutputWaiting();
  // Everything handed over but not yet transmitted.
  int Pending();
  void Write(const std::uint8_t* bytes, int count);
  bool WriteFailed() const { return writeFailed_; }

  int ComPort() const { return comPort_; }
  const LineSettings& Line() const { return line_; }
  // Write time limit: 100000 / baud ms per byte plus 3000 ms.
  int WriteMultiplier() const { return 100000 / (line_.baud > 0 ? line_.baud : 1); }
  static constexpr int kWriteConstant = 3000;
  std::string ErrorText() const { return device_->ErrorText(); }
  SerialDevice& Device() { return *device_; }
  int Buffered() const { return output_.Length(); }

 private:
  void Pump();

  TimerService& timers_;
  std::unique_ptr<SerialDevice> device_;
  int comPort_ = 0;
  bool writeFailed_ = false;
  LineSettings line_;
  cmcBuff output_;
  cmcTask* pump_;
};

}  // namespace twk
