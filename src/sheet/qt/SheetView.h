// The place where the main window (and the popup windows) show a sheet: it
// builds the sheet of a key through the sheet factory, gives it the Qt
// widgets (title strip, grid panel, grid, popup menu) and keeps it until the
// next sheet replaces it or the view closes it.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "sheet/CellAccess.h"

namespace twk {

class ImageList;
class QtSheetWidgets;
class Sheet;
class TextStore;
class cuiGrid;

// Where to put the focus and the scroll position of a sheet being opened
// (-1 = none: the first selectable cell, or the requested label and index).
struct SheetPosition {
  int col = -1;
  int row = -1;
  int leftCol = -1;
  int topRow = -1;
};

class SheetView : public QWidget {
  Q_OBJECT
 public:
  // `images`: the tree image list (4 = warning, 5 = error mark); not owned,
  // may be null (no marks).
  explicit SheetView(QWidget* parent = nullptr, ImageList* images = nullptr);
  ~SheetView() override;

  struct OpenOptions {
    // The full address "[prefix]key,argument" (default: the key); it names
    // the column widths, its argument goes to the sheet.
    std::string address;
    SheetPosition position;
    int requestedLabel = 0;  // 0 = none
    int requestedIndex = 0;
    bool fontsChanged = false;  // the display font size changed since the last sheet
    bool popupMode = false;     // the sheet lives in a popup selection window
    const CellAccessContext* parentContext = nullptr;  // copied by the sheet
    LabelHandlerRef handler;    // none: the standard label handler
    TextStore* store = nullptr; // none: the main text store
  };

  // Closes the open sheet, then builds and shows the sheet of `sheetKey`.
  // Returns the new sheet (owned by the view).
  Sheet* Open(const std::string& sheetKey, const OpenOptions& options);
  Sheet* Open(const std::string& sheetKey) { return Open(sheetKey, OpenOptions{}); }
  // Destroys the open sheet (its column widths are saved, message 1 is sent).
  void Close();

  bool IsOpen() const { return sheet_ != nullptr; }
  Sheet* CurrentSheet() const { return sheet_.get(); }
  cuiGrid* Grid() const;
  // The current cell and the scroll position (for the sheet history); all
  // -1 without a sheet.
  SheetPosition Position() const;
  // Gives the keyboard focus to the grid.
  void FocusGrid();
  void SetImages(ImageList* images) { images_ = images; }

 private:
  ImageList* images_;
  std::unique_ptr<QtSheetWidgets> widgets_;
  std::unique_ptr<Sheet> sheet_;
};

}  // namespace twk
