#include "window/window_colours.h"

#include <span>

namespace cordshift {
namespace {

// Perceived brightness, 0 to 255.
double Brightness(Rgb colour) {
  return 0.2126 * colour.red + 0.7152 * colour.green + 0.0722 * colour.blue;
}

bool IsBox(const LayoutControl& control) {
  return control.kind == ControlKind::kTextBox ||
         control.kind == ControlKind::kReportList;
}

bool Contains(const LayoutControl& outer, const LayoutControl& inner) {
  const TwipsPoint o = OriginInWindow(outer);
  const TwipsPoint i = OriginInWindow(inner);
  return i.left >= o.left && i.top >= o.top &&
         i.left + inner.width <= o.left + outer.width &&
         i.top + inner.height <= o.top + outer.height;
}

// The fill of the topmost band below `control`: a control is drawn above
// those created before it.
std::optional<Rgb> BandFillBelow(const LayoutControl& control) {
  std::optional<Rgb> fill;
  for (const LayoutControl& band : MainWindowLayout()) {
    if (band.name == control.name) break;
    if (band.kind == ControlKind::kShape && band.fill &&
        Contains(band, control)) {
      fill = band.fill;
    }
  }
  return fill;
}

}  // namespace

bool SuitsLayoutColours(const SystemColours& system) {
  return Brightness(system.face_text) < Brightness(system.face);
}

WindowColours::WindowColours(ColourScheme scheme, const SystemColours& system)
    : scheme_(scheme),
      system_(scheme == ColourScheme::kLayout ? kLayoutAssumption : system) {}

ControlColours WindowColours::Face() const {
  return {system_.face_text, system_.face};
}

ControlColours WindowColours::Of(const LayoutControl& control) const {
  ControlColours colours =
      IsBox(control) ? ControlColours{system_.box_text, system_.box} : Face();
  if (scheme_ == ColourScheme::kSystem) return colours;
  if (control.text_colour) colours.text = *control.text_colour;
  if (control.fill) {
    colours.background = *control.fill;
  } else if (const std::optional<Rgb> band = BandFillBelow(control)) {
    colours.background = *band;
  }
  return colours;
}

ControlColours WindowColours::OfOption(const LayoutControl& option,
                                       Rgb behaviour_text,
                                       bool selected) const {
  ControlColours colours = Of(option);
  if (scheme_ == ColourScheme::kLayout) {
    colours.text = behaviour_text;
  } else if (selected) {
    colours = {system_.highlight_text, system_.highlight};
  }
  return colours;
}

std::optional<Rgb> WindowColours::BorderOf(const LayoutControl& shape) const {
  if (!shape.border) return std::nullopt;
  return scheme_ == ColourScheme::kLayout ? shape.border : system_.face_text;
}

}  // namespace cordshift
