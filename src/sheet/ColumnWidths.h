// Column widths of sheets: the limits applied when the user drags a border,
// and their persistence per sheet under
// "Software\Zelt\TW-K208\Display\<width name>\colwidth" (one integer value
// per column, named by the column number), read, written and deleted through
// the column width operations of the settings (AppSettings). The width name
// of a sheet comes from the resource list "GI_CellWidthRegList" (lines
// "sheet key:width name"); a sheet that is not listed keeps no widths.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "text/ResourceKeys.h"

namespace twk {

class GridModel;
class SettingsBackend;

inline constexpr const char* kCellWidthRegList = "GI_CellWidthRegList";

// The key part of a sheet address: "[prefix]key,argument" -> "key".
std::string KeyOfAddress(const std::string& address);
// Every (sheet key, width name) pair of "GI_CellWidthRegList", in order; the
// list ends at a line that begins with "#", is empty or has no colon.
std::vector<std::pair<std::string, std::string>> ColumnWidthList();
// The width name of a sheet key, "" when it is not listed.
std::string ColumnWidthName(const std::string& sheetKey);
// "Software\Zelt\TW-K208\Display\" + name (the parent of "colwidth").
std::string ColumnWidthParentPath(const std::string& widthName);

// Limit for a dragged column: the client width less the fixed columns,
// between 10 and 650; 650 while widths are being restored.
int ColumnDragLimit(int clientWidth, int fixedWidth, bool restoring);
// Applies the limits to every column for which `resizable(col)` holds
// (its cell in the first non-fixed row is selectable).
void ClampColumnWidths(GridModel& grid, const std::function<bool(int)>& resizable, bool restoring);

// Screen restore: the stored width of every resizable column replaces the
// computed one; when any was stored, the drag limits (650) apply.
void RestoreColumnWidths(GridModel& grid, SettingsBackend& settings, const std::string& widthName,
                         const std::function<bool(int)>& resizable);
// Factor for stored widths when printing: the canvas font size (points) x
// (canvas ppi / screen ppi x 16 / (percent x 16 / 100)) x 0.1.
double PrintWidthFactor(int fontPoints, int canvasPpi, int screenPpi, int percent);
// Printing restore: a stored width, scaled and rounded, can only narrow a
// column.
void RestoreColumnWidthsForPrint(GridModel& grid, SettingsBackend& settings,
                                 const std::string& widthName,
                                 const std::function<bool(int)>& resizable, double factor);
void SaveColumnWidths(const GridModel& grid, SettingsBackend& settings, const std::string& widthName,
                      const std::function<bool(int)>& resizable);
// Deletes the stored widths of every listed sheet.
void ResetAllColumnWidths(SettingsBackend& settings);

std::vector<KeyUse> ColumnWidthKeys();

}  // namespace twk
