#ifndef CORDSHIFT_WINDOW_WINDOW_VIEW_H_
#define CORDSHIFT_WINDOW_WINDOW_VIEW_H_

// What the window's behaviour tells a front end to show. Each front end
// (Qt, Win32) implements it by setting its widgets; it decides nothing.

#include <memory>
#include <string>
#include <string_view>

#include "present/list_rows.h"
#include "present/texts.h"
#include "window/direction_texts.h"
#include "wiring/direction.h"

namespace cordshift {

// The boxes the user types into, as the behaviour reads or fills them.
struct FormValues {
  std::string model_name;
  std::string lower;       // continuity resistance lower limit
  std::string upper;       // continuity resistance upper limit
  bool overwrite = false;  // the overwrite check box

  bool operator==(const FormValues&) const = default;
};

// How the window is being closed: the close button keeps the model name
// and the overwrite choice, the title bar's close does not.
enum class CloseWay { kCloseButton, kTitleBar };

class WindowView {
 public:
  virtual ~WindowView() = default;

  virtual void ShowTitle(std::string_view title) = 0;
  // The folder caption above a side's list.
  virtual void ShowFolder(ListId side, std::string_view folder) = 0;
  // Selects the direction option and shows the direction's captions,
  // colours and whether the notation options are visible.
  virtual void ShowDirection(Direction direction,
                             const DirectionTexts& texts) = 0;
  // Selects the notation option.
  virtual void ShowNotation(Notation notation) = 0;
  virtual void ShowForm(const FormValues& form) = 0;
  // The guidance line: lines separated by a lone carriage return.
  virtual void ShowGuide(std::string_view text) = 0;
  // Shows `rows` as the whole content of a list.
  virtual void ShowList(ListId list, std::shared_ptr<const ListRows> rows) = 0;
  virtual void SetConvertedCount(std::string_view caption) = 0;
  // A run's progress by folder; a folder count of 0 when no run is going
  // on. For front ends that show it beyond the guidance (a taskbar button).
  virtual void ShowRunProgress(int /*folders_done*/, int /*folder_count*/) {}
  // While busy, the controls that would start other work (the folder
  // buttons, the run button, the options) wait.
  virtual void SetBusy(bool busy) = 0;
  // Work has ended that was holding up a close: the front end closes the
  // window again the same way, with the boxes as they are now.
  virtual void RequestClose(CloseWay way) = 0;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WINDOW_VIEW_H_
