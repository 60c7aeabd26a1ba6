// Small in-memory resources for the sheet tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "text/TextStore.h"

namespace twk::test {

// Installs an in-memory main store for its lifetime (the lines get a final
// "#End_Of_Ovl").
class ResourceScope {
 public:
  explicit ResourceScope(std::vector<std::string> lines) {
    lines.push_back("#End_Of_Ovl");
    store_.SetLines(std::move(lines));
    SetTextStores(&store_, nullptr);
  }
  ~ResourceScope() { SetTextStores(nullptr, nullptr); }
  TextStore& store() { return store_; }

 private:
  TextStore store_;
};

}  // namespace twk::test
