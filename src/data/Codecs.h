// Value codecs: how the label handlers turn image values into cell texts and
// committed edits, popup choices and keys back into values. Each codec works
// on the cell access context of the call (key, input kind and text, output
// text, editor selection) and returns whether the value changed; `request`
// receives what the sheet shall do next: kOpenEditor opens the inline editor
// with the output text, kPopupOpened says a popup window was opened.
//
// The first half of this header holds the pure rules the codecs are built
// from (cleaning, parsing, formatting, the channel grid); they are public so
// that other code (CSV import, validation) applies exactly the same rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace twk {

struct CellAccessContext;

namespace codec {

// ---- character sets -------------------------------------------------------

// Allowed at positions 1 and 2 of a free channel's short name.
inline constexpr std::string_view kShortNameChars12 = "AabCcdEFGHhIiJLnOoPrStUuy-=0123456789 ";
// Allowed at position 3.
inline constexpr std::string_view kShortNameChars3 = "Ab ";
inline constexpr std::string_view kHexLetters = "abcdefABCDEF";

// Keys as the grid delivers them.
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeySpace = 32;

// Editor requests (out parameter of every codec).
inline constexpr int kNoRequest = 0;
inline constexpr int kPopupOpened = 1;
inline constexpr int kOpenEditor = 2;

// ---- pure rules -------------------------------------------------------------

// Removes every character that is neither a decimal digit nor in `extra`.
std::string KeepOnly(std::string_view text, std::string_view extra);
inline bool IsPrintable(unsigned char c) { return c >= 32 && c <= 126; }

// The short-name rule over a 3-character field: a character outside its
// position's set is tried in the other case, else becomes a space.
void ApplyShortNameRule(char* field3);

// Channel grid snap of a typed frequency in Hz: the first 1,250 Hz step at or
// above f (counted from f rounded down to 100 kHz) that is a multiple of
// 6,250 Hz and lies within the typed precision; -1 when there is none.
std::int64_t SnapToChannelGrid(std::int64_t f);

// Frequency limits of a free channel, in Hz.
inline constexpr std::int64_t kFreqMin = 100'000'000;
inline constexpr std::int64_t kFreqMax = 199'990'000;

// A typed frequency text (MHz) to Hz on the channel grid: keep digits and
// '.', at most 10 characters, limit to the band, snap. -1 when the text is
// empty after cleaning or the frequency is off the grid.
std::int64_t ParseFrequencyText(std::string_view input);
// "%d.%05d" of MHz and the 10 Hz fraction (156,800,000 -> "156.80000").
std::string FormatFrequency(std::int64_t hz);

// Round half away from zero.
std::int64_t RoundHalfAway(double x);

// Integer codec input: keep digits, '.' and '-', at most 9 characters, read
// as a decimal number rounded half away from zero. False when nothing
// numeric is left.
bool ParseIntegerText(std::string_view input, std::int64_t& number);

// Scaled number output: "%3d.%03d" of v / scale and the thousandths, then up
// to `drop` trailing '0' characters removed (stopping after a '.').
std::string FormatScaled(int v, int scale, int drop);

// "%X" of a byte with a leading 0 when it would be one character.
std::string FormatHexByte(int v);

// ---- codecs over the cell access context -----------------------------------

}  // namespace codec
}  // namespace twk
