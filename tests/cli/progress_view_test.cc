#include "cli/progress_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

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
  FileReport converted;
  converted.source = "/src/a.lvd";
  converted.destination = "/dst/a.lvd";
  view.ReportFile(converted);
  view.ReportFile(
      FaultReport("/src/b.lvd", LineFault(FaultKind::kMalformedRecord, 7)));
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
  view.ShowList(ListId::kSource,
                std::make_shared<const ListRows>(
                    RowStyle::kListing, std::vector<ListRow>{{1, "W", {}}}));
  EXPECT_EQ(view.guides(), std::vector<std::string>{"g"});
  EXPECT_EQ(view.messages().size(), 1u);
  EXPECT_EQ(view.Rows(ListId::kSource).size(), 1u);
}

}  // namespace
}  // namespace cordshift
