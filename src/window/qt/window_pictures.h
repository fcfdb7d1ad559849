#ifndef CORDSHIFT_WINDOW_QT_WINDOW_PICTURES_H_
#define CORDSHIFT_WINDOW_QT_WINDOW_PICTURES_H_

// The window's two pictures, drawn rather than shipped as files.

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <Qt>

namespace cordshift {

// 29 x 24 pixels: an arrow pointing right, on a transparent ground; black
// unless the window's face needs another colour for it to show.
QPixmap DrawArrowPicture(const QColor& colour = Qt::black);

// 32 x 32 and 16 x 16 pixels, black on transparent: an arrow pointing left
// whose head touches a vertical bar, above an arrow pointing right whose
// head touches a vertical bar.
QIcon DrawWindowIcon();

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_WINDOW_PICTURES_H_
