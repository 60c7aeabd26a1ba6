// A serial device for tests of the port and the engine under a ManualClock:
// every write is recorded as one chunk, the cable's echo and the radio's
// answers go into the input queue, and the driver's transmit queue level is
// set by the test (or drains at a line rate).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "clone/SerialDevice.h"

namespace twk::test {

using Bytes = std::vector<std::uint8_t>;

struct FakeLine {
  bool openOk = true;
  bool isOpen = false;
  int opens = 0;
  std::vector<std::string> openPaths;
  std::vector<LineSettings> openLines;
  std::vector<int> chunks;          // sizes handed to Write
  Bytes sent;                       // everything written, in order
  std::deque<std::uint8_t> input;   // bytes waiting to be read
  int outq = 0;                     // driver transmit queue level
  int outqPerWrite = 0;             // a write raises outq by this fraction (0: stays)
  int shortWriteAt = -1;            // the write with this index comes up short
  bool echo = true;
  bool holdEcho = false;            // echo bytes queue in `heldEcho` instead
  Bytes heldEcho;
  // Called with every frame the program completes (0xFE .. before 0xFD);
  // returns the radio's answer.
  std::function<Bytes(const Bytes& frame)> radio;
  Bytes frame;

  void Release(int n) {
    for (int i = 0; i < n && !heldEcho.empty(); ++i) {
      input.push_back(heldEcho.front());
      heldEcho.erase(heldEcho.begin());
    }
  }
};

class FakeSerialDevice : public SerialDevice {
 public:
  explicit FakeSerialDevice(FakeLine& line) : l_(line) {}
  bool Open(const std::string& path, const LineSettings& line) override {
    l_.openPaths.push_back(path);
    l_.openLines.push_back(line);
    ++l_.opens;
    l_.isOpen = l_.openOk;
    return l_.openOk;
  }
  void Close() override { l_.isOpen = false; }
  bool IsOpen() const override { return l_.isOpen; }
  int Read(std::uint8_t* buffer, int max) override {
    int n = 0;
    while (n < max && !l_.input.empty()) {
      buffer[n++] = l_.input.front();
      l_.input.pop_front();
    }
    return n;
  }
  int Write(const std::uint8_t* bytes, int n, int) override {
    const int index = static_cast<int>(l_.chunks.size());
    l_.chunks.push_back(n);
    if (index == l_.shortWriteAt) n = n / 2;
    l_.outq += l_.outqPerWrite ? n : 0;
    for (int i = 0; i < n; ++i) {
      const std::uint8_t b = bytes[i];
      l_.sent.push_back(b);
      if (l_.echo) (l_.holdEcho ? l_.heldEcho.push_back(b) : l_.input.push_back(b));
      if (b == 0xFE) {
        l_.frame.assign(1, 0xFE);
      } else if (!l_.frame.empty() && b == 0xFD) {
        if (l_.radio) {
          const Bytes reply = l_.radio(l_.frame);
          l_.input.insert(l_.input.end(), reply.begin(), reply.end());
        }
        l_.frame.clear();
      } else if (!l_.frame.empty()) {
        l_.frame.push_back(b);
      }
    }
    return n;
  }
  int InputWaiting() override { return static_cast<int>(l_.input.size()); }
  int OutputWaiting() override { return l_.outq; }
  void Sleep(int) override {}
  std::string ErrorText() const override { return l_.openOk ? "" : "fake: no such port"; }

 private:
  FakeLine& l_;
};

inline std::unique_ptr<SerialDevice> MakeFake(FakeLine& line) {
  return std::make_unique<FakeSerialDevice>(line);
}

}  // namespace twk::test
