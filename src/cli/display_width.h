#ifndef CORDSHIFT_CLI_DISPLAY_WIDTH_H_
#define CORDSHIFT_CLI_DISPLAY_WIDTH_H_

// The width of UTF-8 texts on a terminal, so that tables of Japanese file
// names line up: East Asian wide and fullwidth characters take two columns.

#include <cstddef>
#include <string_view>

namespace cordshift {

// True when the code point is East Asian wide or fullwidth.
bool IsWideCodePoint(char32_t code_point);

// Terminal columns the text takes. A byte that does not start a valid UTF-8
// sequence counts as one column, so that a broken text still lines up.
std::size_t DisplayWidth(std::string_view utf8);

}  // namespace cordshift

#endif  // CORDSHIFT_CLI_DISPLAY_WIDTH_H_
