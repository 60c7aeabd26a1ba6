#include "sheet/RecordingCanvas.h"

#include <cstdio>
#include <cstdlib>

namespace twk {

namespace {

std::string Hex(Color c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c));
  return buf;
}

std::string RectText(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

std::string PointText(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

}  // namespace

int RecordingCanvas::LineHeightOf(const Font& f) { return f.height == 0 ? 13 : std::abs(f.height); }

int RecordingCanvas::CharWidthOf(const Font& f) {
  const int w = LineHeightOf(f) / 2;
  return w < 1 ? 1 : w;
}

Size RecordingCanvas::TextExtent(const std::string& text) {
  ++measurements_;
  return Size{static_cast<int>(text.size()) * CharWidthOf(font_), LineHeightOf(font_)};
}

RecordingCanvas::Call RecordingCanvas::Make(Op op, Rect r, std::vector<Point> points, Color color) {
  Call c;
  c.op = op;
  c.rect = r;
  c.points = std::move(points);
  c.color = color;
  return c;
}

void RecordingCanvas::FillRect(const Rect& r, Color color) {
  calls_.push_back(Make(Op::Fill, r, {}, color));
}

void RecordingCanvas::Line(Point from, Point to, Color color, int width) {
  Call c = Make(Op::Line, {}, {from, to}, color);
  c.width = width;
  calls_.push_back(std::move(c));
}

void RecordingCanvas::Polygon(const std::vector<Point>& points, Color fill, Color pen,
                              int penWidth) {
  Call c = Make(Op::Polygon, {}, points, fill);
  c.pen = pen;
  c.width = penWidth;
  calls_.push_back(std::move(c));
}

void RecordingCanvas::Text(int x, int y, const std::string& text) {
  Call c = Make(Op::Text, {}, {Point{x, y}}, font_.color);
  c.text = text;
  c.font = font_;
  calls_.push_back(std::move(c));
}

void RecordingCanvas::TextClipped(const Rect& clip, int x, int y, const std::string& text) {
  Call c = Make(Op::TextClipped, clip, {Point{x, y}}, font_.color);
  c.text = text;
  c.font = font_;
  calls_.push_back(std::move(c));
}

void RecordingCanvas::Image(const ImageList&, int index, int x, int y) {
  Call c = Make(Op::Image, {}, {Point{x, y}}, 0);
  c.width = index;
  calls_.push_back(std::move(c));
}

void RecordingCanvas::SetClip(const Rect& r) { calls_.push_back(Make(Op::Clip, r, {}, 0)); }

void RecordingCanvas::ClearClip() { calls_.push_back(Make(Op::ClearClip, {}, {}, 0)); }

std::string RecordingCanvas::LineOf(const Call& c) {
  switch (c.op) {
    case Op::Fill:
      return "fill " + RectText(c.rect) + " " + Hex(c.color);
    case Op::Line:
      return "line " + PointText(c.points[0]) + " " + PointText(c.points[1]) + " " + Hex(c.color) +
             " w" + std::to_string(c.width);
    case Op::Polygon: {
      std::string s = "polygon " + Hex(c.color) + " " + Hex(c.pen) + " w" + std::to_string(c.width) + " [";
      for (size_t i = 0; i < c.points.size(); ++i) s += (i ? " " : "") + PointText(c.points[i]);
      return s + "]";
    }
    case Op::Text:
      return "text " + PointText(c.points[0]) + " " + Hex(c.color) + " \"" + c.text + "\"";
    case Op::TextClipped:
      return "clipped " + RectText(c.rect) + " " + PointText(c.points[0]) + " " + Hex(c.color) +
             " \"" + c.text + "\"";
    case Op::Image:
      return "image " + std::to_string(c.width) + " " + PointText(c.points[0]);
    case Op::Clip:
      return "clip " + RectText(c.rect);
    case Op::ClearClip:
      return "noclip";
  }
  return {};
}

std::vector<std::string> RecordingCanvas::Lines() const {
  std::vector<std::string> out;
  out.reserve(calls_.size());
  for (const auto& c : calls_) out.push_back(LineOf(c));
  return out;
}

}  // namespace twk
