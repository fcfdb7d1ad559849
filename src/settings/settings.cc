#include "settings/settings.h"

#include <array>
#include <exception>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/codepage.h"
#include "platform/folder_path.h"
#include "platform/ini_access.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "wiring/numeric.h"

namespace cordshift {
namespace {

constexpr std::string_view kDefaultLower = "0";
constexpr std::string_view kDefaultUpper = "2000";

// The stored value with spaces removed at both ends, as code page 932 bytes.
std::optional<std::string> ReadTrimmed(const std::filesystem::path& ini_path,
                                       std::string_view section,
                                       std::string_view key) {
  std::optional<std::string> value = ReadIniValue(ini_path, section, key);
  if (!value) return std::nullopt;
  return std::string(TrimSpaces(*value));
}

// A stored text value as UTF-8; bytes that are not valid code page 932 are
// treated like a missing value rather than shown garbled.
std::optional<std::string> ReadText(const std::filesystem::path& ini_path,
                                    std::string_view section,
                                    std::string_view key) {
  std::optional<std::string> value = ReadTrimmed(ini_path, section, key);
  if (!value) return std::nullopt;
  return Cp932ToUtf8(*value);
}

std::string ReadFolder(const std::filesystem::path& ini_path,
                       std::string_view key, const std::string& fallback) {
  std::optional<std::string> folder = ReadText(ini_path, "Path", key);
  return WithTrailingSeparator(folder ? *folder : fallback);
}

std::string ReadFlag(const std::filesystem::path& ini_path,
                     std::string_view section, std::string_view key) {
  std::optional<std::string> flag = ReadTrimmed(ini_path, section, key);
  if (flag && (*flag == "0" || *flag == "1")) return *flag;
  return "0";
}

// A limit candidate: 0 unless the key holds a number; no value when the
// number does not fit 32 bits, which fails the load.
std::optional<std::int32_t> ReadLimit(const std::filesystem::path& ini_path,
                                      std::string_view key) {
  std::optional<std::string> text = ReadTrimmed(ini_path, "Inspection", key);
  if (!text) return 0;
  const WholeNumber number = ParseWholeNumber(*text);
  switch (number.status) {
    case NumericStatus::kOk:
      return number.value;
    case NumericStatus::kNotNumeric:
      return 0;
    case NumericStatus::kOutOfRange:
      return std::nullopt;
  }
  return std::nullopt;
}

bool LoadInto(const std::filesystem::path& ini_path,
              const std::string& default_folder, Settings& settings) {
  settings.SrcDir = ReadFolder(ini_path, "SrcDir", default_folder);
  settings.DstDir = ReadFolder(ini_path, "DstDir", default_folder);
  settings.Direction = ReadFlag(ini_path, "Direction", "Hp2Lv");
  settings.ABorSeq = ReadFlag(ini_path, "Direction", "ABorSeq");
  settings.Equipment =
      ReadText(ini_path, "Inspection", "Equipment").value_or(std::string());

  const std::optional<std::int32_t> lower = ReadLimit(ini_path, "Lower");
  if (!lower) return false;
  const std::optional<std::int32_t> upper = ReadLimit(ini_path, "Upper");
  if (!upper) return false;
  // A stored upper limit counts only together with a positive lower limit
  // below it; anything else falls back to both defaults.
  if (*lower > 0 && *lower < *upper) {
    settings.Lower = std::to_string(*lower);
    settings.Upper = std::to_string(*upper);
  } else {
    settings.Lower = kDefaultLower;
    settings.Upper = kDefaultUpper;
  }
  settings.OverWrite = ReadFlag(ini_path, "Inspection", "OverWrite");
  return true;
}

}  // namespace

std::filesystem::path SettingsFilePath(
    const std::filesystem::path& executable) {
  std::filesystem::path ini = executable.parent_path() / executable.stem();
  ini += ".ini";
  return ini;
}

std::string DefaultDataFolder(const std::filesystem::path& executable) {
  return WithTrailingSeparator(PathToUtf8(executable.parent_path())) + "Data" +
         kFolderSeparator;
}

SettingsStore::SettingsStore(std::filesystem::path ini_path,
                             std::string default_folder)
    : ini_path_(std::move(ini_path)),
      default_folder_(WithTrailingSeparator(std::move(default_folder))) {}

bool SettingsStore::LoadSettings(Settings& settings) {
  try {
    return LoadInto(ini_path_, default_folder_, settings);
  } catch (const std::exception&) {
    return false;
  }
}

bool SettingsStore::SaveSettings(const Settings& settings,
                                 MessageSink& messages) {
  struct Entry {
    std::string_view section;
    std::string_view key;
    const std::string& value;
  };
  const std::array<Entry, 8> entries = {{
      {"Path", "SrcDir", settings.SrcDir},
      {"Path", "DstDir", settings.DstDir},
      {"Direction", "Hp2Lv", settings.Direction},
      {"Direction", "ABorSeq", settings.ABorSeq},
      {"Inspection", "Equipment", settings.Equipment},
      {"Inspection", "Lower", settings.Lower},
      {"Inspection", "Upper", settings.Upper},
      {"Inspection", "OverWrite", settings.OverWrite},
  }};
  try {
    for (const Entry& entry : entries) {
      // A text that code page 932 cannot hold would be stored garbled; it
      // counts as a failed write.
      const std::optional<std::string> stored = Utf8ToCp932(entry.value);
      if (!stored ||
          !WriteIniValue(ini_path_, entry.section, entry.key, *stored)) {
        messages.ShowMessage(kSettingsSaveFailedText,
                             MessageIcon::kInformation);
        return false;
      }
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace cordshift
