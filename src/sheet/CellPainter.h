// Painting of one sheet cell on a canvas: joined runs, highlight, background
// with the current-row tint, bottom rule and right edge marks, font and text
// colour, the text from the label handler laid out with the sheet's scale,
// and the error or warning mark (the image list's pictures on screen,
// black-and-white figures when printing). The same code serves the screen,
// the printer and the preview bitmap.
#pragma once

#include "sheet/Geometry.h"
#include "sheet/Fonts.h"

namespace twk {

class Canvas;
class Sheet;

// Colours of the painting rules (0x00BBGGRR).
inline constexpr Color kPaintWhite = 0x00FFFFFF;
inline constexpr Color kPaintBlack = 0x00000000;
inline constexpr Color kPaintGrey = 0x00808080;
inline constexpr Color kPaintDarkGrey = 0x00606060;
inline constexpr Color kPaintSilver = 0x00C0C0C0;

class CellPainter {
 public:
  // Paints cell (col, row) of the sheet into `rect`. Nothing happens while
  // the sheet is building, before its slots exist, or when the column width
  // or row height is below 1.
  static void Paint(Sheet& sheet, Canvas& canvas, int col, int row, const Rect& rect);

  // The tint of the current row: each channel the mean of button face and
  // window, rounded up.
  static Color RowTint(const Canvas& canvas);

  // The printed marks: a black twelve-corner cross (error) and a white
  // triangle with a black outline and a black exclamation mark (warning),
  // each o pixels square with its top-left corner at (x, y).
  static void ErrorFigure(Canvas& canvas, int x, int y, int o);
  static void WarningFigure(Canvas& canvas, int x, int y, int o);
};

}  // namespace twk
