#include "cli/progress_view.h"

#include <gtest/gtest.h>

#include <sstream>

namespace cordshift {
namespace {

TEST(ProgressViewTest, PrintsGuidesAndMessagesInTheOrderTheyCome) {
  std::ostringstream progress;
  ProgressView view(&progress);
  view.ShowGuide("Loomvantage->LoomvantageHipot 変換開始");
  view.ShowMessage("変換元：3 行目の年月日が異常です",
                   MessageIcon::kExclamation);
  view.ShowMessage("done", MessageIcon::kInformation);
  view.ShowGuide("1件目変換中...");
  view.ReportFile({"/src/a.lvd", FileOutcome::kConverted, "/dst/a.lvd", ""});
  view.ReportFile(
      {"/src/b.lvd", FileOutcome::kFault, "", "malformed record at line 7"});
  EXPECT_EQ(progress.str(),
            "Loomvantage->LoomvantageHipot 変換開始\n"
            "exclamation: 変換元：3 行目の年月日が異常です\n"
            "information: done\n"
            "1件目変換中...\n"
            "fault: /src/b.lvd: malformed record at line 7\n");
  // It still records like the recording view.
  EXPECT_EQ(view.guides().size(), 2u);
  ASSERT_EQ(view.messages().size(), 2u);
  EXPECT_EQ(view.messages()[1].icon, MessageIcon::kInformation);
}

TEST(ProgressViewTest, WithoutAStreamOnlyRecords) {
  ProgressView view(nullptr);
  view.ShowGuide("g");
  view.ShowMessage("m", MessageIcon::kStop);
  view.SetListCell(ListId::kSource, 1, 1, "    1");
  EXPECT_EQ(view.guides(), std::vector<std::string>{"g"});
  EXPECT_EQ(view.messages().size(), 1u);
  EXPECT_EQ(view.ListRowCount(ListId::kSource), 1);
}

}  // namespace
}  // namespace cordshift
