// The cell markup: row splitting, the grammar of attributes, bindings,
// channel variables and display escapes, base-cell inheritance and the
// fatal stops.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "sheet/CellMarkup.h"
#include "text/TextStore.h"

namespace twk {
namespace {

using test::FatalCatcher;
using test::FatalTextOf;

// Cell models the texts below refer to.
class ModelStore {
 public:
  ModelStore() {
    store_.SetLines({"#CellModel_Sel", "S>(Color=clRed)", "#CellModel_Outer", "($Sel)W",
                     "#CellModel_Loop", "($Loop)", "#End_Of_Ovl"});
    previous_ = SetCellModelStore(&store_);
  }
  ~ModelStore() { SetCellModelStore(previous_); }

 private:
  TextStore store_;
  TextStore* previous_;
};

std::vector<std::string> SplitAll(std::string_view row) {
  std::vector<std::string> cells;
  do {
    RowSplit s = SplitRow(row);
    cells.emplace_back(s.cell);
    row = s.rest;
  } while (!row.empty());
  return cells;
}

TEST(SplitRow, CellsAtUnescapedBars) {
  struct Case {
    const char* row;
    std::vector<std::string> cells;
  };
  const Case cases[] = {
      {"|A|B|", {"", "A", "B"}},      // a leading bar makes an empty cell, a trailing one none
      {"A", {"A"}},                   // no bar: one cell
      {"A\\|B|C", {"A\\|B", "C"}},    // an escaped bar stays, backslash kept
      {"{(%CL_Null)}x|\\\\|y", {"{(%CL_Null)}x", "\\\\", "y"}},  // escaped backslash, then a bar
      {"", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitAll(c.row), c.cells) << c.row;
  RowSplit s = SplitRow("A");
  EXPECT_EQ(s.cell, "A");
  EXPECT_TRUE(s.rest.empty());
}

// The full descriptor a cell text gives (parsed without base cell).
struct Expect {
  int category = CT_None;
  int label = CL_None;
  std::int32_t index = 0;
  std::optional<std::string> option = std::nullopt;
  std::optional<std::string> display = std::nullopt;
  std::uint8_t layout = 0, behaviour = 0, extra = 0;
  Color color = clWindow;
  std::int32_t image = -1;
  std::optional<std::string> popup = std::nullopt;
  std::int32_t ch0After = 4;
};

struct MarkupCase {
  const char* text;
  Expect e;
};

TEST(ParseCell, GrammarTable) {
  FatalCatcher fatal;
  ModelStore models;
  using S = std::string;
  const MarkupCase cases[] = {
      {"", {}},
      {"  Hello \t", {.display = S("Hello")}},
      {"   ", {}},                                     // only spaces: no display text
      {"\\_", {.display = S(" ")}},                     // an escaped underscore keeps one space
      {"A\\NB\\nC", {.display = S("A\nB\nC")}},
      {"a\\|b\\", {.display = S("a|b")}},             // escaped bar; final backslash dropped
      {"  Ch \\(@ch0+1)  ", {.display = S("Ch 5")}},  // variable 0 holds 4
      {"\\( @ch0 + -6 )", {.display = S("-2")}},
      {"\\(@ch0+1234567)", {.display = S("123457")}},  // "1234571" cut to 6 characters
      {"{(@ch0=7)}\\(@ch0)", {.display = S("7"), .ch0After = 7}},  // attributes come first
      {"{(@ch0 ++)}", {.ch0After = 5}},
      {"{(@ch0 = -12)}", {.ch0After = -12}},
      {"{(@ch0 x)}", {}},                                // anything else changes nothing
      {"{<~}", {}},
      {"{^-}", {.layout = 0x05}},
      {"{>_}", {.layout = 0x0A}},
      {"{WH+B}", {.layout = 0xF0}},
      {"{W!W H!H}", {}},
      {"{X}", {.behaviour = 0x01}},
      {"{XQ}", {.behaviour = 0x02}},                    // the later mark wins
      {"{QX}", {.behaviour = 0x01}},
      {"{X!Q}", {}},                                    // cleared: no mark
      {"{ST}", {.behaviour = 0x0C}},
      {"{S!S}", {}},
      {"{!>}", {.layout = 0x02}},                       // "!" only clears the listed flags
      {"{\\SZ}", {}},                                   // escaped and unknown characters
      {"{S}Te{>}xt", {.display = S("Text"), .layout = 0x02, .behaviour = 0x04}},
      {"{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}",
       {.category = CT_PopupMenu, .label = CL_PMenu_Edit, .option = S("Enter")}},
      {"{(%CT_PopupMenu.)}", {.category = CT_PopupMenu}},
      {"{(%CT_Null.CL_Misc_QuarterPillar)}", {.category = CT_Null, .label = CL_Misc_QuarterPillar}},
      {"{(%CL_Null)}", {.label = 0}},
      {"{(%)}", {}},
      {"{(%.CL_Dummy)}", {.label = CL_Dummy}},
      {"{(%CT_IntCh.CL_ChList_No[12])}", {.category = CT_IntCh, .label = CL_ChList_No, .index = 12}},
      {"{(%CT_IntCh.CL_ChList_No[@ch0]:x)}",
       {.category = CT_IntCh, .label = CL_ChList_No, .index = 4, .option = S("x")}},
      {"{(%CL_Model[-3])}", {.label = CL_Model, .index = -3}},
      {"{(%CallSheet:GI_Sheet_A.b\\:c\\\\d)}", {.label = CallSheet, .option = S("GI_Sheet_A.b:c\\d")}},
      {"{(Color=clGray)}", {.color = 0x00808080}},
      {"{(Color=clgray)}", {}},                         // names are case-sensitive
      {"{(Color=clBtnFace)}", {.color = 0x8000000F}},
      {"{(ImageIndex=5)}", {.image = 5}},
      {"{(PopupMenu=GI_PMenu_Ch)}", {.popup = S("GI_PMenu_Ch")}},
      {"{(Flag0=1)(Flag3=1)(Flag5=1)(Flag7=1)}", {.behaviour = 0x90, .extra = 0x0A}},
      {"{(Flag0=1)(Flag0=0)(Flag8=1)(Flag2=x)(Flag1)}", {}},
      {"{($Sel)}", {.layout = 0x02, .behaviour = 0x04, .color = 0x000000FF}},
      {"{($Outer)}", {.layout = 0x12, .behaviour = 0x04, .color = 0x000000FF}},
      {"{(Unknown=1)(ColorX)(%CT_WxCh.CL_WX_ChAtr)}", {.category = CT_WxCh, .label = CL_WX_ChAtr}},
  };
  for (const MarkupCase& c : cases) {
    SCOPED_TRACE(c.text);
    ChannelVariables vars = {4};
    CellDescriptor d;
    ParseCell(d, c.text, vars, nullptr);
    EXPECT_EQ(d.category, c.e.category);
    EXPECT_EQ(d.label, c.e.label);
    EXPECT_EQ(d.index, c.e.index);
    EXPECT_EQ(d.option, c.e.option);
    EXPECT_EQ(d.display, c.e.display);
    EXPECT_EQ(d.layoutFlags, c.e.layout);
    EXPECT_EQ(d.behaviourFlags, c.e.behaviour);
    EXPECT_EQ(d.extraFlags, c.e.extra);
    EXPECT_EQ(d.color, c.e.color);
    EXPECT_EQ(d.imageIndex, c.e.image);
    EXPECT_EQ(d.popupKey, c.e.popup);
    EXPECT_EQ(vars[0], c.e.ch0After);
    EXPECT_EQ(d.chVars, nullptr);  // only set while parsing
  }
  EXPECT_TRUE(fatal.texts.empty());
}

TEST(ParseCell, FatalStops) {
  ModelStore models;
  struct Case {
    const char* text;
    bool withVars;
    const char* stop;
  };
  const Case cases[] = {
      {"{(@c0=1)}", true, "Ch No. Error"},
      {"{(@ch10=1)}", true, "Ch No. Error"},
      {"{(@chX)}", true, "Ch No. Error"},
      {"{(@ch0++)}", false, "Ch No. Error"},           // no variables to refer to
      {"\\(@ch)", true, "Ch No. Error"},
      {"\\(@ch12+1)", true, "Ch No. Error"},
      {"\\(@ch0)", false, "Ch No. Error"},
      {"{(%CL_Null[@cha])}", true, "Ch No. Error"},
      {"{(%CL_Null[@ch1])}", false, "Ch No. Error"},
      {"{(%CT_Bogus.CL_Null)}", true, "Cannot use the specified category.\n'CT_Bogus'"},
      {"{(%CL_Null.CL_Null)}", true, "Cannot use the specified category.\n'CL_Null'"},
      {"{(%CL_Bogus)}", true, "Cannot use the specified cell.\n'CL_Bogus'"},
      {"{(%CT_IntCh)}", true, "Cannot use the specified cell.\n'CT_IntCh'"},
      {"{(%cl_null)}", true, "Cannot use the specified cell.\n'cl_null'"},
      {"{(%CL_Null\\.x)}", true, "Cannot use the specified cell.\n'CL_Null\\.x'"},
      {"{($Loop)}", true, "Cell model nesting too deep.\n'Loop'"},
      {"{($Nope)}", true, "GTEX Error !\nThe index 'CellModel_Nope' was not found."},
  };
  for (const Case& c : cases) {
    ChannelVariables vars = {};
    CellDescriptor d;
    EXPECT_EQ(FatalTextOf([&] { ParseCell(d, c.text, c.withVars ? vars : nullptr, nullptr); }),
              c.stop)
        << c.text;
  }
}

TEST(ParseCell, BaseCellInheritance) {
  FatalCatcher fatal;
  CellDescriptor base;
  ParseCell(base,
            "{S>X(%CT_IntCh.CL_ChList_No[5]:opt)(Color=clRed)(ImageIndex=3)(PopupMenu=GI_PMenu_A)"
            "(Font=,,clRed,-17,,fsUnderline,)(Flag6=1)}Base",
            nullptr, nullptr);

  CellDescriptor plain;
  ParseCell(plain, "", nullptr, &base);
  EXPECT_EQ(plain.base, &base);
  EXPECT_EQ(plain.category, CT_IntCh);
  EXPECT_EQ(plain.label, CL_ChList_No);
  EXPECT_EQ(plain.index, 5);
  EXPECT_EQ(plain.option, "opt");
  EXPECT_EQ(plain.display, "Base");
  EXPECT_EQ(plain.layoutFlags, base.layoutFlags);
  EXPECT_EQ(plain.behaviourFlags, base.behaviourFlags);
  EXPECT_TRUE(plain.UserFlag(6));
  EXPECT_EQ(plain.color, 0x000000FFu);
  EXPECT_EQ(plain.imageIndex, 3);
  EXPECT_FALSE(plain.font.has_value());      // the font is not copied
  EXPECT_FALSE(plain.popupKey.has_value());  // nor the popup key: found through the chain
  ASSERT_NE(PopupMenuKeyOf(plain), nullptr);
  EXPECT_EQ(*PopupMenuKeyOf(plain), "GI_PMenu_A");

  CellDescriptor own;
  ParseCell(own, "{!S<(%CL_Misc_ChNo_1Base)(Font=,,,%50,,fsBold+fsItalic,)(PopupMenu=)}Own", nullptr,
            &base);
  EXPECT_FALSE(own.Selectable());  // "!S" beats the selectable base
  EXPECT_EQ(own.HAlignment(), kAlignLeft);
  EXPECT_EQ(own.Edge(), kEdgeRule);
  EXPECT_EQ(own.category, CT_IntCh);
  EXPECT_EQ(own.label, CL_Misc_ChNo_1Base);
  EXPECT_EQ(own.display, "Own");
  ASSERT_TRUE(own.font.has_value());  // copied from the base font, then changed
  EXPECT_EQ(own.font->height, -8);
  EXPECT_EQ(own.font->color, 0x000000FFu);
  EXPECT_EQ(own.font->style, fsBold | fsItalic);
  ASSERT_NE(PopupMenuKeyOf(own), nullptr);  // an empty own key defers to the base
  EXPECT_EQ(*PopupMenuKeyOf(own), "GI_PMenu_A");

  CellDescriptor orphan;
  EXPECT_EQ(PopupMenuKeyOf(orphan), nullptr);
  EXPECT_EQ(DisplayTextOf(orphan), "");
}

TEST(ParseCell, ReuseKeepsCategoryAndIndexWithoutBase) {
  FatalCatcher fatal;
  CellDescriptor d;
  ParseCell(d, "{S(%CT_DscIndId.CL_DscIndId_Id[7]:o)(Color=clRed)(Font=,,,,,fsBold,)}x", nullptr,
            nullptr);
  ParseCell(d, "{(%CL_DscIndId_Comment)}", nullptr, nullptr);
  EXPECT_EQ(d.category, CT_DscIndId);
  EXPECT_EQ(d.index, 7);
  EXPECT_EQ(d.label, CL_DscIndId_Comment);
  EXPECT_FALSE(d.option.has_value());
  EXPECT_FALSE(d.display.has_value());
  EXPECT_FALSE(d.font.has_value());
  EXPECT_EQ(d.behaviourFlags, 0);
  EXPECT_EQ(d.color, clWindow);
}

TEST(ParseCell, CopyIsIndependent) {
  FatalCatcher fatal;
  CellDescriptor a;
  ParseCell(a, "{(%CallSheet:K)(Font=,Face,,,,,)(PopupMenu=P)}T", nullptr, nullptr);
  CellDescriptor b = a;
  a.option->assign("changed");
  a.font->face = "other";
  a.display.reset();
  EXPECT_EQ(b.option, "K");
  EXPECT_EQ(b.font->face, "Face");
  EXPECT_EQ(b.popupKey, "P");
  EXPECT_EQ(b.display, "T");
}

}  // namespace
}  // namespace twk
