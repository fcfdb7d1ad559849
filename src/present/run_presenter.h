#ifndef CORDSHIFT_PRESENT_RUN_PRESENTER_H_
#define CORDSHIFT_PRESENT_RUN_PRESENTER_H_

// A run as the window shows it: each step of the run turned into the
// guidance texts, messages, list rows and counter captions of the tester
// family's tool, in the order it shows them.

#include <string>
#include <vector>

#include "batch/run_observer.h"
#include "present/display.h"
#include "present/list_rows.h"
#include "wiring/direction.h"

namespace cordshift {

class RunPresenter : public RunObserver {
 public:
  RunPresenter(Display& display, Direction direction)
      : display_(display), direction_(direction) {}

  void Refused(RunRefusal refusal) override;
  void InputsAccepted() override;
  void AnalysisStarted() override;
  void AnalysisFailed(const std::string& folder, bool exists) override;
  void RunStarted(int folder_count) override;
  void SourceListingFailed(const FileReport& fault) override;
  void SourceListed(const std::string& folder,
                    const FolderListing& listing) override;
  void FolderConversionStarted(const std::string& source_folder) override;
  void DestinationFailed(const FileReport& fault) override;
  void DestinationIsSource(const std::string& destination_folder) override;
  void ConversionFailed(const std::optional<FileReport>& fault) override;
  void FolderConverted(const std::string& source_folder) override;
  void FolderDone(int folders_done, int folder_count) override;
  void RunEnded(bool completed) override;

  void FileStarted(int file_number) override;
  void FileDone(int file_number, const FileReport& report) override;
  void FolderAborted() override;
  bool StopRequested() const override { return display_.StopRequested(); }

 private:
  void Warn(const std::string& text);
  void ShowCount();
  // The destination list is emptied when a folder's conversion begins,
  // and shows the files written once the folder's conversion ends.
  void StartDestinationList();
  void ShowDestinationList();

  Display& display_;
  const Direction direction_;
  int converted_ = 0;
  std::vector<ListRow> written_;
  bool destination_list_pending_ = false;
  bool destination_list_changed_ = false;
};

}  // namespace cordshift

#endif  // CORDSHIFT_PRESENT_RUN_PRESENTER_H_
