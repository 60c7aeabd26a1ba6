#include "clone/cmcPort.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "clone/cmcTask.h"

namespace twk {

LineSettings ParseLineSettings(const std::string& text) {
  std::vector<std::string> f;
  std::string cur;
  for (char c : text) {
    if (c == ',') {
      f.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  f.push_back(cur);
  f.resize(4);
  LineSettings s;
  s.baud = std::atoi(f[0].c_str());
  const char p = f[1].empty() ? 'N' : f[1][0];
  s.parityCheck = p == 'O' || p == 'o' || p == 'M' || p == 'm';
  s.byteSize = std::clamp(std::atoi(f[2].c_str()), 4, 8);
  s.stopBits = f[3] == "1.5" ? 1 : f[3] == "2" ? 2 : 0;
  return s;
}

std::string PortDevicePath(int comPort) {
  if (comPort >= 1 && comPort <= 4) return "/dev/ttyS" + std::to_string(comPort - 1);
  if (comPort >= 5 && comPort <= 132) return "/dev/ttyUSB" + std::to_string(comPort - 5);
  if (comPort >= 133 && comPort <= 256) return "/dev/ttyACM" + std::to_string(comPort - 133);
  return "";
}

bool ParsePortArgument(const std::string& text, int* comPort, std::string* devicePath) {
  *comPort = 0;
  devicePath->clear();
  if (text.find('/') != std::string::npos) {
    *devicePath = text;
    return true;
  }
  std::string t = text;
  if (t.size() > 3 && (t.compare(0, 3, "COM") == 0 || t.compare(0, 3, "com") == 0))
    t = t.substr(3);
  if (t.empty() || t.size() > 3 ||
      !std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c); }))
    return false;
  const int n = std::atoi(t.c_str());
  if (n < 1 || n > 256) return false;
  *comPort = n;
  return true;
}

std::string PortLabel(int comPort, const std::string& devicePath) {
  if (!devicePath.empty()) return devicePath;
  return "COM" + std::to_string(comPort) + " (" + PortDevicePath(comPort) + ")";
}

cmcPort::cmcPort(TimerService& timers, std::unique_ptr<SerialDevice> device)
    : timers_(timers), device_(std::move(device)), pump_(cmcTask::Create(timers)) {
  pump_->SetCallback([this](cmcTask*) { Pump(); });
}

cmcPort::~cmcPort() {
  Close();
  pump_->Dispose();
}

bool cmcPort::Open(int comPort, const std::string& lineSettings, const std::string& devicePath) {
  if (IsOpen()) return false;
  comPort_ = comPort;
  writeFailed_ = false;
  line_ = ParseLineSettings(lineSettings);
  const std::string path = devicePath.empty() ? PortDevicePath(comPort) : devicePath;
  if (path.empty()) return false;
  return device_->Open(path, line_);
}

void cmcPort::Close() {
  pump_->SetInterval(-1);
  device_->Close();
  output_.Clear();
  writeFailed_ = false;
}

bool cmcPort::IsOpen() const { return device_->IsOpen(); }

int cmcPort::Read(std::uint8_t* buffer, int max) { return IsOpen() ? device_->Read(buffer, max) : 0; }

int cmcPort::InputWaiting() { return IsOpen() ? device_->InputWaiting() : 0; }

int cmcPort::OutputWaiting() { return IsOpen() ? device_->OutputWaiting() : 0; }

int cmcPort::Pending() { return OutputWaiting() + output_.Length(); }

void cmcPort::Write(const std::uint8_t* bytes, int count) {
  if (!IsOpen()) return;
  pump_->SetInterval(-1);
  output_.Append(bytes, count);
  pump_->SetInterval(1);
  Pump();
}

void cmcPort::Pump() {
  // After a short write the front of the buffer is partly on the wire
  // already: nothing more goes out until the port is closed.
  if (!IsOpen() || writeFailed_) {
    pump_->SetInterval(-1);
    return;
  }
  const int n = std::min(output_.Length(), kOutputQueueSize);
  if (device_->OutputWaiting() != 0) {
    pump_->SetInterval(10);
    return;
  }
  if (n == 0) {
    pump_->SetInterval(-1);
    return;
  }
  const int written = device_->Write(output_.Data(), n, WriteMultiplier() * n + kWriteConstant);
  if (written < n) {
    writeFailed_ = true;
    pump_->SetInterval(-1);
  } else if (output_.Length() > n) {
    output_.RemoveFront(n);
    pump_->SetInterval(10);
  } else {
    output_.Clear();
    pump_->SetInterval(-1);
  }
}

}  // namespace twk
