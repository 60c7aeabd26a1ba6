// Clone Read and Clone Write against twk208-radiosim paced at the port's own
// speed (4800 baud for the speed change, 9600 for the transfer). Reports the
// wall time of identification + transfer divided by the pure line time of
// the bytes that crossed the wire to the program (echo included), and the
// CPU the program used meanwhile.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "../tests/clone/SimProcess.h"
#include "clone/LoopTimerService.h"
#include "clone/cmcCloneEngine.h"

namespace twk {
namespace {

// Counts the received bytes at the line speed they arrived with.
class LineMeter : public cmcCloneObserver {
 public:
  void OnPortOpen(const std::string& settings, bool ok) override {
    if (ok) baud_ = std::atoi(settings.c_str());
  }
  void OnReceived(const std::uint8_t*, int n) override {
    seconds += n * 10.0 / baud_;
    bytes += n;
  }
  double seconds = 0;
  long bytes = 0;

 private:
  int baud_ = 9600;
};

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

void Transfer(benchmark::State& state, cmcCloneMode mode) {
  const std::filesystem::path cache = std::filesystem::temp_directory_path() / "twk208-bench-cache";
  setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  test::SimProcess sim({"--baud", "auto"});
  if (!sim.Ok()) {
    state.SkipWithError("twk208-radiosim did not start");
    return;
  }
  EepromImage image(EepromImage::kModelSize);
  for (int a = 0; a < image.Size(); ++a) image.SetByte(a, static_cast<std::uint8_t>(a * 5));
  double ratio = 0, cpu = 0, line = 0;
  for (auto _ : state) {
    LoopTimerService loop;
    cmcCloneEngine engine(loop);
    LineMeter meter;
    engine.SetObserver(&meter);
    engine.SetCodes(0x2989, 0);
    engine.SetImageSize(EepromImage::kModelSize);
    ApplyStandardPreset(engine, 1, 0x2989, sim.Path());
    int code = -1;
    bool done = false;
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = CpuSeconds();
    engine.StartIdentification([&](cmcCloneResult& r) {
      if (r.code) {
        code = r.code, done = true;
        return;
      }
      ApplyStandardPreset(engine, 1, 0x2989, sim.Path());
      auto finish = [&](cmcCloneResult& rr) { code = rr.code, done = true; };
      if (mode == cmcCloneMode::Read)
        engine.StartRead(ReadRangeList(), finish);
      else
        engine.StartWrite(image, WriteRangeList(false), finish);
    });
    loop.RunUntil([&] { return done; }, 60000);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    cpu = (CpuSeconds() - c0) / wall;
    if (code != 0) {
      state.SkipWithError(("transfer failed with code " + std::to_string(code)).c_str());
      return;
    }
    line = meter.seconds;
    ratio = wall / meter.seconds;
  }
  state.counters["wall_per_line"] = ratio;
  state.counters["line_s"] = line;
  state.counters["cpu_pct"] = cpu * 100;
}

void BM_CloneRead9600(benchmark::State& state) { Transfer(state, cmcCloneMode::Read); }
void BM_CloneWrite9600(benchmark::State& state) { Transfer(state, cmcCloneMode::Write); }
BENCHMARK(BM_CloneRead9600)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CloneWrite9600)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace twk
