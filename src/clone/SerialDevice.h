// The operating-system side of a serial port, behind an interface so that the
// port logic (write pump, queue levels) can be tested without hardware. The
// real implementation is PosixSerialDevice (termios); tests use a fake.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace twk {

// Line settings parsed from a text such as "9600,N,8,1".
struct LineSettings {
  int baud = 9600;
  bool parityCheck = false;
  int byteSize = 8;
  // 0: one stop bit, 1: one and a half, 2: two.
  int stopBits = 0;
};

// "baud,parity,data,stop": data bits clamped to 4..8; stop "1.5" or "2",
// anything else one stop bit; parity checking on for O/o/M/m only.
LineSettings ParseLineSettings(const std::string& text);

// Port numbers 1..256 map to devices: 1-4 are the built-in ports
// /dev/ttyS0-3, 5-132 the USB serial adapters /dev/ttyUSB0-127 and 133-256
// the USB modem-class adapters /dev/ttyACM0-123. Returns "" outside 1..256.
std::string PortDevicePath(int comPort);
// A port argument as the user gives it: a number 1..256, or a device path
// (anything containing '/'). Returns false when it is neither; on success
// exactly one of comPort (> 0) and devicePath (non-empty) is set.
bool ParsePortArgument(const std::string& text, int* comPort, std::string* devicePath);
// The text a message names a port by: "COM<n> (/dev/...)" or the path.
std::string PortLabel(int comPort, const std::string& devicePath);

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;
  // Opens and configures the device for exclusive raw use; false on any
  // failure (then ErrorText() says why and the device is closed).
  virtual bool Open(const std::string& path, const LineSettings& line) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Reads at most `max` bytes that have already arrived; never waits.
  virtual int Read(std::uint8_t* buffer, int max) = 0;
  // Writes synchronously within `timeoutMs`; returns the count written.
  virtual int Write(const std::uint8_t* bytes, int n, int timeoutMs) = 0;
  virtual int InputWaiting() = 0;
  virtual int OutputWaiting() = 0;
  // Blocks for `ms` (the settle time after an open); fakes return at once.
  virtual void Sleep(int ms) = 0;
  // Why the last Open failed, for the user (with a hint where one helps).
  virtual std::string ErrorText() const = 0;
};

std::unique_ptr<SerialDevice> MakePosixSerialDevice();

}  // namespace twk
