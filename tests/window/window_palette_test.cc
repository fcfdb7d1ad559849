// The window's colours under the application palette: the layout's on a
// light palette, the palette's own roles on a dark or high-contrast one,
// and back again when the palette changes while the window is open.

#include "window/qt/window_palette.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPoint>
#include <QRadioButton>
#include <QRect>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "window/window_fixture.h"

namespace cordshift {
namespace {

using testing::WindowTest;

QPalette DarkPalette() {
  QPalette palette;
  palette.setColor(QPalette::Window, QColor(53, 53, 53));
  palette.setColor(QPalette::WindowText, Qt::white);
  palette.setColor(QPalette::Base, QColor(25, 25, 25));
  palette.setColor(QPalette::Text, QColor(255, 255, 0));
  palette.setColor(QPalette::Button, QColor(53, 53, 53));
  palette.setColor(QPalette::ButtonText, Qt::white);
  palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
  palette.setColor(QPalette::HighlightedText, Qt::black);
  return palette;
}

QColor Role(const QWidget* widget, QPalette::ColorRole role) {
  return widget->palette().color(role);
}

class WindowPaletteTest : public WindowTest {
 protected:
  void TearDown() override { QApplication::setPalette(original_); }

  const QPalette original_ = QApplication::palette();
};

struct PaletteCase {
  const char* name;
  QColor window;
  QColor window_text;
  ColourScheme expected;
};

TEST_F(WindowPaletteTest, OnlyDarkTextOnALighterWindowKeepsTheLayout) {
  const std::vector<PaletteCase> cases = {
      {"light", QColor(239, 239, 239), Qt::black, ColourScheme::kLayout},
      {"high contrast white", Qt::white, Qt::black, ColourScheme::kLayout},
      {"dark", QColor(53, 53, 53), Qt::white, ColourScheme::kSystem},
      {"high contrast black", Qt::black, Qt::yellow, ColourScheme::kSystem},
      {"grey on grey", Qt::gray, Qt::gray, ColourScheme::kSystem},
  };
  for (const PaletteCase& c : cases) {
    QPalette palette;
    palette.setColor(QPalette::Window, c.window);
    palette.setColor(QPalette::WindowText, c.window_text);
    EXPECT_EQ(ColoursFor(palette).scheme(), c.expected) << c.name;
  }
}

TEST_F(WindowPaletteTest, DarkPaletteColoursEveryControlFromItsRoles) {
  QApplication::setPalette(DarkPalette());
  WriteFolderSettings("1");
  MainWindow& window = Start();
  const QColor face(53, 53, 53);
  for (const LayoutControl& entry : MainWindowLayout()) {
    SCOPED_TRACE(std::string(entry.name));
    const auto* widget = window.findChild<QWidget*>(ToQString(entry.name));
    ASSERT_NE(widget, nullptr);
    if (entry.kind == ControlKind::kTextBox ||
        entry.kind == ControlKind::kReportList) {
      EXPECT_EQ(Role(widget, QPalette::Text), QColor(255, 255, 0));
      EXPECT_EQ(Role(widget, QPalette::Base), QColor(25, 25, 25));
    } else if (entry.kind != ControlKind::kButton &&
               !entry.name.starts_with("optSel_")) {
      // The bands too: a light band would hide the palette's light text.
      EXPECT_EQ(Role(widget, QPalette::Window), face);
      if (entry.kind != ControlKind::kShape) {
        EXPECT_EQ(Role(widget, QPalette::WindowText), QColor(Qt::white));
      }
    }
  }
  // The selected direction in the selection's colours, not in red.
  EXPECT_EQ(Role(window.direction_options[1], QPalette::WindowText),
            QColor(Qt::black));
  EXPECT_EQ(Role(window.direction_options[1], QPalette::Window),
            QColor(42, 130, 218));
  EXPECT_EQ(Role(window.direction_options[0], QPalette::WindowText),
            QColor(Qt::white));
  // Painted as it says: a button's own fill would be the button colour.
  const QImage picture = window.grab().toImage();
  const QRect selected =
      QRect(window.direction_options[1]->mapTo(&window, QPoint(0, 0)),
            window.direction_options[1]->size());
  EXPECT_EQ(picture.pixelColor(selected.right() - 2, selected.center().y()),
            QColor(42, 130, 218));
  const QImage arrow = window.arrow_picture->pixmap().toImage();
  EXPECT_EQ(arrow.pixelColor(2, arrow.height() / 2), QColor(Qt::white));

  // A change of direction moves the selection's colours along.
  window.direction_options[0]->click();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Role(window.direction_options[0], QPalette::Window),
            QColor(42, 130, 218));
  EXPECT_EQ(Role(window.direction_options[1], QPalette::WindowText),
            QColor(Qt::white));
}

TEST_F(WindowPaletteTest, BackToALightPaletteTheLayoutsColoursReturn) {
  QApplication::setPalette(DarkPalette());
  WriteFolderSettings("1");
  MainWindow& window = Start();
  QApplication::setPalette(original_);
  // The window hears of the change from the event loop.
  ASSERT_TRUE(QTest::qWaitFor([&window] {
    return Role(window.guide_label, QPalette::WindowText) == QColor(0, 0, 192);
  }));
  EXPECT_EQ(Role(window.title_label, QPalette::WindowText), QColor(Qt::black));
  EXPECT_EQ(Role(window.count_label, QPalette::Window), QColor(Qt::white));
  EXPECT_EQ(Role(window.notation_options[1], QPalette::Window),
            QColor(0, 0, 255));
  // The behaviour's colours, which the dark palette had replaced.
  EXPECT_EQ(Role(window.direction_options[1], QPalette::WindowText),
            QColor(255, 0, 0));
  EXPECT_EQ(Role(window.direction_options[0], QPalette::WindowText),
            QColor(128, 128, 128));
  EXPECT_FALSE(window.direction_options[1]->autoFillBackground());
  const QImage arrow = window.arrow_picture->pixmap().toImage();
  EXPECT_EQ(arrow.pixelColor(2, arrow.height() / 2), QColor(Qt::black));
}

}  // namespace
}  // namespace cordshift
