#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <vector>

#include "data/Codecs.h"
#include "text/TextStore.h"

namespace twk::codec {
namespace {

CodecIo Typed(const std::string& text) {
  CodecIo io;
  io.inputKind = 1;
  io.inputText = text;
  io.hasGrid = true;
  return io;
}

CodecIo Key(int key) {
  CodecIo io;
  io.key = key;
  io.hasGrid = true;
  return io;
}

TEST(FrequencyCodec, CommittedTexts) {
  struct Case {
    const char* text;
    bool changed;
    const char* shown;
  } cases[] = {
      {"156.8", true, "156.80000"},   {"156.0125", true, "156.01250"},
      {"157.0375", true, "157.03750"}, {"156.013", false, "160.00000"},
      {"99", true, "100.00000"},       {"", false, "160.00000"},
      {"250", true, "199.99000"},      // snapped above the band, then clamped
  };
  for (const auto& c : cases) {
    FreqPair rec{true, 160'000'000, 161'000'000, false, false};
    CodecIo io = Typed(c.text);
    EXPECT_EQ(Frequency(io, rec, false, true), c.changed) << c.text;
    EXPECT_EQ(io.outputText, c.shown) << c.text;
    EXPECT_EQ(io.alignment, 2);
    EXPECT_EQ(rec.second, 161'000'000) << "not linked: the second stays";
  }
}

TEST(FrequencyCodec, LinkedSecondFollowsAndShowsArrow) {
  FreqPair rec{true, 156'800'000, 156'800'000, false, false};
  CodecIo io = Typed("157.0375");
  EXPECT_TRUE(Frequency(io, rec, false, true));
  EXPECT_EQ(rec.second, 157'037'500);
  CodecIo show;
  Frequency(show, rec, true, true);
  EXPECT_EQ(show.outputText, "<-");
  EXPECT_EQ(show.alignment, 0);
  // Without the linking flag the second frequency shows itself.
  CodecIo plain;
  Frequency(plain, rec, true, false);
  EXPECT_EQ(plain.outputText, "157.03750");
}

TEST(FrequencyCodec, EmptyAndKeys) {
  FreqPair rec{true, 156'800'000, 0, false, true};
  CodecIo io;
  Frequency(io, rec, true, true);
  EXPECT_EQ(io.outputText, "");  // empty mark
  CodecIo typed = Typed("156.05");
  EXPECT_TRUE(Frequency(typed, rec, true, true));
  EXPECT_FALSE(rec.secondEmpty);
  EXPECT_EQ(rec.second, 156'050'000);

  CodecIo dot = Key('.');
  Frequency(dot, rec, false, true);
  EXPECT_EQ(dot.request, kOpenEditor);
  EXPECT_EQ(dot.outputText, "156.80000");
  EXPECT_EQ(dot.selStart, 4);
  CodecIo eq = Key('=');
  Frequency(eq, rec, true, true);
  EXPECT_EQ(eq.outputText, "156.80000");
  CodecIo digit = Key('7');
  Frequency(digit, rec, false, true);
  EXPECT_EQ(digit.outputText, "7");
  EXPECT_EQ(digit.selStart, 1);
  FreqPair unloaded;
  CodecIo enter = Key(kKeyEnter);
  Frequency(enter, unloaded, false, true);
  EXPECT_EQ(enter.request, kOpenEditor);
  EXPECT_EQ(enter.outputText, "");
}

TEST(ScaledCodec, InputsKeysAndOutput) {
  struct Case {
    const char* text;
    int before, after;
    bool changed;
  } cases[] = {
      {"0.1", 50, 100, true}, {"of", 50, 0, true},  {"OFF", 50, 0, true},
      {"9", 50, 200, true},   {"x", 50, 50, false}, {".", 50, 50, false},
      {"0.0305", 50, 31, true},
  };
  for (const auto& c : cases) {
    int v = c.before;
    CodecIo io = Typed(c.text);
    EXPECT_EQ(Scaled(io, v, 1000, 30, 200, 0, 0), c.changed) << c.text;
    EXPECT_EQ(v, c.after) << c.text;
  }
  int v = 100;
  CodecIo show;
  Scaled(show, v, 1000, 30, 200, 0, 0);
  EXPECT_EQ(show.outputText, "  0.100");
  v = 200;
  CodecIo up = Key(kKeySpace);
  EXPECT_TRUE(Scaled(up, v, 1000, 30, 200, 0, 0));
  EXPECT_EQ(v, 30);  // wraps
  CodecIo enter = Key(kKeyEnter);
  Scaled(enter, v, 1000, 30, 200, 0, 0);
  EXPECT_EQ(enter.outputText, "0.030");
  EXPECT_EQ(enter.request, kOpenEditor);
}

TEST(ScaledCodec, OffTextForZero) {
  TextStore store;
  store.SetLines({"#GI_AppInd_TimerOff", "OFF", "#", "#End_Of_Ovl"});
  auto previous = SetTextStores(&store, nullptr);
  int v = 0;
  CodecIo io;
  Scaled(io, v, 1, 0, 10, 1, 0);
  EXPECT_EQ(io.outputText, "OFF");
  CodecIo withKey = Key(kKeyEnter);
  Scaled(withKey, v, 1, 0, 10, 1, 0);
  EXPECT_EQ(withKey.outputText, "0.000");
  SetTextStores(previous.first, previous.second);
}

TEST(IntegerCodec, KeysWrapAndInputs) {
  struct Case {
    CodecIo io;
    int before, after;
    bool changed;
  } cases[] = {
      {Key(kKeyBackspace), 0, 600, true},
      {Key(kKeySpace), 600, 0, true},
      {Key(kKeySpace), 5, 6, true},
      {Typed("12.5"), 0, 13, true},
      {Typed("999"), 0, 600, true},
      {Typed("-4"), 7, 0, true},
      {Typed(""), 7, 7, false},
      {Typed("-"), 7, 7, false},
  };
  for (auto& c : cases) {
    int v = c.before;
    EXPECT_EQ(Integer(c.io, v, 0, 600, 0, 1, nullptr, false), c.changed) << c.io.inputText;
    EXPECT_EQ(v, c.after) << c.io.inputText << " key " << c.io.key;
  }
}

TEST(IntegerCodec, OffsetStepClampAndEditor) {
  int v = 3;
  CodecIo show;
  Integer(show, v, 0, 10, 1, 1, nullptr, false);
  EXPECT_EQ(show.outputText, "4");
  CodecIo typed = Typed("14");
  Integer(typed, v, 0, 100, 1, 5, nullptr, false);
  EXPECT_EQ(v, 15);  // 13 rounds to the nearest multiple of 5
  v = 300;
  CodecIo clamp;
  EXPECT_TRUE(Integer(clamp, v, 0, 255, 0, 1, nullptr, true));
  EXPECT_EQ(v, 255);
  CodecIo fixed;
  Integer(fixed, v, 0, 255, 0, 1, "---", false);
  EXPECT_EQ(fixed.outputText, "---");
  CodecIo digit = Key('4');
  Integer(digit, v, 0, 255, 0, 1, nullptr, false);
  EXPECT_EQ(digit.request, kOpenEditor);
  EXPECT_EQ(digit.outputText, "4");
  CodecIo minus = Key('-');
  Integer(minus, v, 0, 255, 0, 1, nullptr, false);
  EXPECT_EQ(minus.request, kNoRequest);  // '-' only with a negative minimum
  CodecIo enter = Key(kKeyEnter);
  Integer(enter, v, 0, 255, 0, 1, nullptr, false);
  EXPECT_EQ(enter.request, kOpenEditor);
  EXPECT_EQ(enter.outputText, "255");
  EXPECT_EQ(enter.selLength, 3);
  CodecIo noGrid;
  noGrid.key = kKeySpace;
  EXPECT_FALSE(Integer(noGrid, v, 0, 255, 0, 1, nullptr, false));
}

TEST(DigitsCodec, CommitAndShow) {
  using Field = std::array<std::uint8_t, 5>;
  struct Case {
    const char* text;
    Field field;
  } cases[] = {
      {"123456789", {12, 34, 56, 78, 90}},
      {"12345678", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},     // 8 digits for 9: empty
      {"1234567890", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"12-345 678.9", {12, 34, 56, 78, 90}},
  };
  for (const auto& c : cases) {
    Field f{1, 2, 3, 4, 5};
    CodecIo io = Typed(c.text);
    EXPECT_TRUE(Digits(io, f.data(), 9));
    EXPECT_EQ(f, c.field) << c.text;
  }
  Field f{12, 34, 56, 78, 90};
  CodecIo show;
  Digits(show, f.data(), 9);
  EXPECT_EQ(show.outputText, "123456789");
  Field empty{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  CodecIo none;
  Digits(none, empty.data(), 9);
  EXPECT_EQ(none.outputText, "");
  CodecIo space = Key(kKeySpace);
  Digits(space, f.data(), 9);
  EXPECT_EQ(space.request, kOpenEditor);
  EXPECT_EQ(space.outputText, "123456789");
  CodecIo dot = Key('.');
  Digits(dot, f.data(), 9);
  EXPECT_EQ(dot.outputText, ".");
}

TEST(TextCodec, CommitPadsAndCleansUnprintables) {
  char field[6] = {'a', '\x01', 'b', ' ', ' ', 0};
  CodecIo show;
  EXPECT_FALSE(Text(show, field, 5));
  EXPECT_STREQ(field, "a b  ");
  EXPECT_EQ(show.outputText, "a b");
  CodecIo typed = Typed("HELLO WORLD");
  EXPECT_TRUE(Text(typed, field, 5));
  EXPECT_STREQ(field, "HELLO");
  CodecIo shorter = Typed("AB");
  Text(shorter, field, 5);
  EXPECT_STREQ(field, "AB   ");
  CodecIo key = Key('x');
  Text(key, field, 5);
  EXPECT_EQ(key.outputText, "x");
  EXPECT_EQ(key.selStart, 1);
  CodecIo back = Key(kKeyBackspace);
  Text(back, field, 5);
  EXPECT_EQ(back.outputText, "AB");
  EXPECT_EQ(back.selLength, 2);
}

TEST(NameRules, CleaningAndShortNames) {
  char name[11] = "a#s\xE9" "e xZ.q";
  CleanNameField(name, 10);
  EXPECT_STREQ(name, "a S e XZ.q");
  char shortName[4] = "ab1";
  ShortNameField(shortName);
  EXPECT_STREQ(shortName, "ab ");
}

TEST(HexByteCodec, InputsAndColour) {
  struct Case {
    int kind;
    const char* text;
    int after;
    bool changed;
  } cases[] = {
      {1, "7f", 0x7F, true}, {1, "a", 0x0A, true}, {1, "zz", 0x10, false},
      {1, "123", 0x12, true}, {2, "3145728", 12, true},  // 12 << 18
  };
  for (const auto& c : cases) {
    int v = 0x10;
    CodecIo io;
    io.inputKind = c.kind;
    io.inputText = c.text;
    EXPECT_EQ(HexByte(io, v, 0x10), c.changed) << c.text;
    EXPECT_EQ(v, c.after) << c.text;
  }
  int v = 5;
  CodecIo same;
  HexByte(same, v, 5);
  EXPECT_EQ(same.outputText, "05");
  EXPECT_FALSE(same.hasTextColor);
  CodecIo differs;
  HexByte(differs, v, 6);
  EXPECT_TRUE(differs.hasTextColor);
  EXPECT_EQ(differs.textColor, 0x0000FFu);
  CodecIo enter = Key(kKeyEnter);
  HexByte(enter, v, 5);
  EXPECT_EQ(enter.request, kPopupOpened);
  EXPECT_EQ(enter.popup, PopupKind::BitField);
  EXPECT_EQ(enter.popupValue, 5 << 18);
}

// A list of values in list order, with the cell index's stepping rule.
class FakeLists : public SelectionLists {
 public:
  std::map<int, std::string> texts;
  std::vector<int> order;
  std::string TextOf(const std::string&, int, int value) override {
    auto it = texts.find(value);
    return it == texts.end() ? "error" : it->second;
  }
  bool Step(const std::string&, int, int current, int delta, int& result) override {
    const int n = static_cast<int>(order.size());
    int i = n + 1;
    for (int k = 0; k < n; ++k) {
      if (order[static_cast<size_t>(k)] == current) { i = k; break; }
    }
    int t = i + delta;
    if (t >= n) t = 0;
    if (t < 0) t = n - 1;
    result = order[static_cast<size_t>(t)];
    return true;
  }
};

TEST(SelectionCodec, StepsShowsAndTakesChoices) {
  FakeLists lists;
  lists.texts = {{0, "Off"}, {1, "On"}};
  lists.order = {0, 1};
  SelectionLists* prev = SetSelectionLists(&lists);
  int v = 0;
  CodecIo space = Key(kKeySpace);
  EXPECT_TRUE(Selection(space, "GI_Sheet_Sel_Misc_OnOff", 1, v));
  EXPECT_EQ(v, 1);
  EXPECT_EQ(space.outputText, "On");
  CodecIo show;
  EXPECT_FALSE(Selection(show, "K", 1, v));
  EXPECT_EQ(show.outputText, "On");
  CodecIo enter = Key(kKeyEnter);
  Selection(enter, "K", 1, v);
  EXPECT_EQ(enter.request, kPopupOpened);
  EXPECT_EQ(enter.popupList, "K");
  EXPECT_EQ(enter.popupValue, 1);
  CodecIo chosen;
  chosen.hasParent = true;
  chosen.parentLabel = 1;
  chosen.parentIndex = 0;
  chosen.inputKind = 2;
  EXPECT_TRUE(Selection(chosen, "K", 1, v));
  EXPECT_EQ(v, 0);
  EXPECT_EQ(chosen.outputText, "");
  chosen.parentLabel = 2;  // not a list cell
  EXPECT_FALSE(Selection(chosen, "K", 1, v));
  SetSelectionLists(prev);
}

TEST(SelectionCodec, ListsFromTheMainStore) {
  TextStore store;
  store.SetLines({"#GI_Sheet_Sel_T_Cells", "{(%Flex0[0])}Off", "{(%Flex0[1])}On", "#",
                  "#End_Of_Ovl"});
  auto previous = SetTextStores(&store, nullptr);
  ResetSelectionLists();
  struct Case {
    int key, before, after;
    const char* shown;
  } cases[] = {
      {kKeySpace, 0, 1, "On"},     {kKeySpace, 1, 0, "Off"},  // wraps round
      {kKeyBackspace, 0, 1, "On"}, {kKeySpace, 5, 0, "Off"},  // not in the list: the first
      {0, 5, 5, "error"},
  };
  for (const auto& c : cases) {
    int v = c.before;
    CodecIo io = Key(c.key);
    Selection(io, "GI_Sheet_Sel_T", 1, v);
    EXPECT_EQ(v, c.after) << c.before;
    EXPECT_EQ(io.outputText, c.shown) << c.before;
  }
  ResetSelectionLists();
  SetTextStores(previous.first, previous.second);
}

TEST(AttributeMenuCodec, MarksAndChoices) {
  int marks = 3;
  CodecIo show;
  EXPECT_EQ(AttributeMenu(show, "L", marks, false), 0);
  EXPECT_EQ(show.outputText, "PC");
  struct Case {
    int index, result, marksAfter;
  } cases[] = {{1, 1, 1}, {2, 1, 2}, {4, 2, 0}, {5, 3, 0}, {3, 0, 0}};
  for (const auto& c : cases) {
    int m = 0;
    CodecIo io;
    io.hasParent = true;
    io.parentLabel = 1;
    io.parentIndex = c.index;
    io.inputKind = 2;
    EXPECT_EQ(AttributeMenu(io, "L", m, false), c.result) << c.index;
    EXPECT_EQ(m, c.marksAfter) << c.index;
  }
  CodecIo space = Key(kKeySpace);
  EXPECT_EQ(AttributeMenu(space, "L", marks, false), 2);
  CodecIo spaceUsed = Key(kKeySpace);
  EXPECT_EQ(AttributeMenu(spaceUsed, "L", marks, true), 0);
}

}  // namespace
}  // namespace twk::codec
