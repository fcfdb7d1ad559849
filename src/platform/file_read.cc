#include "platform/file_read.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <utility>

#ifdef _WIN32
#include <fstream>
#include <ios>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#endif

namespace cordshift {
namespace fs = std::filesystem;

namespace {

#ifndef _WIN32
// read(), again when a signal interrupted it.
ssize_t ReadSome(int file, char* into, std::size_t size) {
  for (;;) {
    const ssize_t got = read(file, into, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

// Reads until the end of the file after the `filled` bytes already in
// `content`; `expected` is the size it had when it was asked, so that a file
// that grows meanwhile is still read whole, up to `max_size` bytes. A read
// that asked for a byte more than the file's size and stopped at that size
// has met the end: no further read is needed to hear it.
ReadError ReadToEnd(int file, std::size_t expected, std::uint64_t max_size,
                    std::string& content, std::size_t filled) {
  content.resize(std::max(expected, filled) + 1);
  for (;;) {
    if (filled == content.size()) content.resize(content.size() * 2);
    const std::size_t asked = content.size() - filled;
    const ssize_t got = ReadSome(file, content.data() + filled, asked);
    if (got < 0) return ReadError::kCannotRead;
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
    if (filled > max_size) return ReadError::kTooLarge;
    if (filled == expected && static_cast<std::size_t>(got) < asked) break;
  }
  content.resize(filled);
  return ReadError::kNone;
}

// Reads the rest of an open file whose first `first_read` bytes are in
// `content`, once fstat has said it is a regular file and how large.
void ReadRegularFile(int file, std::uint64_t max_size, FileRead& result,
                     std::size_t first_read) {
  struct stat info {};
  if (fstat(file, &info) != 0) return;
  if (!S_ISREG(info.st_mode)) {
    result.error = ReadError::kNotAFile;
    return;
  }
  result.size = static_cast<std::uint64_t>(info.st_size);
  if (result.size > max_size ||
      result.size >= std::numeric_limits<std::size_t>::max() / 2) {
    result.error = ReadError::kTooLarge;
    return;
  }
  try {
    result.error = ReadToEnd(file, static_cast<std::size_t>(result.size),
                             max_size, result.content, first_read);
  } catch (const std::bad_alloc&) {
    result.error = ReadError::kTooLarge;
  }
}

// A tree conversion or a listing reads thousands of files, so the system
// calls per file count: most wiring and comment files are small, and a
// first read into a buffer on the stack that comes back short, but not
// empty, has met the end of a regular file: open, read, close. An empty
// read (an empty file, or a named pipe without a writer) or a full buffer
// (a larger file, or a device) asks fstat for the type and the size.
// O_NONBLOCK keeps the open of a named pipe from waiting for a writer; it
// changes nothing for a regular file.
constexpr std::size_t kFirstReadSize = 16 * 1024;

FileRead ReadFileAt(const FileSpot& spot, std::uint64_t max_size) {
  FileRead result;
  result.error = ReadError::kCannotRead;
  const int file = openat(spot.folder, spot.relative.c_str(),
                          O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) {
    if (errno == ENOENT || errno == ENOTDIR) result.error = ReadError::kMissing;
    return result;
  }
  char first[kFirstReadSize];
  const ssize_t got = ReadSome(file, first, sizeof first);
  if (got < 0) {
    if (errno == EISDIR) result.error = ReadError::kNotAFile;
  } else if (got > 0 && static_cast<std::size_t>(got) < sizeof first) {
    result.size = static_cast<std::uint64_t>(got);
    if (result.size > max_size) {
      result.error = ReadError::kTooLarge;
    } else {
      result.content.assign(first, static_cast<std::size_t>(got));
      result.error = ReadError::kNone;
    }
  } else {
    result.content.assign(first, static_cast<std::size_t>(got));
    ReadRegularFile(file, max_size, result, result.content.size());
  }
  close(file);
  if (!result.ok()) result.content = std::string();
  return result;
}
#else
FileRead ReadFileAt(const FileSpot& spot, std::uint64_t max_size) {
  const fs::path& path = spot.whole;
  FileRead result;
  result.error = ReadError::kCannotRead;
  // A folder opens for reading on some systems and reports a bogus size; a
  // device or pipe would block or never end.
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status)) {
    result.error = ReadError::kMissing;
    return result;
  }
  if (!fs::is_regular_file(status)) {
    result.error = ReadError::kNotAFile;
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return result;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return result;
  result.size = static_cast<std::uint64_t>(size);
  if (result.size > max_size) {
    result.error = ReadError::kTooLarge;
    return result;
  }
  in.seekg(0, std::ios::beg);
  try {
    result.content.assign(static_cast<std::size_t>(size), '\0');
  } catch (const std::bad_alloc&) {
    result.error = ReadError::kTooLarge;
    return result;
  }
  if (size > 0 && !in.read(result.content.data(), size)) {
    result.content = std::string();
    return result;
  }
  result.error = ReadError::kNone;
  return result;
}
#endif

}  // namespace

FileRead ReadFileUpTo(const fs::path& path, std::uint64_t max_size) {
  return ReadFileAt(FileSpot::At(path), max_size);
}

FileRead ReadFileUpTo(OpenedFolder& folder, const fs::path& name,
                      std::uint64_t max_size) {
  return ReadFileAt(FileSpot::In(folder, name), max_size);
}

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  FileRead read = ReadFileUpTo(path, std::numeric_limits<std::uint64_t>::max());
  if (!read.ok()) return std::nullopt;
  return std::move(read.content);
}

}  // namespace cordshift
