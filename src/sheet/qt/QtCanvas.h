// The drawing surface of the sheets on Qt: a Canvas over a QPainter (the
// grid while it paints, the printer, a preview pixmap). Fonts of the
// resources become QFonts, system colours come from the application's
// palette, text is measured with QFontMetrics. Without a painter the canvas
// still measures (sheets fit their cells while they build).
#pragma once

#include <QFont>
#include <QPixmap>
#include <QVector>

#include "sheet/Canvas.h"

class QPainter;
class QPaintDevice;

namespace twk {

// An image list with pictures (the tree images; 4 = warning, 5 = error).
class QtImageList : public ImageList {
 public:
  QtImageList(int width, int height) : w_(width), h_(height) {}
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  int Count() const override { return static_cast<int>(pixmaps_.size()); }
  void Add(const QPixmap& pixmap) { pixmaps_.push_back(pixmap); }
  const QPixmap* Pixmap(int index) const {
    return index >= 0 && index < pixmaps_.size() ? &pixmaps_[index] : nullptr;
  }
  // Six pictures of `size` pixels, 4 a warning triangle and 5 an error
  // cross, the others empty.
  static QtImageList StandardMarks(int size = 16);

 private:
  int w_, h_;
  QVector<QPixmap> pixmaps_;
};

class QtCanvas : public Canvas {
 public:
  // `device` (optional) gives the pixels per inch; `baseFont` is what the
  // resource fonts are applied to (face and defaults).
  explicit QtCanvas(const QFont& baseFont = QFont(), QPaintDevice* device = nullptr);

  // Paints through `painter` until it is set to null again.
  void SetPainter(QPainter* painter);
  QPainter* Painter() const { return painter_; }
  void SetBaseFont(const QFont& f) { baseFont_ = f; SetFont(font_); }

  void SetFont(const Font& font) override;
  const Font& GetFont() const override { return font_; }
  Size TextExtent(const std::string& text) override;
  void FillRect(const Rect& r, Color color) override;
  void Line(Point from, Point to, Color color, int width) override;
  void Polygon(const std::vector<Point>& points, Color fill, Color pen, int penWidth) override;
  void Text(int x, int y, const std::string& text) override;
  void TextClipped(const Rect& clip, int x, int y, const std::string& text) override;
  void Image(const ImageList& images, int index, int x, int y) override;
  void SetClip(const Rect& r) override;
  void ClearClip() override;
  int PixelsPerInch() const override;
  Color Resolve(Color c) const override;

  // The QFont a resource font gives on this canvas.
  const QFont& CurrentQFont() const { return qfont_; }

 private:
  QFont baseFont_;
  QPaintDevice* device_;
  QPainter* painter_ = nullptr;
  Font font_;
  QFont qfont_;
};

// Texts of the resources and the image are single-byte (code page) texts.
QString ToQString(const std::string& s);
std::string FromQString(const QString& s);

}  // namespace twk
