#include "window/qt/window_pictures.h"

#include <QColor>
#include <QPainter>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <Qt>
#include <algorithm>

#include "window/window_layout.h"

namespace cordshift {
namespace {

constexpr int kArrowWidth = 29;
constexpr int kArrowHeight = 24;
// The icon is drawn on a 32-pixel grid and scaled for smaller sizes.
constexpr int kIconGrid = 32;

QPixmap TransparentPixmap(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

void PreparePainter(QPainter& painter, const QColor& colour) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
}

// An arrow along the row band [top, top + height) of the icon grid; the
// head of a left arrow touches a bar on the left, that of a right arrow a
// bar on the right.
void DrawBarredArrow(QPainter& painter, int top, bool points_left) {
  constexpr int kHeight = 13;
  constexpr int kBarWidth = 3;
  constexpr int kHeadLength = 9;
  constexpr int kShaftHalf = 2;
  const int middle = top + kHeight / 2;
  const int bar_left = points_left ? 2 : kIconGrid - 2 - kBarWidth;
  painter.drawRect(QRect(bar_left, top, kBarWidth, kHeight));
  // The tip reaches into the bar so that no gap shows between them.
  const int tip = points_left ? bar_left + kBarWidth - 1 : bar_left + 1;
  const int head_base = points_left ? tip + kHeadLength : tip - kHeadLength;
  painter.drawPolygon(QPolygon({QPoint(tip, middle), QPoint(head_base, top),
                                QPoint(head_base, top + kHeight - 1)}));
  const int shaft_end = points_left ? kIconGrid - 2 : 2;
  painter.drawRect(
      QRect(QPoint(std::min(head_base, shaft_end), middle - kShaftHalf),
            QPoint(std::max(head_base, shaft_end) - 1, middle + kShaftHalf)));
}

QPixmap DrawIconPixmap(int size) {
  QPixmap pixmap = TransparentPixmap(size, size);
  QPainter painter(&pixmap);
  PreparePainter(painter, Qt::black);
  painter.scale(static_cast<double>(size) / kIconGrid,
                static_cast<double>(size) / kIconGrid);
  DrawBarredArrow(painter, 2, /*points_left=*/true);
  DrawBarredArrow(painter, 17, /*points_left=*/false);
  return pixmap;
}

}  // namespace

QPixmap DrawArrowPicture(const QColor& colour) {
  QPixmap pixmap = TransparentPixmap(kArrowWidth, kArrowHeight);
  QPainter painter(&pixmap);
  PreparePainter(painter, colour);
  const ArrowShape& arrow = kArrowPicture;
  painter.drawRect(QRect(
      QPoint(arrow.shaft_top_left.x, arrow.shaft_top_left.y),
      QPoint(arrow.shaft_bottom_right.x - 1, arrow.shaft_bottom_right.y - 1)));
  QPolygon head;
  for (const PixelPoint& point : arrow.head) head << QPoint(point.x, point.y);
  painter.drawPolygon(head);
  return pixmap;
}

QIcon DrawWindowIcon() {
  QIcon icon;
  icon.addPixmap(DrawIconPixmap(32));
  icon.addPixmap(DrawIconPixmap(16));
  return icon;
}

}  // namespace cordshift
