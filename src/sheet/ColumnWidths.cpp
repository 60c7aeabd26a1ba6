#include "sheet/ColumnWidths.h"

#include <algorithm>
#include <cmath>

#include "app/AppSettings.h"
#include "sheet/GridModel.h"
#include "text/TextStore.h"

namespace twk {

namespace {
constexpr int kMinWidth = 10;
constexpr int kMaxWidth = 650;
}  // namespace

std::string KeyOfAddress(const std::string& address) {
  std::string s = address;
  if (!s.empty() && s[0] == '[') {
    const auto close = s.find(']');
    s = close == std::string::npos ? std::string() : s.substr(close + 1);
  }
  const auto comma = s.find(',');
  if (comma != std::string::npos) s.resize(comma);
  return s;
}

std::vector<std::pair<std::string, std::string>> ColumnWidthList() {
  std::vector<std::pair<std::string, std::string>> list;
  TextStore& store = MainText();
  if (!store.HasKey(kCellWidthRegList)) return list;
  for (int n = 0;; ++n) {
    const std::string line = store.GetLine(kCellWidthRegList, n);
    if (line.empty() || line[0] == '#') break;
    const auto colon = line.find(':');
    if (colon == std::string::npos) break;
    list.emplace_back(line.substr(0, colon), line.substr(colon + 1));
  }
  return list;
}

std::string ColumnWidthName(const std::string& sheetKey) {
  for (const auto& [key, name] : ColumnWidthList()) {
    if (key == sheetKey) return name;
  }
  return {};
}

std::string ColumnWidthParentPath(const std::string& widthName) {
  return AppSettings::KeyPath("Display\\" + widthName);
}

int ColumnDragLimit(int clientWidth, int fixedWidth, bool restoring) {
  if (restoring) return kMaxWidth;
  return std::clamp(clientWidth - fixedWidth, kMinWidth, kMaxWidth);
}

void ClampColumnWidths(GridModel& grid, const std::function<bool(int)>& resizable,
                       bool restoring) {
  const int limit = ColumnDragLimit(grid.ClientWidth(), grid.FixedWidth(), restoring);
  for (int c = 0; c < grid.ColCount(); ++c) {
    if (!resizable(c)) continue;
    const int w = grid.ColWidth(c);
    if (w < kMinWidth) grid.SetColWidth(c, kMinWidth);
    else if (w > limit) grid.SetColWidth(c, limit);
  }
}

void RestoreColumnWidths(GridModel& grid, SettingsBackend& settings, const std::string& widthName,
                         const std::function<bool(int)>& resizable) {
  if (widthName.empty()) return;
  const std::string path = AppSettings::ColumnWidthKeyPath(widthName);
  bool restored = false;
  for (int c = 0; c < grid.ColCount(); ++c) {
    if (!resizable(c)) continue;
    const int w = AppSettings::ReadInteger(settings, path, std::to_string(c));
    if (w >= 0) {
      grid.SetColWidth(c, w);
      restored = true;
    }
  }
  // Setting widths is a width change: the limits apply, with 650 as the
  // upper one while restoring.
  if (restored) ClampColumnWidths(grid, resizable, true);
}

double PrintWidthFactor(int fontPoints, int canvasPpi, int screenPpi, int percent) {
  if (screenPpi <= 0) screenPpi = 96;
  const int divisor = std::max(percent * 16 / 100, 1);
  return fontPoints * (static_cast<double>(canvasPpi) / screenPpi * 16 / divisor) * 0.1;
}

void RestoreColumnWidthsForPrint(GridModel& grid, SettingsBackend& settings,
                                 const std::string& widthName,
                                 const std::function<bool(int)>& resizable, double factor) {
  if (widthName.empty()) return;
  const std::string path = AppSettings::ColumnWidthKeyPath(widthName);
  for (int c = 0; c < grid.ColCount(); ++c) {
    if (!resizable(c)) continue;
    const int w = AppSettings::ReadInteger(settings, path, std::to_string(c));
    if (w < 0) continue;
    const int scaled = static_cast<int>(std::lround(w * factor));
    grid.SetColWidth(c, std::min(grid.ColWidth(c), scaled));
  }
}

void SaveColumnWidths(const GridModel& grid, SettingsBackend& settings, const std::string& widthName,
                      const std::function<bool(int)>& resizable) {
  if (widthName.empty()) return;
  const std::string path = AppSettings::ColumnWidthKeyPath(widthName);
  for (int c = 0; c < grid.ColCount(); ++c) {
    if (resizable(c)) AppSettings::WriteInteger(settings, path, grid.ColWidth(c), std::to_string(c));
  }
}

void ResetAllColumnWidths(SettingsBackend& settings) {
  for (const auto& entry : ColumnWidthList()) {
    AppSettings::DeleteKey(settings, ColumnWidthParentPath(entry.second), "colwidth");
  }
}

std::vector<KeyUse> ColumnWidthKeys() { return {{kCellWidthRegList, ResourceFile::Main, 1}}; }

}  // namespace twk
