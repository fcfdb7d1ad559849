// The settings file: loads a file whose bytes are the input, checks the
// loaded record, saves it and loads it again.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/codepage.h"
#include "platform/ini_access.h"
#include "settings/settings.h"

namespace cordshift::fuzz {
namespace {

constexpr char kDefaultFolder[] = "/default/Data/";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

class CountingSink : public MessageSink {
 public:
  void ShowMessage(std::string_view, MessageIcon) override { ++count_; }
  int count() const { return count_; }

 private:
  int count_ = 0;
};

// A text the INI format gives back as it was saved: no blanks or quotes
// around it and not the missing-value marker.
bool SurvivesIni(std::string_view text) {
  if (text.empty()) return true;
  const char first = text.front();
  const char last = text.back();
  return first != ' ' && first != '\t' && first != '"' && first != '\'' &&
         last != ' ' && last != '\t' && text != kMissingIniValue;
}

bool SurvivesIni(const Settings& s) {
  return SurvivesIni(s.source_folder) && SurvivesIni(s.destination_folder) &&
         SurvivesIni(s.model_name);
}

bool SameSettings(const Settings& a, const Settings& b) {
  return a.source_folder == b.source_folder &&
         a.destination_folder == b.destination_folder &&
         a.direction == b.direction && a.notation == b.notation &&
         a.model_name == b.model_name && a.lower == b.lower &&
         a.upper == b.upper && a.overwrite == b.overwrite;
}

void CheckLoaded(const Settings& settings) {
  Require(IsValidUtf8(settings.source_folder) &&
              IsValidUtf8(settings.destination_folder) &&
              IsValidUtf8(settings.model_name),
          "loaded texts are UTF-8");
  Require(settings.source_folder.ends_with('/') &&
              settings.destination_folder.ends_with('/'),
          "folders end in a separator");
  Require(settings.source_folder.size() < PATH_MAX &&
              settings.destination_folder.size() < PATH_MAX,
          "folders fit a path");
  Require(!settings.lower.empty() && !settings.upper.empty() &&
              std::stoll(settings.lower) < std::stoll(settings.upper),
          "the limits are numbers, lower below upper");
}

bool FitsCp932(const Settings& s) {
  return IsCp932Representable(s.source_folder) &&
         IsCp932Representable(s.destination_folder) &&
         IsCp932Representable(s.model_name);
}

// The tester family's tools read only code page 932: a file stays in it
// while every value fits, and only a value beyond it makes the file UTF-8.
void CheckEncoding(std::string_view before, const Settings& saved,
                   std::string_view after) {
  const bool utf8_after = after.starts_with(kUtf8Bom);
  if (!FitsCp932(saved)) {
    Require(utf8_after, "a value beyond code page 932 makes the file UTF-8");
  } else if (!before.starts_with(kUtf8Bom)) {
    Require(!utf8_after, "a code page 932 file whose values fit stays so");
  }
}

void FuzzOneInput(std::string_view bytes) {
  static const ScratchFolder scratch("settings");
  const std::filesystem::path file = scratch.path() / "cordshift.ini";
  WriteBytes(file, bytes);
  SettingsStore store(file, kDefaultFolder);
  Settings loaded;
  if (!store.LoadSettings(loaded)) return;
  CheckLoaded(loaded);

  CountingSink sink;
  Require(store.SaveSettings(loaded, sink) && sink.count() == 0,
          "loaded settings can be saved");
  CheckEncoding(bytes, loaded, ReadBytes(file));
  Settings reloaded;
  Require(store.LoadSettings(reloaded), "saved settings load");
  if (SurvivesIni(loaded)) {
    Require(SameSettings(loaded, reloaded), "saved settings load unchanged");
  }
}

}  // namespace
}  // namespace cordshift::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  cordshift::fuzz::FuzzOneInput(cordshift::fuzz::AsText(data, size));
  return 0;
}
