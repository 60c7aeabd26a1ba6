// The serial trace for support: every transfer writes a timestamped hex log
// of what was sent and received, the port opens and the result code to
// $XDG_CACHE_HOME/twk208/ (or ~/.cache/twk208/). Only the newest 10 traces
// are kept.
#pragma once

#include <cstdio>
#include <chrono>
#include <string>

#include "clone/cmcCloneEngine.h"

namespace twk {

// The folder the traces go to ("" when neither XDG_CACHE_HOME nor HOME is set).
std::string SerialTraceFolder();
constexpr int kSerialTracesKept = 10;

class SerialTrace : public cmcCloneObserver {
 public:
  // Creates the trace file at once; a trace that cannot be written is
  // silently skipped (Path() is then empty): tracing never stops a transfer.
  SerialTrace(const std::string& what, const std::string& portLabel);
  ~SerialTrace() override;
  SerialTrace(const SerialTrace&) = delete;
  SerialTrace& operator=(const SerialTrace&) = delete;

  void OnPortOpen(const std::string& lineSettings, bool ok) override;
  void OnSent(const std::uint8_t* bytes, int n) override;
  void OnReceived(const std::uint8_t* bytes, int n) override;
  void OnDone(const cmcCloneResult& result) override;

  const std::string& Path() const { return path_; }

 private:
  void Line(const char* tag, const std::string& text);
  void Hex(const char* tag, const std::uint8_t* bytes, int n);

  std::FILE* file_ = nullptr;
  std::string path_;
  std::chrono::steady_clock::time_point start_;
  int lastCode_ = -1;
};

// Deletes all but the newest `keep` traces in `folder`.
void PruneSerialTraces(const std::string& folder, int keep = kSerialTracesKept);

}  // namespace twk
