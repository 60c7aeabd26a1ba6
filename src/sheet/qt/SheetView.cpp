#include "sheet/qt/SheetView.h"

#include <QTimer>

#include "data/ChannelSheet.h"
#include "sheet/Canvas.h"
#include "sheet/ColumnWidths.h"
#include "sheet/Sheet.h"
#include "sheet/qt/QtSheetWidgets.h"
#include "sheet/qt/SelectionPopup.h"
#include "sheet/qt/cuiGrid.h"
#include "text/TextStore.h"

namespace twk {

SheetView::SheetView(QWidget* parent, ImageList* images) : QWidget(parent), images_(images) {
  setObjectName("SheetView");
  InstallQtPopupOpener();
  // Printing scales by printer ppi / screen ppi.
  SetScreenPixelsPerInch(logicalDpiY());
}

SheetView::~SheetView() { Close(); }

Sheet* SheetView::Open(const std::string& sheetKey, const OpenOptions& options) {
  Close();
  TextStore& store = options.store != nullptr ? *options.store : MainText();
  widgets_ = std::make_unique<QtSheetWidgets>(this);
  sheet_ = CreateSheetFor(this, options.parentContext, options.requestedLabel,
                          options.requestedIndex, store, sheetKey, images_);
  widgets_->SetSheet(sheet_.get());
  sheet_->SetWidgets(widgets_.get());
  if (!options.address.empty()) {
    sheet_->SetAddress(options.address);
    const auto comma = options.address.find(',');
    if (comma != std::string::npos) sheet_->SetArgument(options.address.substr(comma + 1));
  }
  if (options.handler) sheet_->SetHandler(options.handler.fn, options.handler.object);
  sheet_->SetPopupMode(options.popupMode);
  const SheetPosition& p = options.position;
  sheet_->SetSavedPosition(p.col, p.row, p.leftCol, p.topRow);
  sheet_->SetFontsChanged(options.fontsChanged);
  sheet_->Build();
  if (cuiGrid* g = widgets_->Grid()) {
    g->setEnabled(sheet_->Grid().Enabled());
    g->SyncScrollBars();
  }
  return sheet_.get();
}

void SheetView::Close() {
  if (!sheet_) return;
  // The grid may be inside one of its handlers (a choice that rebuilds the
  // sheets): it is cut off now and deleted by the event loop.
  cuiGrid* grid = Grid();
  if (grid != nullptr && grid->Busy()) {
    // The handler that closes the sheet still works on its cells: the sheet
    // goes once the event loop runs again (its widths are kept now).
    sheet_->SaveColumnWidths();
    widgets_->Release(true);
    Sheet* sheet = sheet_.release();
    QtSheetWidgets* widgets = widgets_.release();
    QTimer::singleShot(0, [sheet, widgets] {
      delete sheet;
      delete widgets;
    });
    return;
  }
  if (widgets_) widgets_->Release();
  sheet_.reset();
  widgets_.reset();
}

cuiGrid* SheetView::Grid() const { return widgets_ ? widgets_->Grid() : nullptr; }

SheetPosition SheetView::Position() const {
  SheetPosition p;
  if (!sheet_) return p;
  const GridModel& m = sheet_->Grid();
  p.col = m.Col();
  p.row = m.Row();
  p.leftCol = m.LeftCol();
  p.topRow = m.TopRow();
  return p;
}

void SheetView::FocusGrid() {
  if (cuiGrid* g = Grid()) g->setFocus(Qt::OtherFocusReason);
}

}  // namespace twk
