#include "data/Codecs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "data/NameChars.h"
#include "text/CellIndex.h"
#include "text/TextStore.h"

namespace twk::codec {

std::string KeepOnly(std::string_view text, std::string_view extra) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const bool digit = ch >= '0' && ch <= '9';
    if (digit || extra.find(ch) != std::string_view::npos) out.push_back(ch);
  }
  return out;
}

void ApplyShortNameRule(char* field3) {
  for (int i = 0; i < 3; ++i) {
    const std::string_view set = i < 2 ? kShortNameChars12 : kShortNameChars3;
    const char ch = field3[i];
    if (set.find(ch) != std::string_view::npos) continue;
    char other = ch;
    if (ch >= 'a' && ch <= 'z') other = static_cast<char>(ch - 'a' + 'A');
    else if (ch >= 'A' && ch <= 'Z') other = static_cast<char>(ch - 'A' + 'a');
    const bool letter = other != ch;
    field3[i] = letter && set.find(other) != std::string_view::npos ? other : ' ';
  }
}

std::int64_t SnapToChannelGrid(std::int64_t f) {
  if (f <= 0) return -1;
  std::int64_t p = 1;
  for (std::int64_t d = 10; d <= 100'000; d *= 10) {
    if (f % d == 0) p = d;
  }
  const std::int64_t last = f + p - 1;
  for (std::int64_t c = f / 100'000 * 100'000; c <= last; c += 1'250) {
    if (c >= f && c % 6'250 == 0) return c;
  }
  return -1;
}

std::int64_t ParseFrequencyText(std::string_view input) {
  std::string text = KeepOnly(input, ".");
  if (text.size() > 10) text.resize(10);
  if (text.empty()) return -1;
  const double mhz = std::strtod(text.c_str(), nullptr);
  double f = mhz * 1'000'000.0 + 0.5;
  f = std::clamp(f, static_cast<double>(kFreqMin) + 0.5, static_cast<double>(kFreqMax) + 0.5);
  const std::int64_t snapped = SnapToChannelGrid(static_cast<std::int64_t>(f));
  return snapped > 0 ? snapped : -1;
}

std::string FormatFrequency(std::int64_t hz) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d.%05d", static_cast<int>(hz / 1'000'000),
                static_cast<int>((hz % 1'000'000) / 10));
  return buf;
}

std::int64_t RoundHalfAway(double x) {
  return static_cast<std::int64_t>(x < 0 ? std::ceil(x - 0.5) : std::floor(x + 0.5));
}

bool ParseIntegerText(std::string_view input, std::int64_t& number) {
  std::string text = KeepOnly(input, ".-");
  if (text.size() > 9) text.resize(9);
  if (text.empty()) return false;
  char* end = nullptr;
  const double d = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return false;  // "-" or "." alone: nothing numeric
  number = RoundHalfAway(d);
  return true;
}

std::string FormatScaled(int v, int scale, int drop) {
  if (scale <= 0) scale = 1;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%3d.%03d", v / scale,
                static_cast<int>((static_cast<std::int64_t>(v) * 1000 / scale) % 1000));
  std::string s = buf;
  for (int i = 0; i < drop && !s.empty(); ++i) {
    const char last = s.back();
    if (last != '0' && last != '.') break;
    s.pop_back();
    if (last == '.') break;
  }
  return s;
}

std::string FormatHexByte(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(v));
  std::string s = buf;
  if (s.size() == 1) s.insert(s.begin(), '0');
  return s;
}

// ---- the codecs ------------------------------------------------------------

namespace {

bool IsDigit(int key) { return key >= '0' && key <= '9'; }

// The editor opened with one typed character, caret after it.
void OpenWithChar(CodecIo& io, int key) {
  io.outputText = std::string(1, static_cast<char>(key));
  io.selStart = 1;
  io.selLength = 0;
  io.request = kOpenEditor;
}

// The editor opened with a text, all of it selected.
void OpenWithText(CodecIo& io, std::string text) {
  io.outputText = std::move(text);
  io.selStart = 0;
  io.selLength = static_cast<int>(io.outputText.size());
  io.request = kOpenEditor;
}

std::string TrimBoth(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

std::string TrimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

void OpenPopup(CodecIo& io, PopupKind kind, std::string list, int value) {
  io.popup = kind;
  io.popupList = std::move(list);
  io.popupValue = value;
  io.request = kPopupOpened;
}

// The lists of the main text store through a cell index, rebuilt when
// another main store is installed.
class MainStoreLists : public SelectionLists {
 public:
  std::string TextOf(const std::string& listKey, int listNo, int value) override {
    return Index().TextOf(listKey, listNo, value);
  }
  bool Step(const std::string& listKey, int listNo, int current, int delta, int& result) override {
    const auto v = Index().Step(listKey, listNo, current, delta);
    if (!v) return false;
    result = *v;
    return true;
  }
  void Reset() { index_.reset(); }

 private:
  CellIndex& Index() {
    TextStore* store = &MainText();
    if (!index_ || store != store_) {
      index_ = std::make_unique<CellIndex>(store);
      store_ = store;
    }
    return *index_;
  }
  std::unique_ptr<CellIndex> index_;
  TextStore* store_ = nullptr;
};
MainStoreLists g_mainLists;
SelectionLists* g_lists = nullptr;

}  // namespace

SelectionLists& DefaultSelectionLists() { return g_lists ? *g_lists : g_mainLists; }

void ResetSelectionLists() { g_mainLists.Reset(); }

SelectionLists* SetSelectionLists(SelectionLists* lists) {
  SelectionLists* old = g_lists;
  g_lists = lists;
  return old;
}

bool Selection(CodecIo& io, const std::string& listKey, int listNo, int& value) {
  if (io.hasParent) {
    if (io.parentLabel == listNo && io.inputKind == 2) {
      value = io.parentIndex;
      return true;
    }
    return false;
  }
  SelectionLists& lists = DefaultSelectionLists();
  bool changed = false;
  // The text first: it loads the list, which stepping needs.
  io.outputText = lists.TextOf(listKey, listNo, value);
  if (io.hasGrid && (io.key == kKeySpace || io.key == kKeyBackspace)) {
    int next = value;
    if (lists.Step(listKey, listNo, value, io.key == kKeySpace ? 1 : -1, next)) {
      value = next;
      changed = true;
      io.outputText = lists.TextOf(listKey, listNo, value);
    }
  }
  if (io.hasGrid && io.key == kKeyEnter) OpenPopup(io, PopupKind::SelectionList, listKey, value);
  return changed;
}

int AttributeMenu(CodecIo& io, const std::string& listKey, int& markBits, bool usedView) {
  int result = 0;
  if (io.hasParent) {
    if (io.parentLabel == 1 && io.inputKind == 2) {
      switch (io.parentIndex) {
        case 1: markBits |= 1; result = 1; break;
        case 2: markBits |= 2; result = 1; break;
        case 4: result = 2; break;
        case 5: result = 3; break;
        default: break;
      }
    }
  } else if (io.hasGrid) {
    if (io.key == kKeyEnter) OpenPopup(io, PopupKind::SelectionList, listKey, markBits);
    else if ((io.key == kKeySpace || io.key == kKeyBackspace) && !usedView) result = 2;
  }
  io.outputText.clear();
  if (markBits & 1) io.outputText += "P";
  if (markBits & 2) io.outputText += "C";
  return result;
}

bool Digits(CodecIo& io, std::uint8_t* field, int count) {
  const int bytes = (count + 1) / 2;
  bool changed = false;
  if (io.inputKind == 1) {
    const std::string digits = KeepOnly(io.inputText, "");
    std::fill(field, field + bytes, std::uint8_t{0});
    if (static_cast<int>(digits.size()) == count) {
      for (int i = 0; i < count; ++i) {
        const int d = digits[static_cast<size_t>(i)] - '0';
        field[i / 2] = static_cast<std::uint8_t>(field[i / 2] + (i % 2 == 0 ? d * 10 : d));
      }
    } else {
      std::fill(field, field + bytes, std::uint8_t{0xFF});
    }
    changed = true;
  }
  std::string text;
  if (std::all_of(field, field + bytes, [](std::uint8_t b) { return b <= 99; })) {
    for (int i = 0; i < count; ++i) {
      const int b = field[i / 2];
      text.push_back(static_cast<char>('0' + std::min(i % 2 == 0 ? b / 10 : b % 10, 9)));
    }
  }
  io.outputText = text;
  io.selStart = 0;
  io.selLength = static_cast<int>(text.size());
  if (io.hasGrid) {
    int key = io.key;
    if (key == kKeySpace || key == kKeyBackspace) key = kKeyEnter;
    if (key == kKeyEnter) OpenWithText(io, TrimBoth(text));
    else if (IsDigit(key) || key == '.') OpenWithChar(io, key);
  }
  return changed;
}

bool Text(CodecIo& io, char* field, int length) {
  bool changed = false;
  if (io.inputKind == 1 || io.inputKind == 2) {
    for (int i = 0; i < length; ++i) {
      field[i] = i < static_cast<int>(io.inputText.size()) ? io.inputText[static_cast<size_t>(i)] : ' ';
    }
    changed = true;
  }
  for (int i = 0; i < length; ++i) {
    if (!IsPrintable(static_cast<unsigned char>(field[i]))) field[i] = ' ';
  }
  io.outputText = TrimRight(std::string(field, static_cast<size_t>(length)));
  io.selStart = 0;
  io.selLength = static_cast<int>(io.outputText.size());
  if (io.hasGrid) {
    int key = io.key;
    if (key == kKeySpace || key == kKeyBackspace) key = kKeyEnter;
    if (key == kKeyEnter) OpenWithText(io, io.outputText);
    else if (key > 0 && key < 256 && IsPrintable(static_cast<unsigned char>(key))) OpenWithChar(io, key);
  }
  return changed;
}

bool Integer(CodecIo& io, int& value, int lo, int hi, int offset, int step,
             const char* fixedText, bool clamp) {
  if (step <= 0) step = 1;
  bool changed = false;
  std::int64_t v = value;
  if (io.inputKind == 1) {
    std::int64_t parsed = 0;
    if (ParseIntegerText(io.inputText, parsed)) {
      v = parsed - offset;
      if (step != 1) v = RoundHalfAway(static_cast<double>(v) / step) * step;
      v = std::clamp<std::int64_t>(v, lo, hi);
      changed = true;
    }
  }
  if (clamp) {
    const std::int64_t c = std::clamp<std::int64_t>(v, lo, hi);
    if (c != v) changed = true;
    v = c;
  }
  bool editor = false;
  if (io.hasGrid) {
    if (io.key == kKeySpace || io.key == kKeyBackspace) {
      v += io.key == kKeySpace ? step : -step;
      if (v < lo) v = hi;
      else if (v > hi) v = lo;
      v = v / step * step;
      changed = true;
    } else if (IsDigit(io.key) || (io.key == '-' && lo < 0)) {
      OpenWithChar(io, io.key);
      editor = true;
    }
  }
  value = static_cast<int>(v);
  if (!editor) {
    io.outputText = fixedText ? std::string(fixedText) : std::to_string(v + offset);
    io.selStart = 0;
    io.selLength = static_cast<int>(io.outputText.size());
    if (io.hasGrid && io.key == kKeyEnter) io.request = kOpenEditor;
  }
  return changed;
}

bool Scaled(CodecIo& io, int& value, int scale, int lo, int hi, int offText, int drop) {
  if (scale <= 0) scale = 1;
  bool changed = false;
  if (io.inputKind == 1) {
    std::string number = KeepOnly(io.inputText, ".");
    if (number.size() > 9) number.resize(9);
    const std::string word = KeepOnly(io.inputText, "ofOF");
    char* end = nullptr;
    const double d = std::strtod(number.c_str(), &end);
    if (!number.empty() && end != number.c_str()) {
      const std::int64_t v = static_cast<std::int64_t>((d + 0.0005) * scale);
      value = static_cast<int>(std::clamp<std::int64_t>(v, lo, hi));
      changed = true;
    }
    if (word.size() >= 2 && (word[0] == 'o' || word[0] == 'O') && (word[1] == 'f' || word[1] == 'F')) {
      value = 0;
      changed = true;
    }
  }
  bool editor = false;
  if (io.hasGrid) {
    if (io.key == kKeySpace || io.key == kKeyBackspace) {
      value += io.key == kKeySpace ? 1 : -1;
      if (value < lo) value = hi;
      else if (value > hi) value = lo;
      changed = true;
    } else if (IsDigit(io.key) || io.key == '.' || io.key == 'O' || io.key == 'o') {
      OpenWithChar(io, io.key);
      editor = true;
    }
  }
  if (!editor) {
    if (io.key != 0 || offText != 1 || value != 0) {
      io.outputText = FormatScaled(value, scale, drop);
    } else {
      io.outputText = MainText().GetFirstLine("GI_AppInd_TimerOff");
    }
    if (io.hasGrid && io.key == kKeyEnter) OpenWithText(io, TrimBoth(io.outputText));
  }
  return changed;
}

bool Frequency(CodecIo& io, FreqPair& rec, bool second, bool linking) {
  const bool linked = linking && rec.loaded && !rec.firstEmpty && !rec.secondEmpty &&
                      rec.first == rec.second;
  std::int64_t value = second ? rec.second : rec.first;
  bool empty = second ? rec.secondEmpty : rec.firstEmpty;
  bool changed = false;
  if (io.inputKind == 1) {
    const std::int64_t f = ParseFrequencyText(io.inputText);
    if (f > 0) {
      value = f;
      empty = false;
      changed = true;
    }
  }
  value = std::clamp(value, kFreqMin, kFreqMax);
  io.alignment = 2;
  const std::string current = empty ? std::string() : FormatFrequency(value);
  io.outputText = current;
  if (io.hasGrid) {
    if (io.key == '.') {
      io.outputText = current;
      const auto dot = current.find('.');
      io.selStart = static_cast<int>(dot == std::string::npos ? current.size() : dot + 1);
      io.selLength = 0;
      io.request = kOpenEditor;
    } else if (io.key == '=' && second) {
      const std::string first = rec.firstEmpty ? std::string() : FormatFrequency(std::clamp(rec.first, kFreqMin, kFreqMax));
      io.outputText = first;
      io.selStart = static_cast<int>(first.size());
      io.selLength = 0;
      io.request = kOpenEditor;
    } else if (IsDigit(io.key) || io.key == kKeySpace) {
      OpenWithChar(io, io.key);
    } else if (io.key == kKeyEnter) {
      OpenWithText(io, rec.loaded ? current : std::string());
    }
  }
  if (second) {
    rec.second = value;
    rec.secondEmpty = empty;
  } else {
    rec.first = value;
    rec.firstEmpty = empty;
    if (linked && changed) {
      rec.second = value;
      rec.secondEmpty = empty;
    }
  }
  if (io.request != kOpenEditor) {
    if (!rec.loaded || empty) {
      io.outputText.clear();
    } else if (second && linked) {
      io.outputText = "<-";
      io.alignment = 0;
    }
  }
  return changed;
}

bool HexByte(CodecIo& io, int& value, int compare) {
  bool changed = false;
  if (io.inputKind == 2) {
    value = std::atoi(io.inputText.c_str()) >> 18;
    changed = true;
  } else if (io.inputKind == 1) {
    std::string hex = KeepOnly(io.inputText, kHexLetters);
    for (char& ch : hex) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (!hex.empty()) {
      if (hex.size() > 2) hex.resize(2);
      value = static_cast<int>(std::strtol(hex.c_str(), nullptr, 16));
      changed = true;
    }
  }
  io.outputText = FormatHexByte(value);
  io.selStart = 0;
  io.selLength = static_cast<int>(io.outputText.size());
  if (value != compare) {
    io.hasTextColor = true;
    io.textColor = 0x0000FF;
  }
  if (io.hasGrid) {
    const bool hexDigit = IsDigit(io.key) || (io.key > 0 && io.key < 256 &&
                          kHexLetters.find(static_cast<char>(io.key)) != std::string_view::npos);
    if (io.key == kKeyEnter) OpenPopup(io, PopupKind::BitField, {}, value << 18);
    else if (hexDigit) OpenWithChar(io, io.key);
  }
  return changed;
}

void CleanNameField(char* field, int length) { CleanNameChars(field, length); }

void ShortNameField(char* field3) { ApplyShortNameRule(field3); }

std::vector<KeyUse> CodecKeys() { return {{"GI_AppInd_TimerOff", ResourceFile::Main, 1}}; }

}  // namespace twk::codec
