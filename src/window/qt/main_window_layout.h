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

// The controls of the main window, each filed under what it is; owned by
// the window through the widget tree. A widget's objectName() is its layout
// name, and an array is indexed like the numbered layout names it holds
// ("btnFunc_2" is buttons[2]).
struct MainWindowControls {
  QFrame* main_frame = nullptr;       // the outer frame holding every control
  QFrame* direction_frame = nullptr;  // holds the two direction options
  QFrame* title_band = nullptr;
  QLabel* title_label = nullptr;
  std::array<QRadioButton*, 2> direction_options{};
  QFrame* notation_band = nullptr;
  std::array<QRadioButton*, 2> notation_options{};
  std::array<QFrame*, 2> side_bands{};
  QLabel* source_title_label = nullptr;
  QLabel* destination_title_label = nullptr;
  QLabel* source_folder_label = nullptr;
  QLabel* destination_folder_label = nullptr;
  // Source folder, destination folder, run, close.
  std::array<QPushButton*, 4> buttons{};
  QTreeView* source_list = nullptr;
  QTreeView* destination_list = nullptr;
  QLabel* arrow_picture = nullptr;
  std::array<QLabel*, 4> field_captions{};  // beside the boxes
  std::array<QLabel*, 3> unit_labels{};     // 件 and Ω after the boxes
  QLineEdit* model_name_box = nullptr;
  QLineEdit* lower_limit_box = nullptr;
  QLineEdit* upper_limit_box = nullptr;
  QLabel* count_label = nullptr;
  QCheckBox* overwrite_box = nullptr;
  QLabel* guide_label = nullptr;
  // Each option pair is one exclusive group; the ids are the indexes.
  QButtonGroup* direction_group = nullptr;
  QButtonGroup* notation_group = nullptr;
};

// Creates every control inside `window`, sizes the window and fixes its
// size, and sets the tab order.
void BuildMainWindowControls(QWidget& window, MainWindowControls& controls);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_MAIN_WINDOW_LAYOUT_H_
