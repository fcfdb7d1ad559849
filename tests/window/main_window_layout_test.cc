// The window's fixed layout: every control's kind, container, position,
// size, text and font, the colours, the pictures and the tab order.

#include "window/qt/main_window_layout.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>
#include <string>
#include <vector>

#include "window/qt/window_fonts.h"
#include "window/qt/window_pictures.h"
#include "window/window_fixture.h"

namespace cordshift {
namespace {

using testing::CellText;
using testing::HeaderText;
using testing::RowCount;

using testing::WindowTest;

enum class Face { kGothic, kUiGothic };

struct ControlCase {
  const char* name;
  const char* kind;       // Qt class name
  const char* container;  // object name of the parent
  int left, top, width, height;
  const char* text;  // nullptr: filled at start-up
  Face face;
  double points;
  bool bold;
};

constexpr Face G = Face::kGothic;
constexpr Face U = Face::kUiGothic;

// The controls as designed, in twips.
const std::vector<ControlCase> kControls = {
    {"lblTTL", "QLabel", "fraMain", 270, 210, 14715, 345,
     "LoomvantageとLoomvantageHipotの配線データ相互変換ツール v2.0", G, 18,
     true},
    {"fraDirection", "QFrame", "fraMain", 180, 600, 14955, 555, nullptr, G, 9,
     false},
    {"optSel_0", "QRadioButton", "fraDirection", 330, 240, 5565, 225,
     "Loomvantage ---> LoomvantageHipot", G, 12, true},
    {"optSel_1", "QRadioButton", "fraDirection", 7560, 240, 5565, 225,
     "LoomvantageHipot ---> Loomvantage", G, 12, true},
    {"optAB_0", "QRadioButton", "fraMain", 7740, 1215, 3195, 270,
     "端子番号表現はAB番号", G, 12, true},
    {"optAB_1", "QRadioButton", "fraMain", 10830, 1215, 3195, 270,
     "端子番号表現は連番数字", G, 12, true},
    {"lblSrcTitle", "QLabel", "fraMain", 240, 1560, 7035, 465, nullptr, U,
     20.25, true},
    {"lblDstTitle", "QLabel", "fraMain", 7980, 1560, 7065, 375, nullptr, U,
     20.25, true},
    {"lblSrc", "QLabel", "fraMain", 150, 2100, 6375, 705, nullptr, U, 11.25,
     true},
    {"btnFunc_0", "QPushButton", "fraMain", 6570, 2100, 855, 405, "参照", G, 9,
     false},
    {"lblDst", "QLabel", "fraMain", 7890, 2100, 6375, 705, nullptr, U, 11.25,
     true},
    {"btnFunc_1", "QPushButton", "fraMain", 14310, 2100, 855, 405, "参照", G, 9,
     false},
    {"lvSrc", "QTreeView", "fraMain", 120, 2850, 7335, 4695, nullptr, G, 9,
     false},
    {"Image1", "QLabel", "fraMain", 7440, 5040, 435, 360, nullptr, G, 9, false},
    {"lvDst", "QTreeView", "fraMain", 7860, 2850, 7335, 4695, nullptr, G, 9,
     false},
    {"Label1_0", "QLabel", "fraMain", 60, 7620, 1365, 315, "変換先機種名", G, 9,
     false},
    {"txtKisyu", "QLineEdit", "fraMain", 1470, 7560, 1575, 315, nullptr, G,
     11.25, true},
    {"Label1_2", "QLabel", "fraMain", 3030, 7620, 1425, 315, "導通抵抗下限値",
     G, 9, false},
    {"txtDL", "QLineEdit", "fraMain", 4470, 7560, 945, 315, nullptr, G, 11.25,
     true},
    {"Label2_1", "QLabel", "fraMain", 5490, 7680, 375, 285, "Ω", G, 9, false},
    {"btnFunc_2", "QPushButton", "fraMain", 7890, 7620, 5835, 615, nullptr, G,
     14.25, true},
    {"btnFunc_3", "QPushButton", "fraMain", 13860, 7620, 1335, 615, "閉じる", G,
     15.75, false},
    {"Label1_1", "QLabel", "fraMain", 60, 7980, 1365, 315, "変換件数", G, 9,
     false},
    {"lblKensu", "QLabel", "fraMain", 1470, 7920, 1095, 315, nullptr, G, 11.25,
     true},
    {"Label2_0", "QLabel", "fraMain", 2640, 8010, 375, 285, "件", G, 9, false},
    {"Label1_3", "QLabel", "fraMain", 3030, 7980, 1425, 315, "導通抵抗上限値",
     G, 9, false},
    {"txtDU", "QLineEdit", "fraMain", 4470, 7920, 945, 330, nullptr, G, 11.25,
     true},
    {"Label2_2", "QLabel", "fraMain", 5490, 8040, 375, 285, "Ω", G, 9, false},
    {"chkOverWrite", "QCheckBox", "fraMain", 330, 8310, 5175, 285,
     "同名ファイルは上書きして変換する", G, 9, true},
    {"lblGuide", "QLabel", "fraMain", 150, 8670, 14985, 585, nullptr, U, 12,
     true},
};

QRect Pixels(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

class LayoutTest : public WindowTest {};

TEST_F(LayoutTest, EveryControlSitsWhereItWasDesignedWithItsTextAndFont) {
  MainWindow& window = Start();
  EXPECT_EQ(window.objectName(), "frmMain");
  EXPECT_EQ(window.size(), QSize(1030, 634));
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "not resizable";
  const auto* outer = window.findChild<QFrame*>("fraMain");
  ASSERT_NE(outer, nullptr);
  EXPECT_EQ(outer->geometry(), Pixels(60, 0, 15285, 9375));
  for (const ControlCase& c : kControls) {
    SCOPED_TRACE(c.name);
    const auto* widget = window.findChild<QWidget*>(c.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), c.kind);
    EXPECT_EQ(widget->parentWidget()->objectName(), c.container);
    EXPECT_EQ(widget->geometry(), Pixels(c.left, c.top, c.width, c.height));
    if (c.text != nullptr) {
      QString text;
      if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        text = label->text();
      } else if (const auto* button =
                     qobject_cast<const QAbstractButton*>(widget)) {
        text = button->text();
      }
      EXPECT_EQ(ToUtf8(text), c.text);
    }
    const QFont font = widget->font();
    EXPECT_EQ(ToUtf8(font.family()),
              c.face == G ? kGothicFamily : kUiGothicFamily);
    EXPECT_DOUBLE_EQ(font.pointSizeF(), c.points);
    EXPECT_EQ(font.bold(), c.bold);
  }
}

TEST_F(LayoutTest, ControlArraysAreTheNamedMembers) {
  MainWindow& window = Start();
  for (std::size_t i = 0; i < window.buttons.size(); ++i) {
    EXPECT_EQ(window.buttons[i]->objectName(), QString("btnFunc_%1").arg(i));
  }
  EXPECT_EQ(window.direction_group->button(1), window.direction_options[1]);
  EXPECT_EQ(window.notation_group->button(0), window.notation_options[0]);
  EXPECT_TRUE(window.direction_group->exclusive());
  EXPECT_NE(window.direction_group, window.notation_group);
  EXPECT_EQ(window.side_bands[1]->objectName(), "Shape3_1");
  EXPECT_EQ(window.unit_labels[2]->objectName(), "Label2_2");
}

struct BandCase {
  const char* name;
  int left, top, width, height;
  QColor fill;
  bool bordered;
  QColor border;
};

TEST_F(LayoutTest, BandsAreFilledRectanglesBelowTheirLabelsTakingNoInput) {
  MainWindow& window = Start();
  const std::vector<BandCase> bands = {
      {"Shape1", 150, 150, 14985, 555, QColor(192, 192, 255), true,
       QColor(224, 224, 224)},
      {"Shape4", 150, 1140, 15015, 375, QColor(0, 0, 255), true,
       QColor(64, 64, 64)},
      {"Shape3_0", 150, 1500, 7275, 555, QColor(255, 255, 128), false, {}},
      {"Shape3_1", 7890, 1500, 7275, 555, QColor(255, 255, 128), false, {}},
  };
  const QImage picture = window.grab().toImage();
  const QPoint outer = window.main_frame->pos();
  for (const BandCase& band : bands) {
    SCOPED_TRACE(band.name);
    const auto* shape = window.findChild<QFrame*>(band.name);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->geometry(),
              Pixels(band.left, band.top, band.width, band.height));
    EXPECT_TRUE(shape->testAttribute(Qt::WA_TransparentForMouseEvents));
    // The fill shows just inside the band's upper left corner, the border
    // on its left edge.
    const QRect at = shape->geometry().translated(outer);
    EXPECT_EQ(picture.pixelColor(at.topLeft() + QPoint(2, 2)), band.fill);
    const QColor edge = picture.pixelColor(at.left(), at.center().y());
    EXPECT_EQ(edge, band.bordered ? band.border : band.fill);
  }
  // Labels lying on the bands are drawn above them.
  for (QWidget* label : {static_cast<QWidget*>(window.title_label),
                         static_cast<QWidget*>(window.source_title_label)}) {
    const QPoint centre =
        label->mapTo(window.main_frame, label->rect().center());
    EXPECT_EQ(window.main_frame->childAt(centre), label);
  }
}

TEST_F(LayoutTest, ColoursOfTheNotationOptionsGuideAndCounter) {
  MainWindow& window = Start();
  for (QRadioButton* option : window.notation_options) {
    EXPECT_EQ(option->palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_EQ(option->palette().color(QPalette::WindowText),
              QColor(0, 255, 255));
    EXPECT_TRUE(option->autoFillBackground());
  }
  EXPECT_EQ(window.guide_label->palette().color(QPalette::WindowText),
            QColor(0, 0, 192));
  EXPECT_EQ(window.count_label->palette().color(QPalette::Window),
            QColor(255, 255, 255));
  EXPECT_TRUE(window.count_label->alignment() & Qt::AlignRight);
  EXPECT_TRUE(window.guide_label->alignment() & Qt::AlignHCenter);
  EXPECT_TRUE(window.title_label->alignment() & Qt::AlignHCenter);
  EXPECT_TRUE(window.field_captions[3]->alignment() & Qt::AlignRight);
  EXPECT_NE(window.source_folder_label->frameShape(), QFrame::NoFrame);
  EXPECT_NE(window.count_label->frameShape(), QFrame::NoFrame);
}

TEST_F(LayoutTest, ListsAreReportViewsWithTheSixColumns) {
  MainWindow& window = Start();
  const std::vector<std::pair<const char*, int>> columns = {
      {"No.", 47},    {"品名", 200},  {"回路数", 52},
      {"端子数", 52}, {"片端数", 52}, {"最大端子", 64}};
  for (QTreeView* list : {window.source_list, window.destination_list}) {
    ASSERT_EQ(list->model()->columnCount(), 6);
    EXPECT_FALSE(list->rootIsDecorated());
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_FALSE(list->isHeaderHidden());
    for (int column = 0; column < 6; ++column) {
      const auto& [header, width] = columns[static_cast<std::size_t>(column)];
      EXPECT_EQ(HeaderText(list, column), header);
      EXPECT_EQ(list->columnWidth(column), width);
    }
  }
}

TEST_F(LayoutTest, RowsKeepTheOrderTheyAreGivenIn) {
  MainWindow& window = Start();
  window.ShowList(
      ListId::kDestination,
      std::make_shared<const ListRows>(
          RowStyle::kConverted,
          std::vector<ListRow>{{2, "Z", {}}, {1, "A", {1, 2, 0, 194, true}}}));
  ASSERT_EQ(RowCount(window.destination_list), 2);
  EXPECT_EQ(CellText(window.destination_list, 0, 1), "Z");
  EXPECT_EQ(CellText(window.destination_list, 1, 0), "   1");
  EXPECT_EQ(CellText(window.destination_list, 1, 5), "  B66");
  EXPECT_EQ(RowCount(window.source_list), 0);
}

TEST_F(LayoutTest, FontsStandInWithTheMetricsOfTheWindowsFonts) {
  if (!QFontDatabase::hasFamily("IPAGothic") ||
      !QFontDatabase::hasFamily("IPAPGothic")) {
    GTEST_SKIP() << "the IPA fonts are not installed";
  }
  const QFontInfo gothic(GothicFont(9, false));
  EXPECT_EQ(gothic.family(), "IPAGothic");
  const QFontMetrics metrics(GothicFont(9, false));
  EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
  EXPECT_EQ(metrics.horizontalAdvance(QString::fromUtf8("変")),
            2 * metrics.horizontalAdvance('W'));
  EXPECT_EQ(QFontInfo(UiGothicFont(12, true)).family(), "IPAPGothic");
}

TEST_F(LayoutTest, ArrowPointsRightBetweenTheListsAtTheirMidHeight) {
  MainWindow& window = Start();
  const QImage arrow = window.arrow_picture->pixmap().toImage();
  ASSERT_EQ(arrow.size(), QSize(29, 24));
  const int middle = arrow.height() / 2;
  EXPECT_EQ(arrow.pixelColor(2, middle), QColor(Qt::black));
  EXPECT_EQ(arrow.pixelColor(27, middle), QColor(Qt::black));
  EXPECT_EQ(arrow.pixelColor(2, 2).alpha(), 0) << "no head on the left";
  EXPECT_EQ(arrow.pixelColor(17, 2), QColor(Qt::black)) << "head on the right";
  EXPECT_EQ(arrow.pixelColor(28, 0).alpha(), 0);
  const QRect picture = window.arrow_picture->geometry();
  EXPECT_GE(picture.left(), window.source_list->geometry().right() - 1);
  EXPECT_LE(picture.right(), window.destination_list->geometry().left() + 1);
  const int lists_middle = window.source_list->geometry().center().y();
  EXPECT_LE(std::abs(picture.center().y() - lists_middle), 2);
}

TEST_F(LayoutTest, WindowIconHasBothSizesWithArrowsAgainstBars) {
  MainWindow& window = Start();
  const QList<QSize> sizes = window.windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  const QImage icon = DrawWindowIcon().pixmap(32, 32).toImage();
  // Upper half: bar on the left, arrow tip against it; lower half mirrored.
  EXPECT_EQ(icon.pixelColor(3, 8), QColor(Qt::black));
  EXPECT_EQ(icon.pixelColor(6, 8), QColor(Qt::black));
  EXPECT_EQ(icon.pixelColor(28, 23), QColor(Qt::black));
  EXPECT_EQ(icon.pixelColor(25, 23), QColor(Qt::black));
  EXPECT_EQ(icon.pixelColor(29, 3).alpha(), 0) << "no bar on the right above";
  EXPECT_EQ(icon.pixelColor(3, 18).alpha(), 0) << "no bar on the left below";
}

// The focus path of the Tab key from the first list onwards.
std::vector<std::string> TabPath(MainWindow& window, int steps) {
  std::vector<std::string> path;
  window.source_list->setFocus(Qt::TabFocusReason);
  for (int step = 0; step < steps; ++step) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) break;
    path.push_back(ToUtf8(focus->objectName()));
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  return path;
}

TEST_F(LayoutTest, TabVisitsTheSelectedOptionsInTheDesignedOrder) {
  WriteFolderSettings("1", "1");
  MainWindow& window = Start();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_EQ(TabPath(window, 13),
            (std::vector<std::string>{
                "lvSrc", "lvDst", "btnFunc_0", "btnFunc_1", "txtKisyu",
                "btnFunc_2", "btnFunc_3", "optAB_1", "optSel_1", "txtDL",
                "txtDU", "chkOverWrite", "lvSrc"}));
  // With the other direction the notation options are hidden.
  window.direction_options[0]->click();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(TabPath(window, 10),
            (std::vector<std::string>{
                "lvSrc", "lvDst", "btnFunc_0", "btnFunc_1", "txtKisyu",
                "btnFunc_2", "btnFunc_3", "optSel_0", "txtDL", "txtDU"}));
}

}  // namespace
}  // namespace cordshift
