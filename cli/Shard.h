// One machine's share of a batch: the K-th of N interleaved shares of the seed list, so that N
// tasks of a job array, each given its index, together make every seed exactly once.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace hillograph {

// The largest N: more tasks than this would each get a handful of maps.
inline constexpr std::size_t MaxShards = 1000000;

struct TShard {
  std::size_t Index;  // K, 0 .. Count - 1
  std::size_t Count;  // N, 1 .. MaxShards
};

// Reads an environment variable; nullopt when it is not set.
using TEnvironment = std::function<std::optional<std::string>(const char* Name)>;
std::optional<std::string> ProcessEnvironment(const char* Name);

// "K/N", or "auto/N" taking K from the task index a job array gives: SLURM_ARRAY_TASK_ID less
// SLURM_ARRAY_TASK_MIN (where set), else JOB_COMPLETION_INDEX. Throws TError naming --shard.
TShard ParseShard(std::string_view Text, const TEnvironment& Environment = ProcessEnvironment);

}  // namespace hillograph
