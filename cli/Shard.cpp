#include "cli/Shard.h"

#include <charconv>
#include <cstdlib>

#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

constexpr std::string_view AutoIndex = "auto";

std::optional<std::size_t> Whole(std::string_view text) {
  std::size_t value = 0;
  if (text.empty() || text.size() > 18) return std::nullopt;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

[[noreturn]] void Refuse(std::string_view text, std::string_view why) {
  throw TError("--shard: \"" + std::string(text) + "\" " + std::string(why));
}

// The task index of a Slurm job array (counted from the array's first index, which need not be
// 0) or of a Kubernetes Indexed Job.
std::size_t TaskIndex(std::string_view text, const TEnvironment& environment) {
  const auto number = [&](const char* name) -> std::optional<std::size_t> {
    const std::optional<std::string> value = environment(name);
    if (!value) return std::nullopt;
    const std::optional<std::size_t> index = Whole(*value);
    if (!index)
      Refuse(text, std::string("needs a task index, and ") + name + " is \"" + *value + "\"");
    return index;
  };
  if (const std::optional<std::size_t> slurm = number("SLURM_ARRAY_TASK_ID")) {
    const std::size_t first = number("SLURM_ARRAY_TASK_MIN").value_or(0);
    if (first > *slurm)
      Refuse(text, "needs a task index, and SLURM_ARRAY_TASK_ID is below SLURM_ARRAY_TASK_MIN");
    return *slurm - first;
  }
  if (const std::optional<std::size_t> indexed = number("JOB_COMPLETION_INDEX")) return *indexed;
  Refuse(text, "needs a task index: neither SLURM_ARRAY_TASK_ID nor JOB_COMPLETION_INDEX is set");
}

}  // namespace

std::optional<std::string> ProcessEnvironment(const char* Name) {
  const char* value = std::getenv(Name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

TShard ParseShard(std::string_view Text, const TEnvironment& Environment) {
  const std::size_t slash = Text.find('/');
  if (slash == std::string_view::npos) Refuse(Text, "is not K/N or auto/N");
  const std::optional<std::size_t> count = Whole(Text.substr(slash + 1));
  if (!count || *count < 1 || *count > MaxShards) {
    Refuse(Text, "needs N from 1 to " + std::to_string(MaxShards));
  }
  const std::string_view index = Text.substr(0, slash);
  std::size_t k = 0;
  if (index == AutoIndex) {
    k = TaskIndex(Text, Environment);
  } else if (const std::optional<std::size_t> given = Whole(index)) {
    k = *given;
  } else {
    Refuse(Text, "is not K/N or auto/N");
  }
  if (k >= *count) {
    Refuse(Text, "has shard " + std::to_string(k) + ", not 0 .. " + std::to_string(*count - 1));
  }
  return {k, *count};
}

}  // namespace hillograph
