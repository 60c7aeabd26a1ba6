#include "app/qt/AppImages.h"

#include <QPainter>
#include <QPainterPath>

namespace twk {

namespace {

QPixmap Blank(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  return pm;
}

// A sheet of paper with a folded corner and a few lines.
QPixmap Note(int s, QColor lines) {
  QPixmap pm = Blank(s);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const int f = s / 4;
  QPolygon page({QPoint(2, 0), QPoint(s - 3 - f, 0), QPoint(s - 3, f), QPoint(s - 3, s - 1),
                 QPoint(2, s - 1)});
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(Qt::white);
  p.drawPolygon(page);
  p.setPen(QPen(lines, 1));
  for (int y = s / 3; y < s - 2; y += 3) p.drawLine(4, y, s - 5, y);
  return pm;
}

QPixmap Folder(int s) {
  QPixmap pm = Blank(s);
  QPainter p(&pm);
  p.setPen(QPen(QColor(150, 110, 20), 1));
  p.setBrush(QColor(240, 200, 80));
  p.drawRect(1, s / 4, s - 3, s * 3 / 4 - 2);
  p.drawRect(1, s / 8, s / 3, s / 8);
  return pm;
}

// A hand-held radio: body, display and antenna.
QPixmap Rig(int s) {
  QPixmap pm = Blank(s);
  QPainter p(&pm);
  p.setPen(QPen(QColor(30, 30, 30), 1));
  p.setBrush(QColor(60, 70, 90));
  p.drawRoundedRect(QRect(s / 4, s / 4, s / 2, s * 3 / 4 - 1), 2, 2);
  p.fillRect(QRect(s / 4 + 2, s / 4 + 2, s / 2 - 3, s / 5), QColor(150, 220, 150));
  p.fillRect(QRect(s / 4 + 1, 0, 2, s / 4), QColor(30, 30, 30));
  return pm;
}

QPixmap Glyph(int s, QColor back, const QString& text) {
  QPixmap pm = Blank(s);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawRoundedRect(QRect(0, 0, s, s), 3, 3);
  QFont f = p.font();
  f.setPixelSize(text.size() > 1 ? s * 9 / 16 : s * 3 / 4);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, s, s), Qt::AlignCenter, text);
  return pm;
}

QPixmap Arrow(int s, bool left, bool bar) {
  QPixmap pm = Blank(s);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 80, 160));
  const int m = s / 4;
  if (left)
    p.drawPolygon(QPolygon({QPoint(s - m, m), QPoint(s - m, s - m), QPoint(m + 2, s / 2)}));
  else
    p.drawPolygon(QPolygon({QPoint(m, m), QPoint(m, s - m), QPoint(s - m - 2, s / 2)}));
  if (bar) p.fillRect(left ? QRect(m - 1, m, 2, s - 2 * m) : QRect(s - m - 1, m, 2, s - 2 * m), QColor(40, 80, 160));
  return pm;
}

}  // namespace

QtImageList MakeTreeImages(int size) {
  QtImageList marks = QtImageList::StandardMarks(size);
  QtImageList list(size, size);
  list.Add(Rig(size));
  list.Add(Folder(size));
  list.Add(Note(size, QColor(80, 120, 200)));
  list.Add(Note(size, QColor(60, 160, 90)));
  list.Add(*marks.Pixmap(4));
  list.Add(*marks.Pixmap(5));
  return list;
}

QtImageList MakeToolbarImages(int size) {
  QtImageList list(size, size);
  list.Add(Note(size, QColor(200, 200, 200)));                 // 0 New
  list.Add(Folder(size));                                      // 1 Open
  list.Add(Glyph(size, QColor(40, 80, 160), "S"));             // 2 Save
  for (int i = 1; i <= 4; ++i)                                 // 3-6 COM1-COM4
    list.Add(Glyph(size, QColor(90, 90, 90), QString::number(i)));
  list.Add(Glyph(size, QColor(0, 120, 60), "R"));              // 7 Clone Read
  list.Add(Glyph(size, QColor(170, 40, 40), "W"));             // 8 Clone Write
  list.Add(Glyph(size, QColor(40, 110, 160), "i"));            // 9 Clone Info
  list.Add(Glyph(size, QColor(120, 80, 20), "P"));             // 10 pen
  list.Add(Glyph(size, QColor(120, 80, 20), "F"));             // 11 fill
  list.Add(Glyph(size, QColor(120, 80, 20), "="));             // 12 slider
  list.Add(Arrow(size, true, true));                           // 13 first page
  list.Add(Arrow(size, true, false));                          // 14 previous page
  list.Add(Arrow(size, false, false));                         // 15 next page
  list.Add(Arrow(size, false, true));                          // 16 last page
  list.Add(Glyph(size, QColor(60, 60, 60), "+"));              // 17 zoom
  return list;
}

}  // namespace twk
