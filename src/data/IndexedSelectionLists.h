// The selection lists of the selection cells, answered by the cell index of
// the list sheets ("GI_Sheet_Sel_..." + "_Cells"): the program installs one
// at start-up with codec::SetSelectionLists().
#pragma once

#include "data/Codecs.h"
#include "text/CellIndex.h"

namespace twk {

class IndexedSelectionLists : public codec::SelectionLists {
 public:
  // Reads from `store` (default: the main text store at first use).
  explicit IndexedSelectionLists(TextStore* store = nullptr) : index_(store) {}

  std::string TextOf(const std::string& listKey, int listNo, int value) override;
  bool Step(const std::string& listKey, int listNo, int current, int delta, int& result) override;

  CellIndex& Index() { return index_; }

 private:
  CellIndex index_;
};

}  // namespace twk
