#ifndef CORDSHIFT_WIRING_CONVERSION_VIEW_H_
#define CORDSHIFT_WIRING_CONVERSION_VIEW_H_

// The window as the summaries, the conversions and the run see it: the
// guidance line, the two lists, the converted-file counter and modal
// messages. The window, the command line and the tests each implement it.
// Every text crossing it is UTF-8.

#include <string>
#include <string_view>

#include "platform/message.h"

namespace cordshift {

enum class ListId {
  kSource,       // lvSrc
  kDestination,  // lvDst
};

// What happened to one source wiring file; beyond what the window shows, for
// front ends that report per file.
enum class FileOutcome {
  kConverted,           // written (or, in a dry run, would be written)
  kSkippedExists,       // the destination exists and overwriting is off
  kSkippedSameName,     // this run wrote the destination from another source
                        // (names that differ only in the extension's case)
  kSkippedSingleEnded,  // the file has single-ended circuits
  kSkippedNoCircuits,   // the file has no circuits
  kFault,               // the fault that stopped the listing or conversion
};

struct FileReport {
  std::string source;  // the source wiring file
  FileOutcome outcome = FileOutcome::kConverted;
  std::string destination;  // the destination wiring file, when converted
  std::string detail;       // what the fault was
};

class ConversionView : public MessageSink {
 public:
  // Shows a text in the guidance line and repaints it at once.
  virtual void ShowGuide(std::string_view text) = 0;
  // Removes all rows of a list.
  virtual void ClearList(ListId list) = 0;
  // Column 1 appends a new row whose first cell is the text; any other
  // column adds the text as sub-item (column - 1) of the existing row `row`.
  // Rows and columns count from 1; callers fill columns 1..6 in order.
  virtual void SetListCell(ListId list, int row, int column,
                           std::string_view text) = 0;
  virtual int ListRowCount(ListId list) const = 0;
  // The caption of the converted-file counter.
  virtual void SetConvertedCount(std::string_view caption) = 0;
  // One source file's outcome. Ignored unless a front end wants it.
  virtual void ReportFile(const FileReport& /*report*/) {}
  // How far a run has come, by folder: before the first folder and after
  // each one. Ignored unless a front end shows it (a taskbar button).
  virtual void ShowRunProgress(int /*folders_done*/, int /*folder_count*/) {}
  // True once the user has asked the run to stop (an interrupt of the
  // command line): the run ends after the file at hand.
  virtual bool StopRequested() const { return false; }
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_CONVERSION_VIEW_H_
