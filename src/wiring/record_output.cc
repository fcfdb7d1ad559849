#include "wiring/record_output.h"

#include <algorithm>

namespace cordshift {

void RecordOutput::Start(StagedWrite* file, std::size_t expected_header_size) {
  if (buffer_.size() < kHeaderRoom + chunk_size_) {
    buffer_.resize(kHeaderRoom + chunk_size_);
  }
  end_ = kHeaderRoom;
  file_ = file;
  expected_header_size_ = expected_header_size;
  written_out_ = 0;
  existing_.reset();
  same_ = false;
}

void RecordOutput::StartComparing(std::string_view existing,
                                  std::size_t expected_header_size) {
  Start(nullptr, expected_header_size);
  existing_ = existing;
  same_ = true;
}

void RecordOutput::Compare(std::uint64_t offset, std::string_view data) {
  same_ =
      same_ && offset <= existing_->size() &&
      existing_->substr(static_cast<std::size_t>(offset), data.size()) == data;
}

void RecordOutput::MakeRoom(std::size_t size) {
  WriteOutRecords();
  // A single line longer than a chunk (a sequential terminal copied as
  // written can be) gets a buffer of its size.
  if (size > buffer_.size() - end_) buffer_.resize(end_ + size);
}

void RecordOutput::WriteOutRecords() {
  const std::string_view records(buffer_.data() + kHeaderRoom,
                                 end_ - kHeaderRoom);
  if (file_ != nullptr) {
    file_->WriteAt(expected_header_size_ + written_out_, records);
  } else if (existing_) {
    Compare(expected_header_size_ + written_out_, records);
  }
  written_out_ += records.size();
  end_ = kHeaderRoom;
}

bool RecordOutput::Finish(std::string_view header) {
  if (existing_) {
    // Records compared before the end sat after a header of the size
    // expected; those still buffered follow the header as it is.
    if (written_out_ == 0) {
      expected_header_size_ = header.size();
    } else if (header.size() != expected_header_size_) {
      return false;
    }
    WriteOutRecords();
    Compare(0, header);
    same_ = same_ && existing_->size() == header.size() + written_out_;
    return true;
  }
  if (file_ == nullptr) return true;
  if (written_out_ == 0) {
    if (header.size() <= kHeaderRoom) {
      const std::size_t start = kHeaderRoom - header.size();
      std::copy(header.begin(), header.end(), buffer_.data() + start);
      file_->WriteAt(0, std::string_view(buffer_.data() + start, end_ - start));
    } else {
      file_->WriteAt(0, header);
      file_->WriteAt(
          header.size(),
          std::string_view(buffer_.data() + kHeaderRoom, end_ - kHeaderRoom));
    }
    return true;
  }
  if (header.size() != expected_header_size_) return false;
  WriteOutRecords();
  file_->WriteAt(0, header);
  return true;
}

}  // namespace cordshift
