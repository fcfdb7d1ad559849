#include "window/qt/main_window_layout.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QString>
#include <QTreeWidget>
#include <QWidget>
#include <Qt>
#include <optional>
#include <string>

#include "window/qt/qt_ownership.h"
#include "window/qt/window_fonts.h"
#include "window/qt/window_pictures.h"

namespace cordshift {
namespace {

constexpr QColor kTitleBandFill(192, 192, 255);
constexpr QColor kTitleBandBorder(224, 224, 224);
constexpr QColor kNotationBandFill(0, 0, 255);
constexpr QColor kNotationBandBorder(64, 64, 64);
constexpr QColor kNotationText(0, 255, 255);
constexpr QColor kSideBandFill(255, 255, 128);
constexpr QColor kGuideText(0, 0, 192);
constexpr QColor kCounterBackground(255, 255, 255);

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kRightAligned = Qt::AlignRight | Qt::AlignTop;
constexpr Qt::Alignment kLeftAligned = Qt::AlignLeft | Qt::AlignTop;

struct Twips {
  int left;
  int top;
  int width;
  int height;
};

QString Indexed(const char* name, std::size_t index) {
  return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index);
}

template <typename W>
W* Place(QWidget* parent, const QString& name, Twips at) {
  W* widget = CreateOwned<W>(parent);
  widget->setObjectName(name);
  widget->setGeometry(TwipsRect(at.left, at.top, at.width, at.height));
  return widget;
}

template <typename W>
W* Place(QWidget* parent, const char* name, Twips at) {
  return Place<W>(parent, QString::fromLatin1(name), at);
}

void SetColour(QWidget* widget, QPalette::ColorRole role, QColor colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

void FillBackground(QWidget* widget, QColor colour) {
  widget->setAutoFillBackground(true);
  SetColour(widget, QPalette::Window, colour);
}

// A background rectangle: drawn under the labels that lie on it and never
// taking input.
QFrame* FilledRectangle(QWidget* parent, const QString& name, Twips at,
                        QColor fill, std::optional<QColor> border) {
  QFrame* shape = Place<QFrame>(parent, name, at);
  FillBackground(shape, fill);
  if (border) {
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(1);
    SetColour(shape, QPalette::WindowText, *border);
  }
  shape->setAttribute(Qt::WA_TransparentForMouseEvents);
  return shape;
}

QLabel* Label(QWidget* parent, const QString& name, Twips at,
              Qt::Alignment alignment, const char* text = "") {
  QLabel* label = Place<QLabel>(parent, name, at);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(alignment);
  label->setText(QString::fromUtf8(text));
  return label;
}

QLabel* Label(QWidget* parent, const char* name, Twips at,
              Qt::Alignment alignment, const char* text = "") {
  return Label(parent, QString::fromLatin1(name), at, alignment, text);
}

// A label with the single sunken border of the folder captions and the
// counter.
void GiveSingleBorder(QLabel* label) {
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setLineWidth(1);
}

template <typename W>
W* WithText(W* widget, const char* text) {
  widget->setText(QString::fromUtf8(text));
  return widget;
}

QTreeWidget* ReportList(QWidget* parent, const char* name, Twips at) {
  QTreeWidget* list = Place<QTreeWidget>(parent, name, at);
  list->setFont(GothicFont(9, false));
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

QLineEdit* TextBox(QWidget* parent, const char* name, Twips at) {
  QLineEdit* box = Place<QLineEdit>(parent, name, at);
  box->setFont(GothicFont(11.25, true));
  return box;
}

// The frame lines of the two unnamed frames.
QFrame* Frame(QWidget* parent, const char* name, Twips at) {
  QFrame* frame = Place<QFrame>(parent, name, at);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  return frame;
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

void BuildBands(QWidget* frame, MainWindowControls& c) {
  c.Shape1 =
      FilledRectangle(frame, QStringLiteral("Shape1"), {150, 150, 14985, 555},
                      kTitleBandFill, kTitleBandBorder);
  c.Shape4 =
      FilledRectangle(frame, QStringLiteral("Shape4"), {150, 1140, 15015, 375},
                      kNotationBandFill, kNotationBandBorder);
  constexpr std::array<int, 2> kSideBandLeft = {150, 7890};
  for (std::size_t i = 0; i < c.Shape3.size(); ++i) {
    c.Shape3[i] = FilledRectangle(frame, Indexed("Shape3", i),
                                  {kSideBandLeft[i], 1500, 7275, 555},
                                  kSideBandFill, std::nullopt);
  }
}

void BuildTitles(QWidget* frame, MainWindowControls& c) {
  c.lblTTL = Label(frame, "lblTTL", {270, 210, 14715, 345}, kCentred,
                   "LoomvantageとLoomvantageHipotの配線データ相互変換ツール "
                   "v2.0");
  c.lblTTL->setFont(GothicFont(18, true));
  c.lblSrcTitle = Label(frame, "lblSrcTitle", {240, 1560, 7035, 465}, kCentred);
  c.lblDstTitle =
      Label(frame, "lblDstTitle", {7980, 1560, 7065, 375}, kCentred);
  for (QLabel* title : {c.lblSrcTitle, c.lblDstTitle}) {
    title->setFont(UiGothicFont(20.25, true));
  }
}

void BuildOptions(QWidget& window, QWidget* frame, MainWindowControls& c) {
  c.fraDirection = Frame(frame, "fraDirection", {180, 600, 14955, 555});
  c.optSel[0] = WithText(
      Place<QRadioButton>(c.fraDirection, "optSel_0", {330, 240, 5565, 225}),
      "Loomvantage ---> LoomvantageHipot");
  c.optSel[1] = WithText(
      Place<QRadioButton>(c.fraDirection, "optSel_1", {7560, 240, 5565, 225}),
      "LoomvantageHipot ---> Loomvantage");
  c.optAB[0] =
      WithText(Place<QRadioButton>(frame, "optAB_0", {7740, 1215, 3195, 270}),
               "端子番号表現はAB番号");
  c.optAB[1] =
      WithText(Place<QRadioButton>(frame, "optAB_1", {10830, 1215, 3195, 270}),
               "端子番号表現は連番数字");
  for (QRadioButton* option : c.optSel) option->setFont(GothicFont(12, true));
  for (QRadioButton* option : c.optAB) {
    option->setFont(GothicFont(12, true));
    FillBackground(option, kNotationBandFill);
    SetColour(option, QPalette::WindowText, kNotationText);
  }
  c.optSelGroup = ExclusiveGroup(window, c.optSel);
  c.optABGroup = ExclusiveGroup(window, c.optAB);
}

void BuildFolderRow(QWidget* frame, MainWindowControls& c) {
  c.lblSrc = Label(frame, "lblSrc", {150, 2100, 6375, 705}, kLeftAligned);
  c.btnFunc[0] = WithText(
      Place<QPushButton>(frame, "btnFunc_0", {6570, 2100, 855, 405}), "参照");
  c.lblDst = Label(frame, "lblDst", {7890, 2100, 6375, 705}, kLeftAligned);
  c.btnFunc[1] = WithText(
      Place<QPushButton>(frame, "btnFunc_1", {14310, 2100, 855, 405}), "参照");
  for (QLabel* folder : {c.lblSrc, c.lblDst}) {
    folder->setFont(UiGothicFont(11.25, true));
    folder->setWordWrap(true);
    GiveSingleBorder(folder);
  }
}

void BuildLists(QWidget* frame, MainWindowControls& c) {
  c.lvSrc = ReportList(frame, "lvSrc", {120, 2850, 7335, 4695});
  c.lvDst = ReportList(frame, "lvDst", {7860, 2850, 7335, 4695});
  c.Image1 = Place<QLabel>(frame, "Image1", {7440, 5040, 435, 360});
  c.Image1->setPixmap(DrawArrowPicture());
  // The picture spans the gap between the lists and must not be hidden
  // under their edges.
  c.Image1->raise();
}

void BuildInputs(QWidget* frame, MainWindowControls& c) {
  c.Label1[0] = Label(frame, Indexed("Label1", 0), {60, 7620, 1365, 315},
                      kRightAligned, "変換先機種名");
  c.txtKisyu = TextBox(frame, "txtKisyu", {1470, 7560, 1575, 315});
  c.Label1[2] = Label(frame, Indexed("Label1", 2), {3030, 7620, 1425, 315},
                      kRightAligned, "導通抵抗下限値");
  c.txtDL = TextBox(frame, "txtDL", {4470, 7560, 945, 315});
  c.Label2[1] = Label(frame, Indexed("Label2", 1), {5490, 7680, 375, 285},
                      kLeftAligned, "Ω");
  c.btnFunc[2] =
      Place<QPushButton>(frame, "btnFunc_2", {7890, 7620, 5835, 615});
  c.btnFunc[2]->setFont(GothicFont(14.25, true));
  c.btnFunc[3] =
      WithText(Place<QPushButton>(frame, "btnFunc_3", {13860, 7620, 1335, 615}),
               "閉じる");
  c.btnFunc[3]->setFont(GothicFont(15.75, false));
  c.Label1[1] = Label(frame, Indexed("Label1", 1), {60, 7980, 1365, 315},
                      kRightAligned, "変換件数");
  c.lblKensu = Label(frame, "lblKensu", {1470, 7920, 1095, 315}, kRightAligned);
  c.lblKensu->setFont(GothicFont(11.25, true));
  FillBackground(c.lblKensu, kCounterBackground);
  GiveSingleBorder(c.lblKensu);
  c.Label2[0] = Label(frame, Indexed("Label2", 0), {2640, 8010, 375, 285},
                      kLeftAligned, "件");
  c.Label1[3] = Label(frame, Indexed("Label1", 3), {3030, 7980, 1425, 315},
                      kRightAligned, "導通抵抗上限値");
  c.txtDU = TextBox(frame, "txtDU", {4470, 7920, 945, 330});
  c.Label2[2] = Label(frame, Indexed("Label2", 2), {5490, 8040, 375, 285},
                      kLeftAligned, "Ω");
  c.chkOverWrite =
      WithText(Place<QCheckBox>(frame, "chkOverWrite", {330, 8310, 5175, 285}),
               "同名ファイルは上書きして変換する");
  c.chkOverWrite->setFont(GothicFont(9, true));
}

void BuildGuide(QWidget* frame, MainWindowControls& c) {
  c.lblGuide = Label(frame, "lblGuide", {150, 8670, 14985, 585}, kCentred);
  c.lblGuide->setFont(UiGothicFont(12, true));
  c.lblGuide->setWordWrap(true);
  SetColour(c.lblGuide, QPalette::WindowText, kGuideText);
}

void SetTabOrder(const MainWindowControls& c) {
  const std::array<QWidget*, 14> order = {
      c.lvSrc,      c.lvDst,      c.btnFunc[0], c.btnFunc[1],  c.txtKisyu,
      c.btnFunc[2], c.btnFunc[3], c.optAB[0],   c.optAB[1],    c.optSel[1],
      c.optSel[0],  c.txtDL,      c.txtDU,      c.chkOverWrite};
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
}

}  // namespace

QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height));
}

void BuildMainWindowControls(QWidget& window, MainWindowControls& c) {
  window.setFont(GothicFont(9, false));
  window.setWindowIcon(DrawWindowIcon());
  window.setFixedSize(TwipsToPixels(kWindowWidthTwips),
                      TwipsToPixels(kWindowHeightTwips));
  c.fraMain = Frame(&window, "fraMain", {60, 0, 15285, 9375});
  // Widgets created later are drawn above earlier ones: the bands first,
  // then everything that lies on them.
  BuildBands(c.fraMain, c);
  BuildTitles(c.fraMain, c);
  BuildOptions(window, c.fraMain, c);
  BuildFolderRow(c.fraMain, c);
  BuildLists(c.fraMain, c);
  BuildInputs(c.fraMain, c);
  BuildGuide(c.fraMain, c);
  SetTabOrder(c);
}

}  // namespace cordshift
