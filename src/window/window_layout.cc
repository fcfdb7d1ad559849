#include "window/window_layout.h"

#include <algorithm>
#include <array>

namespace cordshift {
namespace {

constexpr Rgb kTitleBandFill{192, 192, 255};
constexpr Rgb kTitleBandBorder{224, 224, 224};
constexpr Rgb kNotationBandFill{0, 0, 255};
constexpr Rgb kNotationBandBorder{64, 64, 64};
constexpr Rgb kNotationText{0, 255, 255};
constexpr Rgb kSideBandFill{255, 255, 128};
constexpr Rgb kGuideText{0, 0, 192};
constexpr Rgb kCounterBackground{255, 255, 255};

constexpr FontStyle Gothic(double points, bool bold) {
  return {Typeface::kGothic, points, bold};
}
constexpr FontStyle UiGothic(double points, bool bold) {
  return {Typeface::kUiGothic, points, bold};
}

using K = ControlKind;
using A = TextAlign;

constexpr std::string_view kMain = "fraMain";

// The bands first, then everything that lies on them.
constexpr std::array<LayoutControl, 35> kLayout = {{
    {"fraMain", K::kFrame, {}, 60, 0, 15285, 9375},
    {"Shape1",
     K::kShape,
     kMain,
     150,
     150,
     14985,
     555,
     {},
     {},
     A::kLeft,
     {},
     kTitleBandFill,
     kTitleBandBorder},
    {"Shape4",
     K::kShape,
     kMain,
     150,
     1140,
     15015,
     375,
     {},
     {},
     A::kLeft,
     {},
     kNotationBandFill,
     kNotationBandBorder},
    {"Shape3_0",
     K::kShape,
     kMain,
     150,
     1500,
     7275,
     555,
     {},
     {},
     A::kLeft,
     {},
     kSideBandFill},
    {"Shape3_1",
     K::kShape,
     kMain,
     7890,
     1500,
     7275,
     555,
     {},
     {},
     A::kLeft,
     {},
     kSideBandFill},
    {"lblTTL", K::kLabel, kMain, 270, 210, 14715, 345,
     "LoomvantageとLoomvantageHipotの配線データ相互変換ツール v2.0",
     Gothic(18, true), A::kCentre},
    {"lblSrcTitle",
     K::kLabel,
     kMain,
     240,
     1560,
     7035,
     465,
     {},
     UiGothic(20.25, true),
     A::kCentre},
    {"lblDstTitle",
     K::kLabel,
     kMain,
     7980,
     1560,
     7065,
     375,
     {},
     UiGothic(20.25, true),
     A::kCentre},
    {"fraDirection", K::kFrame, kMain, 180, 600, 14955, 555},
    {"optSel_0", K::kOption, "fraDirection", 330, 240, 5565, 225,
     "Loomvantage ---> LoomvantageHipot", Gothic(12, true)},
    {"optSel_1", K::kOption, "fraDirection", 7560, 240, 5565, 225,
     "LoomvantageHipot ---> Loomvantage", Gothic(12, true)},
    {"optAB_0", K::kOption, kMain, 7740, 1215, 3195, 270,
     "端子番号表現はAB番号", Gothic(12, true), A::kLeft, kNotationText,
     kNotationBandFill},
    {"optAB_1", K::kOption, kMain, 10830, 1215, 3195, 270,
     "端子番号表現は連番数字", Gothic(12, true), A::kLeft, kNotationText,
     kNotationBandFill},
    {"lblSrc",
     K::kLabel,
     kMain,
     150,
     2100,
     6375,
     705,
     {},
     UiGothic(11.25, true),
     A::kLeft,
     {},
     {},
     {},
     true,
     true},
    {"btnFunc_0", K::kButton, kMain, 6570, 2100, 855, 405, "参照"},
    {"lblDst",
     K::kLabel,
     kMain,
     7890,
     2100,
     6375,
     705,
     {},
     UiGothic(11.25, true),
     A::kLeft,
     {},
     {},
     {},
     true,
     true},
    {"btnFunc_1", K::kButton, kMain, 14310, 2100, 855, 405, "参照"},
    {"lvSrc",
     K::kReportList,
     kMain,
     120,
     2850,
     7335,
     4695,
     {},
     Gothic(9, false)},
    {"lvDst",
     K::kReportList,
     kMain,
     7860,
     2850,
     7335,
     4695,
     {},
     Gothic(9, false)},
    // Spans the gap between the lists, above their edges.
    {"Image1", K::kPicture, kMain, 7440, 5040, 435, 360},
    {"Label1_0",
     K::kLabel,
     kMain,
     60,
     7620,
     1365,
     315,
     "変換先機種名",
     {},
     A::kRight},
    {"txtKisyu",
     K::kTextBox,
     kMain,
     1470,
     7560,
     1575,
     315,
     {},
     Gothic(11.25, true)},
    {"Label1_2",
     K::kLabel,
     kMain,
     3030,
     7620,
     1425,
     315,
     "導通抵抗下限値",
     {},
     A::kRight},
    {"txtDL",
     K::kTextBox,
     kMain,
     4470,
     7560,
     945,
     315,
     {},
     Gothic(11.25, true)},
    {"Label2_1", K::kLabel, kMain, 5490, 7680, 375, 285, "Ω"},
    {"btnFunc_2",
     K::kButton,
     kMain,
     7890,
     7620,
     5835,
     615,
     {},
     Gothic(14.25, true)},
    {"btnFunc_3", K::kButton, kMain, 13860, 7620, 1335, 615, "閉じる",
     Gothic(15.75, false)},
    {"Label1_1",
     K::kLabel,
     kMain,
     60,
     7980,
     1365,
     315,
     "変換件数",
     {},
     A::kRight},
    {"lblKensu",
     K::kLabel,
     kMain,
     1470,
     7920,
     1095,
     315,
     {},
     Gothic(11.25, true),
     A::kRight,
     {},
     kCounterBackground,
     {},
     true},
    {"Label2_0", K::kLabel, kMain, 2640, 8010, 375, 285, "件"},
    {"Label1_3",
     K::kLabel,
     kMain,
     3030,
     7980,
     1425,
     315,
     "導通抵抗上限値",
     {},
     A::kRight},
    {"txtDU",
     K::kTextBox,
     kMain,
     4470,
     7920,
     945,
     330,
     {},
     Gothic(11.25, true)},
    {"Label2_2", K::kLabel, kMain, 5490, 8040, 375, 285, "Ω"},
    {"chkOverWrite", K::kCheckBox, kMain, 330, 8310, 5175, 285,
     "同名ファイルは上書きして変換する", Gothic(9, true)},
    {"lblGuide",
     K::kLabel,
     kMain,
     150,
     8670,
     14985,
     585,
     {},
     UiGothic(12, true),
     A::kCentre,
     kGuideText,
     {},
     {},
     false,
     true},
}};

constexpr std::array<std::string_view, 14> kTabOrder = {
    "lvSrc",     "lvDst",     "btnFunc_0", "btnFunc_1",   "txtKisyu",
    "btnFunc_2", "btnFunc_3", "optAB_0",   "optAB_1",     "optSel_1",
    "optSel_0",  "txtDL",     "txtDU",     "chkOverWrite"};

constexpr std::array<ListColumn, 6> kListColumns = {{
    {"No.", 700},
    {"品名", 3000},
    {"回路数", 780},
    {"端子数", 780},
    {"片端数", 780},
    {"最大端子", 960},
}};

}  // namespace

std::span<const ListColumn> ListColumns() { return kListColumns; }

std::span<const LayoutControl> MainWindowLayout() { return kLayout; }

std::span<const std::string_view> MainWindowTabOrder() { return kTabOrder; }

const LayoutControl* FindControl(std::string_view name) {
  const std::span<const LayoutControl> layout = MainWindowLayout();
  const auto found =
      std::find_if(layout.begin(), layout.end(),
                   [name](const LayoutControl& c) { return c.name == name; });
  return found == layout.end() ? nullptr : &*found;
}

TwipsPoint OriginInWindow(const LayoutControl& control) {
  TwipsPoint origin{control.left, control.top};
  for (const LayoutControl* frame = FindControl(control.parent);
       frame != nullptr; frame = FindControl(frame->parent)) {
    origin.left += frame->left;
    origin.top += frame->top;
  }
  return origin;
}

}  // namespace cordshift
