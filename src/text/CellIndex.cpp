#include "text/CellIndex.h"

#include <algorithm>

#include "sheet/CellMarkup.h"
#include "text/TextStore.h"

namespace twk {

CellIndex::CellIndex(TextStore* store) : store_(store) {}

std::string CellIndex::KeyOf(const std::string& sheet, int label) {
  return sheet + "#" + std::to_string(label);
}

const CellIndex::List* CellIndex::Find(const std::string& sheet, int label) const {
  const std::intptr_t* v = table_.Find(KeyOf(sheet, label));
  return v == nullptr ? nullptr : lists_[static_cast<std::size_t>(*v)].get();
}

const CellIndex::List& CellIndex::Get(const std::string& sheet, int label) {
  if (const List* l = Find(sheet, label)) return *l;
  return Build(sheet, label);
}

namespace {
// Ascending and stable: equal entries keep their reading order (the order a
// stable exchange sort gives).
template <typename Less>
void SortStable(std::vector<CellIndex::Entry>& v, Less less) {
  std::stable_sort(v.begin(), v.end(), less);
}
}  // namespace

const CellIndex::List& CellIndex::Build(const std::string& sheet, int label) {
  TextStore& store = store_ != nullptr ? *store_ : MainText();
  const std::string key = sheet + "_Cells";
  auto list = std::make_unique<List>();
  CellDescriptor cell;  // reused: a cell naming no category or index keeps the previous ones
  ChannelVariables vars = {};

  // First pass: rows up to the first "#" line.
  std::vector<std::string> lines;
  int r = 0;
  for (;; ++r) {
    std::string line = store.GetLine(key, r);
    const bool end = !line.empty() && line[0] == '#';
    lines.push_back(std::move(line));
    if (end) break;
  }
  list->rows = r;
  for (int row = 0; row < r; ++row) {
    std::string_view rest = lines[static_cast<std::size_t>(row)];
    while (!rest.empty()) {
      const RowSplit s = SplitRow(rest);
      ParseCell(cell, s.cell, vars, nullptr);
      rest = s.rest;
    }
  }
  // Second pass over rows 0..R (the "#" line too), variables not reset.
  for (int row = 0; row <= r; ++row) {
    std::string_view rest = lines[static_cast<std::size_t>(row)];
    int col = 0;
    while (!rest.empty()) {
      const RowSplit s = SplitRow(rest);
      ParseCell(cell, s.cell, vars, nullptr);
      if (cell.label == label)
        list->byValue.push_back(Entry{row, col, cell.index, cell.option ? *cell.option : DisplayTextOf(cell)});
      rest = s.rest;
      ++col;
    }
    list->maxCells = std::max(list->maxCells, col);
  }
  list->byPosition = list->byValue;
  SortStable(list->byValue, [](const Entry& a, const Entry& b) { return a.value < b.value; });
  const long long rows = r;
  SortStable(list->byPosition, [rows](const Entry& a, const Entry& b) {
    return a.row + rows * a.column < b.row + rows * b.column;
  });
  table_.Insert(KeyOf(sheet, label), static_cast<std::intptr_t>(lists_.size()));
  lists_.push_back(std::move(list));
  return *lists_.back();
}

std::string CellIndex::TextOf(const std::string& sheet, int label, std::int32_t value) {
  const List& l = Get(sheet, label);
  const auto& v = l.byValue;
  if (v.empty() || value < v.front().value || value > v.back().value) return "error";
  auto it = std::lower_bound(v.begin(), v.end(), value,
                             [](const Entry& e, std::int32_t x) { return e.value < x; });
  if (it == v.end() || it->value != value) return "error";
  return it->text;
}

std::optional<std::int32_t> CellIndex::Step(const std::string& sheet, int label,
                                            std::int32_t current, int delta) {
  const List* l = Find(sheet, label);
  if (l == nullptr || l->byPosition.empty()) return std::nullopt;
  const auto& p = l->byPosition;
  const long long n = static_cast<long long>(p.size());
  long long i = n + 1;
  for (long long k = 0; k < n; ++k)
    if (p[static_cast<std::size_t>(k)].value == current) {
      i = k;
      break;
    }
  long long t = i + delta;
  if (t >= n) t = 0;
  if (t < 0) t = n - 1;
  return p[static_cast<std::size_t>(t)].value;
}

}  // namespace twk
