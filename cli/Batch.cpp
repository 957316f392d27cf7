#include "cli/Batch.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/TerminalText.h"
#include "synthesis/files/CommitGroup.h"

namespace hillograph {
namespace {

// Written files wait for one sync of the file system until a thread has this many.
constexpr std::size_t FilesPerSync = 64;

}  // namespace

std::size_t RunBatch(const TMapJob& Job, const TSeedList& Seeds, int Jobs, TProgressLine& Line,
                     std::string_view ProgramName) {
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> failed{0};
  const auto report = [&](std::size_t index, std::string_view message) {
    Line.Message(std::string(ProgramName) + ": seed " + std::to_string(Seeds.At(index)) + ": " +
                 Escaped(message));
  };
  const auto work = [&]() {
    TMapScratch scratch;
    TCommitGroup files;
    std::size_t lastFailed = Seeds.Count();  // a seed counts once however many files it lost
    const auto fail = [&](std::size_t index, std::string_view message) {
      if (index != lastFailed) ++failed;
      lastFailed = index;
      report(index, message);
    };
    const auto sync = [&]() {
      for (const TCommitGroup::TFailure& failure : files.Flush())
        fail(failure.Tag, failure.Message);
    };
    for (std::size_t i = next++; i < Seeds.Count(); i = next++) {
      files.SetTag(i);
      try {
        RunMapJob(JobForSeed(Job, Seeds.At(i)), scratch, false);
      } catch (const std::exception& e) {
        fail(i, MessageOf(e));
      }
      if (files.Pending() >= FilesPerSync) sync();
      Line.MapDone();
    }
    sync();
  };
  Line.StartBatch(Seeds.Count());
  const auto threads = static_cast<std::size_t>(std::max(Jobs, 1));
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
  return failed;
}

}  // namespace hillograph
