#include "data/SheetCsv.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <map>
#include <optional>

#include "data/ChannelSheet.h"
#include "data/Codecs.h"
#include "data/ItemRecord.h"
#include "data/LabelHandler.h"
#include "data/Labels.h"
#include "data/MemoryMap.h"
#include "data/NameChars.h"
#include "sheet/CellMarkup.h"
#include "sheet/MessageBus.h"
#include "text/CellIndex.h"
#include "text/TextStore.h"

namespace twk {

// ---- hooks -----------------------------------------------------------------------

void HeadlessHooks::SendText(int type, std::intptr_t v1, std::int32_t v2, const std::string& text) {
  if (type != msg::kStatusText) return;
  status = text;
  statusAlert = static_cast<Color>(v1) == kAlertText && static_cast<Color>(v2) == kAlertBack;
}

void HeadlessHooks::OpenSelectionPopup(CellAccessContext&, const std::string& listKey, int value) {
  popupOpened = true;
  popupList = listKey;
  popupValue = value;
}

void HeadlessHooks::ClearRequests() {
  popupOpened = false;
  popupList.clear();
  popupValue = 0;
  status.clear();
  statusAlert = false;
}

// ---- sheets ----------------------------------------------------------------------

std::unique_ptr<HeadlessSheet> BuildHeadlessSheet(const std::string& key) {
  auto h = std::make_unique<HeadlessSheet>();
  h->sheet = CreateSheetFor(nullptr, nullptr, 0, 0, MainText(), key, nullptr);
  h->sheet->SetScreenCanvas(&h->canvas);
  h->sheet->Build();
  return h;
}

namespace {

// The sheet key of a tree address: "[prefix]KEY,argument" gives KEY.
std::string SheetKeyOf(const std::string& address) {
  std::string key = address;
  if (!key.empty() && key[0] == '[') {
    const std::size_t close = key.find(']');
    key = close == std::string::npos ? std::string() : key.substr(close + 1);
  }
  return key.substr(0, key.find(','));
}

std::string Trim(const std::string& s) {
  const std::size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  const std::size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::vector<std::string> TreeSheetKeys(const EepromImage& image, bool makerMode) {
  TextStore& store = MainText();
  CellDescriptor base;
  ParseCell(base, store.GetLine("GI_Tree_Main_BasicCell", 0), nullptr, nullptr);
  const int plans = image.InRange(mem::kPlanSwitches) ? image.GetByte(mem::kPlanSwitches) : 0;
  std::vector<std::string> keys;
  for (int i = 0;; ++i) {
    const std::string text = store.GetLine("GI_Tree_Main_Body", i);
    if (!text.empty() && text[0] == '#') break;
    const std::size_t plus = text.find('+');
    if (plus == std::string::npos) continue;
    CellDescriptor cell;
    ParseCell(cell, std::string_view(text).substr(plus + 1), nullptr, &base);
    if (!cell.option || cell.option->empty()) continue;
    // The tree adjustment of the plan switches, the model and maker mode.
    if (cell.UserFlag(1) && !(plans & 0x01)) continue;
    if (cell.UserFlag(2) && !(plans & 0x04)) continue;
    if (cell.UserFlag(3) && !(plans & 0x02)) continue;
    if (cell.UserFlag(0) && !makerMode) continue;
    const std::string key = SheetKeyOf(*cell.option);
    if (!key.empty() && std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
  }
  return keys;
}

std::string SheetTitle(Sheet& sheet) {
  const std::string title = Trim(sheet.TitleText());
  return title.empty() ? sheet.Key() : title;
}

std::string CsvFileNameFor(const std::string& title) {
  std::string name;
  for (char c : title) {
    const unsigned char u = static_cast<unsigned char>(c);
    name += (u < 32 || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) ? '_' : c;
  }
  if (name.empty() || name == "." || name == "..") name = "sheet";
  return name + ".csv";
}

int SheetHeaderRows(Sheet& sheet) { return sheet.Grid().FixedRows(); }

namespace {

// One handler call on a sheet cell, as the grid makes it.
struct Probe {
  int rc = 0;
  CellAccessContext ctx;
};

int dummyGrid = 0;  // stands for the grid: keys count only in interactive contexts

Probe Act(CellDescriptor& cell, HeadlessHooks& hooks, CellAccessContext ctx) {
  hooks.ClearRequests();
  ctx.cell = &cell;
  ctx.sender = &dummyGrid;
  Probe p;
  p.rc = HandleLabel(&hooks, ctx, kModeAction);
  p.ctx = ctx;
  p.ctx.cell = nullptr;
  p.ctx.parent = nullptr;
  return p;
}

Probe Key(CellDescriptor& cell, HeadlessHooks& hooks, int key) {
  CellAccessContext ctx;
  ctx.key = key;
  return Act(cell, hooks, ctx);
}

Probe Commit(CellDescriptor& cell, HeadlessHooks& hooks, const std::string& text) {
  CellAccessContext ctx;
  ctx.inputKind = kInputCommitted;
  ctx.inputText = text;
  return Act(cell, hooks, ctx);
}

// The popup selection window hands back its chosen list cell (label Flex0,
// index = the value) as the parent context, with input kind 2.
Probe Choose(CellDescriptor& cell, HeadlessHooks& hooks, int value) {
  CellDescriptor chosen;
  chosen.category = CT_Null;
  chosen.label = Flex0;
  chosen.index = value;
  CellAccessContext chosenCtx;
  chosenCtx.cell = &chosen;
  CellAccessContext ctx;
  ctx.parent = &chosenCtx;
  ctx.inputKind = kInputPopupEnter;
  return Act(cell, hooks, ctx);
}

std::string Show(CellDescriptor& cell, HeadlessHooks& hooks) {
  if (!cell.Bound()) return Trim(DisplayTextOf(cell));
  CellAccessContext ctx;
  ctx.cell = &cell;
  HandleLabel(&hooks, ctx, kModeDisplay);
  return Trim(ctx.outputText);
}

}  // namespace

std::string ShownText(Sheet& sheet, HeadlessHooks& hooks, int col, int row) {
  return Show(sheet.CellAt(col, row), hooks);
}

std::vector<CsvRow> ExportSheet(Sheet& sheet, HeadlessHooks& hooks) {
  HooksScope scope(hooks);
  std::vector<CsvRow> rows;
  for (int r = 0; r < sheet.RowCount(); ++r) {
    CsvRow row;
    for (int c = 0; c < sheet.ColCount(); ++c) row.push_back(Latin1ToUtf8(ShownText(sheet, hooks, c, r)));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string CsvRefusal::Text() const {
  return std::to_string(row) + "," + std::to_string(column) + ": " + given + ": " + reason;
}

// ---- import ----------------------------------------------------------------------

namespace {

enum class Kind { Other, Name, Comment, ShortName, Digits, Integer, Scaled, Frequency };

struct CellRule {
  Kind kind = Kind::Other;
  int length = 0;     // names and comments
  int lo = 0, hi = 0; // integers
};

CellRule RuleOf(int label) {
  switch (label) {
    case CL_ChList_Comment:
    case CL_WX_ChComment: return {Kind::Name, mem::kNameLength};
    case CL_DscIndId_Comment: return {Kind::Name, mem::kDscNameLength};
    case CL_ComCom_CloneComment: return {Kind::Comment, mem::kCloneCommentLength};
    case CL_Fch_ChName: return {Kind::ShortName, mem::kFreeShortNameLength};
    case CL_DscIndId_Id:
    case CL_ComDsc_SelfId: return {Kind::Digits, 9};
    case CL_Free_Byte_Dec:
    case CL_MakerR_DscAmp13:
    case CL_MakerR_DscAmp21: return {Kind::Integer, 0, 0, 255};
    case CL_MakerR_TotTimer: return {Kind::Integer, 0, 0, 600};
    case CL_MakerR_ScanSpeed: return {Kind::Scaled, 0, 30, 200};
    case CL_Fch_FreqR:
    case CL_Fch_FreqT: return {Kind::Frequency};
    default: return {};
  }
}

// Well-formed UTF-8 (a CSV saved in a single-byte code page is not).
bool IsUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const int more = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2
                   : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
    if (more < 0 || i + static_cast<std::size_t>(more) >= s.size()) return false;
    for (int k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) return false;
    i += static_cast<std::size_t>(more) + 1;
  }
  return true;
}

std::string DigitsOf(const std::string& s) {
  std::string d;
  for (char c : s)
    if (c >= '0' && c <= '9') d += c;
  return d;
}

// A plain decimal number: optional sign (when allowed), digits, an optional
// point with digits. No exponents, no thousands separators.
std::optional<double> Decimal(const std::string& s, bool sign) {
  std::size_t i = 0;
  if (sign && i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9')
      digits = true;
    else if (s[i] == '.' && !point)
      point = true;
    else
      return std::nullopt;
  }
  if (!digits) return std::nullopt;
  return std::strtod(s.c_str(), nullptr);
}

std::optional<long long> Whole(const std::string& s) {
  if (s.find('.') != std::string::npos) return std::nullopt;
  const std::optional<double> v = Decimal(s, true);
  if (!v || std::fabs(*v) > 1e15) return std::nullopt;
  return static_cast<long long>(*v);
}

bool ShortNameCharOk(char c, std::string_view set) {
  if (set.find(c) != std::string_view::npos) return true;
  const unsigned char u = static_cast<unsigned char>(c);
  if (u >= 128) return false;
  const char other = std::islower(u) ? static_cast<char>(std::toupper(u))
                                     : static_cast<char>(std::tolower(u));
  return set.find(other) != std::string_view::npos;
}

// The reason the cell cannot take `given` (Latin-1, trimmed), found before
// anything is applied; empty when the text may be tried.
std::string PreCheck(const CellRule& rule, const std::string& given) {
  const std::string n = std::to_string(rule.length);
  switch (rule.kind) {
    case Kind::Name:
      if (static_cast<int>(given.size()) > rule.length) return "longer than " + n + " characters";
      for (char c : given)
        if (!IsNameCharacter(c))
          return "characters outside the name set (letters, digits, space and = * + - . /)";
      return {};
    case Kind::Comment:
      if (static_cast<int>(given.size()) > rule.length) return "longer than " + n + " characters";
      for (char c : given) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u > 126) return "characters outside the comment set (ASCII 32-126)";
      }
      return {};
    case Kind::ShortName:
      if (static_cast<int>(given.size()) > rule.length) return "longer than " + n + " characters";
      for (std::size_t i = 0; i < given.size(); ++i)
        if (!ShortNameCharOk(given[i], i < 2 ? codec::kShortNameChars12 : codec::kShortNameChars3))
          return i < 2 ? "characters a short name cannot show"
                       : "characters a short name cannot show (third place: A, b or space)";
      return {};
    case Kind::Digits: {
      std::string compact;
      for (char c : given)
        if (c != ' ') compact += c;
      if (compact.empty()) return {};  // clears the ID
      if (DigitsOf(compact) != compact || compact.size() != 9) return "an MMSI has 9 digits";
      return {};
    }
    case Kind::Integer: {
      const std::optional<long long> v = Whole(given);
      if (!v) return "not a whole number";
      if (*v < rule.lo || *v > rule.hi)
        return "outside " + std::to_string(rule.lo) + "-" + std::to_string(rule.hi);
      return {};
    }
    case Kind::Scaled: {
      const std::optional<double> v = Decimal(given, false);
      if (!v) return "not a number";
      const double scaled = *v * 1000.0;
      if (std::fabs(scaled - std::round(scaled)) > 1e-6) return "more than 3 decimals";
      if (std::round(scaled) < rule.lo || std::round(scaled) > rule.hi) return "outside 0.030-0.200";
      return {};
    }
    case Kind::Frequency: {
      if (given.empty()) return "a frequency cannot be removed";
      if (given == "<-") return {};
      const std::optional<double> v = Decimal(given, false);
      if (!v) return "not a frequency in MHz";
      const long long hz = std::llround(*v * 1e6);
      if (hz < 100000000LL || hz > 199990000LL) return "outside 100.00000-199.99000 MHz";
      return {};
    }
    case Kind::Other: return {};
  }
  return {};
}

std::optional<long long> Hertz(const std::string& text) {
  const std::optional<double> v = Decimal(text, false);
  if (!v) return std::nullopt;
  return std::llround(*v * 1e6);
}

// True when the cell, after the edit, shows what was given.
bool Shows(const CellRule& rule, const std::string& given, const std::string& shown,
           const std::string& firstFrequency) {
  switch (rule.kind) {
    case Kind::Name:
    case Kind::ShortName: return Lower(given) == Lower(shown);
    case Kind::Digits: return DigitsOf(given) == DigitsOf(shown);
    case Kind::Integer: {
      const auto a = Whole(given), b = Whole(shown);
      return a && b && *a == *b;
    }
    case Kind::Scaled: {
      const auto a = Decimal(given, false), b = Decimal(shown, false);
      return a && b && std::llround(*a * 1000) == std::llround(*b * 1000);
    }
    case Kind::Frequency: {
      if (given == "<-") return shown == "<-";
      const auto a = Hertz(given);
      const auto b = Hertz(shown == "<-" ? firstFrequency : shown);
      return a && b && *a == *b;
    }
    case Kind::Comment:
    case Kind::Other: return given == shown;
  }
  return false;
}

// The list entry whose text is `given`: exact first, then ignoring case.
std::optional<int> FindEntry(const CellIndex::List& list, const std::string& given) {
  for (const CellIndex::Entry& e : list.byPosition)
    if (Trim(e.text) == given) return e.value;
  for (const CellIndex::Entry& e : list.byPosition)
    if (Lower(Trim(e.text)) == Lower(given)) return e.value;
  return std::nullopt;
}

std::string EntryTexts(const CellIndex::List& list) {
  std::string s;
  for (const CellIndex::Entry& e : list.byPosition) {
    if (!s.empty()) s += ", ";
    s += "\"" + Latin1ToUtf8(Trim(e.text)) + "\"";
  }
  return s;
}

// P and C marks from the text of an attribute cell; none when it is no such text.
std::optional<int> MarksOfText(const std::string& text) {
  int marks = 0;
  for (char c : text) {
    if (c == 'P' || c == 'p')
      marks |= 1;
    else if (c == 'C' || c == 'c')
      marks |= 2;
    else if (c != ' ')
      return std::nullopt;
  }
  return marks;
}

bool IsPlan(int category) { return category == CT_IntCh || category == CT_UsaCh || category == CT_CanCh; }

class Importer {
 public:
  Importer(Sheet& sheet, HeadlessHooks& hooks, CsvImportResult& result)
      : sheet_(sheet), hooks_(hooks), image_(hooks.CurrentImage()), result_(result),
        index_(&MainText()), readOnlyText_(MainText().GetLine("GI_Botttom_EditRestrected", 0)) {}

  void Run(const CsvParseResult& csv);

 private:
  struct Given {
    bool present = false;
    bool convertible = true;
    std::string text;  // Latin-1, trimmed
    std::string raw;   // as in the CSV
  };
  struct PendingMarks {
    int row, col, line;
    int wanted;
    std::string raw;
  };

  Given GivenAt(const CsvRow& row, int c) const;
  void Refuse(int line, int col, const std::string& raw, const std::string& reason) {
    result_.refused.push_back({line, col + 1, raw, reason});
  }
  bool CheckHeader(const CsvParseResult& csv, int headerRows);
  void ApplyRow(int r, const CsvRow& row, int line);
  void ApplyCell(int c, int r, const Given& g, int line);
  void PlanRow(int r, const CsvRow& row, int line, int& attrCol);

  Sheet& sheet_;
  HeadlessHooks& hooks_;
  EepromImage& image_;
  CsvImportResult& result_;
  CellIndex index_;
  std::string readOnlyText_;
  std::vector<PendingMarks> pending_;
  std::vector<std::string> original_;  // the texts of the current row before its edits
};

Importer::Given Importer::GivenAt(const CsvRow& row, int c) const {
  Given g;
  if (c >= static_cast<int>(row.size())) return g;
  g.present = true;
  g.raw = row[static_cast<std::size_t>(c)];
  std::string latin;
  if (Utf8ToLatin1(g.raw, &latin))
    g.text = Trim(latin);
  else
    g.convertible = false;
  return g;
}

bool Importer::CheckHeader(const CsvParseResult& csv, int headerRows) {
  for (int r = 0; r < headerRows; ++r) {
    std::vector<std::string> expected;
    for (int c = 0; c < sheet_.ColCount(); ++c) expected.push_back(ShownText(sheet_, hooks_, c, r));
    while (!expected.empty() && expected.back().empty()) expected.pop_back();
    std::vector<std::string> got;
    if (r < static_cast<int>(csv.rows.size()))
      for (int c = 0; c < static_cast<int>(csv.rows[static_cast<std::size_t>(r)].size()); ++c) {
        Given g = GivenAt(csv.rows[static_cast<std::size_t>(r)], c);
        got.push_back(g.convertible ? g.text : g.raw);
      }
    while (!got.empty() && got.back().empty()) got.pop_back();
    if (got != expected) {
      std::string list;
      for (const std::string& e : expected) list += (list.empty() ? "" : ",") + Latin1ToUtf8(e);
      const int line = r < static_cast<int>(csv.lines.size()) ? csv.lines[static_cast<std::size_t>(r)] : r + 1;
      result_.headerMatches = false;
      result_.headerProblem = "line " + std::to_string(line) + ": the header does not match the sheet \"" +
                              Latin1ToUtf8(SheetTitle(sheet_)) + "\" (expected: " + list + ")";
      return false;
    }
  }
  return true;
}

void Importer::Run(const CsvParseResult& csv) {
  const int headerRows = SheetHeaderRows(sheet_);
  if (!CheckHeader(csv, headerRows)) return;

  // The sheet's rows by the text of their first column.
  std::map<std::string, std::deque<int>> rowsByKey;
  for (int r = headerRows; r < sheet_.RowCount(); ++r)
    rowsByKey[ShownText(sheet_, hooks_, 0, r)].push_back(r);
  std::map<std::string, int> onSheet;
  for (const auto& [text, rows] : rowsByKey) onSheet[text] = static_cast<int>(rows.size());
  const auto blank = [](const CsvRow& row) {
    return std::all_of(row.begin(), row.end(), [](const std::string& s) { return Trim(s).empty(); });
  };
  // Rows that share their first column (the plan rows of user channels
  // without a short name) are told apart only by their order: the CSV must
  // give all of them, or a row would land on another slot.
  std::map<std::string, int> given;
  for (std::size_t i = static_cast<std::size_t>(headerRows); i < csv.rows.size(); ++i)
    if (!blank(csv.rows[i])) {
      const Given key = GivenAt(csv.rows[i], 0);
      if (key.convertible) ++given[key.text];
    }

  for (std::size_t i = static_cast<std::size_t>(headerRows); i < csv.rows.size(); ++i) {
    const CsvRow& row = csv.rows[i];
    const int line = i < csv.lines.size() ? csv.lines[i] : static_cast<int>(i) + 1;
    if (blank(row)) continue;  // a blank line
    const Given key = GivenAt(row, 0);
    auto it = key.convertible ? rowsByKey.find(key.text) : rowsByKey.end();
    if (it != rowsByKey.end() && onSheet[key.text] > 1 && given[key.text] != onSheet[key.text]) {
      Refuse(line, 0, key.raw,
             std::to_string(onSheet[key.text]) +
                 " rows of this sheet have this first column: give all of them, in the sheet's order");
      continue;
    }
    if (it == rowsByKey.end() || it->second.empty()) {
      Refuse(line, 0, key.raw, "no such row on this sheet, or the row is given twice");
      continue;
    }
    const int r = it->second.front();
    it->second.pop_front();
    ApplyRow(r, row, line);
    for (int c = sheet_.ColCount(); c < static_cast<int>(row.size()); ++c)
      if (!Trim(row[static_cast<std::size_t>(c)]).empty())
        Refuse(line, c, row[static_cast<std::size_t>(c)], "no such column on this sheet");
  }

  // A P or C mark can only move to another channel: a mark taken away shows
  // whether some other row took it.
  for (const PendingMarks& p : pending_) {
    const std::optional<int> now = MarksOfText(ShownText(sheet_, hooks_, p.col, p.row));
    if (now && *now == p.wanted) continue;
    Refuse(p.line, p.col, p.raw,
           "each plan has one P and one C channel: a mark moves when another channel takes it");
  }
}

void Importer::PlanRow(int r, const CsvRow& row, int line, int& attrCol) {
  attrCol = -1;
  std::vector<int> masked;  // the cells a slot not in use shows as "---"
  for (int c = 0; c < sheet_.ColCount(); ++c) {
    const CellDescriptor& cell = sheet_.CellAt(c, r);
    if (!cell.Bound()) continue;
    if (cell.label == CL_ChList_Atr)
      attrCol = c;
    else if (cell.label != CL_ChList_No)
      masked.push_back(c);
  }
  if (attrCol < 0) return;
  CellDescriptor& attr = sheet_.CellAt(attrCol, r);
  ItemRecord rec(&image_);
  auto inUse = [&] {
    rec.Load(static_cast<RecordKind>(KindOfCategory(attr.category)), attr.index);
    return !(rec.flags & ItemRecord::kFlagNotInUse);
  };

  // The P and C marks, chosen from the attribute list.
  // Every given mark is checked again at the end, so that two rows marked P
  // (the later one wins) are not passed over.
  const Given g = GivenAt(row, attrCol);
  if (g.present) {
    const std::optional<int> wanted = g.convertible ? MarksOfText(g.text) : std::nullopt;
    if (!wanted) {
      Refuse(line, attrCol, g.raw, "use P, C, PC or nothing");
    } else {
      const int now = MarksOfText(ShownText(sheet_, hooks_, attrCol, r)).value_or(0);
      bool chosen = false;
      for (int bit : {1, 2})
        if ((*wanted & bit) && !(now & bit)) {
          Choose(attr, hooks_, bit);
          chosen = true;
        }
      if (chosen) ++result_.changedCells;
      pending_.push_back({r, attrCol, line, *wanted, g.raw});
    }
  }

  // The slot's in-use state: a row that shows "---" in every masked cell is
  // a slot not in use. Switched as typing does it, with Space on the
  // attribute cell.
  int dashes = 0, values = 0;
  for (int c : masked) {
    const Given m = GivenAt(row, c);
    if (!m.present) continue;
    (m.text == "---" ? dashes : values) += 1;
  }
  if (dashes + values == 0) return;
  const bool wantInUse = values > 0;
  if (wantInUse != inUse()) {
    Key(attr, hooks_, ' ');
    if (wantInUse == inUse()) ++result_.changedCells;
  }
}

void Importer::ApplyRow(int r, const CsvRow& row, int line) {
  // What the row showed before any of its cells changed: a cell the CSV
  // leaves as it was is not an edit, even when another cell of the row has
  // changed what it shows (a weather channel set not in use shows "---" as
  // its name).
  original_.clear();
  for (int c = 0; c < sheet_.ColCount(); ++c) original_.push_back(ShownText(sheet_, hooks_, c, r));
  int attrCol = -1;
  if (IsPlan(sheet_.CellAt(0, r).category)) PlanRow(r, row, line, attrCol);
  for (int c = 0; c < sheet_.ColCount(); ++c) {
    if (c == attrCol) continue;
    const Given g = GivenAt(row, c);
    if (g.present) ApplyCell(c, r, g, line);
  }
}

void Importer::ApplyCell(int c, int r, const Given& g, int line) {
  CellDescriptor& cell = sheet_.CellAt(c, r);
  const std::string shown = ShownText(sheet_, hooks_, c, r);
  const CellRule rule = RuleOf(cell.label);
  std::string firstFrequency;  // what the receive frequency of the row shows
  if (rule.kind == Kind::Frequency) {
    CellDescriptor first = cell;
    first.label = CL_Fch_FreqR;
    firstFrequency = Show(first, hooks_);
  }
  // Unchanged: the same text, or the same value written another way
  // ("0.1" for "0.100", "156.8" for "156.80000").
  // Names count only when written exactly as shown: a name that differs in
  // case is an edit (typing it keeps the lower-case letters the radio shows).
  const bool sameValueWritten = rule.kind != Kind::Other && rule.kind != Kind::Name &&
                                rule.kind != Kind::ShortName && !shown.empty() &&
                                Shows(rule, g.text, shown, firstFrequency);
  // A spreadsheet reads an MMSI as a number and drops its leading zeros: the
  // same ID without them is no edit.
  const bool zerosDropped = rule.kind == Kind::Digits && !g.text.empty() && DigitsOf(g.text) == g.text &&
                            g.text.size() < shown.size() && DigitsOf(shown) == shown &&
                            shown == std::string(shown.size() - g.text.size(), '0') + g.text;
  if (g.convertible &&
      (g.text == shown || g.text == original_[static_cast<std::size_t>(c)] || sameValueWritten || zerosDropped))
    return;
  // The grid never focuses a cell that is not bound or not selectable.
  if (!cell.Bound() || !cell.Selectable()) {
    ++result_.readOnlyCells;
    return;
  }
  if (!g.convertible) {
    Refuse(line, c, g.raw, IsUtf8(g.raw) ? "characters the radio cannot show"
                                         : "not UTF-8 text (save the CSV as UTF-8)");
    return;
  }
  // The self ID's own text for "no ID" clears it, as typing that text does
  // (the digits codec keeps only digits).
  const bool clearsSelfId =
      cell.label == CL_ComDsc_SelfId && g.text == Trim(MainText().GetLine("GI_AppInd_Dsc_SelfIdOff", 0));
  const std::string typed = clearsSelfId ? std::string() : g.text;
  if (std::string why = PreCheck(rule, typed); !why.empty()) {
    Refuse(line, c, g.raw, why);
    return;
  }

  const EepromImage before(image_);
  // Enter first, as the user opens the cell's editor or list.
  const Probe enter = Key(cell, hooks_, kKeyEnter);
  if (hooks_.statusAlert && hooks_.status == readOnlyText_) {
    // A cell the row's state makes read-only (a name of a weather channel
    // not in use, the simplex cell of an odd slot): the editor's refusal.
    image_.Assign(before);
    Refuse(line, c, g.raw, Latin1ToUtf8(readOnlyText_));
    return;
  }
  if (enter.ctx.jumpRequest) {
    image_.Assign(before);
    Refuse(line, c, g.raw, cell.category == CT_DscIndId ? "the row has no valid MMSI"
                                                        : "the cell hands its input to another cell");
    return;
  }

  std::optional<std::string> entryText;  // a selection: the chosen entry's text
  if (hooks_.popupOpened) {
    const std::string listKey = hooks_.popupList;
    const CellIndex::List& list = index_.Get(listKey, Flex0);
    const std::optional<int> value = FindEntry(list, g.text);
    if (!value) {
      image_.Assign(before);
      Refuse(line, c, g.raw, "not in the list (" + EntryTexts(list) + ")");
      return;
    }
    for (const CellIndex::Entry& e : list.byPosition)
      if (e.value == *value) {
        entryText = Trim(e.text);
        break;
      }
    Choose(cell, hooks_, *value);
  } else if (enter.rc == kActionOpenEditor) {
    std::string text = typed;
    if (rule.kind == Kind::Frequency) {
      if (text == "<-") {
        if (firstFrequency.empty()) {
          image_.Assign(before);
          Refuse(line, c, g.raw, "the receive frequency is empty");
          return;
        }
        text = firstFrequency;  // the second frequency follows the first
      }
    }
    Commit(cell, hooks_, text);
  } else {
    // Cells whose editor opens on a typed character only (hexadecimal bytes).
    Commit(cell, hooks_, g.text);
  }

  const std::string now = ShownText(sheet_, hooks_, c, r);
  if (entryText ? now == *entryText : Shows(rule, g.text, now, firstFrequency)) {
    if (!image_.Equals(before)) ++result_.changedCells;  // "on" for "On" chooses what was there
    return;
  }
  const bool untouched = image_.Equals(before);
  image_.Assign(before);
  if (untouched && rule.kind == Kind::Frequency)
    Refuse(line, c, g.raw, "not on the channel grid (steps of 6.25 kHz)");
  else if (untouched)
    Refuse(line, c, g.raw, "the cell refused it");
  else
    Refuse(line, c, g.raw, "would be stored as \"" + Latin1ToUtf8(now) + "\"");
}

}  // namespace

CsvImportResult ImportSheet(Sheet& sheet, HeadlessHooks& hooks, const CsvParseResult& csv) {
  HooksScope scope(hooks);
  CsvImportResult result;
  Importer importer(sheet, hooks, result);
  importer.Run(csv);
  return result;
}

std::vector<KeyUse> SheetCsvKeys() {
  std::vector<KeyUse> keys = {{"GI_Tree_Main_BasicCell", ResourceFile::Main, 1},
                              {"GI_Tree_Main_Body", ResourceFile::Main, 1},
                              {"GI_Botttom_EditRestrected", ResourceFile::Main, 1}};
  // The sheets the validation report names in its advice.
  for (const char* sheet : {"GI_Sheet_DscIndId", "GI_Sheet_SelfId"})
    for (const char* part : {"_Style", "_BasicCell", "_Cells"})
      keys.push_back({std::string(sheet) + part, ResourceFile::Main, 1});
  return keys;
}

}  // namespace twk
