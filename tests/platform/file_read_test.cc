#include "platform/file_read.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_folder.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteBytes;

TEST(TextFileTest, ReadsWholeFilesAsBytes) {
  TempFolder folder;
  const std::string binary("a\r\nb\rc\n\0\x1A\x83\x5C\xFF", 13);
  WriteBytes(folder / "binary", binary);
  WriteBytes(folder / "empty", "");
  const std::string big(3 * 1024 * 1024 + 7, '\x95');
  WriteBytes(folder / "big", big);

  EXPECT_EQ(ReadWholeFile(folder / "binary"), binary);
  EXPECT_EQ(ReadWholeFile(folder / "empty"), "");
  EXPECT_EQ(ReadWholeFile(folder / "big"), big);
  EXPECT_EQ(ReadWholeFile(folder / "missing"), std::nullopt);
  EXPECT_EQ(ReadWholeFile(folder.path()), std::nullopt);
}

// A small file is read in one go, a larger one in more reads: every size
// around the first read's buffer comes back whole, and the limit holds on
// both ways.
TEST(ReadFileUpToTest, SizesAroundTheFirstReadComeBackWhole) {
  TempFolder folder;
  for (const std::size_t size :
       {std::size_t{1}, std::size_t{16383}, std::size_t{16384},
        std::size_t{16385}, std::size_t{32768}, std::size_t{100000}}) {
    SCOPED_TRACE(size);
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
      bytes[i] = static_cast<char>(i * 7 + i / 251);
    }
    WriteBytes(folder / "file", bytes);
    const FileRead read = ReadFileUpTo(folder / "file", size);
    EXPECT_EQ(read.error, ReadError::kNone);
    EXPECT_EQ(read.size, size);
    EXPECT_EQ(read.content, bytes);
    const FileRead too_large = ReadFileUpTo(folder / "file", size - 1);
    EXPECT_EQ(too_large.error, ReadError::kTooLarge);
    EXPECT_TRUE(too_large.content.empty());
  }
}

// Files beyond the caller's limit are not read into memory, whatever size
// they claim; a sparse file claims much without taking the disk.
TEST(ReadFileUpToTest, FilesBeyondTheLimitAreTooLarge) {
  TempFolder folder;
  const fs::path file = folder / "big.ini";
  WriteBytes(file, "Comment=hello");
  fs::resize_file(file, std::uintmax_t{3} << 30);
  const FileRead big = ReadFileUpTo(file, 16 << 20);
  EXPECT_EQ(big.error, ReadError::kTooLarge);
  EXPECT_EQ(big.size, std::uint64_t{3} << 30);
  EXPECT_TRUE(big.content.empty());

  WriteBytes(file, "12345");
  EXPECT_EQ(ReadFileUpTo(file, 5).content, "12345");
  EXPECT_EQ(ReadFileUpTo(file, 4).error, ReadError::kTooLarge);
  EXPECT_EQ(ReadFileUpTo(folder / "missing", 5).error, ReadError::kMissing);
  EXPECT_EQ(ReadFileUpTo(folder.path(), 5).error, ReadError::kNotAFile);
}

}  // namespace
}  // namespace cordshift
