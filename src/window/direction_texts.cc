#include "window/direction_texts.h"

namespace cordshift {
namespace {

constexpr Rgb kSelectedColour{255, 0, 0};
constexpr Rgb kOtherColour{128, 128, 128};

const DirectionTexts kToHipot = {
    "Loomvantage ⇒ LoomvantageHipot",
    kSelectedColour,
    kOtherColour,
    "変換元：  Loomvantage",
    "変換先：  LoomvantageHipot",
    false,
    "Loomvantageの配線データをLoomvantageHipot用に変換します",
    "変換元と変換先のフォルダを指定してからLoomvantage ⇒ "
    "LoomvantageHipotボタンを押してください",
    "変換するLoomvantage用のデータがあるフォルダを指定してください",
    "変換されたLoomvantageHipot用のデータを保存するフォルダを指定してください",
};

const DirectionTexts kToContinuity = {
    "LoomvantageHipopt ⇒ Loomvantage",
    kOtherColour,
    kSelectedColour,
    "変換元：  LoomvantageHipot",
    "変換先：  Loomvantage",
    true,
    "LoomvantageHipotの配線データをLoomvantage用に変換します",
    "変換元と変換先のフォルダを指定してからLoomvantageHipot ⇒ "
    "Loomvantageボタンを押してください",
    "変換するLoomvantageHipot用のデータがあるフォルダを指定してください",
    "変換されたLoomvantage用のデータを保存するフォルダを指定してください",
};

}  // namespace

const DirectionTexts& DirectionTextsOf(Direction direction) {
  return direction == Direction::kContinuityToHipot ? kToHipot : kToContinuity;
}

std::string GuideTextOf(const DirectionTexts& texts) {
  return std::string(texts.guide_first_line) + '\r' + texts.guide_second_line;
}

}  // namespace cordshift
