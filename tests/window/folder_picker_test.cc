#include "window/folder_picker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scripted_dialogs.h"

namespace cordshift {
namespace {

using testing::BrowseRequest;
using testing::ScriptedDialogs;

TEST(StartFolderForBrowserTest, DropsTheFinalSeparatorExceptOnARoot) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/work/data/", "/work/data"},
      {"/work/data", "/work/data"},
      {"/", "/"},
      {"", ""},
  };
  for (const auto& [folder, start] : cases) {
    EXPECT_EQ(StartFolderForBrowser(folder), start) << folder;
  }
}

struct PickCase {
  const char* name;
  std::string folder;        // the folder variable before
  std::string answer;        // the browser's answer ("" cancels)
  std::string start_folder;  // what the browser opened on
  std::string folder_after;
  bool picked;
};

class ChooseFolderTest : public ::testing::TestWithParam<PickCase> {};

TEST_P(ChooseFolderTest, UpdatesTheFolderOnlyWhenOneWasChosen) {
  const PickCase& c = GetParam();
  ScriptedDialogs dialogs;
  if (!c.answer.empty()) dialogs.folder_answers.push_back(c.answer);
  FolderPicker picker(dialogs);
  std::string folder = c.folder;
  picker.ChooseFolder("prompt", folder, "/source/");
  EXPECT_EQ(dialogs.browses,
            (std::vector<BrowseRequest>{{"prompt", c.start_folder}}));
  EXPECT_EQ(picker.PickerStartFolder(), c.start_folder);
  EXPECT_EQ(folder, c.folder_after);
  EXPECT_EQ(picker.FolderPicked(), c.picked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseFolderTest,
    ::testing::Values(PickCase{"ParentChosen", "/work/data/", "/work",
                               "/work/data", "/work/", true},
                      PickCase{"RootChosen", "/work/", "/", "/work", "/", true},
                      PickCase{"Cancelled", "/work/data/", "", "/work/data",
                               "/work/data/", false},
                      PickCase{"EmptyStartsFromSource", "", "/x", "/source",
                               "/x/", true},
                      PickCase{"EmptyCancelledKeepsSource", "", "", "/source",
                               "/source/", false}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace cordshift
