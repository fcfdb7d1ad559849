#ifndef CORDSHIFT_WINDOW_DIRECTION_TEXTS_H_
#define CORDSHIFT_WINDOW_DIRECTION_TEXTS_H_

// What the window shows for each conversion direction. The spellings are
// the tester family's own, including the run button's "Hipopt".

#include <cstdint>
#include <string>
#include <string_view>

#include "wiring/direction.h"

namespace cordshift {

// A colour as the window's layout gives it.
struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  bool operator==(const Rgb&) const = default;
};

struct DirectionTexts {
  const char* run_caption;
  Rgb continuity_option_colour;   // of the continuity-to-hipot option
  Rgb hipot_option_colour;        // of the hipot-to-continuity option
  const char* source_title;       // above the source side
  const char* destination_title;  // above the destination side
  bool shows_notation;            // the two notation options are visible
  const char* guide_first_line;
  const char* guide_second_line;
  const char* source_prompt;       // of the source folder's browser
  const char* destination_prompt;  // of the destination folder's browser
};

const DirectionTexts& DirectionTextsOf(Direction direction);

// The guidance text: the two lines joined by a lone carriage return, as the
// guidance line receives it.
std::string GuideTextOf(const DirectionTexts& texts);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_DIRECTION_TEXTS_H_
