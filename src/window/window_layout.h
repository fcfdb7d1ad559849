#ifndef CORDSHIFT_WINDOW_WINDOW_LAYOUT_H_
#define CORDSHIFT_WINDOW_WINDOW_LAYOUT_H_

// The main window's fixed layout as data, read by every front end: each
// control under the name the tester family's documentation uses, with its
// kind, the frame it lies in, its position and size in twips, its text,
// font and colours, and the tab order. Controls are listed in the order
// they are created: a later one is drawn above an earlier one.

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "window/direction_texts.h"

namespace cordshift {

inline constexpr int kTwipsPerPixel = 15;

// Rounded to the nearest pixel; the layout's positions are whole pixels at
// 96 DPI.
constexpr int TwipsToPixels(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

// The window's client area.
inline constexpr int kWindowWidthTwips = 15450;
inline constexpr int kWindowHeightTwips = 9510;

enum class ControlKind {
  kFrame,  // a sunken frame line holding other controls
  kShape,  // a filled rectangle under the labels on it; takes no input
  kLabel,
  kTextBox,
  kButton,
  kCheckBox,
  kOption,      // one of a pair of exclusive options (the index after "_")
  kReportList,  // a list view in report view with the six columns
  kPicture,     // the arrow between the lists
};

// The two typefaces, asked for by their Windows names.
enum class Typeface {
  kGothic,    // ＭＳ ゴシック, fixed pitch: the window's default
  kUiGothic,  // MS UI Gothic, proportional: captions, titles, guidance
};

inline constexpr std::string_view kGothicFace = "ＭＳ ゴシック";
inline constexpr std::string_view kUiGothicFace = "MS UI Gothic";

struct FontStyle {
  Typeface face = Typeface::kGothic;
  double points = 9;
  bool bold = false;
};

// The window's own font, which controls without one of their own take.
inline constexpr FontStyle kWindowFont{Typeface::kGothic, 9, false};

enum class TextAlign { kLeft, kCentre, kRight };

struct LayoutControl {
  std::string_view name;  // ending in "_2" for element 2 of an array
  ControlKind kind;
  std::string_view parent;  // the frame it lies in; empty: the window
  int left = 0;             // twips, within the parent
  int top = 0;
  int width = 0;
  int height = 0;
  std::string_view text = {};  // empty for texts the behaviour sets
  std::optional<FontStyle> font = std::nullopt;
  TextAlign align = TextAlign::kLeft;
  std::optional<Rgb> text_colour = std::nullopt;
  std::optional<Rgb> fill = std::nullopt;    // background
  std::optional<Rgb> border = std::nullopt;  // a shape's line
  bool sunken_border = false;  // the folder captions and the counter
  bool word_wrap = false;
};

// Every control, in creation order.
std::span<const LayoutControl> MainWindowLayout();

// The names of the controls that Tab visits, in order; an option pair is
// reached at its selected option only.
std::span<const std::string_view> MainWindowTabOrder();

// A column of both lists (source and destination).
struct ListColumn {
  std::string_view header;
  int width_twips = 0;
};

// The six columns, left to right.
std::span<const ListColumn> ListColumns();

// The control of that name; nullptr when there is none.
const LayoutControl* FindControl(std::string_view name);

// Where a control lies in the window, in twips: the layout gives each
// control's place within its frame.
struct TwipsPoint {
  int left = 0;
  int top = 0;
};
TwipsPoint OriginInWindow(const LayoutControl& control);

// The arrow picture between the lists, drawn in black on the
// window's face, in pixels at 96 DPI: a shaft and a head pointing from the
// source list to the destination list.
struct PixelPoint {
  int x = 0;
  int y = 0;
};
struct ArrowShape {
  PixelPoint shaft_top_left;
  PixelPoint shaft_bottom_right;  // exclusive
  std::array<PixelPoint, 3> head;
};
inline constexpr ArrowShape kArrowPicture{
    {1, 9}, {17, 15}, {{{16, 0}, {29, 12}, {16, 24}}}};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WINDOW_LAYOUT_H_
