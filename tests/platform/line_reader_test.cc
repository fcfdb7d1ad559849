#include "platform/line_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cordshift {
namespace {

std::vector<std::string> AllLines(std::string_view text) {
  std::vector<std::string> lines;
  LineReader reader(text);
  while (const std::optional<std::string_view> line = reader.Next()) {
    // Lines are views into the text itself.
    EXPECT_GE(line->data(), text.data());
    EXPECT_LE(line->data() + line->size(), text.data() + text.size());
    lines.emplace_back(*line);
  }
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.Next(), std::nullopt);
  return lines;
}

TEST(LineReaderTest, SplitsAtCrLfAndLoneCrOnly) {
  const struct {
    const char* what;
    std::string_view text;
    std::vector<std::string> lines;
  } kCases[] = {
      {"empty text", "", {}},
      {"no line end", "a", {"a"}},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"last line without line end", "a\r\nb", {"a", "b"}},
      {"lone CR", "a\rb\r", {"a", "b"}},
      {"lone LF stays inside", "a\nb\r\n", {"a\nb"}},
      {"LF at the end stays", "a\n", {"a\n"}},
      {"LF CR is LF then line end", "a\n\rb", {"a\n", "b"}},
      {"trailing empty line", "a\r\n\r\n", {"a", ""}},
      {"only a line end", "\r\n", {""}},
      {"CR then CR LF", "\r\r\n", {"", ""}},
      {"trail byte before line end",
       "\x83\x5C\r\n\x83\x61",
       {"\x83\x5C", "\x83\x61"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(AllLines(c.text), c.lines);
  }
}

}  // namespace
}  // namespace cordshift
