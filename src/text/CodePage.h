// The code page the resource texts are written in. Parsers of the cell
// markup ask it whether a byte is the lead byte of a double-byte character,
// so that the trail byte is never taken as syntax ("|", "\", "{" ...). The
// page shipped with the program is single-byte: no byte is a lead byte.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <utility>

namespace twk {

class CodePage {
 public:
  // The single-byte page (no lead bytes).
  CodePage() { lead_.fill(false); }
  // A double-byte page with lead bytes in the given inclusive ranges.
  static CodePage DoubleByte(std::initializer_list<std::pair<std::uint8_t, std::uint8_t>> leadRanges);

  bool IsLeadByte(std::uint8_t b) const { return lead_[b]; }
  bool IsLeadByte(char c) const { return lead_[static_cast<std::uint8_t>(c)]; }
  bool IsDoubleByte() const { return doubleByte_; }

 private:
  std::array<bool, 256> lead_{};
  bool doubleByte_ = false;
};

// The page in use (single-byte unless a test or the front end installs
// another). Returns the previous one; nullptr restores the single-byte page.
const CodePage& ActiveCodePage();
const CodePage* SetActiveCodePage(const CodePage* page);

}  // namespace twk
