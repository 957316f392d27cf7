#include "cli/Batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/Resume.h"
#include "cli/StopSignals.h"
#include "cli/TerminalText.h"
#include "synthesis/files/OpenFileBudget.h"
#include "synthesis/files/OutputFile.h"
#include "synthesis/files/StagedFiles.h"

namespace hillograph {
namespace {

// Written files wait for one commit together until a thread has this many, or until the open
// files run short.
constexpr std::size_t FilesPerCommit = 64;
// Nor longer than this, so that a stop or a kill loses little work.
constexpr std::chrono::seconds CommitInterval{2};
// A map may have one file open for reading (the town database) while it renders.
constexpr std::size_t FilesReadPerMap = 1;
constexpr const char* UnknownFailure = "Unknown error";

// The open files a thread holds of the budget, given back whatever way the thread ends.
class THeldFiles {
 public:
  explicit THeldFiles(TOpenFileBudget& budget) : budget_(budget) {}
  ~THeldFiles() { GiveBack(); }
  THeldFiles(const THeldFiles&) = delete;
  THeldFiles& operator=(const THeldFiles&) = delete;

  bool TryTake(std::size_t count) {
    if (!budget_.TryTake(count)) return false;
    held_ += count;
    return true;
  }
  void Take(std::size_t count) {
    budget_.Take(count);
    held_ += count;
  }
  void GiveBack() { budget_.Give(std::exchange(held_, 0)); }

 private:
  TOpenFileBudget& budget_;
  std::size_t held_ = 0;
};

}  // namespace

std::vector<std::string> OutputsOf(const TMapJob& Job) {
  std::vector<std::string> files{Job.Picture};
  for (const auto* name : {&Job.Heightmap, &Job.TownsJson, &Job.SavePreset})
    if (*name) files.push_back(**name);
  return files;
}

TBatchResult RunBatch(const TMapJob& Job, const TSeedList& Seeds, const TBatchOptions& Options,
                      TProgressLine& Line, std::string_view ProgramName) {
  TOpenFileBudget budget(TOpenFileBudget::ForThisProcess());
  const std::size_t filesPerMap = FilesOf(Job) + FilesReadPerMap;
  const bool recording = Options.Manifest != nullptr;
  if (Options.SkipExisting) {
    std::vector<std::string> targets;
    for (std::size_t i = 0; i < Seeds.Count(); ++i)
      for (std::string& file : OutputsOf(JobForSeed(Job, Seeds.At(i))))
        targets.push_back(std::move(file));
    RemoveLeftTemporaries(targets);
  }
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> failed{0};
  std::atomic<std::size_t> skipped{0};
  std::mutex lostMutex;
  std::exception_ptr lost;  // a failure of the reporting itself
  const auto record = [&](const TMapJob& job, const std::string* message) {
    if (!recording) return;
    TManifestLine line;
    line.Seed = static_cast<std::int32_t>(job.Params.RandSeed);
    line.Ok = message == nullptr;
    if (message != nullptr) line.Message = *message;
    if (line.Ok) {
      for (const std::string& file : OutputsOf(job))
        line.Files.push_back(DescribeFile(file));
    }
    if (Options.LinkOf) line.Link = Options.LinkOf(job);
    line.Version = Options.Version;
    Options.Manifest->Append(line);
  };
  const auto fail = [&](std::size_t index, const std::string& message) {
    ++failed;
    Line.Message(std::string(ProgramName) + ": seed " + std::to_string(Seeds.At(index)) + ": " +
                 Escaped(message));
    record(JobForSeed(Job, Seeds.At(index)), &message);
  };
  const auto isMade = [&](const TMapJob& job) {
    const TManifestLine* recorded = nullptr;
    if (Options.Recorded != nullptr) {
      const auto found = Options.Recorded->find(static_cast<std::int32_t>(job.Params.RandSeed));
      if (found != Options.Recorded->end()) recorded = &found->second;
    }
    return MapIsMade(OutputsOf(job), recorded, recording);
  };
  const auto work = [&]() {
    try {
      TMapScratch scratch;
      THeldFiles held(budget);
      TStopCheck stopCheck;
      std::vector<std::unique_ptr<TStagedFiles>> pending;
      pending.reserve(FilesPerCommit);  // a map has one file at least
      std::size_t pendingFiles = 0;
      auto lastCommit = std::chrono::steady_clock::now();
      // Every pending map replaces its files, or none of them; each failure is reported once.
      const auto commit = [&] {
        std::vector<TStagedFiles*> sets;
        std::vector<std::size_t> maps;
        std::vector<TCommitFailure> failures;
        std::string broken;
        try {
          for (const auto& set : pending) {
            sets.push_back(set.get());
            maps.push_back(set->Tag());
          }
          failures = CommitTogether(sets);
        } catch (const std::exception& e) {
          broken = MessageOf(e);
        }
        pending.clear();  // what was not committed is removed
        pendingFiles = 0;
        held.GiveBack();
        lastCommit = std::chrono::steady_clock::now();
        std::set<std::size_t> lostMaps;
        for (const TCommitFailure& failure : failures) {
          lostMaps.insert(failure.Tag);
          fail(failure.Tag, CannotCreateFileMessage(
                                failure.FileName, std::generic_category().message(failure.Error)));
        }
        for (const std::size_t map : maps) {
          if (!broken.empty()) {
            fail(map, broken);
          } else if (!lostMaps.contains(map)) {
            record(JobForSeed(Job, Seeds.At(map)), nullptr);
          }
        }
      };
      for (std::size_t i = next++; i < Seeds.Count() && TStopSignals::Received() == 0; i = next++) {
        const TMapJob job = JobForSeed(Job, Seeds.At(i));
        if (Options.SkipExisting && isMade(job)) {
          ++skipped;
          Line.MapDone();
          continue;
        }
        try {
          // Short of open files: the maps written so far are committed first.
          if (!held.TryTake(filesPerMap)) {
            commit();
            held.Take(filesPerMap);
          }
          auto files = std::make_unique<TStagedFiles>(i);
          StageMapJob(job, scratch, false, *files, &stopCheck);
          pendingFiles += files->Count();
          pending.push_back(std::move(files));
        } catch (const TStopped&) {
          break;  // the map being made is dropped; those made are committed below
        } catch (const std::exception& e) {
          fail(i, MessageOf(e));
        } catch (...) {
          fail(i, UnknownFailure);
        }
        if (pendingFiles >= FilesPerCommit ||
            std::chrono::steady_clock::now() - lastCommit >= CommitInterval) {
          commit();
        }
        Line.MapDone();
      }
      commit();
    } catch (...) {
      const std::lock_guard lock(lostMutex);
      if (!lost) lost = std::current_exception();
    }
  };
  Line.StartBatch(Seeds.Count());
  const auto threads = static_cast<std::size_t>(std::max(Options.Jobs, 1));
  std::vector<std::thread> helpers;
  const auto joinHelpers = [&helpers] {
    for (std::thread& helper : helpers)
      if (helper.joinable()) helper.join();
  };
  struct TJoinOnExit {
    const decltype(joinHelpers)& Join;
    ~TJoinOnExit() { Join(); }
  } joinOnExit{joinHelpers};
  try {
    for (std::size_t t = 1; t < std::min(threads, Seeds.Count()); ++t)
      helpers.emplace_back(work);
  } catch (const std::system_error&) {
    // Where no thread can be started (WebAssembly without threads), the maps are drawn here, one
    // after another.
  }
  work();
  joinHelpers();
  if (lost) std::rethrow_exception(lost);
  return {failed, skipped, TStopSignals::Received()};
}

}  // namespace hillograph
