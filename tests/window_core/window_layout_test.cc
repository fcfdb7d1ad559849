// The layout table every front end builds from: one control per name, each
// inside the frame it names (created before it), and a tab order of
// existing controls.

#include "window/window_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace cordshift {
namespace {

TEST(WindowLayoutTest, ControlsLieInsideFramesCreatedBeforeThem) {
  std::set<std::string_view> created;
  for (const LayoutControl& control : MainWindowLayout()) {
    EXPECT_TRUE(created.insert(control.name).second)
        << "twice: " << control.name;
    int parent_width = kWindowWidthTwips;
    int parent_height = kWindowHeightTwips;
    if (!control.parent.empty()) {
      const LayoutControl* parent = FindControl(control.parent);
      ASSERT_NE(parent, nullptr) << control.name;
      EXPECT_EQ(parent->kind, ControlKind::kFrame) << control.name;
      EXPECT_TRUE(created.contains(control.parent)) << control.name;
      parent_width = parent->width;
      parent_height = parent->height;
    }
    EXPECT_GE(control.left, 0) << control.name;
    EXPECT_GE(control.top, 0) << control.name;
    EXPECT_LE(control.left + control.width, parent_width) << control.name;
    EXPECT_LE(control.top + control.height, parent_height) << control.name;
  }
  for (const std::string_view name : MainWindowTabOrder()) {
    EXPECT_NE(FindControl(name), nullptr) << name;
  }
  EXPECT_EQ(FindControl("nothing"), nullptr);
}

}  // namespace
}  // namespace cordshift
