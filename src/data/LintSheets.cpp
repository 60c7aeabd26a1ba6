// `twk208-cli lint`: the sheets of the resources build and show headless.
// Every sheet the navigation tree names, the clone info and EEPROM debug
// sheets and every selection list the data cells use are built (channel
// sheets in both views) and every bound cell is shown through the label
// handler over the model's initial image, with fatal stops caught and
// reported; every check line must report to a node of the tree; every
// radio data label must appear on some sheet.
#include <algorithm>
#include <functional>
#include <set>

#include "app/Fatal.h"
#include "data/ChannelSheet.h"
#include "data/DataCells.h"
#include "data/DocumentHooks.h"
#include "data/IndexedSelectionLists.h"
#include "data/LabelHandler.h"
#include "data/Labels.h"
#include "file/CloneOpen.h"
#include "sheet/CellMarkup.h"
#include "sheet/RecordingCanvas.h"
#include "text/Lint.h"
#include "text/TextStore.h"

namespace twk {

namespace {

class QuietDialogs : public Dialogs {
 public:
  MsgAnswer MessageBox(const std::string&, const std::string&, MsgIcon, MsgButtons buttons) override {
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
  }
};

class LintHooks : public DocumentHooks {
 public:
  EepromImage image{EepromImage::kModelSize};
  bool usedView = false;
  QuietDialogs boxes;
  EepromImage& CurrentImage() override { return image; }
  bool UsedChannelsView() const override { return usedView; }
  void Send(int, std::intptr_t, std::int32_t) override {}
  void Post(int, std::intptr_t, std::int32_t) override {}
  void SendText(int, std::intptr_t, std::int32_t, const std::string&) override {}
  Dialogs& Boxes() override { return boxes; }
};

class RecordingReporter : public FatalReporter {
 public:
  void Report(const std::string&) override {}
};

// Runs fn; a fatal stop becomes a problem text.
bool Guarded(const std::function<void()>& fn, std::string& stop) {
  try {
    fn();
    return true;
  } catch (const FatalStop& s) {
    stop = s.text;
    return false;
  }
}

std::string OneLine(std::string s) {
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

// The radio data labels that must be reachable from some sheet.
bool DataLabel(int label) {
  if (LabelWithoutBehaviour(label)) return false;
  if (label >= CL_EeDebugWin_Adr && label <= CL_EeDebugWin_F) return true;
  if (label >= CL_CloneInfo_Model && label <= CL_CloneInfo_Comment) return true;
  return label >= CL_ChList_No && label < kLabelCount;
}

struct Node {
  std::string address;
  int line;  // file line of the node
};

}  // namespace

void LintSheets(const LintInput& in, LintReport& report) {
  if (!in.main.present) return;
  const std::string& file = in.main.path;
  auto lineOf = [&](const std::string& key) {
    const OvlSection* s = in.main.Find(key);
    return s ? in.main.lines[s->header].number : in.main.TailLine();
  };
  // Without the tree and the check list there is nothing to look at (the
  // key check reports them missing).
  if (!in.main.Find("GI_Tree_Main_Body") || !in.main.Find("GI_Tree_Main_BasicCell")) return;

  TextStore mainStore, helpStore;
  mainStore.SetFile(file);
  if (in.help.present) helpStore.SetFile(in.help.path);
  const auto previousStores = SetTextStores(&mainStore, &helpStore);
  TextStore* previousModels = SetCellModelStore(&mainStore);
  RecordingReporter reporter;
  FatalReporter* previousReporter = SetFatalReporter(&reporter);
  IndexedSelectionLists lists(&mainStore);
  codec::SelectionLists* previousLists = codec::SetSelectionLists(&lists);
  LintHooks hooks;
  DocumentHooks* previousHooks = SetDocumentHooks(&hooks);
  RecordingCanvas canvas;
  std::string stop;

  // The model's initial image, when it can be read; else an empty one.
  Guarded([&] {
    const std::string initial = in.folder + mainStore.GetLine("GI_App_InitialFile", 0);
    EepromImage loaded;
    if (LoadCloneFile(initial, EepromImage::kModelSize, loaded, nullptr) == 0) hooks.image.Assign(loaded);
  }, stop);

  // The tree's nodes and their sheet addresses.
  std::vector<Node> nodes;
  if (!Guarded([&] {
        CellDescriptor base;
        ParseCell(base, mainStore.GetLine("GI_Tree_Main_BasicCell", 0), nullptr, nullptr);
        const OvlSection* body = in.main.Find("GI_Tree_Main_Body");
        for (int i = 0;; ++i) {
          const std::string text = mainStore.GetLine("GI_Tree_Main_Body", i);
          if (!text.empty() && text[0] == '#') break;
          const std::size_t plus = text.find('+');
          CellDescriptor cell;
          ParseCell(cell, plus == std::string::npos ? text : text.substr(plus + 1), nullptr, &base);
          if (cell.option && !cell.option->empty())
            nodes.push_back({*cell.option, in.main.lines[body->header + 1 + i].number});
        }
      }, stop))
    report.Add(file, lineOf("GI_Tree_Main_Body"), "the navigation tree cannot be read: " + OneLine(stop));

  // The sheets to build: the tree's, the two dialog sheets, the lists.
  std::vector<std::pair<std::string, int>> sheets;
  for (const Node& n : nodes) {
    const std::string key = n.address.substr(0, n.address.find(','));
    if (std::none_of(sheets.begin(), sheets.end(), [&](auto& s) { return s.first == key; }))
      sheets.emplace_back(key, n.line);
  }
  for (const char* key : {"GI_Sheet_CloneInfo", "GI_Sheet_EeDebugWin"})
    sheets.emplace_back(key, lineOf(std::string(key) + "_Cells"));
  std::vector<std::string> listKeys = DataCellListKeys();
  for (const std::string& key : listKeys) sheets.emplace_back(key, lineOf(key + "_Cells"));

  std::set<int> labelsSeen;
  for (const auto& [key, line] : sheets) {
    const bool isList = std::find(listKeys.begin(), listKeys.end(), key) == listKeys.end() ? false : true;
    for (bool used : {false, true}) {
      if (used && ChannelSheetCategory(key) < 0) continue;
      hooks.usedView = used;
      const bool ok = Guarded([&] {
        std::unique_ptr<Sheet> sheet = CreateSheetFor(nullptr, nullptr, 0, 0, mainStore, key, nullptr);
        sheet->SetScreenCanvas(&canvas);
        if (isList) sheet->SetPopupMode(true);
        sheet->Build();
        for (int r = 0; r < sheet->RowCount(); ++r) {
          for (int c = 0; c < sheet->ColCount(); ++c) {
            CellDescriptor& cell = sheet->CellAt(c, r);
            if (!cell.Bound()) continue;
            labelsSeen.insert(cell.label);
            CellAccessContext ctx;
            ctx.cell = &cell;
            HandleLabel(&hooks, ctx, kModeDisplay);
            if (ctx.outputText == "error" && !isList)
              report.Add(file, line,
                         "sheet '" + key + "' row " + std::to_string(r) + " column " +
                             std::to_string(c) + ": the value of " + LabelName(cell.label) +
                             " is missing from its selection list");
          }
        }
      }, stop);
      if (!ok)
        report.Add(file, line,
                   "sheet '" + key + "'" + (used ? " (used-channels view)" : "") +
                       " does not build: " + OneLine(stop));
    }
  }

  // Every list holds a text for each value its cells can store.
  auto values = [](const std::string& key) -> std::vector<int> {
    if (key == "GI_Sheet_Sel_ChATRAll" || key == "GI_Sheet_Sel_ChATRUse") return {1, 2, 4, 5};
    if (key.find("GI_Sheet_Sel_UserSetLcd") == 0) return {0, 1, 2, 3};
    return {0, 1};
  };
  for (const std::string& key : listKeys) {
    Guarded([&] {
      const CellIndex::List& list = lists.Index().Get(key, Flex0);
      for (int v : values(key))
        if (std::none_of(list.byValue.begin(), list.byValue.end(),
                         [v](const CellIndex::Entry& e) { return e.value == v; }))
          report.Add(file, lineOf(key + "_Cells"),
                     "selection list '" + key + "' has no entry for the value " + std::to_string(v));
    }, stop);
  }

  // Every check line reports to a node of the tree.
  if (in.main.Find("GI_WarningCheckList")) {
    const OvlSection* list = in.main.Find("GI_WarningCheckList");
    for (int i = 0;; ++i) {
      std::string text;
      if (!Guarded([&] { text = mainStore.GetLine("GI_WarningCheckList", i); }, stop)) break;
      if (!text.empty() && text[0] == '#') break;
      const int fileLine = in.main.lines[list->header + 1 + static_cast<std::size_t>(i)].number;
      CellDescriptor cell;
      if (!Guarded([&] { ParseCell(cell, text, nullptr, nullptr); }, stop)) {
        report.Add(file, fileLine, "check line does not parse: " + OneLine(stop));
        continue;
      }
      const std::string address = cell.option.value_or("");
      if (std::none_of(nodes.begin(), nodes.end(), [&](const Node& n) { return n.address == address; }))
        report.Add(file, fileLine, "check line reports to '" + address + "', which no tree node carries");
    }
  }

  // Every radio data label appears on some sheet.
  for (int label = 0; label < kLabelCount; ++label)
    if (DataLabel(label) && !labelsSeen.count(label))
      report.Add(file, in.main.TailLine(), "the label " + LabelName(label) + " appears on no sheet");

  SetDocumentHooks(previousHooks);
  codec::SetSelectionLists(previousLists);
  SetFatalReporter(previousReporter);
  SetCellModelStore(previousModels);
  SetTextStores(previousStores.first, previousStores.second);
}

}  // namespace twk
