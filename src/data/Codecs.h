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
#include <vector>

#include "text/ResourceKeys.h"

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

// ---- the codecs ------------------------------------------------------------
//
// Every codec reads its inputs from and writes its outputs to a CodecIo, the
// part of the cell access context a codec works on; the label handler copies
// it from and back into the context.

// What a codec asks the sheet to open when it reports kPopupOpened.
enum class PopupKind { None, SelectionList, BitField };

struct CodecIo {
  // Inputs.
  int key = 0;                 // 8 Backspace, 13 Enter, 32 Space, characters
  int inputKind = 0;           // 1 committed edit, 2 choice from a popup window
  std::string inputText;       // the committed edit
  bool hasGrid = false;        // only contexts with a grid react to keys
  bool hasParent = false;      // the call comes back from a popup window ...
  int parentLabel = 262;       // ... whose chosen cell has this label
  int parentIndex = 0;         // ... and index
  // Outputs.
  std::string outputText;
  int selStart = 0;
  int selLength = 0;
  int request = kNoRequest;
  PopupKind popup = PopupKind::None;
  std::string popupList;       // list sheet key of a selection popup
  int popupValue = 0;          // value to focus (bit field: value << 18)
  int alignment = -1;          // horizontal alignment for the cell (0 left, 2 right), -1 unchanged
  bool hasTextColor = false;   // a text colour for the cell (0x00BBGGRR)
  std::uint32_t textColor = 0;
};

// Selection lists ("%s#%d" of list key and list number) as the cell index
// gives them; replaceable for tests.
class SelectionLists {
 public:
  virtual ~SelectionLists() = default;
  virtual std::string TextOf(const std::string& listKey, int listNo, int value) = 0;
  // The value delta (+1/-1) entries away from `current` in list order,
  // wrapping; false when the list is unknown.
  virtual bool Step(const std::string& listKey, int listNo, int current, int delta,
                    int& result) = 0;
};
// Default: the cell index over the main text store (rebuilt when another
// main store is installed; ResetSelectionLists drops what it has built).
SelectionLists& DefaultSelectionLists();
SelectionLists* SetSelectionLists(SelectionLists* lists);  // nullptr: the default
void ResetSelectionLists();

// Selection: value v of list K#n. Space/Backspace step through the list,
// Enter opens the list at v, a choice from the list sets v.
bool Selection(CodecIo& io, const std::string& listKey, int listNo, int& value);

// Attribute menu of a channel slot: shows "P" and "C" from the mark bits.
// Returns 0 nothing, 1 the marks changed (markBits updated), 2 toggle the
// slot's in-use flag, 3 the "used channels" choice.
int AttributeMenu(CodecIo& io, const std::string& listKey, int& markBits, bool usedView);

// Packed decimal digits, two per byte (high digit = byte / 10); an empty
// field is all 0xFF. A committed edit with the wrong number of digits
// stores the empty field.
bool Digits(CodecIo& io, std::uint8_t* field, int count);

// A character field of `length` bytes, space padded.
bool Text(CodecIo& io, char* field, int length);

// Integer value v shown as v + offset (or `fixedText` when not null).
bool Integer(CodecIo& io, int& value, int lo, int hi, int offset, int step,
             const char* fixedText, bool clamp);

// A number shown with three decimals of value / scale; `offText` 1 shows the
// text of "GI_AppInd_TimerOff" for 0; `drop` trailing zeros are removed.
bool Scaled(CodecIo& io, int& value, int scale, int lo, int hi, int offText, int drop);

// The two frequencies of a free channel, in Hz, with their empty marks.
struct FreqPair {
  bool loaded = false;
  std::int64_t first = 0;
  std::int64_t second = 0;
  bool firstEmpty = false;
  bool secondEmpty = false;
};
// `second` selects the second frequency; with `linking` a second frequency
// equal to the first follows it (shown as "<-").
bool Frequency(CodecIo& io, FreqPair& rec, bool second, bool linking);

// A byte in hexadecimal, red when it differs from `compare`.
bool HexByte(CodecIo& io, int& value, int compare);

// Name cleaning and the short-name rule over image fields.
void CleanNameField(char* field, int length);
void ShortNameField(char* field3);

std::vector<KeyUse> CodecKeys();

}  // namespace codec
}  // namespace twk
