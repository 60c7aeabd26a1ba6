#include "data/Validation.h"

#include <algorithm>

#include "data/DocumentHooks.h"
#include "data/LabelHandler.h"
#include "data/Labels.h"
#include "data/MemoryMap.h"
#include "sheet/CellAccess.h"
#include "sheet/CellMarkup.h"
#include "text/TextStore.h"

namespace twk {

namespace {

constexpr const char* kCheckList = "GI_WarningCheckList";
constexpr std::uint8_t kBoth = cellstate::kWarning | cellstate::kError;

bool Listed(const std::vector<std::string>& list, const std::string* address) {
  return address != nullptr && std::find(list.begin(), list.end(), *address) != list.end();
}

void ClearOverlays(CheckNode& node) {
  node.SetOverlay(kOverlayNone);
  for (int i = 0; i < node.ChildCount(); ++i)
    if (CheckNode* child = node.Child(i)) ClearOverlays(*child);
}

// Marks the node when its own address is listed, or when it is collapsed and
// a node below it is listed; returns the number of listed nodes in the subtree.
int Mark(CheckNode& node, const std::vector<std::string>& list, int overlay) {
  int below = 0;
  for (int i = 0; i < node.ChildCount(); ++i)
    if (CheckNode* child = node.Child(i)) below += Mark(*child, list, overlay);
  const bool own = Listed(list, node.Address());
  if (own || (below > 0 && !node.Expanded())) node.SetOverlay(overlay);
  return below + (own ? 1 : 0);
}

}  // namespace

std::uint8_t CheckPlanSlots(int category, DocumentHooks* hooks) {
  for (int slot = 0; slot < mem::kSlotCount; ++slot)
    if (MarksOf(category, CL_ChList_Atr, slot, hooks) & cellstate::kError) return cellstate::kError;
  return 0;
}

std::uint8_t CheckWeather(DocumentHooks* hooks) {
  for (int i = 0; i < mem::kWeatherCount; ++i)
    if (MarksOf(CT_WxCh, CL_WX_ChAtr, i, hooks) & cellstate::kError) return cellstate::kError;
  return 0;
}

std::uint8_t CheckDscIds(DocumentHooks* hooks) {
  std::uint8_t found = 0;
  for (int i = 0; i < mem::kDscIdCount && found != kBoth; ++i) {
    found |= MarksOf(CT_DscIndId, CL_DscIndId_Id, i, hooks) & cellstate::kWarning;
    found |= MarksOf(CT_DscIndId, CL_DscIndId_Comment, i, hooks) & cellstate::kError;
  }
  return found;
}

std::uint8_t CheckSelfId(DocumentHooks* hooks) {
  return MarksOf(CT_None, CL_ComDsc_SelfId, 0, hooks) & cellstate::kError;
}

void MarkTree(CheckTree& tree, const std::vector<std::string>& errors,
              const std::vector<std::string>& warnings, int* errorCount, int* warningCount) {
  int e = 0, w = 0;
  for (int i = 0; i < tree.TopLevelCount(); ++i)
    if (CheckNode* n = tree.TopLevel(i)) ClearOverlays(*n);
  for (int i = tree.TopLevelCount() - 1; i >= 0; --i) {
    CheckNode* n = tree.TopLevel(i);
    if (n == nullptr) continue;
    w += Mark(*n, warnings, kOverlayWarning);
    e += Mark(*n, errors, kOverlayError);  // second: an error wins over a warning
  }
  if (errorCount) *errorCount = e;
  if (warningCount) *warningCount = w;
}

std::vector<CheckResult> EvaluateCheckList(DocumentHooks* hooks) {
  std::vector<CheckResult> results;
  TextStore& store = MainText();
  for (int line = 0;; ++line) {
    const std::string text = store.GetLine(kCheckList, line);
    if (!text.empty() && text[0] == '#') break;
    CellDescriptor cell;
    ParseCell(cell, text, nullptr, nullptr);
    CellAccessContext ctx;
    ctx.cell = &cell;
    HandleLabel(hooks, ctx, kModeDisplay);
    results.push_back({cell.option ? *cell.option : std::string(), static_cast<std::uint8_t>(ctx.state & kBoth)});
  }
  return results;
}

void RunWarningCheck(CheckTree* tree, int* errorCount, int* warningCount, DocumentHooks* hooks) {
  if (errorCount) *errorCount = 0;
  if (warningCount) *warningCount = 0;
  if (tree == nullptr) return;
  std::vector<std::string> errors, warnings;
  const std::vector<CheckResult> results = EvaluateCheckList(hooks);
  for (const CheckResult& r : results) {
    if (r.marks & cellstate::kError)
      errors.push_back(r.address);
    else if (r.marks & cellstate::kWarning)
      warnings.push_back(r.address);
  }
  if (results.empty()) return;
  MarkTree(*tree, errors, warnings, errorCount, warningCount);
}

bool CloneWriteAllowed(CheckTree* tree, DocumentHooks& hooks) {
  int errors = 0;
  if (tree != nullptr) {
    RunWarningCheck(tree, &errors, nullptr, &hooks);
  } else {
    // Without a tree (headless use) the check list itself decides: an
    // image with errors is never written just because no tree counts them.
    for (const CheckResult& r : EvaluateCheckList(&hooks))
      if (r.marks & cellstate::kError) ++errors;
  }
  if (errors == 0) return true;
  hooks.Boxes().MessageBox(MainText().GetSectionText("GI_Mess_DataError"),
                           MainText().GetLine("GI_Sys_AppTitle", 0), MsgIcon::Error, MsgButtons::Ok);
  return false;
}

std::vector<KeyUse> ValidationKeys() {
  return {{kCheckList, ResourceFile::Main, 0}, {"GI_Mess_DataError", ResourceFile::Main, 1}};
}

}  // namespace twk
