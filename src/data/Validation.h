// Validation warnings: the check labels that look over the image for
// inconsistencies, and RunWarningCheck, which evaluates the check list of
// the resources ("GI_WarningCheckList"), marks the navigation tree's nodes
// with warning and error overlays and returns the counts. Errors block
// Clone Write; warnings do not.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/ResourceKeys.h"

namespace twk {

class DocumentHooks;

// Tree overlays.
constexpr int kOverlayNone = -1;
constexpr int kOverlayError = 0;    // draws image 5
constexpr int kOverlayWarning = 1;  // draws image 4

// The part of the navigation tree the check needs. The tree widget
// implements it; tests use a small in-memory tree.
class CheckNode {
 public:
  virtual ~CheckNode() = default;
  // The node's sheet address (option text of its cell); null when none.
  virtual const std::string* Address() const = 0;
  virtual bool Expanded() const = 0;
  virtual int ChildCount() const = 0;
  virtual CheckNode* Child(int i) = 0;
  virtual void SetOverlay(int overlay) = 0;
};

class CheckTree {
 public:
  virtual ~CheckTree() = default;
  virtual int TopLevelCount() const = 0;
  virtual CheckNode* TopLevel(int i) = 0;
};

// The check labels' rules (display mode over the current image); each
// returns the state bits it sets (bit 2 warning, bit 3 error).
std::uint8_t CheckPlanSlots(int category, DocumentHooks* hooks);  // CL_Check_*_ChInh
std::uint8_t CheckWeather(DocumentHooks* hooks);                  // CL_Check_WX_ChInh
std::uint8_t CheckDscIds(DocumentHooks* hooks);                   // CL_Check_Dsc_Id
std::uint8_t CheckSelfId(DocumentHooks* hooks);                   // CL_Check_Dsc_SelfId

// The marking of the tree nodes: clears every overlay, then for each
// top-level node from the last to the first marks the warning list and then
// the error list (a collapsed node shows a problem of a hidden child).
// Returns the numbers of nodes whose own address is listed.
void MarkTree(CheckTree& tree, const std::vector<std::string>& errors,
              const std::vector<std::string>& warnings, int* errorCount, int* warningCount);

// Evaluates every line of "GI_WarningCheckList" (up to its "#" line) with
// the label handler and marks the tree. Without a tree nothing happens and
// both counts are 0. Either count may be null.
void RunWarningCheck(CheckTree* tree, int* errorCount, int* warningCount,
                     DocumentHooks* hooks = nullptr);

// The check list's node addresses as parsed, with the marks of each line
// (for lint and the CSV validation).
struct CheckResult {
  std::string address;
  std::uint8_t marks = 0;
};
std::vector<CheckResult> EvaluateCheckList(DocumentHooks* hooks = nullptr);

// Clone Write gate: runs the check; with errors it shows "GI_Mess_DataError"
// in an error box and returns false.
bool CloneWriteAllowed(CheckTree* tree, DocumentHooks& hooks);

std::vector<KeyUse> ValidationKeys();

}  // namespace twk
