#ifndef CORDSHIFT_TESTS_WINDOW_CORE_CONTROLLER_FIXTURE_H_
#define CORDSHIFT_TESTS_WINDOW_CORE_CONTROLLER_FIXTURE_H_

// The window's behaviour driven without a toolkit: a view that records what
// it is told, scripted dialogs, and a dispatcher whose queue the test runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/folder_path.h"
#include "platform/ini_access.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "support/window_files.h"
#include "window/window_controller.h"

namespace cordshift::testing {

// Tasks posted from any thread, run by the test's thread in RunUntil.
class QueueDispatcher : public Dispatcher {
 public:
  void Post(std::function<void()> task) override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
  }

  // Delays are noted, not waited for: the tests run the queue in order.
  void PostAfter(std::chrono::milliseconds delay,
                 std::function<void()> task) override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      delays_.push_back(delay);
    }
    Post(std::move(task));
  }

  std::vector<std::chrono::milliseconds> delays() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return delays_;
  }

  void RunUntil(const std::function<bool()>& done) override {
    const auto give_up = std::chrono::steady_clock::now() + kPatience;
    while (!done() && std::chrono::steady_clock::now() < give_up) {
      std::function<void()> task;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        posted_.wait_for(lock, std::chrono::milliseconds(10),
                         [this] { return !tasks_.empty(); });
        if (tasks_.empty()) continue;
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      task();
    }
  }

 private:
  static constexpr std::chrono::seconds kPatience{30};

  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
  std::vector<std::chrono::milliseconds> delays_;
};

// True when `shown` holds some of `expected`, each at most once and in
// their order: the window shows the latest state, so states replaced
// before it got to them may be missing.
inline bool IsInOrder(const std::vector<std::string>& shown,
                      const std::vector<std::string>& expected) {
  auto next = expected.begin();
  for (const std::string& text : shown) {
    next = std::find(next, expected.end(), text);
    if (next == expected.end()) return false;
    ++next;
  }
  return true;
}

// Everything the behaviour tells the window, as the window would show it.
struct RecordingWindowView : WindowView {
  void ShowTitle(std::string_view text) override { title = text; }
  void ShowFolder(ListId side, std::string_view folder) override {
    folders[Slot(side)] = folder;
  }
  void ShowDirection(Direction shown, const DirectionTexts& texts) override {
    direction = shown;
    run_caption = texts.run_caption;
    notation_visible = texts.shows_notation;
  }
  void ShowNotation(Notation shown) override { notation = shown; }
  void ShowForm(const FormValues& shown) override { form = shown; }
  void ShowGuide(std::string_view text) override { guides.emplace_back(text); }
  void ShowList(ListId list, std::shared_ptr<const ListRows> shown) override {
    std::vector<std::vector<std::string>>& cells = rows[Slot(list)];
    cells.clear();
    for (int index = 0; index < shown->size(); ++index) {
      const auto row = shown->Cells(index);
      cells.emplace_back(row.begin(), row.end());
    }
  }
  void SetConvertedCount(std::string_view caption) override { count = caption; }
  void ShowRunProgress(int done, int total) override {
    progress.emplace_back(done, total);
  }
  void SetBusy(bool now) override {
    busy = now;
    ++busy_changes;
  }
  void RequestClose(CloseWay way) override { close_requests.push_back(way); }

  static std::size_t Slot(ListId list) {
    return list == ListId::kSource ? 0 : 1;
  }
  const std::vector<std::vector<std::string>>& Rows(ListId list) const {
    return rows[Slot(list)];
  }

  std::string title;
  std::array<std::string, 2> folders;
  std::optional<Direction> direction;
  std::string run_caption;
  bool notation_visible = false;
  std::optional<Notation> notation;
  FormValues form;
  std::vector<std::string> guides;
  std::array<std::vector<std::vector<std::string>>, 2> rows;
  std::string count;
  std::vector<std::pair<int, int>> progress;  // folders done, folder count
  bool busy = false;
  int busy_changes = 0;
  std::vector<CloseWay> close_requests;
};

class ControllerTest : public WindowFilesTest {
 protected:
  // Builds the behaviour and runs its start-up, without waiting for the
  // listings it starts.
  bool Start() {
    std::filesystem::create_directories(Executable().parent_path());
    controller_ = std::make_unique<WindowController>(
        WindowSetup{Executable(), SettingsFile()}, view_, dialogs_,
        dispatcher_);
    return controller_->Start();
  }
  // Lets the posted work's calls reach the view until no work is left.
  void Settle() {
    dispatcher_.RunUntil([this] { return !controller_->Busy(); });
    ASSERT_FALSE(controller_->Busy()) << "work did not end";
  }
  WindowController& Started() {
    EXPECT_TRUE(Start());
    Settle();
    return *controller_;
  }

  RecordingWindowView view_;
  ScriptedDialogs dialogs_;
  QueueDispatcher dispatcher_;
  std::unique_ptr<WindowController> controller_;
};

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_WINDOW_CORE_CONTROLLER_FIXTURE_H_
