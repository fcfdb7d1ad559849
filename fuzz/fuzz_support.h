#ifndef CORDSHIFT_FUZZ_FUZZ_SUPPORT_H_
#define CORDSHIFT_FUZZ_FUZZ_SUPPORT_H_

// What the fuzz targets share: a scratch folder for the readers that take
// file paths, the check that turns a broken property into a crash that
// libFuzzer records, and a few byte-level helpers.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/utf8.h"

namespace cordshift::fuzz {

// A broken property aborts: libFuzzer saves the input as a crash artifact.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A folder of its own under the temporary folder (TMPDIR; the fuzz runner
// points it at a RAM disk), emptied before each input and removed when the
// fuzzer exits normally.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::string_view target)
      : path_(std::filesystem::temp_directory_path() /
              ("cordshift-fuzz-" + std::string(target) + "-" +
               std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // A subfolder, emptied; created when missing.
  std::filesystem::path FreshSubfolder(std::string_view name) const {
    const std::filesystem::path folder = path_ / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
  }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file,
                       std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Require(static_cast<bool>(out), "the scratch file is written");
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

// Splits `text` at the first `separator`: what comes before it, and what
// comes after it (empty when there is no separator).
inline std::string_view TakeUntil(std::string_view& text,
                                  std::string_view separator) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos) {
    const std::string_view all = text;
    text = {};
    return all;
  }
  const std::string_view head = text.substr(0, at);
  text.remove_prefix(at + separator.size());
  return head;
}

// True when no file below `folder` has a name that starts with the atomic
// writer's temporary-file prefix.
bool HasNoTempFiles(const std::filesystem::path& folder);

}  // namespace cordshift::fuzz

#endif  // CORDSHIFT_FUZZ_FUZZ_SUPPORT_H_
