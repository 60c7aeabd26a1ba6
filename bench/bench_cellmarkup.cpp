// Cell markup: parse 100,000 cell texts of the shipped resources' shape (the
// rows of every sheet, menu and tree body of TWK208.OVL, repeated), with the
// resource's cell models and a sheet's base cell. Reports cells per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "sheet/CellMarkup.h"
#include "text/TextStore.h"

namespace {

constexpr int kCells = 100000;

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Every cell text of the rows of "_Cells" sections and of "_Body" items.
std::vector<std::string> ResourceCells(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> cells;
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '#') {
      section = line.substr(1);
      continue;
    }
    if (EndsWith(section, "_Cells") && !line.empty() && line[0] != ':') {
      std::string_view rest = line;
      do {
        twk::RowSplit s = twk::SplitRow(rest);
        cells.emplace_back(s.cell);
        rest = s.rest;
      } while (!rest.empty());
    } else if (EndsWith(section, "_Body")) {
      const std::size_t plus = line.find('+');
      cells.push_back(plus == std::string::npos ? line : line.substr(plus + 1));
    }
  }
  return cells;
}

void BM_ParseResourceCells(benchmark::State& state) {
  const std::string path = std::string(TWK208_BIN_DIR) + "/TWK208.OVL";
  const std::vector<std::string> shapes = ResourceCells(path);
  if (shapes.empty()) {
    state.SkipWithError("no cell texts found in TWK208.OVL");
    return;
  }
  std::vector<const std::string*> texts;
  texts.reserve(kCells);
  for (int i = 0; i < kCells; ++i) texts.push_back(&shapes[static_cast<std::size_t>(i) % shapes.size()]);

  twk::TextStore store;
  store.SetFile(path);
  twk::TextStore* previous = twk::SetCellModelStore(&store);
  twk::CellDescriptor base;
  twk::ParseCell(base, "{(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-13,,,)}", nullptr,
                 nullptr);
  twk::ChannelVariables vars = {};
  twk::CellDescriptor cell;
  for (auto _ : state) {
    for (const std::string* t : texts) {
      twk::ParseCell(cell, *t, vars, &base);
      benchmark::DoNotOptimize(cell.label);
    }
  }
  twk::SetCellModelStore(previous);
  state.counters["distinct_texts"] = static_cast<double>(shapes.size());
  state.counters["cells_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kCells, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParseResourceCells)->Unit(benchmark::kMillisecond);

}  // namespace
