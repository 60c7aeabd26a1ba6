#include "data/IndexedSelectionLists.h"

namespace twk {

std::string IndexedSelectionLists::TextOf(const std::string& listKey, int listNo, int value) {
  return index_.TextOf(listKey, listNo, value);
}

bool IndexedSelectionLists::Step(const std::string& listKey, int listNo, int current, int delta,
                                 int& result) {
  index_.Get(listKey, listNo);  // a list is built on first use
  const auto v = index_.Step(listKey, listNo, current, delta);
  if (!v) return false;
  result = *v;
  return true;
}

}  // namespace twk
