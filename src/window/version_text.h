#ifndef CORDSHIFT_WINDOW_VERSION_TEXT_H_
#define CORDSHIFT_WINDOW_VERSION_TEXT_H_

// The window's word for its version, and the version as it says it.

#include <string>

namespace cordshift {

inline constexpr char kVersionMenuText[] = "バージョン情報";

// "Cordshift バージョン 1.2.0".
std::string VersionText();

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_VERSION_TEXT_H_
