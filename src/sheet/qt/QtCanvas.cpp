#include "sheet/qt/QtCanvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>
#include <QScreen>
#include <algorithm>

#include "app/qt/TForm1.h"
#include "sheet/CellPainter.h"

namespace twk {

QString ToQString(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string FromQString(const QString& s) {
  const QByteArray b = s.toLatin1();
  return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

QtImageList QtImageList::StandardMarks(int size) {
  QtImageList list(size, size);
  for (int i = 0; i < 6; ++i) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    if (i == 4 || i == 5) {
      QPainter p(&pm);
      p.setRenderHint(QPainter::Antialiasing);
      if (i == 4) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 200, 0));
        p.drawPolygon(QPolygon({QPoint(size / 2, 0), QPoint(size - 1, size - 1),
                                QPoint(0, size - 1)}));
        p.fillRect(QRect(size / 2 - 1, size / 3, 2, size / 3), Qt::black);
        p.fillRect(QRect(size / 2 - 1, size * 3 / 4, 2, 2), Qt::black);
      } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 0, 0));
        p.drawEllipse(QRect(0, 0, size - 1, size - 1));
        p.setPen(QPen(Qt::white, std::max(2, size / 8)));
        p.drawLine(size / 4, size / 4, size * 3 / 4, size * 3 / 4);
        p.drawLine(size * 3 / 4, size / 4, size / 4, size * 3 / 4);
      }
    }
    list.Add(pm);
  }
  return list;
}

QtCanvas::QtCanvas(const QFont& baseFont, QPaintDevice* device)
    : baseFont_(baseFont), device_(device) {
  SetFont(font_);
}

void QtCanvas::SetPainter(QPainter* painter) {
  painter_ = painter;
  if (painter_ != nullptr) {
    painter_->setFont(qfont_);
    painter_->setPen(ToQColor(font_.color));
  }
}

void QtCanvas::SetFont(const Font& font) {
  font_ = font;
  qfont_ = ToQFont(font, baseFont_);
  if (painter_ != nullptr) {
    painter_->setFont(qfont_);
    painter_->setPen(ToQColor(font_.color));
  }
}

Size QtCanvas::TextExtent(const std::string& text) {
  const QFontMetrics fm = device_ != nullptr ? QFontMetrics(qfont_, device_) : QFontMetrics(qfont_);
  return Size{fm.horizontalAdvance(ToQString(text)), fm.height()};
}

void QtCanvas::FillRect(const Rect& r, Color color) {
  if (painter_ == nullptr || r.IsEmpty()) return;
  painter_->fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(color));
}

void QtCanvas::Line(Point from, Point to, Color color, int width) {
  if (painter_ == nullptr) return;
  // The end point is not drawn: draw up to one pixel short of it.
  const int dx = (to.x > from.x) - (to.x < from.x);
  const int dy = (to.y > from.y) - (to.y < from.y);
  const QPoint end(to.x - dx, to.y - dy);
  if (width <= 1) {
    painter_->save();
    painter_->setPen(QPen(ToQColor(color), 0));
    painter_->drawLine(QPoint(from.x, from.y), end);
    painter_->restore();
  } else {
    painter_->save();
    painter_->setPen(QPen(ToQColor(color), width));
    painter_->drawLine(QPoint(from.x, from.y), end);
    painter_->restore();
  }
}

void QtCanvas::Polygon(const std::vector<Point>& points, Color fill, Color pen, int penWidth) {
  if (painter_ == nullptr || points.empty()) return;
  QPolygon poly;
  for (const Point& p : points) poly << QPoint(p.x, p.y);
  painter_->save();
  painter_->setPen(QPen(ToQColor(pen), std::max(penWidth, 0)));
  painter_->setBrush(ToQColor(fill));
  painter_->drawPolygon(poly);
  painter_->restore();
}

void QtCanvas::Text(int x, int y, const std::string& text) {
  if (painter_ == nullptr) return;
  const QFontMetrics fm(painter_->font());
  painter_->drawText(QPoint(x, y + fm.ascent()), ToQString(text));
}

void QtCanvas::TextClipped(const Rect& clip, int x, int y, const std::string& text) {
  if (painter_ == nullptr) return;
  painter_->save();
  painter_->setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()),
                        painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  Text(x, y, text);
  painter_->restore();
}

void QtCanvas::Image(const ImageList& images, int index, int x, int y) {
  if (painter_ == nullptr) return;
  if (const auto* q = dynamic_cast<const QtImageList*>(&images)) {
    if (const QPixmap* pm = q->Pixmap(index); pm != nullptr && !pm->isNull()) {
      painter_->drawPixmap(x, y, *pm);
      return;
    }
  }
  // A list without pictures: the printed figures at the list's size.
  if (index == 5) CellPainter::ErrorFigure(*this, x, y, images.Width());
  else if (index == 4) CellPainter::WarningFigure(*this, x, y, images.Width());
}

void QtCanvas::SetClip(const Rect& r) {
  if (painter_ != nullptr) painter_->setClipRect(QRect(r.left, r.top, r.Width(), r.Height()));
}

void QtCanvas::ClearClip() {
  if (painter_ != nullptr) painter_->setClipping(false);
}

int QtCanvas::PixelsPerInch() const {
  if (device_ != nullptr) return device_->logicalDpiY();
  if (painter_ != nullptr && painter_->device() != nullptr) return painter_->device()->logicalDpiY();
  return ScreenPixelsPerInch();
}

Color QtCanvas::Resolve(Color c) const {
  if (!IsSystemColor(c)) return c;
  const QColor q = ToQColor(c);
  return static_cast<Color>(q.red()) | (static_cast<Color>(q.green()) << 8) |
         (static_cast<Color>(q.blue()) << 16);
}

}  // namespace twk
