#ifndef CORDSHIFT_WIRING_CONVERSION_OBSERVER_H_
#define CORDSHIFT_WIRING_CONVERSION_OBSERVER_H_

// What a folder's conversion tells while it works, as values, and the one
// thing it asks: whether to stop.

#include "wiring/file_report.h"
#include "wiring/stop_check.h"

namespace cordshift {

class ConversionObserver : public StopCheck {
 public:
  // File `file_number` (1-based, of the folder's source list) is taken up.
  virtual void FileStarted(int file_number) = 0;
  // What became of it; a fault ends the conversion, FolderAborted follows.
  virtual void FileDone(int file_number, const FileReport& report) = 0;
  // The conversion ended at a fault (reported before, if it concerned a
  // file) rather than at a stop.
  virtual void FolderAborted() = 0;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_CONVERSION_OBSERVER_H_
