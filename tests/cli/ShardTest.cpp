#include "cli/Shard.h"

#include <gtest/gtest.h>

#include <map>

#include "cli/OptionValues.h"
#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

TEST(ShardTest, IndexFromTheTextOrTheJobArray) {
  const struct {
    const char* text;
    std::map<std::string, std::string> environment;
    std::size_t index, count;  // count 0: refused, saying what
    const char* says;
  } cases[] = {
      {"3/4", {}, 3, 4, ""},
      // Arrays counted from 1 (--array=1-8): the first task takes share 0.
      {"auto/8", {{"SLURM_ARRAY_TASK_ID", "8"}, {"SLURM_ARRAY_TASK_MIN", "1"}}, 7, 8, ""},
      {"auto/3", {{"SLURM_ARRAY_TASK_ID", "0"}, {"JOB_COMPLETION_INDEX", "2"}}, 0, 3, ""},
      {"auto/3", {{"JOB_COMPLETION_INDEX", "2"}}, 2, 3, ""},
      {"auto/3", {}, 0, 0, "neither SLURM_ARRAY_TASK_ID nor JOB_COMPLETION_INDEX is set"},
      {"auto/3", {{"JOB_COMPLETION_INDEX", "x"}}, 0, 0, "JOB_COMPLETION_INDEX is \"x\""},
      {"auto/8", {{"SLURM_ARRAY_TASK_ID", "8"}}, 0, 0, "shard 8, not 0 .. 7"},
      {"0/0", {}, 0, 0, "N from 1"},
      {"-1/4", {}, 0, 0, "is not K/N"},
      {"1", {}, 0, 0, "is not K/N"},
  };
  for (const auto& c : cases) {
    const auto environment = [&c](const char* name) -> std::optional<std::string> {
      const auto found = c.environment.find(name);
      return found == c.environment.end() ? std::nullopt : std::optional(found->second);
    };
    try {
      const TShard shard = ParseShard(c.text, environment);
      EXPECT_EQ(shard.Index, c.index) << c.text;
      EXPECT_EQ(shard.Count, c.count) << c.text;
    } catch (const TError& e) {
      EXPECT_EQ(c.count, 0u) << c.text;
      EXPECT_EQ(std::string(e.what()).rfind("--shard: ", 0), 0u) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
  }
}

// The shares of a list together hold each of its seeds once, each at its place in the list.
TEST(ShardTest, SharesCoverTheListOnce) {
  for (const char* list : {"0..9", "2147483640..2147483647", "7,3,3,9,1", "4"}) {
    const TSeedList seeds = TSeedList::Parse(list);
    for (const std::size_t count : {1, 3, 11}) {
      std::vector<int> taken(seeds.Count());
      for (std::size_t k = 0; k < count; ++k) {
        const TSeedList share = seeds.Share(k, count);
        for (std::size_t i = 0; i < share.Count(); ++i) {
          ASSERT_LT(k + i * count, seeds.Count()) << list << " " << k << "/" << count;
          EXPECT_EQ(share.At(i), seeds.At(k + i * count)) << list << " " << k << "/" << count;
          ++taken[k + i * count];
        }
      }
      EXPECT_EQ(taken, std::vector<int>(seeds.Count(), 1)) << list << " /" << count;
    }
  }
}

}  // namespace
}  // namespace hillograph
