// A sheet: one grid page built from three sections of a text store, named by
// the sheet's key K: K + "_Style" (sheet-wide options), K + "_BasicCell" (the
// base cell every cell inherits) and K + "_Cells" (row templates with loops
// and selection markers). The sheet owns its grid geometry (GridModel), one
// slot per cell (descriptor and state bits) and the channel variables; it
// paints its own cells (CellPainter) and keeps its column widths per sheet
// (ColumnWidths). Widgets are not created here: the front end implements
// SheetWidgets and drives the grid model; without widgets a sheet is built
// and painted headless (tests, printing, the command-line tool).
//
// Derived sheets (the channel lists, generated sheets of the maker tools)
// override the virtual operations, which follow the build order.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sheet/CellAccess.h"
#include "sheet/CellDescriptor.h"
#include "sheet/GridModel.h"
#include "text/ResourceKeys.h"

namespace twk {

class Canvas;
class ImageList;
class TextStore;
struct Message;

// Slot state bits.
namespace slotstate {
constexpr std::uint8_t kMultiSelectable = 0x01;  // the row may be multi-selected
constexpr std::uint8_t kSelected = 0x02;
constexpr std::uint8_t kRowMarked = 0x04;
}  // namespace slotstate

struct GridSlot {
  CellDescriptor cell;
  std::uint8_t state = slotstate::kMultiSelectable;
};

struct RowEntry {
  int line = 0;            // line number in K + "_Cells"
  bool selectable = true;  // the row may be multi-selected
};

// Sheet flag bits.
namespace sheetflag {
constexpr std::uint8_t kPopupMode = 0x01;
constexpr std::uint8_t kNoPrint = 0x02;
constexpr std::uint8_t kColSizing = 0x04;
constexpr std::uint8_t kColorSelectLine = 0x08;
}  // namespace sheetflag

enum class MultiSelectMode { None = 0, Cell = 1, Line = 2 };

// What the front end provides around a sheet: the title strip, the grid
// panel with its grid and popup menu, and the sizes of the parent window.
// Every operation is optional.
class SheetWidgets {
 public:
  virtual ~SheetWidgets() = default;
  // The title strip docked at the top (lowered bevel 2 wide; a left-aligned,
  // vertically centred label with the font and the colour as background);
  // `height` = text height + bevel width + 8.
  virtual void CreateTitle(const std::string& text, const std::optional<Font>& font, Color color,
                           int height) {
    (void)text; (void)font; (void)color; (void)height;
  }
  // The grid panel filling the rest (popup mode: raised bevel 1 wide with a
  // border of 2; else a lowered bevel 2 wide), holding the grid.
  virtual void CreateGridPanel(bool popupMode, Color background, const Font& font) {
    (void)popupMode; (void)background; (void)font;
  }
  virtual void CreatePopupMenu() {}
  virtual void ShowWidgets() {}
  // The canvas of the grid (measuring and painting on screen).
  virtual Canvas* GridCanvas() { return nullptr; }
  virtual Size ParentSize() const { return {}; }
  // Rebuilds the grid's popup menu for the current cell.
  virtual void RefreshPopupMenu(bool force) { (void)force; }
  // Height of the title text in the title font.
  virtual int TitleTextHeight(const std::optional<Font>& font) { (void)font; return 0; }
};

class Sheet {
 public:
  // `parentContext` is copied (popup sheets: the context of the cell that
  // opened the sheet). `images` is not owned.
  Sheet(void* parentWindow, const CellAccessContext* parentContext, int requestedLabel,
        int requestedIndex, TextStore& store, std::string key, ImageList* images);
  // Saves the column widths (screen, not popup), sends message 1 with the
  // grid and unsubscribes from the bus.
  virtual ~Sheet();
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  // ---- set-up before Build ----
  void SetHandler(LabelHandler fn, void* object) { handler_ = LabelHandlerRef{fn, object}; }
  void SetPopupMode(bool on);
  void SetSavedPosition(int col, int row, int leftCol, int topRow);
  // Printing on the printer: the scale becomes printer ppi / screen ppi in
  // whole numbers (600 / 96 gives 6).
  void SetPrinter(Canvas* printer);
  // Printing into a preview bitmap for the printer: scale 1.0.
  void SetPreview(Canvas* printer, Canvas* bitmap);
  void SetPreviewFlag(bool on) { previewFlag_ = on; }
  void SetExplicitFontHeight(int height) { explicitFontHeight_ = height; }
  virtual void SetArgument(const std::string& text) { argument_ = text; }
  void SetAddress(const std::string& address) { address_ = address; }
  void SetFontsChanged(bool on) { fontsChanged_ = on; }
  void SetWidgets(SheetWidgets* widgets) { widgets_ = widgets; }
  // The canvas to measure on when there are no widgets (headless screen).
  void SetScreenCanvas(Canvas* canvas) { screenCanvas_ = canvas; }
  // The display font percentage (default: the settings' value, else 100).
  void SetDisplayFontPercent(int percent) { displayPercent_ = percent; }

  // ---- the virtual operations, in build order ----
  virtual void Build();
  virtual void ApplyStyleAttribute(const std::string& text);
  // One group of a control line (line L of K + "_Cells").
  virtual void ApplyControlAttribute(const std::string& text, int line);
  virtual void LayOut();
  virtual void ReadBaseCell();
  virtual void ReadRowTable();
  virtual void FillCells();
  virtual void BeginRow(int row) { (void)row; }
  virtual void BeginCell(int col, int row) { (void)col; (void)row; }
  virtual std::string TitleText() { return title_.value_or(std::string()); }
  virtual bool Printable() { return (flags_ & sheetflag::kNoPrint) == 0; }
  virtual bool PrintableQuery() { return Printable(); }
  virtual void RestoreColumnWidths();
  virtual void SaveColumnWidths();

  // ---- cells ----
  // Outside the grid, or before the slots exist: "Illegal Cell selection".
  CellDescriptor& CellAt(int col, int row);
  GridSlot& SlotAt(int col, int row);
  bool HasSlots() const { return !slots_.empty(); }
  // First selectable cell in row-major order; false when there is none.
  bool FirstSelectable(int& col, int& row) const;
  // First selectable cell with this label and index (category too when
  // `category` is not negative), row-major.
  bool FindSelectable(int category, int label, std::int32_t index, int& col, int& row) const;
  bool IsSelectable(int col, int row) const;
  // Column c may be resized and its width kept: its cell in the first
  // non-fixed row is selectable.
  bool ColumnResizable(int col) const;

  // Moves the current cell (scrolling it into view, or not); the front end's
  // grid behaviour overrides it to update selections and the popup menu.
  virtual void Focus(int col, int row, bool scroll);

  // Sum of the column widths (row heights) plus the parent window's width
  // (height) minus the grid's client width (height).
  int ExtraWidthNeeded() const;
  int ExtraHeightNeeded() const;

  // After the user dragged a border (the grid's column widths changed event).
  void ColumnWidthsChanged();
  // Invalidates the visible cells (and one beyond) that match `c` under the
  // criteria mask (bit 0 label and index, 1 category, 2 label, 3 index, 4
  // category and neighbouring index, 5 any bound cell, 6 index at least, 7
  // index at most).
  void RepaintMatching(const CellDescriptor& c, std::uint8_t mask);

  // ---- painting ----
  // Paints cell (col, row) into `rect` on `canvas` (Part of CellPainter).
  void PaintCell(Canvas& canvas, int col, int row, const Rect& rect);
  // Paints every cell at its unscrolled position (printing, benchmarks).
  void PaintAll(Canvas& canvas);
  void SetEditorVisible(bool on) { editorVisible_ = on; }
  bool EditorVisible() const { return editorVisible_; }

  // ---- state ----
  const std::string& Key() const { return key_; }
  const std::string& Address() const { return address_; }
  const std::string& Argument() const { return argument_; }
  TextStore& Store() const { return store_; }
  GridModel& Grid() { return grid_; }
  const GridModel& Grid() const { return grid_; }
  const CellDescriptor& BaseCell() const { return base_; }
  const Font& BaseFont() const;
  ImageList* Images() const { return images_; }
  const CellAccessContext* ParentContext() const { return parentContext_.get(); }
  LabelHandlerRef Handler() const { return handler_; }
  const std::optional<std::string>& Title() const { return title_; }
  const std::optional<Font>& TitleFont() const { return titleFont_; }
  Color TitleColor() const { return titleColor_; }
  int FixedColsWanted() const { return fixedCols_; }
  int FixedRowsWanted() const { return fixedRows_; }
  int PrintFontRatio() const { return printFontRatio_; }
  MultiSelectMode MultiSelect() const { return multiSelect_; }
  std::uint8_t Flags() const { return flags_; }
  bool PopupMode() const { return (flags_ & sheetflag::kPopupMode) != 0; }
  bool Printing() const { return printer_ != nullptr; }
  bool PreviewFlag() const { return previewFlag_; }
  double PrintScale() const { return printScale_; }
  Canvas* Printer() const { return printer_; }
  Canvas* PreviewBitmap() const { return previewBitmap_; }
  int ExplicitFontHeight() const { return explicitFontHeight_; }
  bool Building() const { return building_; }
  bool FontsChanged() const { return fontsChanged_; }
  const std::vector<RowEntry>& Rows() const { return rows_; }
  int ColCount() const { return colCount_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const std::int32_t* ChannelVars() const { return chVars_; }
  int SavedCol() const { return savedCol_; }
  int SavedRow() const { return savedRow_; }
  int DisplayFontPercent() const;
  // The canvas cells are measured on: the printer's (the preview bitmap's
  // in preview mode), else the grid's, else the screen canvas.
  Canvas* TargetCanvas() const;
  CellAccessContext& PaintContext() { return paintContext_; }

 protected:
  // Row table state, open to derived sheets' control attributes.
  int loopStart_ = -1;
  int loopEnd_ = -1;
  int loopCount_ = -1;
  int loopLines_ = 0;
  bool currentSelectable_ = true;
  int skipCount_ = 0;
  std::int32_t chVars_[kChannelVariableCount] = {};
  std::vector<RowEntry> rows_;
  int colCount_ = 0;

  std::optional<std::string> title_;
  std::optional<Font> titleFont_;
  Color titleColor_ = clGrayText;
  int fixedCols_ = 0;
  int fixedRows_ = 0;
  int printFontRatio_ = 100;
  MultiSelectMode multiSelect_ = MultiSelectMode::None;
  std::uint8_t flags_ = 0;

  void AppendRow(int line, bool selectable);
  // Measures a freshly parsed cell and widens / heightens its column / row
  // when its layout flags ask for it.
  void FitCell(const CellDescriptor& cell, int col, int row);
  std::string CellsKey() const { return key_ + "_Cells"; }

 private:
  static void OnMessage(void* object, const Message& m);

  void* parentWindow_;
  std::unique_ptr<CellAccessContext> parentContext_;
  int requestedLabel_;
  std::int32_t requestedIndex_;
  TextStore& store_;
  std::string key_;
  std::string address_;
  std::string argument_;
  ImageList* images_;
  LabelHandlerRef handler_;
  SheetWidgets* widgets_ = nullptr;
  Canvas* screenCanvas_ = nullptr;
  int displayPercent_ = 0;  // 0: from the settings

  int savedCol_ = -1, savedRow_ = -1, savedLeft_ = -1, savedTop_ = -1;
  int explicitFontHeight_ = 0;
  Canvas* printer_ = nullptr;
  Canvas* previewBitmap_ = nullptr;
  bool previewFlag_ = false;
  double printScale_ = 1.0;

  CellDescriptor base_;
  std::vector<GridSlot> slots_;
  GridModel grid_;
  bool fontsChanged_ = false;
  bool building_ = false;
  bool restoringWidths_ = false;
  bool editorVisible_ = false;
  bool subscribed_ = false;
  CellAccessContext paintContext_;

  friend class CellPainter;
};

}  // namespace twk
