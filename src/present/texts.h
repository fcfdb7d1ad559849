#ifndef CORDSHIFT_PRESENT_TEXTS_H_
#define CORDSHIFT_PRESENT_TEXTS_H_

// The texts the window and the command line show for runs and listings:
// the tester family's own words (and spellings), one table per direction
// and per list.

#include <string>

#include "batch/run_observer.h"
#include "wiring/direction.h"

namespace cordshift {

// Which of the window's two lists.
enum class ListId {
  kSource,
  kDestination,
};

inline constexpr char kAnalysingGuide[] = "フォルダ構成を解析中です...";
inline constexpr char kAnalysisFailedGuide[] = "フォルダ構成の解析エラー！";
inline constexpr char kEnumerationFailedGuide[] =
    "変換元ファイル情報取得エラー！";
inline constexpr char kRunAbortedGuide[] = "異常を検出したため変換を終了します";

// The texts of a run in one direction.
struct RunTexts {
  const char* model_prompt;  // the message for a blank model name
  const char* start_text;
  const char* label;  // names the direction in the failure message
  const char* finish_text;
};

const RunTexts& RunTextsOf(Direction direction);

// The texts of a listing into one list, of one side's files.
struct ListingTexts {
  const char* enumeration_failed_suffix;  // after the folder, in a message
  const char* empty_text;
  const char* listing_text;
  const char* listed_text;
  const char* failed_text;
};

const ListingTexts& ListingTextsOf(ListId list, Side side);

// The message of a refused run.
std::string RefusalMessage(RunRefusal refusal, Direction direction);
// The message of a run that failed at a fault.
std::string ConversionFailedMessage(Direction direction);
// The message of a header line (1 to 4) that a conversion refuses, naming
// the file by its number in the list.
std::string HeaderFaultMessage(int file_number, int line);
// The message of a written file that, read back, does not say what its
// source says, naming the file as HeaderFaultMessage does.
std::string WrittenFileFaultMessage(int file_number);
// The guide texts of a folder of the run.
std::string ConvertingFolderGuide(const std::string& folder);
std::string FolderConvertedGuide(const std::string& folder);
std::string ConvertingFileGuide(int file_number);

}  // namespace cordshift

#endif  // CORDSHIFT_PRESENT_TEXTS_H_
