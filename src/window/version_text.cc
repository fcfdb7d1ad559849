#include "window/version_text.h"

#include <string>

namespace cordshift {

std::string VersionText() {
  return std::string("Cordshift バージョン ") + CORDSHIFT_VERSION;
}

}  // namespace cordshift
