#ifndef CORDSHIFT_PLATFORM_LINE_READER_H_
#define CORDSHIFT_PLATFORM_LINE_READER_H_

// Line splitting by the wiring files' rule.

#include <optional>
#include <string_view>

namespace cordshift {

// Walks the lines of a text: CR LF or a lone CR ends a line, a lone LF stays
// inside the line. A last line without a line end counts; a text that ends
// with a line end has no empty line after it. Yields views into the text,
// without allocating.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}

  // The next line, or no value at the end of the text.
  std::optional<std::string_view> Next();
  bool AtEnd() const { return rest_.empty(); }
  // The text from the next line on.
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_LINE_READER_H_
