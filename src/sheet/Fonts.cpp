#include "sheet/Fonts.h"

#include <array>
#include <cstdint>
#include <string>

#include "text/NameTable.h"

namespace twk {

const CharsetName kCharsets[19] = {
    {"ANSI_CHARSET", 0},         {"DEFAULT_CHARSET", 1},     {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},         {"SHIFTJIS_CHARSET", 128},  {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},      {"GB2312_CHARSET", 134},    {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},      {"TURKISH_CHARSET", 162},   {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},     {"ARABIC_CHARSET", 178},    {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204},    {"THAI_CHARSET", 222},      {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
};

namespace {

struct ColorEntry {
  const char* name;
  Color value;
};
#define TWK_COLOR_ENTRY(name, value) {#name, value},
constexpr std::array<ColorEntry, kColorNameCount> kColors = {{TWK_COLOR_LIST(TWK_COLOR_ENTRY)}};
#undef TWK_COLOR_ENTRY

const NameTable& ColorTable() {
  static const NameTable table = [] {
    NameTable t(101);
    for (const ColorEntry& e : kColors) t.Insert(e.name, static_cast<std::intptr_t>(e.value));
    return t;
  }();
  return table;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

std::string_view TrimTrailingBlanks(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

// Height and size: "%p" scales the current value, a number replaces it,
// 0 or a non-number changes nothing.
void ApplyMeasure(std::string_view field, int& value) {
  field = SkipBlanks(field);
  const bool percent = !field.empty() && field[0] == '%';
  if (percent) field.remove_prefix(1);
  std::size_t i = 0;
  bool negative = false;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
  long long v = 0;
  bool digits = false;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    digits = true;
    if (v < 100000000) v = v * 10 + (field[i] - '0');
  }
  if (!digits) return;
  if (negative) v = -v;
  if (percent) {
    long long scaled = static_cast<long long>(value) * v / 100;
    if (scaled == 0) scaled = 1;
    value = static_cast<int>(scaled);
  } else if (v != 0) {
    value = static_cast<int>(v);
  }
}

void ApplyStyles(std::string_view field, std::uint8_t& style) {
  static constexpr std::pair<const char*, std::uint8_t> kStyles[] = {
      {"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline},
      {"fsStrikeOut", fsStrikeOut}};
  bool any = false;
  std::uint8_t result = 0;
  while (true) {
    const std::size_t plus = field.find('+');
    const std::string_view part = TrimTrailingBlanks(SkipBlanks(field.substr(0, plus)));
    for (const auto& [name, bit] : kStyles)
      if (part == name) {
        any = true;
        result |= bit;
      }
    if (plus == std::string_view::npos) break;
    field.remove_prefix(plus + 1);
  }
  if (any) style = result;
}

}  // namespace

std::optional<Color> ParseColor(std::string_view name) {
  const std::intptr_t* v = ColorTable().Find(std::string(name));
  if (v == nullptr) return std::nullopt;
  return static_cast<Color>(*v);
}

std::optional<int> ParseCharset(std::string_view name) {
  for (const CharsetName& c : kCharsets)
    if (name == c.name) return c.value;
  return std::nullopt;
}

void ApplyFontSpec(std::string_view spec, Font& font) {
  for (int field = 0; field < 7; ++field) {
    const std::size_t comma = spec.find(',');
    const std::string_view f = spec.substr(0, comma);
    if (!f.empty()) {
      switch (field) {
        case 0:
          if (auto cs = ParseCharset(TrimTrailingBlanks(SkipBlanks(f)))) font.charset = *cs;
          break;
        case 1:
          font.face = std::string(SkipBlanks(f));
          break;
        case 2:
          if (auto c = ParseColor(f)) font.color = *c;
          break;
        case 3:
          ApplyMeasure(f, font.height);
          break;
        case 4:
          ApplyMeasure(f, font.size);
          break;
        case 5:
          ApplyStyles(f, font.style);
          break;
        case 6:
          if (f == "fpDefault") font.pitch = FontPitch::Default;
          else if (f == "fpFixed") font.pitch = FontPitch::Fixed;
          else if (f == "fpVariable") font.pitch = FontPitch::Variable;
          break;
      }
    }
    if (comma == std::string_view::npos) break;
    spec.remove_prefix(comma + 1);
  }
}

}  // namespace twk
