// Clone file open (read with every check, then normalize) and save
// (normalize, write to a temporary file, sync, rename) of a full image.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "data/EepromImage.h"
#include "data/MemoryMap.h"
#include "file/CloneFile.h"
#include "data/Normalize.h"
#include "file/CloneOpen.h"

namespace {

namespace fs = std::filesystem;

struct Scratch {
  fs::path dir;
  Scratch() {
    std::string t = (fs::temp_directory_path() / "twk208-bench-XXXXXX").string();
    dir = ::mkdtemp(t.data());
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

// The shipped initial file: a full, realistic image.
const fs::path kInitial = fs::path(TWK208_SOURCE_DIR) / "resources" / "TWK208_Initial.cln";

void BM_OpenCloneFile(benchmark::State& state) {
  twk::EepromImage tmpl;
  if (twk::LoadTemplateImage(kInitial.string(), tmpl, nullptr) != twk::kCloneOk) {
    state.SkipWithError("initial file unreadable");
    return;
  }
  twk::EepromImage current(twk::mem::kImageSize);
  for (auto _ : state) {
    int code = twk::OpenCloneDocument(kInitial.string(), current, tmpl, nullptr);
    benchmark::DoNotOptimize(code);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(fs::file_size(kInitial)));
}
BENCHMARK(BM_OpenCloneFile)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SaveCloneFile(benchmark::State& state) {
  Scratch scratch;
  twk::EepromImage tmpl;
  if (twk::LoadTemplateImage(kInitial.string(), tmpl, nullptr) != twk::kCloneOk) {
    state.SkipWithError("initial file unreadable");
    return;
  }
  twk::EepromImage current(tmpl);
  const std::string path = (scratch.dir / "saved.cln").string();
  for (auto _ : state) {
    int code = twk::SaveCloneDocument(path, current, tmpl, nullptr);
    benchmark::DoNotOptimize(code);
  }
}
BENCHMARK(BM_SaveCloneFile)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The normalizing pass alone, the part of both that does not touch the disk.
void BM_Normalize(benchmark::State& state) {
  twk::EepromImage tmpl;
  if (twk::LoadTemplateImage(kInitial.string(), tmpl, nullptr) != twk::kCloneOk) {
    state.SkipWithError("initial file unreadable");
    return;
  }
  twk::EepromImage current(tmpl);
  for (auto _ : state) twk::NormalizeImage(current, tmpl, 0);
}
BENCHMARK(BM_Normalize)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
