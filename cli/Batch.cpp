#include "cli/Batch.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <string>
#include <thread>
#include <vector>

namespace hillograph {

std::size_t RunBatch(const TMapJob& Job, const TSeedList& Seeds, int Jobs, TProgressLine& Line,
                     std::string_view ProgramName) {
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> failed{0};
  const auto work = [&]() {
    TMapScratch scratch;
    for (std::size_t i = next++; i < Seeds.Count(); i = next++) {
      const std::int32_t seed = Seeds.At(i);
      try {
        RunMapJob(JobForSeed(Job, seed), scratch);
      } catch (const std::exception& e) {
        ++failed;
        Line.Message(std::string(ProgramName) + ": seed " + std::to_string(seed) + ": " + e.what());
      }
      Line.MapDone();
    }
  };
  Line.StartBatch(Seeds.Count());
  const auto threads = static_cast<std::size_t>(std::max(Jobs, 1));
  std::vector<std::jthread> helpers;
  for (std::size_t t = 1; t < std::min(threads, Seeds.Count()); ++t)
    helpers.emplace_back(work);
  work();
  helpers.clear();
  return failed;
}

}  // namespace hillograph
