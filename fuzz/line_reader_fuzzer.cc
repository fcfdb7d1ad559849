// The wiring files' line reader: the lines and their line ends give back the
// text byte for byte, no line holds a CR, and the lines agree with a plain
// reference split.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/text_file.h"
#include "wiring/wiring_file.h"

namespace cordshift::fuzz {
namespace {

std::vector<std::string_view> ReferenceLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

void FuzzOneInput(std::string_view text) {
  LineReader reader(text);
  std::vector<std::string_view> lines;
  std::string rebuilt;
  const char* expected_start = text.data();
  while (const std::optional<std::string_view> line = reader.Next()) {
    Require(line->data() == expected_start, "lines follow one another");
    Require(line->find('\r') == std::string_view::npos, "no line holds a CR");
    lines.push_back(*line);
    rebuilt.append(*line);
    // The line end that the reader passed over.
    const std::size_t end =
        static_cast<std::size_t>(line->data() + line->size() - text.data());
    std::size_t next = end;
    if (next < text.size()) {
      Require(text[next] == '\r', "a line ends at a CR");
      ++next;
      if (next < text.size() && text[next] == '\n') ++next;
    }
    rebuilt.append(text.substr(end, next - end));
    expected_start = text.data() + next;
  }
  Require(reader.AtEnd(), "the reader stops at the end");
  Require(rebuilt == text, "lines and line ends give back the text");
  Require(lines == ReferenceLines(text), "the lines agree with the reference");

  LineReader header_lines(text);
  const std::optional<WiringHeader> header = ReadWiringHeader(header_lines);
  Require(header.has_value() == (lines.size() >= 4),
          "a header is read exactly when there are four lines");
}

}  // namespace
}  // namespace cordshift::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  cordshift::fuzz::FuzzOneInput(cordshift::fuzz::AsText(data, size));
  return 0;
}
