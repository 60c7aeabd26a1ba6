// Sheets as rows of text for spreadsheets, and rows of text back into the
// image. A sheet is built headless exactly as the editor builds it, and every
// cell goes through the label handler: the export writes what the grid
// shows, the import acts on each changed cell as a user at the grid would
// (Enter first, then the committed text or the chosen list entry), so that a
// CSV edit and a typed edit can never disagree.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/Dialogs.h"
#include "data/DocumentHooks.h"
#include "file/Csv.h"
#include "sheet/Sheet.h"
#include "sheet/RecordingCanvas.h"
#include "text/ResourceKeys.h"

namespace twk {

// The document of a headless sheet user: the given image, model index 0,
// the used-channels view off, no message bus. What the handler asks of the
// window (a selection popup, a status-line text) is recorded, so that the
// caller can act as the grid would.
class HeadlessHooks : public DocumentHooks {
 public:
  explicit HeadlessHooks(EepromImage& image) : image_(image) {}

  EepromImage& CurrentImage() override { return image_; }
  void Send(int, std::intptr_t, std::int32_t) override {}
  void Post(int, std::intptr_t, std::int32_t) override {}
  void SendText(int type, std::intptr_t v1, std::int32_t v2, const std::string& text) override;
  void OpenSelectionPopup(CellAccessContext& ctx, const std::string& listKey, int value) override;
  Dialogs& Boxes() override { return boxes_; }

  // What the last handler call asked for.
  void ClearRequests();
  bool popupOpened = false;
  std::string popupList;
  int popupValue = 0;
  std::string status;      // the last status-line text
  bool statusAlert = false;  // shown in the alert colours

 private:
  class QuietDialogs : public Dialogs {
   public:
    MsgAnswer MessageBox(const std::string&, const std::string&, MsgIcon, MsgButtons b) override {
      return b == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
  };
  EepromImage& image_;
  QuietDialogs boxes_;
};

// Installs `hooks` as the handler's document for its lifetime.
class HooksScope {
 public:
  explicit HooksScope(DocumentHooks& hooks) : previous_(SetDocumentHooks(&hooks)) {}
  ~HooksScope() { SetDocumentHooks(previous_); }
  HooksScope(const HooksScope&) = delete;
  HooksScope& operator=(const HooksScope&) = delete;

 private:
  DocumentHooks* previous_;
};

// A sheet built without widgets over the hooks' image (install the hooks
// first: channel sheets take the image and their view from them).
struct HeadlessSheet {
  RecordingCanvas canvas;
  std::unique_ptr<Sheet> sheet;
};
std::unique_ptr<HeadlessSheet> BuildHeadlessSheet(const std::string& key);

// The keys of the data sheets the navigation tree shows for `image`, in tree
// order: the USA, CANADA and weather sheets only when their plan switches of
// 0x418 are on, the maker's sheets only in maker mode.
std::vector<std::string> TreeSheetKeys(const EepromImage& image, bool makerMode);

// The sheet's title (its key when it has none).
std::string SheetTitle(Sheet& sheet);
// A file name from the title: characters that file systems refuse become '_'.
std::string CsvFileNameFor(const std::string& title);

// The number of header rows: the sheet's fixed rows.
int SheetHeaderRows(Sheet& sheet);
// What the grid shows in a cell, spaces at both ends removed (Latin-1).
std::string ShownText(Sheet& sheet, HeadlessHooks& hooks, int col, int row);
// The whole sheet as rows of UTF-8 text: the header rows, then every row.
std::vector<CsvRow> ExportSheet(Sheet& sheet, HeadlessHooks& hooks);

// One cell the import did not take, reported as "ROW,COLUMN: text given:
// reason" with the CSV's line and column (both from 1).
struct CsvRefusal {
  int row = 0;
  int column = 0;
  std::string given;  // UTF-8, as in the CSV
  std::string reason;
  std::string Text() const;
};

struct CsvImportResult {
  bool headerMatches = true;  // false: nothing was applied
  std::string headerProblem;
  int changedCells = 0;       // cells whose new text was taken
  int readOnlyCells = 0;      // differing cells the grid never focuses (headers, information)
  std::vector<CsvRefusal> refused;
  bool AllAccepted() const { return headerMatches && refused.empty(); }
};

// Applies the CSV rows (the export's layout) to the sheet's image through the
// label handler. Rows are matched by their first column (the k-th CSV row
// with a given first column goes to the k-th sheet row with it); a refused
// cell leaves the image as it was before that cell.
CsvImportResult ImportSheet(Sheet& sheet, HeadlessHooks& hooks, const CsvParseResult& csv);

// The resource keys the CSV export, import and validation report read.
std::vector<KeyUse> SheetCsvKeys();

}  // namespace twk
