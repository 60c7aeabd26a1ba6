// Text store over a generated resource of 5,000 sections and 200,000 lines:
// read every section line by line. Reports lookups (get line calls) per
// second and the bytes read from the file per lookup.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "text/TextStore.h"

namespace {

constexpr int kSections = 5000;
constexpr int kLinesPerSection = 38;  // + header + "#": 40 lines a section

std::string SectionKey(int s) { return "GI_Bench_Section_" + std::to_string(s); }

// The resource is written once, into a fresh temporary folder removed at exit.
struct Resource {
  Resource() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "twk208-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    dir = tmpl;
    path = (dir / "TWK208.OVL").string();
    std::ofstream out(path, std::ios::binary);
    for (int s = 0; s < kSections; ++s) {
      out << '#' << SectionKey(s) << '\n';
      for (int n = 0; n < kLinesPerSection; ++n)
        out << "{(%CT_Bench.CL_Bench_Item:" << n << ")(Color=clWindow)}|text " << s << '/' << n
            << '\n';
      out << "#\n";
    }
    out << "#End_Of_Ovl\n";
  }
  ~Resource() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::filesystem::path dir;
  std::string path;
};

const Resource& TheResource() {
  static Resource r;
  return r;
}

// Reads lines 0..38 of every section (the "#" line included, as every reader
// does); returns the number of lookups.
std::int64_t ReadEverySection(twk::TextStore& store) {
  std::int64_t lookups = 0;
  for (int s = 0; s < kSections; ++s) {
    const std::string key = SectionKey(s);
    for (int n = 0;; ++n) {
      std::string line = store.GetLine(key, n);
      ++lookups;
      benchmark::DoNotOptimize(line);
      if (!line.empty() && line[0] == '#') break;
    }
  }
  return lookups;
}

void Report(benchmark::State& state, std::int64_t lookups, std::uint64_t bytes) {
  state.counters["lookups_per_s"] =
      benchmark::Counter(static_cast<double>(lookups), benchmark::Counter::kIsRate);
  state.counters["bytes_per_lookup"] =
      static_cast<double>(bytes) / static_cast<double>(lookups ? lookups : 1);
  state.counters["file_bytes"] =
      static_cast<double>(std::filesystem::file_size(TheResource().path));
}

// A fresh store each time: the header scan is part of the cost.
void BM_ReadEverySection_Cold(benchmark::State& state) {
  const Resource& r = TheResource();
  std::int64_t lookups = 0;
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    twk::TextStore store;
    store.SetFile(r.path);
    lookups += ReadEverySection(store);
    bytes += store.BytesRead();
  }
  Report(state, lookups, bytes);
}
BENCHMARK(BM_ReadEverySection_Cold)->Unit(benchmark::kMillisecond);

// One store read again and again: every header is known already.
void BM_ReadEverySection_Warm(benchmark::State& state) {
  const Resource& r = TheResource();
  twk::TextStore store;
  store.SetFile(r.path);
  ReadEverySection(store);
  std::int64_t lookups = 0;
  const std::uint64_t bytesBefore = store.BytesRead();
  for (auto _ : state) lookups += ReadEverySection(store);
  Report(state, lookups, store.BytesRead() - bytesBefore);
}
BENCHMARK(BM_ReadEverySection_Warm)->Unit(benchmark::kMillisecond);

// Line 0 of one hot section, read over and over: the cache answers.
void BM_HotFirstLine(benchmark::State& state) {
  const Resource& r = TheResource();
  twk::TextStore store;
  store.SetFile(r.path);
  const std::string key = SectionKey(kSections / 2);
  store.GetFirstLine(key);
  std::int64_t lookups = 0;
  const std::uint64_t bytesBefore = store.BytesRead();
  for (auto _ : state) {
    benchmark::DoNotOptimize(store.GetFirstLine(key));
    ++lookups;
  }
  Report(state, lookups, store.BytesRead() - bytesBefore);
}
BENCHMARK(BM_HotFirstLine);

}  // namespace
