// Category and label names, colour names, character sets and font
// texts.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/TestSupport.h"
#include "data/Labels.h"
#include "sheet/Fonts.h"

namespace twk {
namespace {

using test::FatalCatcher;
using test::FatalTextOf;

TEST(Labels, IdsOfTheListInOrder) {
  FatalCatcher fatal;
  // The first and last name of every group of the list.
  const std::pair<int, const char*> known[] = {
      {0, "CL_Null"}, {1, "Flex0"}, {4, "CL_FBits"}, {5, "CL_EeDebugWin_Adr"},
      {21, "CL_EeDebugWin_F"}, {22, "CL_Free_Byte_Dec"}, {24, "CL_Free_DscId"},
      {25, "CL_Menu_File_New"}, {33, "CL_Menu_Edit_Top"}, {42, "CL_Model"}, {49, "CallSheet"},
      {50, "CL_Check_Int_ChInh"}, {64, "CL_Check_Dsc_Cate"}, {65, "CL_CloneInfo_Model"},
      {67, "CL_CloneInfo_Comment"}, {68, "CL_PMenu_NoItem"}, {77, "CL_PMenu_Help"},
      {78, "CL_Debug_Mtx_AbsCtrl"}, {87, "CL_Debug_Mtx_Podn"}, {88, "CL_Misc_ChNo_0Base"},
      {92, "CL_Dummy"}, {93, "CL_Deb_Index"}, {122, "CL_Deb_RxFrqNo"}, {123, "CL_ChList_No"},
      {129, "CL_ChList_Comment"}, {130, "CL_INT_ChNo"}, {153, "CL_CANADA_ChComment"},
      {154, "CL_WX_ChAtr"}, {155, "CL_WX_ChComment"}, {156, "CL_Fch_FreqR"}, {159, "CL_Fch_ChName"},
      {160, "CL_DscIndId_Id"}, {162, "CL_DscIndId_Comment"}, {163, "CL_AtisCall_Digit"},
      {164, "CL_AtisCall_Display"}, {165, "CL_ComSet_ScanF"}, {180, "CL_ComSet_FavoriteCH"},
      {181, "CL_ComAtis_AtisId"}, {185, "CL_ComAtis_TxnoAtis"}, {186, "CL_ComDsc_SelfId"},
      {196, "CL_ComSet_USetM_DscWatch"}, {199, "CL_ComDsc_TimeOffset"},
      {200, "CL_ComDsc_TX_Distress"}, {207, "CL_ComDsc_RX_Routine"},
      {208, "CL_ComDsc_AllCall_Distress"}, {210, "CL_ComDsc_ALLCall_Safety"},
      {237, "CL_ComDsc_GroupCall_ChCall_Pow"}, {238, "CL_ComCom_CloneComment"},
      {240, "CL_ComCom_ScanF"}, {241, "CL_ComExp_Int"}, {252, "CL_ComExp_LcdWx"},
      {253, "CL_MakerR_DscAmp13"}, {261, "CL_MakerR_UsaIni"}};
  for (const auto& [id, name] : known) {
    EXPECT_EQ(LabelName(id), name) << id;
    EXPECT_EQ(LabelId(name), id) << name;
  }
  std::set<std::string> names;
  for (int i = 0; i < kLabelCount; ++i) {
    names.insert(LabelName(i));
    EXPECT_EQ(LabelId(LabelName(i)), i);
  }
  EXPECT_EQ(names.size(), 262u);
  EXPECT_EQ(LabelName(-1), "");
  EXPECT_EQ(LabelName(262), "");
  EXPECT_EQ(LabelId(""), 262);
  EXPECT_EQ(CL_Menu_Clone_Read, 39);  // the enum carries the same ids
  EXPECT_EQ(CL_None, 262);
}

TEST(Labels, CategoriesAndKinds) {
  FatalCatcher fatal;
  const char* names[] = {"CT_Null", "CT_PopupMenu", "CT_IntCh", "CT_UsaCh", "CT_CanCh",
                         "CT_WxCh", "CT_FreeCh", "CT_DscIndId", "CT_AtisCall"};
  const int kinds[] = {0, 0, 1, 2, 3, 4, 5, 6, 7, 0};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(CategoryId(names[i]), i);
    EXPECT_EQ(CategoryName(i), names[i]);
  }
  for (int i = 0; i <= 9; ++i) EXPECT_EQ(KindOfCategory(i), kinds[i]) << i;
  EXPECT_EQ(CategoryId(""), 9);
  EXPECT_EQ(FatalTextOf([] { KindOfCategory(10); }), "Unknown Cell Category. (10)");
  EXPECT_EQ(FatalTextOf([] { KindOfCategory(-1); }), "Unknown Cell Category. (-1)");
  EXPECT_EQ(FatalTextOf([] { CategoryId("CT_intch"); }),
            "Cannot use the specified category.\n'CT_intch'");
  // Category and label names share one table but never stand for each other.
  EXPECT_EQ(FatalTextOf([] { CategoryId("CL_Null"); }),
            "Cannot use the specified category.\n'CL_Null'");
  EXPECT_EQ(FatalTextOf([] { LabelId("CT_Null"); }), "Cannot use the specified cell.\n'CT_Null'");
}

TEST(Colors, NameTable) {
  const std::pair<const char*, Color> known[] = {
      {"clAqua", 0x00FFFF00},          {"clBlack", 0},
      {"clMaroon", 0x00000080},        {"clYellow", 0x0000FFFF},
      {"clBackground", 0x80000001},    {"clWindow", 0x80000005},
      {"clHightlightText", 0x8000000E}, {"clBtnFace", 0x8000000F},
      {"clBtnHighlight", 0x80000014}};
  for (const auto& [name, value] : known) {
    ASSERT_TRUE(ParseColor(name).has_value()) << name;
    EXPECT_EQ(*ParseColor(name), value) << name;
  }
  for (const char* unknown : {"clgray", "clHighlightText", "", "0x00FF00", " clRed", "clRed "})
    EXPECT_FALSE(ParseColor(unknown).has_value()) << unknown;
  EXPECT_TRUE(IsSystemColor(clWindow));
  EXPECT_EQ(SystemColorIndex(clWindow), 5);
  EXPECT_FALSE(IsSystemColor(clGray));
}

TEST(Fonts, Charsets) {
  EXPECT_EQ(ParseCharset("ANSI_CHARSET"), 0);
  EXPECT_EQ(ParseCharset("MAC_CHARSET"), 77);
  EXPECT_EQ(ParseCharset("CHINESEBIG5_CHARSET"), 136);
  EXPECT_EQ(ParseCharset("OEM_CHARSET"), 255);
  EXPECT_FALSE(ParseCharset("oem_charset").has_value());
  std::set<int> values;
  for (const CharsetName& c : kCharsets) values.insert(c.value);
  EXPECT_EQ(values.size(), 19u);
}

TEST(Fonts, FontTextTable) {
  Font start;
  start.charset = 0;
  start.face = "Start Face";
  start.color = clBlack;
  start.height = -17;
  start.size = 8;
  start.style = fsUnderline;
  struct Case {
    const char* spec;
    void (*expect)(Font&);  // turns `start` into the expected font
  };
  const Case cases[] = {
      {"", [](Font&) {}},
      {",,,,,,", [](Font&) {}},
      {"DEFAULT_CHARSET,,clWindowText,-17,,,",
       [](Font& f) { f.charset = 1; f.color = clWindowText; }},
      {" \tSYMBOL_CHARSET \t", [](Font& f) { f.charset = 2; }},
      {"symbol_charset", [](Font&) {}},
      {", \t Mono Face", [](Font& f) { f.face = "Mono Face"; }},
      {",,clGray", [](Font& f) { f.color = clGray; }},
      {",,clgray", [](Font&) {}},
      {",,,%50", [](Font& f) { f.height = -8; }},
      {",,,%1", [](Font& f) { f.height = 1; }},  // 0 becomes 1
      {",,,  %150", [](Font& f) { f.height = -25; }},
      {",,,20", [](Font& f) { f.height = 20; }},
      {",,,0", [](Font&) {}},
      {",,,big", [](Font&) {}},
      {",,,,%200", [](Font& f) { f.size = 16; }},
      {",,,,12", [](Font& f) { f.size = 12; }},
      {",,,,,fsBold+fsItalic", [](Font& f) { f.style = fsBold | fsItalic; }},
      {",,,,, fsStrikeOut \t+ junk", [](Font& f) { f.style = fsStrikeOut; }},
      {",,,,,fsNothing", [](Font&) {}},
      {",,,,,,fpFixed", [](Font& f) { f.pitch = FontPitch::Fixed; }},
      {",,,,,,fpVariable,fpFixed", [](Font& f) { f.pitch = FontPitch::Variable; }},  // 8th ignored
      {",,,,,,fpOdd", [](Font&) {}},
  };
  for (const Case& c : cases) {
    Font f = start;
    ApplyFontSpec(c.spec, f);
    Font expected = start;
    c.expect(expected);
    EXPECT_EQ(f, expected) << c.spec;
  }
}

}  // namespace
}  // namespace twk
