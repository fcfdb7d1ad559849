#include "present/texts.h"

namespace cordshift {
namespace {

constexpr RunTexts kToHipotTexts = {
    "変換先機種名を入力してください（例：TBS480）",
    "Loomvantage->LoomvantageHipot 変換開始",
    "Loomvantage->LoomvantageHipot",
    "Loomvantage->LoomvantageHipot 変換完了",
};

constexpr RunTexts kToContinuityTexts = {
    "変換先機種名を入力してください（例：TBL480）",
    "LoomvantageHipot->Loomvantage 変換開始",
    "LoomvantageHipot->Loomvantage",
    "LoomvantageHipot->Loomvantage 変換完了",
};

constexpr char kSourceEmptyText[] =
    "変換元のフォルダにはファイルが見つかりませんでした";
constexpr char kDestinationEmptyText[] =
    "変換先のフォルダにはファイルが見つかりませんでした";
constexpr char kDestinationEnumerationFailed[] =
    "フォルダ一覧の所得が出来ません";

constexpr ListingTexts kSourceContinuityTexts = {
    "変換元：Loomvantage側フォルダ一覧の取得が出来ません",
    kSourceEmptyText,
    "変換元の Loomvantage の一覧表示中...",
    "変換元の Loomvantage の一覧を表示しました",
    "変換元の Loomvantage の一覧表示ができませんでした",
};

constexpr ListingTexts kSourceHipotTexts = {
    "変換元：LoomvantageHipot側フォルダ一覧の取得が出来ません",
    kSourceEmptyText,
    "変換元の LoomvantageのHipot の一覧表示中...",
    "変換元の LoomvantageHipot の一覧を表示しました",
    "変換元の LoomvantageHipot の一覧表示ができませんでした",
};

constexpr ListingTexts kDestinationHipotTexts = {
    kDestinationEnumerationFailed,
    kDestinationEmptyText,
    "変換先の LoomvantageHipot の一覧表示中...",
    "変換先の LoomvantageHipot の一覧を表示しました",
    "変換先の LoomvantageHipot の一覧表示ができませんでした",
};

constexpr ListingTexts kDestinationContinuityTexts = {
    kDestinationEnumerationFailed,
    kDestinationEmptyText,
    "変換先の Loomvantage の一覧表示中...",
    "変換先の Loomvantage の一覧を表示しました",
    "変換先の Loomvantage の一覧表示ができませんでした",
};

}  // namespace

const RunTexts& RunTextsOf(Direction direction) {
  return direction == Direction::kContinuityToHipot ? kToHipotTexts
                                                    : kToContinuityTexts;
}

const ListingTexts& ListingTextsOf(ListId list, Side side) {
  if (list == ListId::kSource) {
    return side == Side::kContinuity ? kSourceContinuityTexts
                                     : kSourceHipotTexts;
  }
  return side == Side::kContinuity ? kDestinationContinuityTexts
                                   : kDestinationHipotTexts;
}

std::string RefusalMessage(RunRefusal refusal, Direction direction) {
  switch (refusal) {
    case RunRefusal::kBlankModelName:
      return RunTextsOf(direction).model_prompt;
    case RunRefusal::kControlCharacterInModelName:
      return "変換先機種名に制御文字は使用できません";
    case RunRefusal::kModelNameNotShiftJis:
      return "変換先機種名にShift-JISで表せない文字が含まれています";
    case RunRefusal::kLowerLimit:
      return "導通抵抗下限値には正の半角数字で記入してください";
    case RunRefusal::kUpperLimit:
      return "導通抵抗上限値には正の半角数字で記入してください";
    case RunRefusal::kLimitOrder:
      return "導通抵抗下限値 < 導通抵抗上限値となるよう記入してください";
    case RunRefusal::kSameFolder:
      return "変換元と変換先に同じフォルダは指定できません";
    case RunRefusal::kOverlappingFolders:
      break;
  }
  return "変換先のフォルダが変換元のフォルダと重なるため変換できません";
}

std::string ConversionFailedMessage(Direction direction) {
  return std::string(RunTextsOf(direction).label) + "の変換に失敗しました";
}

std::string HeaderFaultMessage(int file_number, int line) {
  static constexpr const char* kLineNames[] = {"機器名", "年月日", "回路数",
                                               "端子数"};
  const char* what = line >= 1 && line <= 4 ? kLineNames[line - 1] : "";
  return "変換元：" + std::to_string(file_number) + " 行目の" + what +
         "が異常です";
}

std::string WrittenFileFaultMessage(int file_number) {
  return "変換先：" + std::to_string(file_number) +
         " 行目が変換元と一致しません";
}

std::string ConvertingFolderGuide(const std::string& folder) {
  return folder + "フォルダの変換中...";
}

std::string FolderConvertedGuide(const std::string& folder) {
  return folder + "フォルダ 変換完了";
}

std::string ConvertingFileGuide(int file_number) {
  return std::to_string(file_number) + "件目変換中...";
}

}  // namespace cordshift
