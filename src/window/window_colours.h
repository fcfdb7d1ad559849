#ifndef CORDSHIFT_WINDOW_WINDOW_COLOURS_H_
#define CORDSHIFT_WINDOW_WINDOW_COLOURS_H_

// The colours each control is drawn in. The layout's colours assume dark
// text on a light face; a front end paints them whatever the system's
// scheme, text and background together, so that no text can vanish into
// a background the scheme chose. A user who needs high contrast gets the
// system's own colours instead, for every control alike.

#include <optional>

#include "window/direction_texts.h"
#include "window/window_layout.h"

namespace cordshift {

// The system's colours (or a toolkit palette's) for the roles the window
// uses, as pairs of background and the text drawn on it.
struct SystemColours {
  Rgb face;  // the window and its labels, options and bands
  Rgb face_text;
  Rgb box;  // text boxes and lists
  Rgb box_text;
  Rgb highlight;  // what is selected
  Rgb highlight_text;

  bool operator==(const SystemColours&) const = default;
};

// What the layout assumes: a light face as Windows has it by default.
inline constexpr SystemColours kLayoutAssumption{
    {240, 240, 240}, {0, 0, 0},     {255, 255, 255},
    {0, 0, 0},       {0, 120, 215}, {255, 255, 255}};

// Whether the layout's dark texts show on such a face: not when its own
// text is lighter than its face (a dark or high-contrast scheme).
bool SuitsLayoutColours(const SystemColours& system);

enum class ColourScheme {
  kLayout,  // the layout's colours, the face as the layout assumes it
  kSystem,  // the system's colours, for every control
};

struct ControlColours {
  Rgb text;
  Rgb background;

  bool operator==(const ControlColours&) const = default;
};

class WindowColours {
 public:
  WindowColours() : WindowColours(ColourScheme::kLayout, kLayoutAssumption) {}
  WindowColours(ColourScheme scheme, const SystemColours& system);

  ColourScheme scheme() const { return scheme_; }

  // The window's own background, and what is drawn on it (the arrow).
  ControlColours Face() const;
  // A control as the layout gives it. A label without a background of its
  // own shows the band it lies on.
  ControlColours Of(const LayoutControl& control) const;
  // An option whose text colour the behaviour sets to say which one is
  // selected; with the system's colours it is told by the selection
  // colours instead.
  ControlColours OfOption(const LayoutControl& option, Rgb behaviour_text,
                          bool selected) const;
  // A band's outline; none when it has none.
  std::optional<Rgb> BorderOf(const LayoutControl& shape) const;

 private:
  ColourScheme scheme_;
  SystemColours system_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WINDOW_COLOURS_H_
