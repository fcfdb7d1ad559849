#ifndef CORDSHIFT_WIRING_RECORD_OUTPUT_H_
#define CORDSHIFT_WIRING_RECORD_OUTPUT_H_

// The converted records of one file on their way into its staged file. They
// collect in a buffer of bounded size that is written out whenever it is
// full, so that converting a file takes little memory beyond its source.
// The header goes in front of the records last, once the counts in it are
// known: records written out early sit after a header of the size expected,
// and a header of another size means converting the file again. A file that
// fits the buffer, as nearly every one does, is written in one call.
// Instead of being written, the output can be compared with a file's
// present content, so that a file that would not change is not written.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_file.h"

namespace cordshift {

class RecordOutput {
 public:
  static constexpr std::size_t kDefaultChunkSize = std::size_t{1} << 20;

  explicit RecordOutput(std::size_t chunk_size = kDefaultChunkSize)
      : chunk_size_(chunk_size) {}

  // Starts a file. `file` receives the output; null discards it, for a file
  // that is only checked. Records written out before the end go after a
  // header of `expected_header_size` bytes.
  void Start(StagedWrite* file, std::size_t expected_header_size);
  // Starts a file whose output is compared with `existing` (which must
  // outlive the file) instead of being written: once Finish has succeeded,
  // same_as_existing() tells whether the output is exactly `existing`.
  void StartComparing(std::string_view existing,
                      std::size_t expected_header_size);
  bool same_as_existing() const { return same_; }

  // Room for `size` bytes after the records so far: write them there, then
  // pass their end to Advance.
  char* Reserve(std::size_t size) {
    if (size > buffer_.size() - end_) MakeRoom(size);
    return buffer_.data() + end_;
  }
  void Advance(const char* end) {
    end_ = static_cast<std::size_t>(end - buffer_.data());
  }

  // Puts `header` in front of the records and writes out what is still
  // buffered. False when records were written out already and the header is
  // not of the size expected: the file must then be converted again,
  // expecting header.size().
  bool Finish(std::string_view header);

 private:
  // Room kept in front of the buffered records for the header, so that a
  // file that fits the buffer goes out in one piece.
  static constexpr std::size_t kHeaderRoom = 256;

  void MakeRoom(std::size_t size);
  void WriteOutRecords();
  // Compares `data` with the existing content at `offset`.
  void Compare(std::uint64_t offset, std::string_view data);

  std::size_t chunk_size_;
  std::string buffer_;  // the header's room, then the buffered records
  std::size_t end_ = kHeaderRoom;
  StagedWrite* file_ = nullptr;
  std::size_t expected_header_size_ = 0;
  std::uint64_t written_out_ = 0;  // record bytes already in the file
  // What the output is compared with instead, and whether it matched so
  // far.
  std::optional<std::string_view> existing_;
  bool same_ = false;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_RECORD_OUTPUT_H_
