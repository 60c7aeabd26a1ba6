// Sheets as CSV over the shipped resources and the initial image: the export
// as the grid shows it (a golden INT sheet), the round trip of every sheet,
// a table of accepted and refused cells, in-use switching, P/C marks, row
// matching, read-only cells and the header check.
#include <gtest/gtest.h>

#include "data/DataTestSupport.h"
#include "data/ItemRecord.h"
#include "data/Labels.h"
#include "data/MemoryMap.h"
#include "data/SheetCsv.h"
#include "file/Csv.h"

namespace twk {
namespace {

class SheetCsvTest : public ::testing::Test {
 protected:
  test::DataEnv env;
  EepromImage image{env.initial};
  HeadlessHooks hooks{image};
  HooksScope scope{hooks};

  std::vector<CsvRow> Export(const std::string& key) {
    std::unique_ptr<HeadlessSheet> h = BuildHeadlessSheet(key);
    return ExportSheet(*h->sheet, hooks);
  }
  CsvImportResult Import(const std::string& key, const std::vector<CsvRow>& rows) {
    return ImportText(key, CsvFormat(rows));
  }
  CsvImportResult ImportText(const std::string& key, const std::string& text) {
    const CsvParseResult csv = CsvParse(text);
    EXPECT_TRUE(csv.ok) << csv.error;
    std::unique_ptr<HeadlessSheet> h = BuildHeadlessSheet(key);
    return ImportSheet(*h->sheet, hooks, csv);
  }
  // Index of the `nth` row whose first column is `rowKey`.
  static int RowOf(const std::vector<CsvRow>& rows, const std::string& rowKey, int nth = 0) {
    for (std::size_t i = 1; i < rows.size(); ++i)
      if (rows[i][0] == rowKey && nth-- == 0) return static_cast<int>(i);
    ADD_FAILURE() << "no row " << rowKey;
    return 0;
  }
  std::string Shown(const std::string& key, int row, int col) {
    return Export(key)[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
  }
  bool InUse(RecordKind kind, int slot) {
    ItemRecord rec(&image);
    rec.Load(kind, slot);
    return !(rec.flags & ItemRecord::kFlagNotInUse);
  }
};

TEST_F(SheetCsvTest, InitialIntSheetMatchesTheGoldenCsv) {
  const std::string golden =
      test::ReadFileBytes(test::SourceDir() / "tests" / "data" / "golden" / "GI_Sheet_IntCh.csv");
  EXPECT_EQ(CsvFormat(Export("GI_Sheet_IntCh")), golden);
}

TEST_F(SheetCsvTest, ExportShowsHeaderAndRowsAsTheGrid) {
  const std::vector<CsvRow> rows = Export("GI_Sheet_IntCh");
  ASSERT_EQ(rows.size(), 257u);  // the header row and 256 slots
  EXPECT_EQ(rows[0][0], "Ch");
  EXPECT_EQ(rows[0][6], "Channel name");
  const CsvRow& ch16 = rows[static_cast<std::size_t>(RowOf(rows, "16"))];
  EXPECT_EQ(ch16, (CsvRow{"16", "P", "-", "-", "25 W", "Simplex", "DISTRESS"}));
  // Slot 1 (0A) is not in use: every cell but the number and the marks.
  EXPECT_EQ(rows[2], (CsvRow{"0A", "", "---", "---", "---", "---", "---"}));
}

TEST_F(SheetCsvTest, UnchangedCsvOfEverySheetLeavesTheImageByteIdentical) {
  std::vector<std::string> keys = TreeSheetKeys(image, true);
  ASSERT_GE(keys.size(), 12u);
  for (const std::string& key : keys) {
    const CsvImportResult r = Import(key, Export(key));
    EXPECT_TRUE(r.AllAccepted()) << key << " " << (r.refused.empty() ? r.headerProblem : r.refused[0].Text());
    EXPECT_EQ(r.changedCells, 0) << key;
    EXPECT_TRUE(image.Equals(env.initial)) << key;
  }
}

TEST_F(SheetCsvTest, CellsAcceptedAndRefused) {
  struct Case {
    const char* sheet;
    const char* row;
    int col;
    const char* given;
    bool accepted;
    const char* expect;  // the cell's text afterwards, or a piece of the reason
  } cases[] = {
      // channel names: the name set, forced capitals, the length
      {"GI_Sheet_IntCh", "6", 6, "SAFE-1", true, "SAFE-1"},
      {"GI_Sheet_IntCh", "6", 6, "fish", true, "FiSh"},
      {"GI_Sheet_IntCh", "6", 6, "Caf\xC3\xA9", false, "outside the name set"},
      {"GI_Sheet_IntCh", "6", 6, "NAME#", false, "outside the name set"},
      {"GI_Sheet_IntCh", "6", 6, "ELEVENCHARS", false, "longer than 10"},
      {"GI_Sheet_IntCh", "6", 6, "\xE2\x82\xAC", false, "cannot show"},
      {"GI_Sheet_IntCh", "6", 6, "M\xFCller", false, "not UTF-8"},  // saved in a single-byte code page
      {"GI_Sheet_IntCh", "9", 6, "Calling", true, "Calling"},        // only the case differs
      // selection cells: the list entry with that text
      {"GI_Sheet_IntCh", "8", 4, "1 W", true, "1 W"},
      {"GI_Sheet_IntCh", "8", 2, "scan tag", true, "Scan tag"},
      {"GI_Sheet_IntCh", "8", 4, "2 W", false, "not in the list"},
      {"GI_Sheet_ComSet", "Key beep", 1, "Off", true, "Off"},
      {"GI_Sheet_ComSet", "Key beep", 1, "Sometimes", false, "not in the list"},
      {"GI_Sheet_WxCh", "3", 2, "Not used", true, "Not used"},
      // frequencies on and off the channel grid
      {"GI_Sheet_FreeCh", "1", 1, "156.8", true, "156.80000"},
      {"GI_Sheet_FreeCh", "1", 1, "157.0375", true, "157.03750"},
      {"GI_Sheet_FreeCh", "1", 1, "156.013", false, "channel grid"},
      {"GI_Sheet_FreeCh", "1", 1, "99", false, "outside 100.00000-199.99000"},
      {"GI_Sheet_FreeCh", "1", 1, "abc", false, "not a frequency"},
      {"GI_Sheet_FreeCh", "1", 2, "<-", false, "receive frequency is empty"},
      {"GI_Sheet_FreeCh", "1", 3, "PO", true, "PO"},
      {"GI_Sheet_FreeCh", "1", 3, "ab1", false, "third place"},
      // MMSIs: 9 digits or nothing
      {"GI_Sheet_DscIndId", "1", 1, "211234567", true, "211234567"},
      {"GI_Sheet_DscIndId", "1", 1, "21123456", false, "9 digits"},
      {"GI_Sheet_DscIndId", "1", 1, "21123456x", false, "9 digits"},
      {"GI_Sheet_DscIndId", "1", 2, "BOB", false, "no valid MMSI"},
      {"GI_Sheet_SelfId", "Own MMSI (DSC self ID)", 1, "211234567", true, "211234567"},
      {"GI_Sheet_SelfId", "Own MMSI (DSC self ID)", 1, "12345678", false, "9 digits"},
      // texts and numbers of the settings
      {"GI_Sheet_ComSet", "Clone comment", 1, "MY BOAT", true, "MY BOAT"},
      {"GI_Sheet_ComSet", "Clone comment", 1, "SEVENTEEN CHARS!!", false, "longer than 16"},
      {"GI_Sheet_MakerAdj", "Time-out timer (seconds)", 1, "600", true, "600"},
      {"GI_Sheet_MakerAdj", "Time-out timer (seconds)", 1, "601", false, "outside 0-600"},
      {"GI_Sheet_MakerAdj", "Time-out timer (seconds)", 1, "12.5", false, "whole number"},
      {"GI_Sheet_MakerAdj", "Scan speed (seconds per channel)", 1, "0.15", true, "0.150"},
      {"GI_Sheet_MakerAdj", "Scan speed (seconds per channel)", 1, "0.3", false, "outside 0.030"},
      {"GI_Sheet_MakerAdj", "Scan speed (seconds per channel)", 1, "0.1234", false, "3 decimals"},
      // P and C marks
      {"GI_Sheet_IntCh", "16", 1, "X", false, "use P, C, PC"},
      {"GI_Sheet_IntCh", "16", 1, "", false, "one P and one C"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sheet) + " row '" + c.row + "' col " + std::to_string(c.col) +
                 " given '" + c.given + "'");
    image.Assign(env.initial);
    std::vector<CsvRow> rows = Export(c.sheet);
    const int row = RowOf(rows, c.row);
    rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(c.col)] = c.given;
    const CsvImportResult r = Import(c.sheet, rows);
    ASSERT_TRUE(r.headerMatches);
    if (c.accepted) {
      EXPECT_TRUE(r.refused.empty()) << r.refused[0].Text();
      EXPECT_EQ(r.changedCells, 1);
      EXPECT_FALSE(image.Equals(env.initial));
      EXPECT_EQ(Shown(c.sheet, row, c.col), c.expect);
    } else {
      ASSERT_EQ(r.refused.size(), 1u);
      EXPECT_EQ(r.refused[0].row, row + 1);  // the CSV's line
      EXPECT_EQ(r.refused[0].column, c.col + 1);
      EXPECT_EQ(r.refused[0].given, c.given);
      EXPECT_NE(r.refused[0].reason.find(c.expect), std::string::npos) << r.refused[0].reason;
      EXPECT_EQ(r.refused[0].Text().rfind(std::to_string(row + 1) + "," + std::to_string(c.col + 1) +
                                              ": " + c.given + ": ",
                                          0),
                0u);
      EXPECT_TRUE(image.Equals(env.initial)) << "a refused cell leaves the image as it was";
    }
  }
}

TEST_F(SheetCsvTest, SlotInUseFollowsTheDashesOfItsRow) {
  std::vector<CsvRow> rows = Export("GI_Sheet_IntCh");
  ASSERT_FALSE(InUse(RecordKind::IntChannel, 1));
  ASSERT_TRUE(InUse(RecordKind::IntChannel, 24));
  rows[static_cast<std::size_t>(RowOf(rows, "0A"))] = {"0A", "", "Scan tag", "-", "1 W", "---", "NEW ONE"};
  rows[static_cast<std::size_t>(RowOf(rows, "12"))] = {"12", "", "---", "---", "---", "---", "---"};
  const CsvImportResult r = Import("GI_Sheet_IntCh", rows);
  ASSERT_TRUE(r.AllAccepted()) << r.refused[0].Text();
  EXPECT_TRUE(InUse(RecordKind::IntChannel, 1));
  EXPECT_FALSE(InUse(RecordKind::IntChannel, 24));
  const std::vector<CsvRow> now = Export("GI_Sheet_IntCh");
  EXPECT_EQ(now[static_cast<std::size_t>(RowOf(now, "0A"))],
            (CsvRow{"0A", "", "Scan tag", "-", "1 W", "---", "NEW ONE"}));
  EXPECT_EQ(now[static_cast<std::size_t>(RowOf(now, "12"))][6], "---");
}

TEST_F(SheetCsvTest, PChannelMovesWhenAnotherRowIsMarked) {
  std::vector<CsvRow> rows = Export("GI_Sheet_IntCh");
  rows[static_cast<std::size_t>(RowOf(rows, "16"))][1] = "";
  rows[static_cast<std::size_t>(RowOf(rows, "20"))][1] = "P";
  const CsvImportResult r = Import("GI_Sheet_IntCh", rows);
  EXPECT_TRUE(r.AllAccepted()) << r.refused[0].Text();
  const std::vector<CsvRow> now = Export("GI_Sheet_IntCh");
  EXPECT_EQ(now[static_cast<std::size_t>(RowOf(now, "20"))][1], "P");
  EXPECT_EQ(now[static_cast<std::size_t>(RowOf(now, "16"))][1], "");
  EXPECT_EQ(now[static_cast<std::size_t>(RowOf(now, "9"))][1], "C");
}

TEST_F(SheetCsvTest, TwoRowsMarkedPAreReported) {
  std::vector<CsvRow> rows = Export("GI_Sheet_IntCh");
  const int row16 = RowOf(rows, "16");
  rows[static_cast<std::size_t>(RowOf(rows, "20"))][1] = "P";  // 16 keeps its P in the CSV
  const CsvImportResult r = Import("GI_Sheet_IntCh", rows);
  ASSERT_EQ(r.refused.size(), 1u);
  EXPECT_EQ(r.refused[0].row, row16 + 1);
  EXPECT_EQ(r.refused[0].column, 2);
  EXPECT_NE(r.refused[0].reason.find("one P and one C"), std::string::npos);
}

TEST_F(SheetCsvTest, RowsMatchByFirstColumnInAnyOrder) {
  const std::vector<CsvRow> all = Export("GI_Sheet_WxCh");
  std::vector<CsvRow> rows = {all[0], all[4], all[1]};  // WX 4 and WX 1, in that order
  rows[1][3] = "FOUR";
  rows[2][3] = "ONE";
  const CsvImportResult r = Import("GI_Sheet_WxCh", rows);
  EXPECT_TRUE(r.AllAccepted());
  EXPECT_EQ(r.changedCells, 2);
  EXPECT_EQ(Shown("GI_Sheet_WxCh", 4, 3), "FOUR");
  EXPECT_EQ(Shown("GI_Sheet_WxCh", 1, 3), "ONE");
  EXPECT_EQ(Shown("GI_Sheet_WxCh", 2, 3), "WX2");
}

TEST_F(SheetCsvTest, UnknownOrRepeatedRowsAreRefused) {
  const std::vector<CsvRow> all = Export("GI_Sheet_WxCh");
  std::vector<CsvRow> rows = {all[0], {"99", "", "", "X"}, all[1], all[1], {}, {"", "  "}};
  const CsvImportResult r = Import("GI_Sheet_WxCh", rows);
  ASSERT_EQ(r.refused.size(), 2u);
  EXPECT_EQ(r.refused[0].Text(), "2,1: 99: no such row on this sheet, or the row is given twice");
  EXPECT_EQ(r.refused[1].row, 4);
  EXPECT_TRUE(image.Equals(env.initial));
}

TEST_F(SheetCsvTest, ListEntryGivenInAnotherCaseIsNoChange) {
  std::vector<CsvRow> rows = Export("GI_Sheet_ComSet");
  const int row = RowOf(rows, "Key beep");
  ASSERT_EQ(rows[static_cast<std::size_t>(row)][1], "On");
  rows[static_cast<std::size_t>(row)][1] = "on";
  const CsvImportResult r = Import("GI_Sheet_ComSet", rows);
  EXPECT_TRUE(r.AllAccepted());
  EXPECT_EQ(r.changedCells, 0);
  EXPECT_TRUE(image.Equals(env.initial));
}

TEST_F(SheetCsvTest, OwnMmsiClearedByItsNotSetText) {
  const std::string row = "Own MMSI (DSC self ID)";
  const std::string notSet = Export("GI_Sheet_SelfId")[1][1];  // shown for no ID
  ASSERT_TRUE(Import("GI_Sheet_SelfId", {Export("GI_Sheet_SelfId")[0], {row, "211234567"}}).AllAccepted());
  ASSERT_EQ(image.GetByte(mem::kSelfId), 21);
  const CsvImportResult r = Import("GI_Sheet_SelfId", {Export("GI_Sheet_SelfId")[0], {row, notSet}});
  EXPECT_TRUE(r.AllAccepted()) << r.refused[0].Text();
  EXPECT_EQ(image.GetByte(mem::kSelfId), 0xFF);
  EXPECT_EQ(Shown("GI_Sheet_SelfId", 1, 1), notSet);
}

TEST_F(SheetCsvTest, MmsiWithoutTheLeadingZerosASpreadsheetDropsIsUnchanged) {
  std::vector<CsvRow> rows = Export("GI_Sheet_DscIndId");
  rows[1] = {"1", "002111234", "COAST"};
  ASSERT_TRUE(Import("GI_Sheet_DscIndId", rows).AllAccepted());
  const EepromImage withCoast(image);
  rows[1][1] = "2111234";
  CsvImportResult r = Import("GI_Sheet_DscIndId", rows);
  EXPECT_TRUE(r.AllAccepted()) << r.refused[0].Text();
  EXPECT_EQ(r.changedCells, 0);
  EXPECT_TRUE(image.Equals(withCoast));
  rows[1][1] = "2111235";  // another number: still 9 digits or nothing
  r = Import("GI_Sheet_DscIndId", rows);
  ASSERT_EQ(r.refused.size(), 1u);
  EXPECT_NE(r.refused[0].reason.find("9 digits"), std::string::npos);
  EXPECT_TRUE(image.Equals(withCoast));
}

TEST_F(SheetCsvTest, RowsSharingTheirFirstColumnMustAllBeGiven) {
  // The plan rows of the user channels show the channels' short names,
  // empty in the initial file: one of them alone cannot say which slot it is.
  std::vector<CsvRow> rows = Export("GI_Sheet_IntCh");
  const int last = static_cast<int>(rows.size()) - 1;
  ASSERT_EQ(rows[static_cast<std::size_t>(last)][0], "");
  CsvRow row = {"", "", "-", "-", "25 W", "---", "MINE"};
  CsvImportResult r = Import("GI_Sheet_IntCh", {rows[0], row});
  ASSERT_EQ(r.refused.size(), 1u);
  EXPECT_EQ(r.refused[0].row, 2);
  EXPECT_EQ(r.refused[0].column, 1);
  EXPECT_NE(r.refused[0].reason.find("22 rows"), std::string::npos) << r.refused[0].reason;
  EXPECT_TRUE(image.Equals(env.initial));
  // All of them, in the sheet's order: each goes to its own slot.
  rows[static_cast<std::size_t>(last)] = row;
  r = Import("GI_Sheet_IntCh", rows);
  EXPECT_TRUE(r.AllAccepted()) << r.refused[0].Text();
  EXPECT_TRUE(InUse(RecordKind::IntChannel, 255));
  EXPECT_FALSE(InUse(RecordKind::IntChannel, 234));
}

TEST_F(SheetCsvTest, ReadOnlyCellsAreSkipped) {
  struct Case {
    const char* sheet;
    const char* row;
    int col;
    const char* given;
  } cases[] = {
      {"GI_Sheet_WxCh", "3", 1, "150.0000 MHz"},  // information cells
      {"GI_Sheet_Option", "INT channel plan", 1, "Off"},
      {"GI_Sheet_ComSet", "Key beep", 2, "Shown"},  // an empty information cell
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sheet) + " " + c.row);
    image.Assign(env.initial);
    std::vector<CsvRow> rows = Export(c.sheet);
    rows[static_cast<std::size_t>(RowOf(rows, c.row))][static_cast<std::size_t>(c.col)] = c.given;
    const CsvImportResult r = Import(c.sheet, rows);
    EXPECT_TRUE(r.AllAccepted());
    EXPECT_EQ(r.readOnlyCells, 1);
    EXPECT_EQ(r.changedCells, 0);
    EXPECT_TRUE(image.Equals(env.initial));
  }
}

TEST_F(SheetCsvTest, CellsTheRowMakesReadOnlyAreRefusedWithTheEditorsStatusText) {
  // The simplex cell of an odd slot in use, the name of a weather channel
  // not in use (set so in the same CSV, one cell to the left).
  std::vector<CsvRow> usa = Export("GI_Sheet_UsaCh");
  const int odd = RowOf(usa, "1A");
  usa[static_cast<std::size_t>(odd)][5] = "Simplex";
  CsvImportResult r = Import("GI_Sheet_UsaCh", usa);
  ASSERT_EQ(r.refused.size(), 1u);
  EXPECT_EQ(r.refused[0].Text(),
            std::to_string(odd + 1) + ",6: Simplex: " + env.StatusOf("GI_Botttom_EditRestrected"));
  EXPECT_TRUE(image.Equals(env.initial));

  std::vector<CsvRow> wx = Export("GI_Sheet_WxCh");
  wx[3][2] = "Not used";
  wx[3][3] = "RAIN";
  r = Import("GI_Sheet_WxCh", wx);
  ASSERT_EQ(r.refused.size(), 1u);
  EXPECT_EQ(r.refused[0].column, 4);
  EXPECT_EQ(r.changedCells, 1);  // the use cell

  // The name left as it was is no edit, though the row now shows "---".
  image.Assign(env.initial);
  wx = Export("GI_Sheet_WxCh");
  wx[3][2] = "Not used";
  r = Import("GI_Sheet_WxCh", wx);
  EXPECT_TRUE(r.AllAccepted());
  EXPECT_EQ(Export("GI_Sheet_WxCh")[3], (CsvRow{"3", "162.4750 MHz", "Not used", "---"}));
}

TEST_F(SheetCsvTest, HeaderOfAnotherSheetAppliesNothing) {
  std::vector<CsvRow> rows = Export("GI_Sheet_WxCh");
  rows[0] = Export("GI_Sheet_FreeCh")[0];
  rows[1][3] = "NEW";
  const CsvImportResult r = Import("GI_Sheet_WxCh", rows);
  EXPECT_FALSE(r.headerMatches);
  EXPECT_NE(r.headerProblem.find("Weather channels"), std::string::npos) << r.headerProblem;
  EXPECT_TRUE(image.Equals(env.initial));
}

TEST_F(SheetCsvTest, ShortRowsLeaveTheMissingCellsAlone) {
  // Spreadsheets drop empty trailing cells; a missing cell is not an edit.
  const CsvImportResult r = ImportText("GI_Sheet_IntCh", "Ch,P/C,Scan tag,TX inhibit,Power,Mode,Channel name\r\n"
                                                          "16,P,-\n");
  EXPECT_TRUE(r.AllAccepted());
  EXPECT_TRUE(image.Equals(env.initial));
}

TEST_F(SheetCsvTest, TreeSheetsFollowThePlanSwitchesAndMakerMode) {
  image.SetByte(mem::kPlanSwitches, 0x00);
  std::vector<std::string> keys = TreeSheetKeys(image, false);
  EXPECT_EQ(keys.front(), "GI_Sheet_IntCh");
  for (const char* k : {"GI_Sheet_UsaCh", "GI_Sheet_CanCh", "GI_Sheet_WxCh", "GI_Sheet_MakerAdj"})
    EXPECT_EQ(std::count(keys.begin(), keys.end(), k), 0) << k;
  image.SetByte(mem::kPlanSwitches, 0x07);
  keys = TreeSheetKeys(image, true);
  ASSERT_GE(keys.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 4),
            (std::vector<std::string>{"GI_Sheet_IntCh", "GI_Sheet_UsaCh", "GI_Sheet_CanCh", "GI_Sheet_WxCh"}));
  EXPECT_EQ(keys.back(), "GI_Sheet_MakerAdj");
}

TEST(CsvFileName, UnsafeCharactersOfTheTitleBecomeUnderscores) {
  EXPECT_EQ(CsvFileNameFor("INT channels"), "INT channels.csv");
  EXPECT_EQ(CsvFileNameFor("A/B: C?"), "A_B_ C_.csv");
  EXPECT_EQ(CsvFileNameFor(".."), "sheet.csv");
}

}  // namespace
}  // namespace twk
