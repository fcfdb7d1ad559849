#include "platform/line_reader.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace cordshift {

std::optional<std::string_view> LineReader::Next() {
  if (rest_.empty()) return std::nullopt;
  const std::size_t cr = rest_.find('\r');
  if (cr == std::string_view::npos) {
    const std::string_view line = rest_;
    rest_ = {};
    return line;
  }
  const std::string_view line = rest_.substr(0, cr);
  const bool has_lf = cr + 1 < rest_.size() && rest_[cr + 1] == '\n';
  rest_.remove_prefix(cr + (has_lf ? 2 : 1));
  return line;
}

}  // namespace cordshift
