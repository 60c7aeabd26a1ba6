// The drawing surface that cell painting and printing draw on. The front end
// implements it over the screen, the printer and the preview bitmap; tests
// and benchmarks use the RecordingCanvas, which keeps a list of every call.
// Coordinates are device pixels; rectangles exclude their right and bottom
// edges. Colours are 0x00BBGGRR values or system colours (top bit set),
// which the canvas resolves.
#pragma once

#include <string>
#include <vector>

#include "sheet/Fonts.h"
#include "sheet/Geometry.h"

namespace twk {

// A row of equally sized pictures (the tree images: 4 = warning, 5 = error).
class ImageList {
 public:
  virtual ~ImageList() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int Count() const = 0;
};

// A fixed-size image list without pictures (tests, headless printing).
class PlainImageList : public ImageList {
 public:
  PlainImageList(int width, int height, int count) : w_(width), h_(height), n_(count) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  int Count() const override { return n_; }

 private:
  int w_, h_, n_;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // The font text is drawn and measured with; its colour is the text colour.
  virtual void SetFont(const Font& font) = 0;
  virtual const Font& GetFont() const = 0;
  void SetFontColor(Color c) {
    Font f = GetFont();
    f.color = c;
    SetFont(f);
  }
  // Width and height of one line of text in the current font.
  virtual Size TextExtent(const std::string& text) = 0;

  virtual void FillRect(const Rect& r, Color color) = 0;
  // A line of `width` pixels from `from` up to, not including, `to`.
  virtual void Line(Point from, Point to, Color color, int width) = 0;
  // A closed polygon filled with `fill` and outlined with `pen`.
  virtual void Polygon(const std::vector<Point>& points, Color fill, Color pen, int penWidth) = 0;
  // One line of text with its top-left corner at (x, y), transparent
  // background, current font.
  virtual void Text(int x, int y, const std::string& text) = 0;
  // The same, clipped to `clip`.
  virtual void TextClipped(const Rect& clip, int x, int y, const std::string& text) = 0;
  // Picture `index` of `images` with its top-left corner at (x, y).
  virtual void Image(const ImageList& images, int index, int x, int y) = 0;
  // Restricts every later drawing to `r` until ClearClip.
  virtual void SetClip(const Rect& r) = 0;
  virtual void ClearClip() = 0;

  // Vertical pixels per inch of the device.
  virtual int PixelsPerInch() const = 0;
  // The RGB value (0x00BBGGRR) of a colour; system colours by the palette.
  virtual Color Resolve(Color c) const { return ResolveSystemColor(c); }

  // A fixed palette for system colours (used when no toolkit palette is at
  // hand, and by the RecordingCanvas).
  static Color ResolveSystemColor(Color c);
};

// Pixels per inch of the screen: the front end sets the real value; 96
// until then. Printing scales by printer ppi / screen ppi.
int ScreenPixelsPerInch();
void SetScreenPixelsPerInch(int ppi);

}  // namespace twk
