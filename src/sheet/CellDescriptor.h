// The cell descriptor: one parsed cell text of the cell markup. Every grid
// cell, tree node and menu item owns one. It says what to display, how to
// align and frame it, its colour, font and popup menu, and which cell
// category and label bind it to the radio data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/Labels.h"
#include "sheet/Fonts.h"

namespace twk {

// Layout flag bits.
namespace layout {
constexpr std::uint8_t kHAlignMask = 0x03;  // 0 left, 1 centre, 2 right
constexpr std::uint8_t kVAlignMask = 0x0C;  // 0 top, 1 centre, 2 bottom
constexpr int kVAlignShift = 2;
constexpr std::uint8_t kWiden = 0x10;       // widen the column to fit
constexpr std::uint8_t kHeighten = 0x20;    // heighten the row to fit
constexpr std::uint8_t kJoined = 0x40;      // continuation of the cell on the left
constexpr std::uint8_t kBottomRule = 0x80;  // draw a bottom rule
}  // namespace layout

enum HAlign { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
enum VAlign { kAlignTop = 0, kAlignMiddle = 1, kAlignBottom = 2 };
enum EdgeMark { kEdgeNone = 0, kEdgeRule = 1, kEdgeTick = 2 };

// Behaviour flag bits.
namespace behaviour {
constexpr std::uint8_t kEdgeMask = 0x03;        // EdgeMark
constexpr std::uint8_t kSelectable = 0x04;      // can hold the focus
constexpr std::uint8_t kBelongsLeft = 0x08;     // belongs to the selectable cell on its left
constexpr std::uint8_t kUserFlagsMask = 0xF0;   // Flag0..Flag3
}  // namespace behaviour

// What user flags Flag0..Flag3 mean on popup-menu items.
enum MenuFlag { kMenuChecked = 0, kMenuHidden = 1, kMenuDisabled = 2, kMenuCaption = 3 };

constexpr int kChannelVariableCount = 10;
using ChannelVariables = std::int32_t[kChannelVariableCount];

struct CellDescriptor {
  const CellDescriptor* base = nullptr;  // inherited attributes, not owned
  std::int32_t* chVars = nullptr;        // 10 variables; only set while parsing
  int category = CT_None;
  int label = CL_None;
  std::int32_t index = 0;
  std::optional<std::string> option;     // text after ":" in the binding
  std::int32_t imageIndex = -1;
  std::uint8_t layoutFlags = 0;
  std::uint8_t behaviourFlags = 0;
  std::uint8_t extraFlags = 0;           // Flag4..Flag7 in bits 0-3
  Color color = clWindow;                // background
  std::optional<Font> font;              // none: the sheet's base font
  std::optional<std::string> popupKey;
  std::optional<std::string> display;    // none reads as empty

  int HAlignment() const { return layoutFlags & layout::kHAlignMask; }
  int VAlignment() const { return (layoutFlags & layout::kVAlignMask) >> layout::kVAlignShift; }
  int Edge() const { return behaviourFlags & behaviour::kEdgeMask; }
  bool Selectable() const { return (behaviourFlags & behaviour::kSelectable) != 0; }
  bool BelongsLeft() const { return (behaviourFlags & behaviour::kBelongsLeft) != 0; }
  bool Joined() const { return (layoutFlags & layout::kJoined) != 0; }
  bool Bound() const { return label != CL_None; }

  // User flags Flag0..Flag7 (d outside 0..7 reads false and ignores writes).
  bool UserFlag(int d) const;
  void SetUserFlag(int d, bool on);
  void ClearMenuFlags() { behaviourFlags &= static_cast<std::uint8_t>(~behaviour::kUserFlagsMask); }
};

}  // namespace twk
