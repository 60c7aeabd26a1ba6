#include "data/ValidationReport.h"

#include <algorithm>

#include "data/ItemRecord.h"
#include "data/LabelHandler.h"
#include "data/Labels.h"
#include "data/MemoryMap.h"
#include "data/SheetCsv.h"
#include "data/Validation.h"
#include "file/Csv.h"
#include "sheet/CellAccess.h"

namespace twk {

namespace {

constexpr std::size_t kMaxRowsListed = 12;

std::string DigitsOfPacked(const std::uint8_t* id) {
  std::string s;
  for (int i = 0; i < 5; ++i) {
    s += static_cast<char>('0' + id[i] / 10 % 10);
    s += static_cast<char>('0' + id[i] % 10);
  }
  return s.substr(0, 9);
}

std::string FormText(MmsiForm form) {
  return form == MmsiForm::CoastStation ? "the form of a coast station (leading 00)"
                                        : "the form of a group call (leading 0)";
}

// The first-column texts of the rows holding a cell with `mark`.
std::vector<std::string> MarkedRows(Sheet& sheet, HeadlessHooks& hooks, std::uint8_t mark) {
  std::vector<std::string> rows;
  for (int r = SheetHeaderRows(sheet); r < sheet.RowCount(); ++r) {
    for (int c = 0; c < sheet.ColCount(); ++c) {
      CellDescriptor& cell = sheet.CellAt(c, r);
      if (!cell.Bound()) continue;
      CellAccessContext ctx;
      ctx.cell = &cell;
      HandleLabel(&hooks, ctx, kModeDisplay);
      if (ctx.state & mark) {
        rows.push_back(ShownText(sheet, hooks, 0, r));
        break;
      }
    }
  }
  return rows;
}

std::string TitleOf(const std::string& key) {
  std::unique_ptr<HeadlessSheet> h = BuildHeadlessSheet(key);
  return SheetTitle(*h->sheet);
}

}  // namespace

namespace {

std::string RowList(const std::vector<std::string>& rows) {
  std::string s = rows.size() == 1 ? "row " : "rows ";
  for (std::size_t i = 0; i < rows.size() && i < kMaxRowsListed; ++i)
    s += (i ? ", " : "") + Latin1ToUtf8(rows[i]);
  if (rows.size() > kMaxRowsListed) s += ", ...";
  return s;
}

}  // namespace

std::string ValidationLine::Text() const {
  std::string s = std::string(error ? "ERROR" : "WARNING") + ": " + Latin1ToUtf8(title);
  if (!rows.empty()) s += ": " + RowList(rows);
  if (!warningRows.empty()) s += " (warning: " + RowList(warningRows) + ")";
  return s;
}

MmsiForm MmsiFormOf(const std::string& digits) {
  if (digits.rfind("00", 0) == 0) return MmsiForm::CoastStation;
  if (digits.rfind("0", 0) == 0) return MmsiForm::GroupCall;
  return MmsiForm::Individual;
}

ValidationReport ValidateImage(const EepromImage& original) {
  EepromImage image(original);
  HeadlessHooks hooks(image);
  HooksScope scope(hooks);
  ValidationReport report;
  const std::vector<std::string> shown = TreeSheetKeys(image, false);

  for (const CheckResult& r : EvaluateCheckList(&hooks)) {
    if (!(r.marks & (cellstate::kError | cellstate::kWarning))) continue;
    if (std::find(shown.begin(), shown.end(), r.address) == shown.end()) continue;
    ValidationLine line;
    line.sheetKey = r.address;
    line.error = (r.marks & cellstate::kError) != 0;
    std::unique_ptr<HeadlessSheet> h = BuildHeadlessSheet(r.address);
    line.title = SheetTitle(*h->sheet);
    line.rows = MarkedRows(*h->sheet, hooks, line.error ? cellstate::kError : cellstate::kWarning);
    if (line.error && (r.marks & cellstate::kWarning))
      line.warningRows = MarkedRows(*h->sheet, hooks, cellstate::kWarning);
    (line.error ? report.errors : report.warnings) += 1;
    report.failures.push_back(std::move(line));
  }

  // Advice: directory entries and the own ID that look like group or coast
  // station MMSIs.
  std::string dscTitle;
  ItemRecord rec(&image);
  for (int i = 0; i < mem::kDscIdCount; ++i) {
    rec.Load(RecordKind::DscId, i);
    if (!rec.IsLoaded() || !rec.valid) continue;
    const std::string digits = DigitsOfPacked(rec.id.data());
    const MmsiForm form = MmsiFormOf(digits);
    if (form == MmsiForm::Individual) continue;
    if (dscTitle.empty()) dscTitle = TitleOf("GI_Sheet_DscIndId");
    report.advice.push_back("ADVICE: " + Latin1ToUtf8(dscTitle) + ": row " + std::to_string(i + 1) +
                            ": " + digits + " has " + FormText(form));
  }
  std::uint8_t self[5];
  image.ReadBlock(mem::kSelfId, self, 5);
  if (IsValidPackedId(self)) {
    const std::string digits = DigitsOfPacked(self);
    const MmsiForm form = MmsiFormOf(digits);
    if (form != MmsiForm::Individual)
      report.advice.push_back("ADVICE: " + Latin1ToUtf8(TitleOf("GI_Sheet_SelfId")) + ": own MMSI " +
                              digits + " has " + FormText(form));
  }
  return report;
}

}  // namespace twk
