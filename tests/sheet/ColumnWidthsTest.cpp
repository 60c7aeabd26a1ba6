#include <gtest/gtest.h>

#include "SheetTestSupport.h"
#include "app/AppSettings.h"
#include "app/SettingsBackend.h"
#include "clone/TimerService.h"
#include "sheet/ColumnWidths.h"
#include "sheet/GridModel.h"
#include "sheet/MessageBus.h"
#include "sheet/RecordingCanvas.h"
#include "sheet/Sheet.h"

namespace twk {
namespace {

const std::string kPath = "Software\\Zelt\\TW-K208\\Display\\Wide\\colwidth";

// Sheet W is listed as "Wide"; its header row is fixed and column 0 of the
// first non-fixed row is not selectable, so only columns 1 and 2 keep widths.
const std::vector<std::string> kResources = {
    "#GI_CellWidthRegList", "W:Wide", "Other:Narrow", "broken line", "Never:Read", "#",
    "#W_Style", "(FixedRows=1)", "#W_BasicCell", "{(Font=,,clBlack,-10,10,,)}", "#W_Cells",
    "{W}No|{W}Name|{W}Mode",
    "{W}12345678|{SW}abcd|{S}x",
    "#",
};

class ColumnWidthsTest : public ::testing::Test {
 protected:
  ColumnWidthsTest() : res_(kResources), settings_(backend_, ScreenSize{}) {
    SetSettings(&settings_);
  }
  ~ColumnWidthsTest() override { SetSettings(nullptr); }

  std::unique_ptr<Sheet> Build(Canvas* printer = nullptr, bool fontsChanged = false) {
    auto sheet = std::make_unique<Sheet>(nullptr, nullptr, 0, 0, res_.store(), "W", nullptr);
    sheet->SetScreenCanvas(&canvas_);
    sheet->SetAddress("[x]W,arg");
    if (printer) sheet->SetPrinter(printer);
    sheet->SetFontsChanged(fontsChanged);
    sheet->Build();
    return sheet;
  }
  std::optional<MemorySettingsBackend::Value> Stored(int col) {
    return backend_.Get(kPath, std::to_string(col));
  }

  test::ResourceScope res_;
  MemorySettingsBackend backend_;
  AppSettings settings_;
  RecordingCanvas canvas_;
};

TEST(ColumnWidthNames, AddressesAndList) {
  struct Case {
    const char* address;
    const char* key;
  } cases[] = {{"GI_Sheet_IntCh", "GI_Sheet_IntCh"}, {"[Tree]K,3", "K"}, {"K,arg", "K"}, {"[p]", ""}};
  for (const auto& c : cases) EXPECT_EQ(KeyOfAddress(c.address), c.key) << c.address;
  test::ResourceScope res(kResources);
  EXPECT_EQ(ColumnWidthName("W"), "Wide");
  EXPECT_EQ(ColumnWidthName("Other"), "Narrow");
  EXPECT_EQ(ColumnWidthName("Never"), "") << "the list ends at a line without a colon";
  EXPECT_EQ(ColumnWidthList().size(), 2u);
}

TEST(ColumnWidthLimits, DragLimitAndFactor) {
  struct Case {
    int client, fixed;
    bool restoring;
    int limit;
  } cases[] = {{300, 50, false, 250}, {2000, 0, false, 650}, {30, 25, false, 10}, {30, 25, true, 650}};
  for (const auto& c : cases) EXPECT_EQ(ColumnDragLimit(c.client, c.fixed, c.restoring), c.limit);
  EXPECT_DOUBLE_EQ(PrintWidthFactor(10, 600, 96, 100), 6.25);
  EXPECT_DOUBLE_EQ(PrintWidthFactor(10, 96, 96, 150), 10 * (16.0 / 24) * 0.1);  // 150*16/100 = 24
  EXPECT_DOUBLE_EQ(PrintWidthFactor(10, 192, 96, 100), 2.0);
}

TEST_F(ColumnWidthsTest, FillSavesOnlyResizableColumns) {
  auto sheet = Build();
  EXPECT_EQ(sheet->Grid().ColWidth(0), 8 * 5 + 8);
  EXPECT_FALSE(Stored(0).has_value()) << "column 0 is not selectable in the first non-fixed row";
  ASSERT_TRUE(Stored(1).has_value());
  EXPECT_EQ(std::get<std::int32_t>(*Stored(1)), 4 * 5 + 8);
  ASSERT_TRUE(Stored(2).has_value());
  EXPECT_EQ(std::get<std::int32_t>(*Stored(2)), 4 * 5 + 8);  // "Mode" in the header
}

TEST_F(ColumnWidthsTest, RestoreAppliesStoredWidthsWithinLimits) {
  backend_.Set(kPath, "0", 300);  // never read: not resizable
  backend_.Set(kPath, "1", 900);
  backend_.Set(kPath, "2", 3);
  auto sheet = Build();
  EXPECT_EQ(sheet->Grid().ColWidth(0), 48);
  EXPECT_EQ(sheet->Grid().ColWidth(1), 650);
  EXPECT_EQ(sheet->Grid().ColWidth(2), 10);
  backend_.Set(kPath, "1", 77);
  EXPECT_EQ(Build()->Grid().ColWidth(1), 77);
}

TEST_F(ColumnWidthsTest, FontsChangedDiscardsEveryListedSheet) {
  backend_.Set(kPath, "1", 200);
  backend_.Set("Software\\Zelt\\TW-K208\\Display\\Narrow\\colwidth", "0", 50);
  auto sheet = Build(nullptr, true);
  EXPECT_EQ(sheet->Grid().ColWidth(1), 28) << "computed width, not the stored one";
  EXPECT_EQ(std::get<std::int32_t>(*Stored(1)), 28) << "and saved again";
  EXPECT_FALSE(backend_.KeyExists("Software\\Zelt\\TW-K208\\Display\\Narrow\\colwidth"));
  EXPECT_FALSE(sheet->FontsChanged());
}

TEST_F(ColumnWidthsTest, PrintingOnlyNarrowsScaledWidths) {
  RecordingCanvas printer(192);  // factor 10 pt x 2 x 0.1 = 2
  backend_.Set(kPath, "1", 20);    // 40: narrower than computed
  backend_.Set(kPath, "2", 500);   // 1000: would widen
  auto sheet = Build(&printer);
  // Printing at scale 2: "abcd" is 20 + 16 wide, "Mode" the same.
  EXPECT_EQ(sheet->Grid().ColWidth(1), 36);
  EXPECT_EQ(sheet->Grid().ColWidth(2), 36);
  backend_.Set(kPath, "1", 10);
  EXPECT_EQ(Build(&printer)->Grid().ColWidth(1), 20);
  EXPECT_EQ(std::get<std::int32_t>(*Stored(1)), 10) << "printing never saves";
}

TEST_F(ColumnWidthsTest, PopupSheetsNeitherRestoreNorSave) {
  backend_.Set(kPath, "1", 77);
  auto sheet = std::make_unique<Sheet>(nullptr, nullptr, 0, 0, res_.store(), "W", nullptr);
  sheet->SetScreenCanvas(&canvas_);
  sheet->SetPopupMode(true);
  sheet->Build();
  EXPECT_EQ(sheet->Grid().ColWidth(1), 28);
  sheet->Grid().SetColWidth(1, 99);
  sheet.reset();
  EXPECT_EQ(std::get<std::int32_t>(*Stored(1)), 77);
}

TEST_F(ColumnWidthsTest, DraggedWidthsAreClamped) {
  auto sheet = Build();
  GridModel& g = sheet->Grid();
  g.SetFixedCols(1);
  g.SetClientSize(200, 100);
  g.SetColWidth(0, 50);
  g.SetColWidth(1, 400);
  g.SetColWidth(2, 5);
  sheet->ColumnWidthsChanged();
  EXPECT_EQ(g.ColWidth(1), 150);
  EXPECT_EQ(g.ColWidth(2), 10);
  g.SetColWidth(0, 1);
  sheet->ColumnWidthsChanged();
  EXPECT_EQ(g.ColWidth(0), 1) << "not resizable: left alone";
}

void Record(void* object, const Message& m) {
  static_cast<std::vector<Message>*>(object)->push_back(m);
}

TEST_F(ColumnWidthsTest, DestroySavesAndAnnouncesTheEnd) {
  ManualClock clock;
  MessageBus bus(clock);
  SetBus(&bus);
  std::vector<Message> seen;
  bus.Subscribe(&Record, &seen);
  auto sheet = Build();
  const auto* grid = &sheet->Grid();
  sheet->Grid().SetColWidth(1, 123);
  sheet.reset();
  EXPECT_EQ(std::get<std::int32_t>(*Stored(1)), 123);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back().type, msg::kSheetDestroyed);
  EXPECT_EQ(seen.back().value1, reinterpret_cast<std::intptr_t>(grid));
  bus.Unsubscribe(&Record, &seen);
  SetBus(nullptr);
}

}  // namespace
}  // namespace twk
