#ifndef CORDSHIFT_PRESENT_DISPLAY_H_
#define CORDSHIFT_PRESENT_DISPLAY_H_

// What the presentation shows, as the window and the command line show it:
// the guidance line, the two lists, the converted-file counter, modal
// messages, and for front ends that want them the files' reports and the
// run's progress. Every text crossing it is UTF-8.

#include <memory>
#include <string_view>

#include "platform/message.h"
#include "present/list_rows.h"
#include "present/texts.h"
#include "wiring/file_report.h"
#include "wiring/stop_check.h"

namespace cordshift {

class Display : public MessageSink, public StopCheck {
 public:
  // Shows a text in the guidance line.
  virtual void ShowGuide(std::string_view text) = 0;
  // Shows `rows` as the whole content of a list.
  virtual void ShowList(ListId list, std::shared_ptr<const ListRows> rows) = 0;
  // The caption of the converted-file counter.
  virtual void SetConvertedCount(std::string_view caption) = 0;
  // One source file's outcome. Ignored unless a front end wants it.
  virtual void ReportFile(const FileReport& /*report*/) {}
  // How far a run has come, by folder: before the first folder and after
  // each one. Ignored unless a front end shows it (a taskbar button).
  virtual void ShowRunProgress(int /*folders_done*/, int /*folder_count*/) {}
  // A failure that ends a run: `text` as the message says it, `cause`
  // naming the file or folder and what went wrong. The command line's
  // messages are the texts alone (its reasons carry the causes).
  virtual void ShowFailure(std::string_view text, std::string_view /*cause*/) {
    ShowMessage(text, MessageIcon::kExclamation);
  }
  // The source tree could not be listed, which the guide says: a window
  // also tells it in a message naming the folder. Ignored by default.
  virtual void ShowAnalysisFailure(std::string_view /*text*/,
                                   std::string_view /*cause*/) {}
};

}  // namespace cordshift

#endif  // CORDSHIFT_PRESENT_DISPLAY_H_
