// Throughput of the folder summaries and conversions on a generated folder
// of 100 files of 2,000 records each. Each line names the work and the
// direction (source layout to destination layout, with the terminal
// notation of the source or, to the continuity side, of the output) and
// gives records/s over wall-clock time.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_read.h"
#include "platform/folder_path.h"
#include "wiring/conversions.h"
#include "wiring/kept_sources.h"
#include "wiring/notation.h"
#include "wiring/summaries.h"
#include "wiring/verification.h"

namespace cordshift {
namespace {

constexpr int kFiles = 100;
constexpr int kRecordsPerFile = 2000;

// An observer that shows nothing, so that only the work itself is measured.
class NullObserver : public ConversionObserver {
 public:
  void FileStarted(int) override {}
  void FileDone(int, const FileReport&) override {}
  void FolderAborted() override {}
};

// A generated source folder and an empty destination, removed at exit.
class BenchFolders {
 public:
  explicit BenchFolders(bool hipot) {
    root_ = std::filesystem::temp_directory_path() /
            ("cordshift-bench-" + std::to_string(::getpid()) +
             (hipot ? "-hipot" : "-continuity"));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(source());
    std::filesystem::create_directories(destination());
    TerminalTables tables;
    std::uint32_t seed = 12345;
    for (int file_number = 1; file_number <= kFiles; ++file_number) {
      std::string text = "TBS480\r\n20240101000000\r\n2000\r\n0\r\n";
      for (int record = 0; record < kRecordsPerFile; ++record) {
        const int from = NextTerminal(seed);
        const int to = NextTerminal(seed);
        if (hipot) {
          text += std::to_string(from) + "-" + std::to_string(to) +
                  ",1,0,2000,1,0\r\n";
        } else {
          text += std::string(tables.AbNumber(from)) + "-" +
                  std::string(tables.AbNumber(to)) + ",0,2000\r\n";
        }
      }
      std::ofstream(source() / ("W" + std::to_string(file_number) + ".lvd"),
                    std::ios::binary)
          << text;
    }
  }
  ~BenchFolders() { std::filesystem::remove_all(root_); }

  // A new empty destination folder, so that every iteration converts into
  // a fresh folder as a first run does. Old ones are removed only at exit:
  // deleting them between iterations would load the file system during the
  // next measurement.
  std::string FreshDestination() {
    const std::filesystem::path folder =
        root_ / ("dst-" + std::to_string(++destinations_));
    std::filesystem::create_directories(folder);
    return WithTrailingSeparator(folder.string());
  }

  std::filesystem::path source() const { return root_ / "src"; }
  std::filesystem::path destination() const { return root_ / "dst"; }

  WiringFileList List() const {
    WiringFileList list;
    for (int file_number = 1; file_number <= kFiles; ++file_number) {
      const std::string name = "W" + std::to_string(file_number);
      list.push_back(
          {name, WithTrailingSeparator(source().string()), ".lvd", {}});
    }
    return list;
  }

 private:
  static int NextTerminal(std::uint32_t& seed) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>(seed >> 8) % TableCapacity + 1;
  }

  std::filesystem::path root_;
  int destinations_ = 0;
};

ConversionInputs Inputs() {
  ConversionInputs inputs;
  inputs.model_name = "TBS480";
  inputs.lower = "0";
  inputs.upper = "2000";
  return inputs;
}

void SetRecordsPerSecond(benchmark::State& state) {
  state.counters["records/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * kFiles * kRecordsPerFile),
      benchmark::Counter::kIsRate);
}

void MeasureListing(benchmark::State& state, bool hipot,
                    SummaryReader list_files) {
  const BenchFolders folders(hipot);
  const StopCheck never;
  WiringWorkspace workspace;
  WiringFileList list = folders.List();
  for (auto _ : state) {
    if (!list_files(list, workspace, nullptr, never).complete()) {
      state.SkipWithError("listing failed");
    }
  }
  SetRecordsPerSecond(state);
}

void BM_ListContinuityFiles(benchmark::State& state) {
  MeasureListing(state, false, &SummarizeContinuityFiles);
}

void BM_ListHipotFiles(benchmark::State& state) {
  MeasureListing(state, true, &SummarizeHipotFiles);
}

// Converts the generated folder into a fresh destination per iteration.
void MeasureConversion(benchmark::State& state, bool hipot_source,
                       SummaryReader list_files, FolderConversion convert,
                       Notation notation) {
  BenchFolders folders(hipot_source);
  NullObserver observer;
  WiringWorkspace workspace;
  WiringFileList source = folders.List();
  list_files(source, workspace, nullptr, observer);
  ConversionInputs inputs = Inputs();
  inputs.notation = notation;
  FolderJob job;
  job.source = &source;
  for (auto _ : state) {
    state.PauseTiming();
    job.destination_folder = folders.FreshDestination();
    state.ResumeTiming();
    if (!convert(observer, job, inputs, workspace)) {
      state.SkipWithError("conversion failed");
    }
  }
  SetRecordsPerSecond(state);
}

void BM_ConvertFolderToHipot(benchmark::State& state) {
  MeasureConversion(state, false, &SummarizeContinuityFiles,
                    &ConvertFolderToHipot, Notation::kAb);
}

void BM_ConvertFolderToContinuityAb(benchmark::State& state) {
  MeasureConversion(state, true, &SummarizeHipotFiles,
                    &ConvertFolderToContinuity, Notation::kAb);
}

void BM_ConvertFolderToContinuitySequential(benchmark::State& state) {
  MeasureConversion(state, true, &SummarizeHipotFiles,
                    &ConvertFolderToContinuity, Notation::kSequential);
}

// Compares every converted file of the folder with its source in memory,
// as a run verifies what it wrote, with the terminals its listing kept.
void MeasureVerification(benchmark::State& state, bool hipot_source,
                         SummaryReader list_files, FolderConversion convert,
                         Notation notation, Direction direction) {
  BenchFolders folders(hipot_source);
  NullObserver observer;
  WiringWorkspace workspace;
  WiringFileList source = folders.List();
  KeptSources kept;
  kept.StartFolder(kFiles);
  list_files(source, workspace, &kept, observer);
  ConversionInputs inputs = Inputs();
  inputs.notation = notation;
  FolderJob job;
  job.source = &source;
  job.destination_folder = folders.FreshDestination();
  if (!convert(observer, job, inputs, workspace)) {
    state.SkipWithError("conversion failed");
    return;
  }
  struct Pair {
    std::string source;
    std::string converted;
    ListedTerminals listed;
  };
  std::vector<Pair> pairs;
  for (int file_number = 1; file_number <= kFiles; ++file_number) {
    const std::string name = "W" + std::to_string(file_number) + ".lvd";
    pairs.push_back(
        {ReadFileUpTo((folders.source() / name).string(), 1 << 24).content,
         ReadFileUpTo(job.destination_folder + name, 1 << 24).content,
         kept.TakeTerminals(file_number).value_or(ListedTerminals{})});
  }
  ConversionExpectation expectation;
  expectation.direction = direction;
  expectation.notation = notation;
  expectation.model_name = "TBS480";
  expectation.lower = "0";
  expectation.upper = "2000";
  for (auto _ : state) {
    for (const Pair& pair : pairs) {
      if (CompareConvertedFile(pair.source, pair.converted, expectation,
                               &pair.listed)) {
        state.SkipWithError("a converted file differs");
      }
    }
  }
  SetRecordsPerSecond(state);
}

void BM_VerifyToHipot(benchmark::State& state) {
  MeasureVerification(state, false, &SummarizeContinuityFiles,
                      &ConvertFolderToHipot, Notation::kAb,
                      Direction::kContinuityToHipot);
}

void BM_VerifyToContinuityAb(benchmark::State& state) {
  MeasureVerification(state, true, &SummarizeHipotFiles,
                      &ConvertFolderToContinuity, Notation::kAb,
                      Direction::kHipotToContinuity);
}

// Wall-clock time: the conversions' cost includes waiting for the file
// system, which CPU time would hide.
BENCHMARK(BM_ListContinuityFiles)
    ->Name("List/continuity/ab")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ListHipotFiles)
    ->Name("List/hipot")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ConvertFolderToHipot)
    ->Name("Convert/continuity_to_hipot/ab")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ConvertFolderToContinuityAb)
    ->Name("Convert/hipot_to_continuity/ab")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ConvertFolderToContinuitySequential)
    ->Name("Convert/hipot_to_continuity/sequential")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_VerifyToHipot)
    ->Name("Verify/continuity_to_hipot/ab")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_VerifyToContinuityAb)
    ->Name("Verify/hipot_to_continuity/ab")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace cordshift

BENCHMARK_MAIN();
