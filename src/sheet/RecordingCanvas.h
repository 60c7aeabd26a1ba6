// A canvas that draws nothing and records every drawing call, for tests and
// benchmarks. Text is measured with a fixed rule: a line is |font height|
// pixels high (13 when the height is 0) and every character half of that
// wide (at least 1), so expected positions can be worked out by hand.
#pragma once

#include <string>
#include <vector>

#include "sheet/Canvas.h"

namespace twk {

class RecordingCanvas : public Canvas {
 public:
  enum class Op { Fill, Line, Polygon, Text, TextClipped, Image, Clip, ClearClip };
  struct Call {
    Op op = Op::Fill;
    Rect rect;                  // Fill, TextClipped (clip), Clip
    std::vector<Point> points;  // Line (2), Polygon, Text/Image (1: position)
    Color color = 0;            // fill / line / polygon fill / text colour
    Color pen = 0;              // polygon outline
    int width = 0;              // line and pen width; image index
    std::string text;
    Font font;                  // text calls: the font in effect
  };

  explicit RecordingCanvas(int pixelsPerInch = 96) : ppi_(pixelsPerInch) {}

  void SetFont(const Font& font) override { font_ = font; }
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
  int PixelsPerInch() const override { return ppi_; }

  // The measuring rule, usable without a canvas.
  static int LineHeightOf(const Font& f);
  static int CharWidthOf(const Font& f);

  const std::vector<Call>& Calls() const { return calls_; }
  void Clear() { calls_.clear(); }
  // One line per call, e.g. "fill 0,0,50,20 #80000005",
  // "line 0,19 50,19 #808080 w1", "text 4,3 #80000008 \"abc\"",
  // "clipped 0,0,50,20 4,3 #80000008 \"abc\"", "image 5 40,2",
  // "polygon #000000 #000000 w1 [x,y ...]", "clip 0,0,50,20", "noclip".
  std::vector<std::string> Lines() const;
  static std::string LineOf(const Call& c);
  int Measurements() const { return measurements_; }

 private:
  static Call Make(Op op, Rect r, std::vector<Point> points, Color color);
  Font font_;
  int ppi_;
  int measurements_ = 0;
  std::vector<Call> calls_;
};

}  // namespace twk
