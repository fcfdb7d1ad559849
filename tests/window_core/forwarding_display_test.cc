#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controller_fixture.h"
#include "window/background_work.h"

namespace cordshift {
namespace {

using testing::QueueDispatcher;

// Notes each call it gets, in order.
class LoggingDisplay : public Display {
 public:
  void ShowGuide(std::string_view text) override {
    log.push_back("guide " + std::string(text));
  }
  void ShowMessage(std::string_view text, MessageIcon /*icon*/) override {
    log.push_back("message " + std::string(text));
  }
  void ShowList(ListId list, std::shared_ptr<const ListRows> rows) override {
    log.push_back((list == ListId::kSource ? "source " : "destination ") +
                  std::to_string(rows->size()));
  }
  void SetConvertedCount(std::string_view caption) override {
    log.push_back("count " + std::string(caption));
  }
  void ShowRunProgress(int folders_done, int folder_count) override {
    log.push_back("progress " + std::to_string(folders_done) + "/" +
                  std::to_string(folder_count));
  }

  std::vector<std::string> log;
};

class ForwardingDisplayTest : public ::testing::Test {
 protected:
  // Runs what was posted so far, as the window's thread does between its
  // other messages.
  void RunPosted() {
    bool done = false;
    dispatcher_.Post([&done] { done = true; });
    dispatcher_.RunUntil([&done] { return done; });
  }

  QueueDispatcher dispatcher_;
  LoggingDisplay target_;
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  ForwardingDisplay display_{dispatcher_, target_, alive_};
};

// A run of thousands of files: the window shows the state it has reached,
// not every step on the way, and the steps do not queue up.
TEST_F(ForwardingDisplayTest, StateShownIsTheLatestAndShownOnce) {
  for (int file = 1; file <= 1000; ++file) {
    display_.ShowGuide("file " + std::to_string(file));
    display_.SetConvertedCount(std::to_string(file));
    display_.ShowRunProgress(file, 1000);
  }
  RunPosted();
  EXPECT_EQ(target_.log,
            (std::vector<std::string>{"guide file 1000", "count 1000",
                                      "progress 1000/1000"}));
}

std::shared_ptr<const ListRows> Rows(int count) {
  return std::make_shared<const ListRows>(
      RowStyle::kConverted,
      std::vector<ListRow>(static_cast<std::size_t>(count)));
}

// Messages and the end of the work keep their place: everything shown
// before them is on the screen when they come, lists included, and what
// follows comes after.
TEST_F(ForwardingDisplayTest, MessagesComeAfterEverythingBeforeThem) {
  display_.ShowGuide("folder A");
  display_.SetConvertedCount("3");
  display_.ShowList(ListId::kDestination, Rows(3));
  display_.Post([this] { target_.log.push_back("finished"); });
  RunPosted();
  display_.ShowGuide("folder B");
  RunPosted();
  EXPECT_EQ(target_.log, (std::vector<std::string>{
                             "destination 3", "guide folder A", "count 3",
                             "finished", "guide folder B"}));
}

// A list costs far more to draw than a text: folders converted faster than
// a list's frame show only the latest rows, and a list changed soon after
// it was drawn waits for its frame's end.
TEST_F(ForwardingDisplayTest, ListsShowTheirLatestRowsOncePerListFrame) {
  display_.ShowList(ListId::kSource, Rows(1));
  RunPosted();
  for (int folder = 2; folder <= 50; ++folder) {
    display_.ShowList(ListId::kSource, Rows(folder));
    display_.ShowList(ListId::kDestination, Rows(folder));
  }
  display_.Post([this] { target_.log.push_back("finished"); });
  RunPosted();
  EXPECT_EQ(target_.log,
            (std::vector<std::string>{"source 1", "source 50", "destination 50",
                                      "finished"}));
  for (const std::chrono::milliseconds delay : dispatcher_.delays()) {
    EXPECT_LE(delay, ForwardingDisplay::kListFrame);
  }
}

// Shown at most once a frame: a change soon after a showing waits for the
// rest of the frame, as a timer the window handles after its input.
TEST_F(ForwardingDisplayTest, ChangesWithinAFrameWaitForItsEnd) {
  display_.ShowGuide("first");
  RunPosted();
  EXPECT_TRUE(dispatcher_.delays().empty());
  display_.ShowGuide("second");
  display_.ShowGuide("third");
  RunPosted();
  ASSERT_EQ(dispatcher_.delays().size(), 1u);
  EXPECT_GT(dispatcher_.delays()[0], std::chrono::milliseconds(0));
  EXPECT_LE(dispatcher_.delays()[0], ForwardingDisplay::kFrame);
  EXPECT_EQ(target_.log,
            (std::vector<std::string>{"guide first", "guide third"}));
}

// Calls that arrive after the window has gone do nothing.
TEST_F(ForwardingDisplayTest, NothingReachesAWindowThatIsGone) {
  display_.ShowGuide("late");
  display_.ShowList(ListId::kSource, std::make_shared<const ListRows>());
  alive_.reset();
  RunPosted();
  EXPECT_TRUE(target_.log.empty());
}

}  // namespace
}  // namespace cordshift
