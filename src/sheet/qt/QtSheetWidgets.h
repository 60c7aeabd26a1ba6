// The Qt widgets around a sheet: the title strip, the grid panel with its
// cuiGrid, and the canvas the sheet measures and paints on. They are laid out
// top to bottom in a host widget (a SheetView).
#pragma once

#include <memory>

#include "sheet/Sheet.h"
#include "sheet/qt/QtCanvas.h"

class QFrame;
class QLabel;
class QWidget;

namespace twk {

class cuiGrid;

class QtSheetWidgets : public SheetWidgets {
 public:
  explicit QtSheetWidgets(QWidget* host);
  ~QtSheetWidgets() override;

  void SetSheet(Sheet* sheet) { sheet_ = sheet; }

  void CreateTitle(const std::string& text, const std::optional<Font>& font, Color color,
                   int height) override;
  void CreateGridPanel(bool popupMode, Color background, const Font& font) override;
  void CreatePopupMenu() override {}
  void ShowWidgets() override;
  Canvas* GridCanvas() override { return &canvas_; }
  Size ParentSize() const override;
  void RefreshPopupMenu(bool force) override;
  int TitleTextHeight(const std::optional<Font>& font) override;

  cuiGrid* Grid() const { return grid_; }
  QLabel* TitleLabel() const { return titleLabel_; }
  QFrame* TitleStrip() const { return title_; }
  QFrame* GridPanel() const { return panel_; }
  QtCanvas& GetCanvas() { return canvas_; }
  // Cuts the grid off the sheet and deletes the widgets, at once or (while
  // the grid is inside one of its handlers) once the event loop runs again.
  void Release(bool deferred = false);

 private:
  QWidget* host_;
  Sheet* sheet_ = nullptr;
  QtCanvas canvas_;
  QFrame* title_ = nullptr;
  QLabel* titleLabel_ = nullptr;
  QFrame* panel_ = nullptr;
  cuiGrid* grid_ = nullptr;
};

}  // namespace twk
