// The cell access context and the label handler: the one boundary through
// which the sheet engine hands a cell's work (display text, keys, popup
// commands, committed edits) to the radio data code. The engine fills a
// context, calls the handler, and reads back the outputs.
#pragma once

#include <cstdint>
#include <string>

#include "sheet/CellDescriptor.h"
#include "sheet/Geometry.h"

namespace twk {

class Canvas;     // drawing surface of the painter
class ImageList;  // a sheet's images (4 = warning mark, 5 = error mark)
class cuiGrid;
class Sheet;

struct CellAccessContext;

// Handler modes.
enum HandlerMode : int {
  kModeDisplay = 0,  // set the output text (and marks, menu flags)
  kModeAction = 1,   // apply the key, command or committed input
};

// Action results.
enum ActionResult : int {
  kActionNothing = 0,
  kActionEndMultiSelection = 1,
  kActionOpenEditor = 2,  // open the inline editor with the output text
};

// Keys carried in the context.
constexpr int kKeyNone = 0;
constexpr int kKeyEnter = 13;
constexpr int kKeyDoubleClick = 256;  // handled exactly like Enter
// Function keys and Left/Right at the grid's edge: virtual-key code x 256.
constexpr int VirtualKey(int vk) { return vk * 256; }
constexpr int kVkLeft = 0x25, kVkRight = 0x27, kVkF1 = 0x70;
constexpr int FunctionKey(int n) { return VirtualKey(kVkF1 + n - 1); }  // F5 -> 0x7400

// State flag bits.
namespace cellstate {
constexpr std::uint8_t kCurrent = 0x01;
constexpr std::uint8_t kPrinting = 0x02;
constexpr std::uint8_t kWarning = 0x04;  // output
constexpr std::uint8_t kError = 0x08;    // output
}  // namespace cellstate

// Mark positions.
enum MarkPosition : int { kMarkDefault = 0, kMarkLeft = 1, kMarkAfterText = 3, kMarkRight = 2 };

// Input kinds.
enum InputKind : int {
  kInputNone = 0,
  kInputCommitted = 1,      // the input text is a committed edit
  kInputPopupEnter = 2,     // Enter from a popup selection window (cell in parent)
};

// Selection flag bits.
namespace selection {
constexpr std::uint8_t kMultiActive = 0x01;  // input
constexpr std::uint8_t kApplyRange = 0x02;   // set by the handler
}  // namespace selection

// Repaints the visible cells that match the context's cell under an 8-bit
// criteria mask; reopens the inline editor on the current cell.
using RepaintFn = void (*)(void* object, const CellAccessContext& ctx, std::uint8_t criteria);
using ReopenEditorFn = void (*)(void* object);

struct CellAccessContext {
  CellAccessContext* parent = nullptr;  // 1 the cell that opened this sheet or menu
  void* sender = nullptr;               // 2 the grid, or a menu's owner window
  cuiGrid* grid = nullptr;              // 3
  CellDescriptor* cell = nullptr;       // 4
  Canvas* canvas = nullptr;             // 5 only while painting
  ImageList* images = nullptr;          // 6
  Rect cellRect;                        // 7
  int selStart = 0;                     // 8 output
  int selLength = 0;                    // 9 output
  int key = kKeyNone;                   // 10 input
  int command = 0;                      // 11 input: label of a popup item; 0 none
  std::string inputText;                // 12 input
  std::string outputText;               // 13 output
  std::uint8_t state = 0;               // 14 cellstate bits
  int markPosition = kMarkDefault;      // 15 output
  int inputKind = kInputNone;           // 16
  bool jumpRequest = false;             // 17 output
  int jumpCategory = 0;                 // 18
  int jumpLabel = 0;                    // 19
  std::int32_t jumpIndex = 0;           // 20
  int repeatKey = 0;                    // 21 output
  Sheet* ownerSheet = nullptr;          // 22
  std::uint8_t selectionFlags = 0;      // 23 selection bits
  std::int32_t rangeLow = 0;            // 24
  std::int32_t rangeHigh = 0;           // 25
  RepaintFn repaint = nullptr;          // 26
  void* repaintObject = nullptr;
  ReopenEditorFn reopenEditor = nullptr;  // 27
  void* reopenEditorObject = nullptr;

  // Calls the repaint callback when one is set.
  void Repaint(std::uint8_t criteria) const {
    if (repaint != nullptr) repaint(repaintObject, *this, criteria);
  }
  void ReopenEditor() const {
    if (reopenEditor != nullptr) reopenEditor(reopenEditorObject);
  }
};

// The label handler: (handler object, context, mode) -> ActionResult in
// action mode (0 in display mode). The handler object is opaque and passed
// back unchanged.
using LabelHandler = int (*)(void* handlerObject, CellAccessContext& ctx, int mode);

struct LabelHandlerRef {
  LabelHandler fn = nullptr;
  void* object = nullptr;

  explicit operator bool() const { return fn != nullptr; }
  // Calls the handler; a cell that is not bound (label 262) or a missing
  // handler is never called and gives 0.
  int operator()(CellAccessContext& ctx, int mode) const {
    if (fn == nullptr || ctx.cell == nullptr || !ctx.cell->Bound()) return 0;
    return fn(object, ctx, mode);
  }
};

// The program's standard handler (installed by the radio data code at
// start-up; tests install their own). Returns the previous one.
LabelHandlerRef StandardLabelHandler();
LabelHandlerRef SetStandardLabelHandler(LabelHandlerRef handler);

}  // namespace twk
