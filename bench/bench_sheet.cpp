// Sheets: build and fill the 256-row INT channel list of the shipped
// resources (a channel sheet with the standard label handler over an image
// whose 256 slots are all in use and named), and paint every cell on the
// recording canvas. Column widths persist in an in-memory settings store, as
// they would in the registry. Run with --benchmark_repetitions=N to get the
// median.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/AppSettings.h"
#include "app/SettingsBackend.h"
#include "data/ChannelSheet.h"
#include "data/DocumentHooks.h"
#include "data/LabelHandler.h"
#include "sheet/Canvas.h"
#include "sheet/RecordingCanvas.h"
#include "sheet/Sheet.h"
#include "text/TextStore.h"

namespace {

class BenchHooks : public twk::DocumentHooks {
 public:
  BenchHooks() : image_(twk::EepromImage::kModelSize) {
    for (int slot = 0; slot < 256; ++slot) {
      char name[16];
      std::snprintf(name, sizeof name, "CH %03d    ", slot);
      for (int i = 0; i < 10; ++i) image_.SetByte(0x5EC + slot * 10 + i, static_cast<std::uint8_t>(name[i]));
    }
  }
  twk::EepromImage& CurrentImage() override { return image_; }

 private:
  twk::EepromImage image_;
};

struct World {
  World() : settings(backend, twk::ScreenSize{}) {
    store.SetFile(std::string(TWK208_BIN_DIR) + "/TWK208.OVL");
    help.SetFile(std::string(TWK208_BIN_DIR) + "/TWK208H.OVL");
    twk::SetTextStores(&store, &help);
    twk::SetSettings(&settings);
    twk::SetDocumentHooks(&hooks);
    twk::InstallStandardLabelHandler();
  }
  twk::TextStore store, help;
  twk::MemorySettingsBackend backend;
  twk::AppSettings settings;
  BenchHooks hooks;
  twk::PlainImageList images{16, 16, 6};
  twk::RecordingCanvas canvas;
};

World& TheWorld() {
  static World w;
  return w;
}

std::unique_ptr<twk::Sheet> BuildChannelSheet(World& w) {
  auto sheet = twk::CreateSheetFor(nullptr, nullptr, 0, 0, w.store, "GI_Sheet_IntCh", &w.images);
  sheet->SetScreenCanvas(&w.canvas);
  sheet->Build();
  return sheet;
}

void BM_BuildAndFill(benchmark::State& state) {
  World& w = TheWorld();
  int rows = 0;
  for (auto _ : state) {
    auto sheet = BuildChannelSheet(w);
    rows = sheet->RowCount();
    benchmark::DoNotOptimize(sheet.get());
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_BuildAndFill)->Unit(benchmark::kMillisecond);

void BM_PaintEveryCell(benchmark::State& state) {
  World& w = TheWorld();
  auto sheet = BuildChannelSheet(w);
  std::size_t calls = 0;
  for (auto _ : state) {
    w.canvas.Clear();
    sheet->PaintAll(w.canvas);
    calls = w.canvas.Calls().size();
  }
  int texts = 0;
  for (const auto& c : w.canvas.Calls()) {
    if (c.op == twk::RecordingCanvas::Op::Text || c.op == twk::RecordingCanvas::Op::TextClipped) ++texts;
  }
  state.counters["cells"] = sheet->RowCount() * sheet->ColCount();
  state.counters["draw_calls"] = static_cast<double>(calls);
  state.counters["texts"] = texts;
  if (std::getenv("TWK208_BENCH_DUMP")) {
    const auto lines = w.canvas.Lines();
    for (std::size_t i = 0; i < lines.size() && i < 60; ++i) std::fprintf(stderr, "%s\n", lines[i].c_str());
  }
}
BENCHMARK(BM_PaintEveryCell)->Unit(benchmark::kMillisecond);

void BM_BuildFillAndPaint(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state) {
    auto sheet = BuildChannelSheet(w);
    w.canvas.Clear();
    sheet->PaintAll(w.canvas);
    benchmark::DoNotOptimize(w.canvas.Calls().size());
  }
}
BENCHMARK(BM_BuildFillAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace
