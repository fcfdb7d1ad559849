#ifndef CORDSHIFT_WIRING_KEPT_SOURCES_H_
#define CORDSHIFT_WIRING_KEPT_SOURCES_H_

// The bytes of a folder's source files as its listing read them, kept for
// the conversion that follows, so that a run reads each file once and
// converts exactly what it listed; the terminals the listing read in their
// records, against which the files written are verified; and, where the
// listing was made ahead of its turn, their comments. The bytes kept stay
// within a budget per folder, so that a run's memory is bounded by its largest
// file rather than by its largest folder; a file beyond the budget is read
// again. A run's listing is handed one for each folder; the window's own
// listings keep nothing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "wiring/companion.h"
#include "wiring/wiring_file_list.h"

namespace cordshift {

class KeptSources {
 public:
  static constexpr std::size_t kDefaultBudget = std::size_t{64} << 20;

  explicit KeptSources(std::size_t budget = kDefaultBudget) : budget_(budget) {}

  // Starts keeping the files of a folder of `file_count` files.
  void StartFolder(int file_count) {
    Release();
    contents_.resize(static_cast<std::size_t>(file_count));
    terminals_.resize(static_cast<std::size_t>(file_count));
    comments_.resize(static_cast<std::size_t>(file_count));
    budget_left_ = budget_;
  }

  // Keeps the terminals of file `file_number`'s records, two per record in
  // order, within the budget as its content.
  void KeepTerminals(int file_number, ListedTerminals&& terminals) {
    const std::size_t size = terminals.size() * sizeof(std::int32_t);
    KeepIn(terminals_, file_number, std::move(terminals), size);
  }

  std::optional<ListedTerminals> TakeTerminals(int file_number) {
    return TakeFrom(terminals_, file_number);
  }

  // Keeps the content of file `file_number` when it fits what is left of the
  // budget; otherwise the file is read again when it is needed.
  void Keep(int file_number, std::string&& content) {
    const std::size_t size = content.size();
    KeepIn(contents_, file_number, std::move(content), size);
  }

  // The content kept of file `file_number`, handed over so that it goes as soon
  // as the caller is done with it; no value when it was not kept.
  std::optional<std::string> Take(int file_number) {
    return TakeFrom(contents_, file_number);
  }

  // Keeps the comment of file `file_number` as read from its companion, within
  // the budget as its content.
  void KeepComment(int file_number, CompanionComment&& comment) {
    const std::size_t size = comment.value ? comment.value->size() : 0;
    KeepIn(comments_, file_number, std::move(comment), size);
  }

  // The comment kept of file `file_number`; no value when it was not read
  // ahead.
  std::optional<CompanionComment> TakeComment(int file_number) {
    return TakeFrom(comments_, file_number);
  }

  // Drops everything kept and stops keeping.
  void Release() {
    contents_.clear();
    contents_.shrink_to_fit();
    terminals_.clear();
    terminals_.shrink_to_fit();
    comments_.clear();
    comments_.shrink_to_fit();
    budget_left_ = 0;
  }

 private:
  template <typename T>
  void KeepIn(std::vector<std::optional<T>>& kept, int file_number, T&& value,
              std::size_t size) {
    const std::size_t index = static_cast<std::size_t>(file_number - 1);
    if (index >= kept.size() || size > budget_left_) return;
    budget_left_ -= size;
    kept[index] = std::move(value);
  }

  template <typename T>
  static std::optional<T> TakeFrom(std::vector<std::optional<T>>& kept,
                                   int file_number) {
    const std::size_t index = static_cast<std::size_t>(file_number - 1);
    if (index >= kept.size()) return std::nullopt;
    return std::exchange(kept[index], std::nullopt);
  }

  std::vector<std::optional<std::string>> contents_;
  std::vector<std::optional<ListedTerminals>> terminals_;
  std::vector<std::optional<CompanionComment>> comments_;
  std::size_t budget_;
  std::size_t budget_left_ = 0;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_KEPT_SOURCES_H_
