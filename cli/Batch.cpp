#include "cli/Batch.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/TerminalText.h"
#include "synthesis/files/OpenFileBudget.h"
#include "synthesis/files/OutputFile.h"
#include "synthesis/files/StagedFiles.h"

namespace hillograph {
namespace {

// Written files wait for one commit together until a thread has this many, or until the open
// files run short.
constexpr std::size_t FilesPerCommit = 64;
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

std::size_t RunBatch(const TMapJob& Job, const TSeedList& Seeds, int Jobs, TProgressLine& Line,
                     std::string_view ProgramName) {
  TOpenFileBudget budget(TOpenFileBudget::ForThisProcess());
  const std::size_t filesPerMap = FilesOf(Job) + FilesReadPerMap;
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> failed{0};
  std::mutex lostMutex;
  std::exception_ptr lost;  // a failure of the reporting itself
  const auto fail = [&](std::size_t index, std::string_view message) {
    ++failed;
    Line.Message(std::string(ProgramName) + ": seed " + std::to_string(Seeds.At(index)) + ": " +
                 Escaped(message));
  };
  const auto work = [&]() {
    try {
      TMapScratch scratch;
      THeldFiles held(budget);
      std::vector<std::unique_ptr<TStagedFiles>> pending;
      pending.reserve(FilesPerCommit);  // a map has one file at least
      std::size_t pendingFiles = 0;
      // Every pending map replaces its files, or none of them; each failure is reported once.
      const auto commit = [&] {
        std::vector<TStagedFiles*> sets;
        std::vector<TCommitFailure> failures;
        std::string broken;
        try {
          for (const auto& set : pending)
            sets.push_back(set.get());
          failures = CommitTogether(sets);
        } catch (const std::exception& e) {
          broken = MessageOf(e);
        }
        pending.clear();  // what was not committed is removed
        pendingFiles = 0;
        held.GiveBack();
        for (const TCommitFailure& failure : failures) {
          fail(failure.Tag, CannotCreateFileMessage(
                                failure.FileName, std::generic_category().message(failure.Error)));
        }
        if (!broken.empty()) {
          for (const TStagedFiles* set : sets)
            fail(set->Tag(), broken);
        }
      };
      for (std::size_t i = next++; i < Seeds.Count(); i = next++) {
        try {
          // Short of open files: the maps written so far are committed first.
          if (!held.TryTake(filesPerMap)) {
            commit();
            held.Take(filesPerMap);
          }
          auto files = std::make_unique<TStagedFiles>(i);
          StageMapJob(JobForSeed(Job, Seeds.At(i)), scratch, false, *files);
          pendingFiles += files->Count();
          pending.push_back(std::move(files));
        } catch (const std::exception& e) {
          fail(i, MessageOf(e));
        } catch (...) {
          fail(i, UnknownFailure);
        }
        if (pendingFiles >= FilesPerCommit) commit();
        Line.MapDone();
      }
      commit();
    } catch (...) {
      const std::lock_guard lock(lostMutex);
      if (!lost) lost = std::current_exception();
    }
  };
  Line.StartBatch(Seeds.Count());
  const auto threads = static_cast<std::size_t>(std::max(Jobs, 1));
  std::vector<std::jthread> helpers;
  for (std::size_t t = 1; t < std::min(threads, Seeds.Count()); ++t)
    helpers.emplace_back(work);
  work();
  helpers.clear();
  if (lost) std::rethrow_exception(lost);
  return failed;
}

}  // namespace hillograph
