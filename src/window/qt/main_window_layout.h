#ifndef CORDSHIFT_WINDOW_QT_MAIN_WINDOW_LAYOUT_H_
#define CORDSHIFT_WINDOW_QT_MAIN_WINDOW_LAYOUT_H_

// The Qt widgets of the main window's layout (window/window_layout.h).
// Positions are designed in twips and shown at 15 twips to a pixel; the
// toolkit's high-DPI scaling takes it from there.

#include <array>

#include "window/window_layout.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QRect;
class QTreeView;
class QWidget;

namespace cordshift {

QRect TwipsRect(int left, int top, int width, int height);

// The controls of the main window under the names the tester family's
// documentation uses; owned by the window through the widget tree. Arrays
// are indexed like the control arrays they stand for.
struct MainWindowControls {
  QFrame* fraMain = nullptr;       // the outer frame holding every control
  QFrame* fraDirection = nullptr;  // holds the two direction options
  QFrame* Shape1 = nullptr;
  QLabel* lblTTL = nullptr;
  std::array<QRadioButton*, 2> optSel{};
  QFrame* Shape4 = nullptr;
  std::array<QRadioButton*, 2> optAB{};
  std::array<QFrame*, 2> Shape3{};
  QLabel* lblSrcTitle = nullptr;
  QLabel* lblDstTitle = nullptr;
  QLabel* lblSrc = nullptr;
  QLabel* lblDst = nullptr;
  std::array<QPushButton*, 4> btnFunc{};
  QTreeView* lvSrc = nullptr;
  QTreeView* lvDst = nullptr;
  QLabel* Image1 = nullptr;
  std::array<QLabel*, 4> Label1{};
  std::array<QLabel*, 3> Label2{};
  QLineEdit* txtKisyu = nullptr;
  QLineEdit* txtDL = nullptr;
  QLineEdit* txtDU = nullptr;
  QLabel* lblKensu = nullptr;
  QCheckBox* chkOverWrite = nullptr;
  QLabel* lblGuide = nullptr;
  // Each option pair is one exclusive group; the ids are the indexes.
  QButtonGroup* optSelGroup = nullptr;
  QButtonGroup* optABGroup = nullptr;
};

// Creates every control inside `window`, sizes the window and fixes its
// size, and sets the tab order.
void BuildMainWindowControls(QWidget& window, MainWindowControls& controls);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_MAIN_WINDOW_LAYOUT_H_
