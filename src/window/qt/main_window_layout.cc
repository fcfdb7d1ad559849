#include "window/qt/main_window_layout.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFont>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QString>
#include <QTreeView>
#include <QWidget>
#include <Qt>
#include <array>
#include <string_view>

#include "window/qt/qt_ownership.h"
#include "window/qt/qt_text.h"
#include "window/qt/window_fonts.h"
#include "window/qt/window_palette.h"
#include "window/qt/window_pictures.h"

namespace cordshift {
namespace {

Qt::Alignment AlignmentOf(TextAlign align) {
  switch (align) {
    case TextAlign::kCentre:
      return Qt::AlignHCenter | Qt::AlignTop;
    case TextAlign::kRight:
      return Qt::AlignRight | Qt::AlignTop;
    case TextAlign::kLeft:
      break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

QFont FontOf(const FontStyle& font) {
  return font.face == Typeface::kGothic ? GothicFont(font.points, font.bold)
                                        : UiGothicFont(font.points, font.bold);
}

// A background rectangle: drawn under the labels that lie on it and never
// taking input.
QFrame* Shape(QWidget* parent, const LayoutControl& entry) {
  auto* shape = CreateOwned<QFrame>(parent);
  if (entry.border) {
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(1);
  }
  shape->setAttribute(Qt::WA_TransparentForMouseEvents);
  return shape;
}

QLabel* Label(QWidget* parent, const LayoutControl& entry) {
  auto* label = CreateOwned<QLabel>(parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(AlignmentOf(entry.align));
  label->setWordWrap(entry.word_wrap);
  if (entry.sunken_border) {
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
  }
  return label;
}

QTreeView* ReportList(QWidget* parent) {
  auto* list = CreateOwned<QTreeView>(parent);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setSortingEnabled(false);
  list->setAllColumnsShowFocus(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
  list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return list;
}

QFrame* Frame(QWidget* parent) {
  auto* frame = CreateOwned<QFrame>(parent);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  return frame;
}

// The arrow is drawn in the colours the window is shown in.
QLabel* Picture(QWidget* parent) { return CreateOwned<QLabel>(parent); }

// The widget of a control's kind, with what only that kind needs.
QWidget* CreateControl(QWidget* parent, const LayoutControl& entry) {
  switch (entry.kind) {
    case ControlKind::kFrame:
      return Frame(parent);
    case ControlKind::kShape:
      return Shape(parent, entry);
    case ControlKind::kLabel:
      return Label(parent, entry);
    case ControlKind::kTextBox:
      return CreateOwned<QLineEdit>(parent);
    case ControlKind::kButton:
      return CreateOwned<QPushButton>(parent);
    case ControlKind::kCheckBox:
      return CreateOwned<QCheckBox>(parent);
    case ControlKind::kOption:
      return CreateOwned<QRadioButton>(parent);
    case ControlKind::kReportList:
      return ReportList(parent);
    case ControlKind::kPicture:
      return Picture(parent);
  }
  return CreateOwned<QWidget>(parent);
}

void SetText(QWidget* widget, std::string_view text) {
  const QString shown = ToQString(text);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(shown);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(shown);
  } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
    box->setText(shown);
  }
}

QWidget* BuildControl(QWidget* parent, const LayoutControl& entry) {
  QWidget* widget = CreateControl(parent, entry);
  widget->setObjectName(ToQString(entry.name));
  widget->setGeometry(
      TwipsRect(entry.left, entry.top, entry.width, entry.height));
  if (!entry.text.empty()) SetText(widget, entry.text);
  if (entry.font) widget->setFont(FontOf(*entry.font));
  return widget;
}

template <typename W>
void Assign(W*& slot, QWidget* widget) {
  slot = static_cast<W*>(widget);
}

template <typename W, std::size_t N>
void AssignElement(std::array<W*, N>& elements, std::string_view name,
                   QWidget* widget) {
  const std::size_t index =
      static_cast<std::size_t>(name.back() - '0');  // names end in _0.._9
  if (index < N) elements[index] = static_cast<W*>(widget);
}

// Files the widget under its name in the controls record.
void Bind(MainWindowControls& c, std::string_view name, QWidget* w) {
  const std::string_view array = name.substr(0, name.rfind('_'));
  if (array == "optSel") return AssignElement(c.direction_options, name, w);
  if (array == "optAB") return AssignElement(c.notation_options, name, w);
  if (array == "Shape3") return AssignElement(c.side_bands, name, w);
  if (array == "btnFunc") return AssignElement(c.buttons, name, w);
  if (array == "Label1") return AssignElement(c.field_captions, name, w);
  if (array == "Label2") return AssignElement(c.unit_labels, name, w);
  if (name == "fraMain") return Assign(c.main_frame, w);
  if (name == "fraDirection") return Assign(c.direction_frame, w);
  if (name == "Shape1") return Assign(c.title_band, w);
  if (name == "Shape4") return Assign(c.notation_band, w);
  if (name == "lblTTL") return Assign(c.title_label, w);
  if (name == "lblSrcTitle") return Assign(c.source_title_label, w);
  if (name == "lblDstTitle") return Assign(c.destination_title_label, w);
  if (name == "lblSrc") return Assign(c.source_folder_label, w);
  if (name == "lblDst") return Assign(c.destination_folder_label, w);
  if (name == "lvSrc") return Assign(c.source_list, w);
  if (name == "lvDst") return Assign(c.destination_list, w);
  if (name == "Image1") return Assign(c.arrow_picture, w);
  if (name == "txtKisyu") return Assign(c.model_name_box, w);
  if (name == "txtDL") return Assign(c.lower_limit_box, w);
  if (name == "txtDU") return Assign(c.upper_limit_box, w);
  if (name == "lblKensu") return Assign(c.count_label, w);
  if (name == "chkOverWrite") return Assign(c.overwrite_box, w);
  if (name == "lblGuide") return Assign(c.guide_label, w);
}

QButtonGroup* ExclusiveGroup(QWidget& owner,
                             const std::array<QRadioButton*, 2>& options) {
  QButtonGroup* group = CreateOwned<QButtonGroup>(&owner);
  group->setExclusive(true);
  for (std::size_t i = 0; i < options.size(); ++i) {
    group->addButton(options[i], static_cast<int>(i));
  }
  // Tab reaches an option pair at its selected option only.
  QObject::connect(group, &QButtonGroup::buttonToggled, group, [group] {
    for (QAbstractButton* button : group->buttons()) {
      button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus
                                                 : Qt::ClickFocus);
    }
  });
  return group;
}

void SetTabOrder(QWidget& window) {
  QWidget* previous = nullptr;
  for (const std::string_view name : MainWindowTabOrder()) {
    QWidget* widget = window.findChild<QWidget*>(ToQString(name));
    if (previous != nullptr && widget != nullptr) {
      QWidget::setTabOrder(previous, widget);
    }
    previous = widget;
  }
}

}  // namespace

QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height));
}

void BuildMainWindowControls(QWidget& window, MainWindowControls& c) {
  window.setFont(FontOf(kWindowFont));
  window.setWindowIcon(DrawWindowIcon());
  window.setFixedSize(TwipsToPixels(kWindowWidthTwips),
                      TwipsToPixels(kWindowHeightTwips));
  for (const LayoutControl& entry : MainWindowLayout()) {
    QWidget* parent = entry.parent.empty()
                          ? &window
                          : window.findChild<QWidget*>(ToQString(entry.parent));
    Bind(c, entry.name, BuildControl(parent, entry));
  }
  c.direction_group = ExclusiveGroup(window, c.direction_options);
  c.notation_group = ExclusiveGroup(window, c.notation_options);
  SetTabOrder(window);
  FollowApplicationPalette(window, c);
}

}  // namespace cordshift
