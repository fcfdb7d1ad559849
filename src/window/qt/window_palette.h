#ifndef CORDSHIFT_WINDOW_QT_WINDOW_PALETTE_H_
#define CORDSHIFT_WINDOW_QT_WINDOW_PALETTE_H_

// The main window's colours in Qt (window/window_colours.h): the layout's
// while the application palette suits them, the palette's own roles when
// it is a dark or high-contrast one, on which the layout's dark texts
// would not show.

#include <QPalette>

#include "window/window_colours.h"

class QWidget;

namespace cordshift {

struct MainWindowControls;

// The palette's roles as the window uses them.
SystemColours SystemColoursOf(const QPalette& palette);

WindowColours ColoursFor(const QPalette& palette);

// Colours every control of `window` for the application palette, and again
// whenever the application palette changes. The direction options keep
// the text colours the behaviour gives them while the layout's colours
// are shown.
void FollowApplicationPalette(QWidget& window,
                              const MainWindowControls& controls);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_WINDOW_PALETTE_H_
