// The cell index of the list sheets: for a list sheet S and a cell label L,
// the cells of S + "_Cells" bound to L, by their cell index value and by
// their position. The list-selection cells use it to show the text of a
// value and to step to the next or previous value.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "text/NameTable.h"

namespace twk {

class TextStore;

class CellIndex {
 public:
  struct Entry {
    int row = 0;
    int column = 0;
    std::int32_t value = 0;  // the cell's index
    std::string text;        // its option text, else its display text
  };
  struct List {
    int rows = 0;      // R: number of the first "#" line of the section
    int maxCells = 0;  // greatest number of cells in a row
    std::vector<Entry> byValue;     // ascending by value (stable)
    std::vector<Entry> byPosition;  // ascending by row + R x column (stable)
  };

  // Reads from `store` (default: the main text store at first use).
  explicit CellIndex(TextStore* store = nullptr);

  // The text of the entry with that value; "error" when the value is not in
  // the list. Builds the list on first use.
  std::string TextOf(const std::string& sheet, int label, std::int32_t value);
  // The value of the entry `delta` positions (+1 or -1) away from the one
  // holding `current`, in position order, wrapping round; a value not in the
  // list steps to the first entry. None when the list was never built or is
  // empty (the caller keeps its value).
  std::optional<std::int32_t> Step(const std::string& sheet, int label, std::int32_t current,
                                   int delta);

  // The list (built when missing); duplicate keys are the fatal stop
  // "Overlapped Hash2 table.".
  const List& Get(const std::string& sheet, int label);
  const List* Find(const std::string& sheet, int label) const;

 private:
  const List& Build(const std::string& sheet, int label);
  static std::string KeyOf(const std::string& sheet, int label);

  TextStore* store_;
  NameTable table_{1031, "Overlapped Hash2 table."};
  std::vector<std::unique_ptr<List>> lists_;
};

}  // namespace twk
