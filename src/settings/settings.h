#ifndef CORDSHIFT_SETTINGS_SETTINGS_H_
#define CORDSHIFT_SETTINGS_SETTINGS_H_

// The user's choices kept from one run of the program to the next, in an INI
// file beside the executable that the tester packages' tools can also read:
// code page 932 as theirs are, unless a value has no form in it.

#include <filesystem>
#include <string>

#include "platform/message.h"
#include "wiring/direction.h"

namespace cordshift {

// Texts are UTF-8; folder fields end in the native separator. The file
// keeps the choices as "0" and "1"; only the store reads and writes those,
// and only the store knows the keys the tester packages' tools use.
struct Settings {
  std::string source_folder;
  std::string destination_folder;
  Direction direction = Direction::kContinuityToHipot;
  Notation notation = Notation::kAb;  // written on the continuity side
  std::string model_name;             // of the destination tester
  std::string lower;                  // continuity resistance lower limit
  std::string upper;                  // continuity resistance upper limit
  bool overwrite = false;             // overwrite files of the same name
};

inline constexpr char kSettingsSaveFailedText[] =
    "システム設定の書き込みが出来ませんでした";

// The settings file of an executable: its folder, its name without the
// extension, ".ini".
std::filesystem::path SettingsFilePath(const std::filesystem::path& executable);

// The default source and destination folder: the executable's folder
// followed by "Data" and a separator.
std::string DefaultDataFolder(const std::filesystem::path& executable);

// The same for a program whose settings live with the user's: "Cordshift"
// and "Data" below the user's documents folder, with a final separator.
std::string DocumentsDataFolder(const std::filesystem::path& documents);

// Reads and writes the settings file. Owned by the front end for the
// program's lifetime.
class SettingsStore {
 public:
  SettingsStore(std::filesystem::path ini_path, std::string default_folder);

  // Fills every field from the file or from its default; a value that is
  // not valid for its field, such as a limit beyond 32 bits or a folder
  // longer than a path can be, takes the default. A file that starts with a
  // UTF-8 byte-order mark is read as UTF-8. False only when an unexpected
  // failure interrupts the load.
  bool LoadSettings(Settings& settings);

  // Sets the eight keys, keeping everything else in the file, and replaces
  // the file in one atomic write; a symbolic link stays and its target is
  // written. The file is code page 932 when every value has a form in it,
  // else UTF-8 with a byte-order mark. A failed write is reported once
  // through `messages` (information icon) and leaves the file as it was.
  // True when the file was written.
  bool SaveSettings(const Settings& settings, MessageSink& messages);

  const std::filesystem::path& IniPath() const { return ini_path_; }

 private:
  std::filesystem::path ini_path_;
  std::string default_folder_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_SETTINGS_SETTINGS_H_
