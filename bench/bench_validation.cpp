// RunWarningCheck over the shipped check list on a full image (every channel
// slot in use, all 30 DSC IDs set, self ID set): it runs 250 ms after every
// burst of typing, so it must stay well below a frame (target: under 2 ms).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "data/DocumentHooks.h"
#include "data/IndexedSelectionLists.h"
#include "data/ItemRecord.h"
#include "data/MemoryMap.h"
#include "data/Validation.h"
#include "file/CloneOpen.h"
#include "sheet/CellMarkup.h"
#include "text/TextStore.h"

namespace {

using namespace twk;

class BenchHooks : public DocumentHooks {
 public:
  EepromImage image{EepromImage::kModelSize};
  EepromImage& CurrentImage() override { return image; }
  void Send(int, std::intptr_t, std::int32_t) override {}
  void Post(int, std::intptr_t, std::int32_t) override {}
  void SendText(int, std::intptr_t, std::int32_t, const std::string&) override {}
};

struct Node : CheckNode {
  std::string address;
  bool hasAddress = false;
  int overlay = -1;
  std::vector<std::unique_ptr<Node>> children;
  const std::string* Address() const override { return hasAddress ? &address : nullptr; }
  bool Expanded() const override { return true; }
  int ChildCount() const override { return static_cast<int>(children.size()); }
  CheckNode* Child(int i) override { return children[static_cast<size_t>(i)].get(); }
  void SetOverlay(int o) override { overlay = o; }
};

struct Tree : CheckTree {
  std::vector<std::unique_ptr<Node>> top;
  int TopLevelCount() const override { return static_cast<int>(top.size()); }
  CheckNode* TopLevel(int i) override { return top[static_cast<size_t>(i)].get(); }
};

// The navigation tree of the resources, one level under the root.
Tree ReadTree() {
  Tree tree;
  CellDescriptor base;
  ParseCell(base, MainText().GetLine("GI_Tree_Main_BasicCell", 0), nullptr, nullptr);
  auto root = std::make_unique<Node>();
  for (int i = 0;; ++i) {
    const std::string line = MainText().GetLine("GI_Tree_Main_Body", i);
    if (!line.empty() && line[0] == '#') break;
    CellDescriptor cell;
    ParseCell(cell, line.substr(line.find('+') + 1), nullptr, &base);
    auto n = std::make_unique<Node>();
    if (cell.option && !cell.option->empty()) {
      n->address = *cell.option;
      n->hasAddress = true;
    }
    root->children.push_back(std::move(n));
  }
  tree.top.push_back(std::move(root));
  return tree;
}

void FillImage(EepromImage& image) {
  ItemRecord r(&image);
  for (RecordKind k : {RecordKind::UsaChannel, RecordKind::IntChannel, RecordKind::CanadaChannel})
    for (int s = 0; s < mem::kSlotCount; ++s) {
      r.Load(k, s);
      r.flags &= ~ItemRecord::kFlagNotInUse;
      r.Store();
    }
  for (int i = 0; i < mem::kDscIdCount; ++i) {
    r.Load(RecordKind::DscId, i);
    r.id = {23, 40, 0, static_cast<std::uint8_t>(i), 0};
    r.valid = true;
    r.name = {'B', 'O', 'A', 'T', ' ', ' ', ' ', ' ', ' ', ' '};
    r.Store();
  }
  const std::uint8_t self[5] = {21, 12, 34, 56, 70};
  image.WriteBlock(mem::kSelfId, self, 5);
}

void BM_RunWarningCheck(benchmark::State& state) {
  TextStore store, help;
  store.SetFile(std::string(TWK208_BIN_DIR) + "/TWK208.OVL");
  help.SetFile(std::string(TWK208_BIN_DIR) + "/TWK208H.OVL");
  SetTextStores(&store, &help);
  IndexedSelectionLists lists(&store);
  codec::SetSelectionLists(&lists);
  BenchHooks hooks;
  if (LoadCloneFile(std::string(TWK208_BIN_DIR) + "/TWK208_Initial.cln", EepromImage::kModelSize,
                    hooks.image, nullptr) != 0) {
    state.SkipWithError("initial clone file missing");
    return;
  }
  FillImage(hooks.image);
  SetDocumentHooks(&hooks);
  Tree tree = ReadTree();
  int errors = 0, warnings = 0;
  for (auto _ : state) {
    RunWarningCheck(&tree, &errors, &warnings, &hooks);
    benchmark::DoNotOptimize(errors);
  }
  state.counters["errors"] = errors;
  state.counters["warnings"] = warnings;
  SetDocumentHooks(nullptr);
  codec::SetSelectionLists(nullptr);
  SetTextStores(nullptr, nullptr);
}
BENCHMARK(BM_RunWarningCheck)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
