// Shared set-up of the radio data tests: the shipped resources, the initial
// image and recording document hooks, plus helpers that drive one cell
// through the label handler as the grid would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "common/TestSupport.h"
#include "data/Codecs.h"
#include "data/DocumentHooks.h"
#include "data/EepromImage.h"
#include "data/IndexedSelectionLists.h"
#include "data/LabelHandler.h"
#include "sheet/CellAccess.h"
#include "sheet/MessageBus.h"
#include "text/CellIndex.h"
#include "text/TextStore.h"

namespace twk::test {

struct BusRecord {
  int type;
  std::intptr_t v1;
  std::int32_t v2;
  std::string text;
  bool posted;
};

class FakeHooks : public DocumentHooks {
 public:
  EepromImage image;
  int model = 0;
  bool usedView = false;
  int settleRestarts = 0;
  int dirtyUpdates = 0;
  std::vector<BusRecord> bus;
  ScriptedDialogs boxes;
  std::vector<std::pair<std::string, int>> popups;
  std::vector<std::tuple<int, int, std::string>> commands;
  std::vector<int> helpLabels;
  std::string recent0;
  int editItems = -1;
  const EepromImage* compare = nullptr;

  EepromImage& CurrentImage() override { return image; }
  int ModelIndex() const override { return model; }
  bool UsedChannelsView() const override { return usedView; }
  void RestartSettleDeadline() override { ++settleRestarts; }
  void UpdateDirty() override { ++dirtyUpdates; }
  void Send(int t, std::intptr_t a, std::int32_t b) override { bus.push_back({t, a, b, "", false}); }
  void Post(int t, std::intptr_t a, std::int32_t b) override { bus.push_back({t, a, b, "", true}); }
  void SendText(int t, std::intptr_t a, std::int32_t b, const std::string& s) override {
    bus.push_back({t, a, b, s, false});
  }
  void OpenSelectionPopup(CellAccessContext&, const std::string& list, int value) override {
    popups.emplace_back(list, value);
  }
  Dialogs& Boxes() override { return boxes; }
  void ShowHelpFor(int label) override { helpLabels.push_back(label); }
  void RunCommand(int label, int index, const std::string& option) override {
    commands.emplace_back(label, index, option);
  }
  std::string RecentFile(int index) const override { return index == 0 ? recent0 : std::string(); }
  int EditMenuItemCount() const override { return editItems; }
  const EepromImage* DebugCompareImage() const override { return compare; }

  // Messages of one type, in order.
  std::vector<BusRecord> Of(int type) const {
    std::vector<BusRecord> v;
    for (const BusRecord& r : bus)
      if (r.type == type) v.push_back(r);
    return v;
  }
  // The last status text shown (message 4), if any.
  std::optional<BusRecord> LastStatus() const {
    for (auto it = bus.rbegin(); it != bus.rend(); ++it)
      if (it->type == msg::kStatusText) return *it;
    return std::nullopt;
  }
};

// The environment: shipped resources, the initial image as the current
// document, the handler's hooks installed.
class DataEnv {
 public:
  DataEnv();
  ~DataEnv();
  DataEnv(const DataEnv&) = delete;
  DataEnv& operator=(const DataEnv&) = delete;

  FakeHooks hooks;
  EepromImage initial;  // as loaded, for comparisons

  // Display text of a cell (display mode, no key).
  std::string Show(int category, int label, int index);
  std::uint8_t Marks(int category, int label, int index);
  // One action as the grid sends it: a key, a committed text, a popup choice
  // of list value `value`, or a popup-menu command.
  struct Result {
    int rc = 0;
    std::string output;
    CellAccessContext ctx;
  };
  Result Key(int category, int label, int index, int key);
  Result Commit(int category, int label, int index, const std::string& text);
  Result Choose(int category, int label, int index, int value);
  Result Command(int category, int label, int index, int command, int lo = -1, int hi = -1);

  std::uint8_t Byte(int address) const { return hooks.image.GetByte(address); }
  std::string StatusOf(const char* key) const;

 private:
  Result Run(CellDescriptor& cell, CellAccessContext& ctx, int mode);
  TextStore main_, help_;
  TextStore* prevMain_ = nullptr;
  IndexedSelectionLists lists_;
  codec::SelectionLists* prevLists_ = nullptr;
  DocumentHooks* prevHooks_ = nullptr;
  FatalCatcher fatal_;
  int dummyGrid_ = 0;
};

}  // namespace twk::test
