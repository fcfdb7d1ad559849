#include "settings/settings.h"

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/codepage.h"
#include "platform/folder_path.h"
#include "platform/ini_access.h"
#include "platform/ini_file.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "platform/utf8.h"
#include "wiring/numeric.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDefaultLower = "0";
constexpr std::string_view kDefaultUpper = "2000";

// A settings file that starts with this mark holds UTF-8; any other file
// holds code page 932.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// No folder anyone picked is longer, and the window would take seconds to
// lay out a message naming a folder of a megabyte.
constexpr std::size_t kMaxFolderBytes = 32 * 1024;

// As many links as the system follows before it gives up on a loop.
constexpr int kMaxLinkHops = 40;

// The text of a settings file and the encoding of its bytes.
struct IniText {
  std::string content;  // without the byte-order mark
  IniEncoding encoding = IniEncoding::kCp932;
};

IniText FromFileBytes(std::string bytes) {
  if (!bytes.starts_with(kUtf8Bom)) return {std::move(bytes)};
  bytes.erase(0, kUtf8Bom.size());
  return {std::move(bytes), IniEncoding::kUtf8};
}

std::string ToFileBytes(const IniText& text) {
  if (text.encoding == IniEncoding::kCp932) return text.content;
  return std::string(kUtf8Bom) + text.content;
}

// A file that is missing or cannot be read gives every default.
IniText ReadSettingsText(const fs::path& file) {
  FileRead read = ReadFileUpTo(file, kMaxIniFileSize);
  if (!read.ok()) return {};
  return FromFileBytes(std::move(read.content));
}

#ifdef _WIN32
// Extended-length paths hold up to 32,767 UTF-16 units.
constexpr std::size_t kMaxPathUnits = 32767;

std::size_t PathUnits(std::string_view utf8) {
  std::size_t units = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8Char c = DecodeUtf8At(utf8, pos);
    units += c.code_point > 0xFFFF ? 2 : 1;
    pos += c.length;
  }
  return units;
}
#else
// PATH_MAX counts the terminating NUL byte.
constexpr std::size_t kMaxPathUnits = std::size_t{PATH_MAX} - 1;

std::size_t PathUnits(std::string_view utf8) { return utf8.size(); }
#endif

bool FitsPathLimits(std::string_view folder) {
  return folder.size() <= kMaxFolderBytes && PathUnits(folder) <= kMaxPathUnits;
}

// The values of a settings file, looked up in its text read once.
class StoredValues {
 public:
  explicit StoredValues(IniText text) : text_(std::move(text)) {}

  // The stored value with spaces removed at both ends, in the file's
  // encoding.
  std::optional<std::string> Trimmed(std::string_view section,
                                     std::string_view key) const {
    std::optional<std::string> value =
        FindProfileValue(text_.content, section, key, text_.encoding);
    if (!value) return std::nullopt;
    return std::string(TrimSpaces(*value));
  }

  // A stored text as UTF-8; bytes that are not valid in the file's encoding
  // are treated like a missing value rather than shown garbled, and so is a
  // text of more than `max_bytes` (checked before decoding, which never
  // makes a text shorter).
  std::optional<std::string> Text(
      std::string_view section, std::string_view key,
      std::size_t max_bytes = std::string::npos) const {
    std::optional<std::string> value = Trimmed(section, key);
    if (!value || value->size() > max_bytes) return std::nullopt;
    if (text_.encoding == IniEncoding::kCp932) return Cp932ToUtf8(*value);
    if (!IsValidUtf8(*value)) return std::nullopt;
    return value;
  }

 private:
  IniText text_;
};

// A folder that no file could be opened in takes the default instead.
std::string ReadFolder(const StoredValues& stored, std::string_view key,
                       const std::string& fallback) {
  std::optional<std::string> folder = stored.Text("Path", key, kMaxFolderBytes);
  if (!folder) return fallback;
  std::string kept = WithTrailingSeparator(std::move(*folder));
  return FitsPathLimits(kept) ? kept : fallback;
}

// A stored "1"; anything else, missing or not exactly "0" or "1", is "0".
bool ReadFlag(const StoredValues& stored, std::string_view section,
              std::string_view key) {
  std::optional<std::string> flag = stored.Trimmed(section, key);
  return flag && *flag == "1";
}

std::string FlagText(bool flag) { return flag ? "1" : "0"; }

// A limit candidate: the whole-number value of the key, or 0 when it holds
// no number that fits 32 bits, which gives both limits their defaults.
std::int32_t ReadLimit(const StoredValues& stored, std::string_view key) {
  const std::optional<std::string> text = stored.Trimmed("Inspection", key);
  if (!text) return 0;
  const WholeNumber number = ParseWholeNumber(*text);
  return number.status == NumericStatus::kOk ? number.value : 0;
}

void LoadInto(const StoredValues& stored, const std::string& default_folder,
              Settings& settings) {
  settings.source_folder = ReadFolder(stored, "SrcDir", default_folder);
  settings.destination_folder = ReadFolder(stored, "DstDir", default_folder);
  settings.direction = ReadFlag(stored, "Direction", "Hp2Lv")
                           ? Direction::kHipotToContinuity
                           : Direction::kContinuityToHipot;
  settings.notation = ReadFlag(stored, "Direction", "ABorSeq")
                          ? Notation::kSequential
                          : Notation::kAb;
  settings.model_name =
      stored.Text("Inspection", "Equipment").value_or(std::string());

  const std::int32_t lower = ReadLimit(stored, "Lower");
  const std::int32_t upper = ReadLimit(stored, "Upper");
  // A stored upper limit counts only together with a positive lower limit
  // below it; anything else falls back to both defaults.
  if (lower > 0 && lower < upper) {
    settings.lower = std::to_string(lower);
    settings.upper = std::to_string(upper);
  } else {
    settings.lower = kDefaultLower;
    settings.upper = kDefaultUpper;
  }
  settings.overwrite = ReadFlag(stored, "Inspection", "OverWrite");
}

struct SettingsEntry {
  std::string_view section;
  std::string_view key;
  std::string value;
};

constexpr std::size_t kEntryCount = 8;
using SettingsEntries = std::array<SettingsEntry, kEntryCount>;
using EntryValues = std::array<std::string, kEntryCount>;

// In the order in which missing sections and keys are appended.
SettingsEntries EntriesOf(const Settings& settings) {
  return {{
      {"Path", "SrcDir", settings.source_folder},
      {"Path", "DstDir", settings.destination_folder},
      {"Direction", "Hp2Lv",
       FlagText(settings.direction == Direction::kHipotToContinuity)},
      {"Direction", "ABorSeq",
       FlagText(settings.notation == Notation::kSequential)},
      {"Inspection", "Equipment", settings.model_name},
      {"Inspection", "Lower", settings.lower},
      {"Inspection", "Upper", settings.upper},
      {"Inspection", "OverWrite", FlagText(settings.overwrite)},
  }};
}

EntryValues Utf8Values(const SettingsEntries& entries) {
  EntryValues values;
  for (std::size_t i = 0; i < kEntryCount; ++i) values[i] = entries[i].value;
  return values;
}

// No value when one of the texts has no code page 932 form.
std::optional<EntryValues> Cp932Values(const SettingsEntries& entries) {
  EntryValues values;
  for (std::size_t i = 0; i < kEntryCount; ++i) {
    std::optional<std::string> value = Utf8ToCp932(entries[i].value);
    if (!value) return std::nullopt;
    values[i] = std::move(*value);
  }
  return values;
}

// Each value must already be in `encoding`.
std::string WithValues(std::string content, const SettingsEntries& entries,
                       const EntryValues& values, IniEncoding encoding) {
  for (std::size_t i = 0; i < kEntryCount; ++i) {
    content = SetIniValue(content, entries[i].section, entries[i].key,
                          values[i], encoding);
  }
  return content;
}

// Code page 932 whenever every value and the rest of the file have a form in
// it, so that the tester family's tools can still read the file; otherwise
// the whole file in UTF-8, since one value in another encoding than the rest
// would be garbled for every reader. A code page 932 file whose values fit
// is changed byte for byte as the tester family's writer would; a UTF-8 file
// goes back to code page 932 only once its old values are replaced. Bytes of
// a code page 932 file that are no character cannot be carried over into
// UTF-8; they stay visible as escapes.
IniText UpdatedText(const IniText& existing, const Settings& settings) {
  const SettingsEntries entries = EntriesOf(settings);
  if (existing.encoding == IniEncoding::kCp932) {
    if (const std::optional<EntryValues> values = Cp932Values(entries)) {
      return {
          WithValues(existing.content, entries, *values, IniEncoding::kCp932)};
    }
  }
  std::string content = existing.encoding == IniEncoding::kUtf8
                            ? existing.content
                            : Cp932ToUtf8Lossy(existing.content);
  content = WithValues(std::move(content), entries, Utf8Values(entries),
                       IniEncoding::kUtf8);
  if (std::optional<std::string> cp932 = Utf8ToCp932(content)) {
    return {std::move(*cp932)};
  }
  return {std::move(content), IniEncoding::kUtf8};
}

// The file a save has to replace: the end of the chain of symbolic links, so
// that a link someone set up keeps pointing at the settings. No value for a
// chain that loops or cannot be read.
std::optional<fs::path> FinalLinkTarget(fs::path file) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(file, error))) return file;
    const fs::path target = fs::read_symlink(file, error);
    if (error) return std::nullopt;
    // An absolute target replaces the folder.
    file = file.parent_path() / target;
  }
  return std::nullopt;
}

// An existing file that cannot be read must not be replaced by one holding
// only the eight keys.
std::optional<IniText> ReadExistingText(const fs::path& file) {
  std::error_code error;
  if (fs::status(file, error).type() == fs::file_type::not_found) {
    return IniText{};
  }
  FileRead read = ReadFileUpTo(file, kMaxIniFileSize);
  if (!read.ok()) return std::nullopt;
  return FromFileBytes(std::move(read.content));
}

bool WriteSettingsFile(const fs::path& ini_path, const Settings& settings) {
  const std::optional<fs::path> file = FinalLinkTarget(ini_path);
  if (!file) return false;
  const std::optional<IniText> existing = ReadExistingText(*file);
  if (!existing) return false;
  return WriteFileAtomically(*file,
                             ToFileBytes(UpdatedText(*existing, settings))) ==
         WriteError::kNone;
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

std::string DocumentsDataFolder(const std::filesystem::path& documents) {
  return WithTrailingSeparator(PathToUtf8(documents)) + "Cordshift" +
         kFolderSeparator + "Data" + kFolderSeparator;
}

SettingsStore::SettingsStore(std::filesystem::path ini_path,
                             std::string default_folder)
    : ini_path_(std::move(ini_path)),
      default_folder_(WithTrailingSeparator(std::move(default_folder))) {}

bool SettingsStore::LoadSettings(Settings& settings) {
  try {
    LoadInto(StoredValues(ReadSettingsText(ini_path_)), default_folder_,
             settings);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool SettingsStore::SaveSettings(const Settings& settings,
                                 MessageSink& messages) {
  try {
    if (WriteSettingsFile(ini_path_, settings)) return true;
  } catch (const std::exception&) {
    return false;
  }
  messages.ShowMessage(kSettingsSaveFailedText, MessageIcon::kInformation);
  return false;
}

}  // namespace cordshift
