// Colours and fonts as toolkit-neutral values. A colour is a 32-bit value
// with red in the low byte (0x00BBGGRR); a value with the top bit set is a
// system colour by index (clWindow = 0x80000005), which the front end
// resolves to its palette. A font is a plain record of the attributes the
// cell markup can name; the front end maps it to a real font.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace twk {

using Color = std::uint32_t;

// clang-format off
// X(name, value): the 38 colour names of the cell markup, in table order.
#define TWK_COLOR_LIST(X) \
  X(clAqua, 0x00FFFF00) X(clBlack, 0x00000000) X(clBlue, 0x00FF0000) \
  X(clDkGray, 0x00808080) X(clFuchsia, 0x00FF00FF) X(clGray, 0x00808080) \
  X(clGreen, 0x00008000) X(clLime, 0x0000FF00) X(clLtGray, 0x00C0C0C0) \
  X(clMaroon, 0x00000080) X(clNavy, 0x00800000) X(clOlive, 0x00008080) \
  X(clPurple, 0x00800080) X(clRed, 0x000000FF) X(clSilver, 0x00C0C0C0) \
  X(clTeal, 0x00808000) X(clWhite, 0x00FFFFFF) X(clYellow, 0x0000FFFF) \
  X(clBackground, 0x80000001) X(clActiveCaption, 0x80000002) \
  X(clInactiveCaption, 0x80000003) X(clMenu, 0x80000004) X(clWindow, 0x80000005) \
  X(clWindowFrame, 0x80000006) X(clMenuText, 0x80000007) X(clWindowText, 0x80000008) \
  X(clCaptionText, 0x80000009) X(clActiveBorder, 0x8000000A) \
  X(clInactiveBorder, 0x8000000B) X(clAppWorkSpace, 0x8000000C) \
  X(clHighlight, 0x8000000D) X(clHightlightText, 0x8000000E) X(clBtnFace, 0x8000000F) \
  X(clBtnShadow, 0x80000010) X(clGrayText, 0x80000011) X(clBtnText, 0x80000012) \
  X(clInactiveCaptionText, 0x80000013) X(clBtnHighlight, 0x80000014)
// clang-format on

#define TWK_COLOR_CONST(name, value) inline constexpr Color name = value;
TWK_COLOR_LIST(TWK_COLOR_CONST)
#undef TWK_COLOR_CONST

constexpr int kColorNameCount = 38;

constexpr bool IsSystemColor(Color c) { return (c & 0x80000000u) != 0; }
// The palette index of a system colour (clWindow -> 5).
constexpr int SystemColorIndex(Color c) { return static_cast<int>(c & 0x00FFFFFFu); }

// A colour name of the markup (exact, case-sensitive); no numeric forms.
std::optional<Color> ParseColor(std::string_view name);

// The 19 character sets, in table order.
struct CharsetName {
  const char* name;
  int value;
};
extern const CharsetName kCharsets[19];
std::optional<int> ParseCharset(std::string_view name);  // exact name
constexpr int kDefaultCharset = 1;

enum FontStyle : std::uint8_t {
  fsBold = 1,
  fsItalic = 2,
  fsUnderline = 4,
  fsStrikeOut = 8,
};

enum class FontPitch : std::uint8_t { Default, Fixed, Variable };

struct Font {
  int charset = kDefaultCharset;
  std::string face;  // empty: the front end's default face
  Color color = clWindowText;
  // Pixels: negative = character height, positive = cell height, 0 = unset.
  int height = -11;
  int size = 8;  // points; 0 = unset
  std::uint8_t style = 0;  // FontStyle bits
  FontPitch pitch = FontPitch::Default;

  friend bool operator==(const Font&, const Font&) = default;
};

// Applies a font text of up to seven ","-separated fields
// (character set, face, colour, height, size, styles, pitch) to `font`. An
// empty field changes nothing; unknown names and non-numbers are ignored.
// Height and size accept "%p": current value x p / 100, 0 becoming 1.
void ApplyFontSpec(std::string_view spec, Font& font);

}  // namespace twk
