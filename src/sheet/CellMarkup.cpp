#include "sheet/CellMarkup.h"

#include <charconv>
#include <cstdio>
#include <string>

#include "app/Fatal.h"
#include "text/CodePage.h"
#include "text/TextStore.h"

namespace twk {

bool CellDescriptor::UserFlag(int d) const {
  if (d < 0 || d > 7) return false;
  if (d < 4) return (behaviourFlags & (0x10 << d)) != 0;
  return (extraFlags & (1 << (d - 4))) != 0;
}

void CellDescriptor::SetUserFlag(int d, bool on) {
  if (d < 0 || d > 7) return;
  std::uint8_t& bits = d < 4 ? behaviourFlags : extraFlags;
  const auto mask = static_cast<std::uint8_t>(d < 4 ? (0x10 << d) : (1 << (d - 4)));
  bits = on ? static_cast<std::uint8_t>(bits | mask) : static_cast<std::uint8_t>(bits & ~mask);
}

namespace {

constexpr const char* kChNoError = "Ch No. Error";
// Cell models may use further models; a chain this deep can only be a model
// that (directly or not) uses itself.
constexpr int kMaxModelDepth = 32;

TextStore*& ModelStore() {
  static TextStore* store = nullptr;
  return store;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads an optionally signed decimal integer after leading spaces and tabs;
// stops at the first non-digit. No digits: 0.
std::int32_t ReadInt(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > 0x7FFFFFFFLL + 1) v = 0x7FFFFFFFLL + 1;  // saturate, never overflow
  }
  if (negative) v = -v;
  if (v > 0x7FFFFFFF) v = 0x7FFFFFFF;
  return static_cast<std::int32_t>(v);
}

// "@chN" at the start of s: returns the variable number; anything else (or
// no variables to refer to) is the fatal "Ch No. Error".
int ChannelRef(std::string_view s, const std::int32_t* chVars) {
  if (s.size() < 4 || s[0] != '@' || s[1] != 'c' || s[2] != 'h' || s[3] < '0' || s[3] > '9' ||
      (s.size() > 4 && s[4] >= '0' && s[4] <= '9') || chVars == nullptr)
    Fatal(kChNoError);
  return s[3] - '0';
}

// Given a backslash at i, the index of the last byte it escapes: the next
// byte, or both bytes of a double-byte character.
std::size_t EscapedEnd(const CodePage& cp, std::string_view s, std::size_t i) {
  ++i;
  if (i + 1 < s.size() && cp.IsLeadByte(s[i])) ++i;
  return i;
}

std::string Unescape(std::string_view s) {
  const CodePage& cp = ActiveCodePage();
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (cp.IsLeadByte(s[i]) && i + 1 < s.size()) {
      out += s[i];
      out += s[++i];
    } else if (s[i] == '\\') {
      const std::size_t end = EscapedEnd(cp, s, i);
      if (end < s.size()) out.append(s.substr(i + 1, end - i));
      i = end;
    } else {
      out += s[i];
    }
  }
  return out;
}

// Index of the first byte c in s at or after `from` that is not a trail
// byte; npos when none.
std::size_t FindSyntax(std::string_view s, char c, std::size_t from = 0) {
  const CodePage& cp = ActiveCodePage();
  for (std::size_t i = from; i < s.size(); ++i) {
    if (cp.IsLeadByte(s[i])) {
      ++i;
      continue;
    }
    if (s[i] == c) return i;
  }
  return std::string_view::npos;
}

class Parser {
 public:
  Parser(CellDescriptor& cell, std::int32_t* chVars) : cell_(cell), chVars_(chVars) {}

  void Attributes(std::string_view attr, int depth);
  void Display(std::string_view text);

 private:
  void Group(std::string_view content, int depth);
  void Binding(std::string_view b);
  void ChannelVariable(std::string_view content);
  void Flag(char c, bool clear);

  CellDescriptor& cell_;
  std::int32_t* chVars_;
};

void Parser::Flag(char c, bool clear) {
  auto setLayout = [&](std::uint8_t bit) {
    cell_.layoutFlags = clear ? static_cast<std::uint8_t>(cell_.layoutFlags & ~bit)
                              : static_cast<std::uint8_t>(cell_.layoutFlags | bit);
  };
  auto setBehaviour = [&](std::uint8_t bit) {
    cell_.behaviourFlags = clear ? static_cast<std::uint8_t>(cell_.behaviourFlags & ~bit)
                                 : static_cast<std::uint8_t>(cell_.behaviourFlags | bit);
  };
  auto setH = [&](int a) {
    cell_.layoutFlags = static_cast<std::uint8_t>((cell_.layoutFlags & ~layout::kHAlignMask) | a);
  };
  auto setV = [&](int a) {
    cell_.layoutFlags = static_cast<std::uint8_t>((cell_.layoutFlags & ~layout::kVAlignMask) |
                                                  (a << layout::kVAlignShift));
  };
  auto setEdge = [&](int e) {
    cell_.behaviourFlags =
        static_cast<std::uint8_t>((cell_.behaviourFlags & ~behaviour::kEdgeMask) | (clear ? 0 : e));
  };
  switch (c) {
    case '<': setH(kAlignLeft); break;
    case '^': setH(kAlignCentre); break;
    case '>': setH(kAlignRight); break;
    case '~': setV(kAlignTop); break;
    case '-': setV(kAlignMiddle); break;
    case '_': setV(kAlignBottom); break;
    case 'W': setLayout(layout::kWiden); break;
    case 'H': setLayout(layout::kHeighten); break;
    case '+': setLayout(layout::kJoined); break;
    case 'B': setLayout(layout::kBottomRule); break;
    case 'X': setEdge(kEdgeRule); break;
    case 'Q': setEdge(kEdgeTick); break;
    case 'S': setBehaviour(behaviour::kSelectable); break;
    case 'T': setBehaviour(behaviour::kBelongsLeft); break;
    default: break;  // anything else (spaces included) is ignored
  }
}

void Parser::Attributes(std::string_view attr, int depth) {
  const CodePage& cp = ActiveCodePage();
  bool negate = false;
  for (std::size_t i = 0; i < attr.size(); ++i) {
    const char c = attr[i];
    if (cp.IsLeadByte(c)) {  // a double-byte character is never a flag
      ++i;
      negate = false;
      continue;
    }
    if (c == '\\') {
      i = EscapedEnd(cp, attr, i);
      negate = false;
      continue;
    }
    if (c == '(') {
      std::size_t j = i + 1;
      for (; j < attr.size(); ++j) {
        if (attr[j] == '\\') {
          j = EscapedEnd(cp, attr, j);
          continue;
        }
        if (cp.IsLeadByte(attr[j])) {
          ++j;
          continue;
        }
        if (attr[j] == ')') break;
      }
      const std::size_t end = j < attr.size() ? j : attr.size();
      Group(attr.substr(i + 1, end - i - 1), depth);
      i = end;
      negate = false;
      continue;
    }
    if (c == '!') {
      negate = true;
      continue;
    }
    // "!" turns only these flags off; before any other character it has no effect.
    const bool clearable = c == 'B' || c == 'H' || c == 'Q' || c == 'S' || c == 'T' || c == 'W' ||
                           c == 'X' || c == '+';
    Flag(c, negate && clearable);
    negate = false;
  }
}

void Parser::Group(std::string_view content, int depth) {
  auto afterEquals = [&]() -> std::optional<std::string_view> {
    const std::size_t eq = content.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return content.substr(eq + 1);
  };
  if (StartsWith(content, "$")) {
    if (depth >= kMaxModelDepth)
      Fatal("Cell model nesting too deep.\n'" + std::string(content.substr(1)) + "'");
    TextStore* store = ModelStore() != nullptr ? ModelStore() : &MainText();
    const std::string model = store->GetLine("CellModel_" + std::string(content.substr(1)), 0);
    Attributes(model, depth + 1);
  } else if (StartsWith(content, "Color")) {
    if (auto v = afterEquals())
      if (auto color = ParseColor(*v)) cell_.color = *color;
  } else if (StartsWith(content, "Font")) {
    if (!cell_.font) cell_.font = (cell_.base != nullptr && cell_.base->font) ? *cell_.base->font : Font{};
    if (auto v = afterEquals()) ApplyFontSpec(*v, *cell_.font);
  } else if (StartsWith(content, "%")) {
    Binding(content.substr(1));
  } else if (StartsWith(content, "@")) {
    ChannelVariable(content);
  } else if (StartsWith(content, "ImageIndex")) {
    if (auto v = afterEquals()) cell_.imageIndex = ReadInt(*v);
  } else if (StartsWith(content, "PopupMenu")) {
    if (auto v = afterEquals()) cell_.popupKey = std::string(*v);
  } else if (StartsWith(content, "Flag")) {
    if (content.size() >= 7 && content[4] >= '0' && content[4] <= '7' && content[5] == '=' &&
        (content[6] == '0' || content[6] == '1'))
      cell_.SetUserFlag(content[4] - '0', content[6] == '1');
  }
}

void Parser::ChannelVariable(std::string_view content) {
  const int n = ChannelRef(content, chVars_);
  std::size_t i = 4;
  while (i < content.size() && IsBlank(content[i])) ++i;
  std::string_view rest = content.substr(i);
  if (StartsWith(rest, "++")) {
    chVars_[n] = static_cast<std::int32_t>(static_cast<std::uint32_t>(chVars_[n]) + 1u);
  } else if (StartsWith(rest, "=")) {
    chVars_[n] = ReadInt(rest.substr(1));
  }
}

void Parser::Binding(std::string_view b) {
  // The category ends at the first "." before the label's "[" or ":" (the
  // option text may hold dots); a "." escaped by a backslash names none.
  std::size_t labelEnd = b.find_first_of("[:");
  std::string_view head = b.substr(0, labelEnd);
  const std::size_t dot = head.find('.');
  if (dot != std::string_view::npos && (dot == 0 || head[dot - 1] != '\\')) {
    cell_.category = CategoryId(std::string(b.substr(0, dot)));
    b = b.substr(dot + 1);
    labelEnd = b.find_first_of("[:");
  }
  cell_.label = LabelId(std::string(b.substr(0, labelEnd)));
  if (labelEnd == std::string_view::npos) return;
  std::size_t pos = labelEnd;
  if (b[pos] == '[') {
    const std::size_t close = b.find(']', pos + 1);
    std::string_view idx =
        b.substr(pos + 1, (close == std::string_view::npos ? b.size() : close) - pos - 1);
    if (StartsWith(idx, "@"))
      cell_.index = chVars_[ChannelRef(idx, chVars_)];
    else
      cell_.index = ReadInt(idx);
    if (close == std::string_view::npos) return;
    pos = b.find(':', close + 1);
    if (pos == std::string_view::npos) return;
  }
  cell_.option = Unescape(b.substr(pos + 1));
}

bool IsTrimmed(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u <= 0x20 || u == 0x7F;
}

void Parser::Display(std::string_view text) {
  std::size_t a = 0, e = text.size();
  while (a < e && IsTrimmed(text[a])) ++a;
  while (e > a && IsTrimmed(text[e - 1])) --e;
  if (a == e) return;  // no own text: the inherited one (if any) stays
  text = text.substr(a, e - a);
  const CodePage& cp = ActiveCodePage();
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (cp.IsLeadByte(c) && i + 1 < text.size()) {
      out += c;
      out += text[++i];
      continue;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i >= text.size()) break;  // a backslash at the very end is dropped
    const char n = text[i];
    if (n == 'N' || n == 'n') {
      out += '\n';
    } else if (n == '_') {
      out += ' ';
    } else if (n == '(') {
      std::size_t close = FindSyntax(text, ')', i + 1);
      if (close == std::string_view::npos) close = text.size();
      std::string expr;
      for (std::size_t k = i + 1; k < close; ++k)
        if (!IsBlank(text[k])) expr += text[k];
      const int var = ChannelRef(expr, chVars_);
      std::int64_t value = chVars_[var];
      std::string_view rest = std::string_view(expr).substr(4);
      if (StartsWith(rest, "+")) value += ReadInt(rest.substr(1));
      else if (StartsWith(rest, "-")) value += ReadInt(rest);
      std::string digits = std::to_string(value);
      out += digits.substr(0, 6);
      i = close;
    } else {
      out += n;
      if (cp.IsLeadByte(n) && i + 1 < text.size()) out += text[++i];  // the whole character
    }
  }
  cell_.display = std::move(out);
}

}  // namespace

TextStore* SetCellModelStore(TextStore* store) {
  TextStore* previous = ModelStore();
  ModelStore() = store;
  return previous;
}

void ResetCell(CellDescriptor& cell, const CellDescriptor* base) {
  if (base != nullptr && base != &cell) {
    std::int32_t* chVars = cell.chVars;
    cell.category = base->category;
    cell.label = base->label;
    cell.index = base->index;
    cell.option = base->option;
    cell.imageIndex = base->imageIndex;
    cell.layoutFlags = base->layoutFlags;
    cell.behaviourFlags = base->behaviourFlags;
    cell.extraFlags = base->extraFlags;
    cell.color = base->color;
    cell.display = base->display;
    cell.chVars = chVars;
  } else {
    cell.option.reset();
    cell.display.reset();
    cell.label = CL_None;
    cell.imageIndex = -1;
    cell.layoutFlags = 0;
    cell.behaviourFlags = 0;
    cell.extraFlags = 0;
    cell.color = clWindow;
  }
  cell.font.reset();
  cell.popupKey.reset();
  cell.base = base;
}

void ParseCell(CellDescriptor& cell, std::string_view text, std::int32_t* chVars,
               const CellDescriptor* base) {
  cell.chVars = chVars;
  ResetCell(cell, base);
  const CodePage& cp = ActiveCodePage();
  std::string attr, display;
  bool inAttr = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (cp.IsLeadByte(c) && i + 1 < text.size()) {
      std::string& to = inAttr ? attr : display;
      to += c;
      to += text[++i];
    } else if (c == '{') {
      inAttr = true;
    } else if (c == '}') {
      inAttr = false;
    } else {
      (inAttr ? attr : display) += c;
    }
  }
  struct ClearVars {
    CellDescriptor& c;
    ~ClearVars() { c.chVars = nullptr; }
  } clearVars{cell};
  Parser parser(cell, chVars);
  parser.Attributes(attr, 0);
  parser.Display(display);
}

RowSplit SplitRow(std::string_view row) {
  const CodePage& cp = ActiveCodePage();
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (row[i] == '\\') {
      i = EscapedEnd(cp, row, i);
      continue;
    }
    if (cp.IsLeadByte(row[i])) {
      ++i;
      continue;
    }
    if (row[i] == '|') return {row.substr(0, i), row.substr(i + 1)};
  }
  return {row, std::string_view{}};
}

const std::string* PopupMenuKeyOf(const CellDescriptor& cell) {
  for (const CellDescriptor* c = &cell; c != nullptr; c = c->base)
    if (c->popupKey && !c->popupKey->empty()) return &*c->popupKey;
  return nullptr;
}

const std::string& DisplayTextOf(const CellDescriptor& cell) {
  static const std::string empty;
  return cell.display ? *cell.display : empty;
}

}  // namespace twk
