#include "clone/SerialTrace.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

namespace twk {

namespace fs = std::filesystem;

std::string SerialTraceFolder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && *xdg) return (fs::path(xdg) / "twk208").string();
  const char* home = std::getenv("HOME");
  if (home && *home) return (fs::path(home) / ".cache" / "twk208").string();
  return "";
}

void PruneSerialTraces(const std::string& folder, int keep) {
  std::error_code ec;
  std::vector<fs::path> traces;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    const std::string name = e.path().filename().string();
    if (name.rfind("trace-", 0) == 0 && e.path().extension() == ".log") traces.push_back(e.path());
  }
  if (static_cast<int>(traces.size()) <= keep) return;
  // Names start with the UTC time, so name order is age order.
  std::sort(traces.begin(), traces.end());
  for (std::size_t i = 0; i + keep < traces.size(); ++i) fs::remove(traces[i], ec);
}

SerialTrace::SerialTrace(const std::string& what, const std::string& portLabel)
    : start_(std::chrono::steady_clock::now()) {
  const std::string folder = SerialTraceFolder();
  if (folder.empty()) return;
  std::error_code ec;
  fs::create_directories(folder, ec);
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const int ms = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char stamp[64];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  char name[128];
  std::snprintf(name, sizeof name, "trace-%s-%03d-%d-%s.log", stamp, ms, static_cast<int>(getpid()),
                what.c_str());
  path_ = (fs::path(folder) / name).string();
  file_ = std::fopen(path_.c_str(), "w");
  if (!file_) {
    path_.clear();
    return;
  }
  char iso[64];
  std::strftime(iso, sizeof iso, "%Y-%m-%dT%H:%M:%S", &tm);
  std::fprintf(file_, "# twk208 serial trace: %s on %s, started %s.%03dZ\n", what.c_str(),
               portLabel.c_str(), iso, ms);
  std::fprintf(file_, "# seconds  TX = sent by the program, RX = received (echo included)\n");
  PruneSerialTraces(folder);
}

SerialTrace::~SerialTrace() {
  if (file_) std::fclose(file_);
}

void SerialTrace::Line(const char* tag, const std::string& text) {
  if (!file_) return;
  const double s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  std::fprintf(file_, "%9.3f %s %s\n", s, tag, text.c_str());
}

void SerialTrace::Hex(const char* tag, const std::uint8_t* bytes, int n) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (int off = 0; off < n; off += 32) {
    std::string text;
    for (int i = off; i < std::min(n, off + 32); ++i) {
      if (i > off) text += ' ';
      text += kDigits[bytes[i] >> 4];
      text += kDigits[bytes[i] & 15];
    }
    Line(tag, text);
  }
}

void SerialTrace::OnPortOpen(const std::string& lineSettings, bool ok) {
  Line("OPEN", lineSettings + (ok ? " ok" : " FAILED"));
}

void SerialTrace::OnSent(const std::uint8_t* bytes, int n) { Hex("TX", bytes, n); }

void SerialTrace::OnReceived(const std::uint8_t* bytes, int n) { Hex("RX", bytes, n); }

void SerialTrace::OnDone(const cmcCloneResult& result) {
  // The controller reports again after its checks; the same code once only.
  if (result.code == lastCode_) return;
  lastCode_ = result.code;
  std::string text = std::to_string(result.code);
  if (!result.portError.empty()) text += " (" + result.portError + ")";
  Line("RESULT", text);
  if (file_) std::fflush(file_);
}

}  // namespace twk
