#include "cli/Shard.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "cli/OptionValues.h"
#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

TEnvironment Environment(std::map<std::string, std::string> variables) {
  return [variables](const char* name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
}

TEST(ShardTest, IndexFromTheTextOrTheJobArray) {
  const struct {
    const char* text;
    std::map<std::string, std::string> environment;
    std::size_t index, count;  // count 0: refused
    const char* says;
  } cases[] = {
      {"0/1", {}, 0, 1, ""},
      {"3/4", {}, 3, 4, ""},
      {"auto/8", {{"SLURM_ARRAY_TASK_ID", "5"}}, 5, 8, ""},
      // Arrays counted from 1 (--array=1-8): the first task takes share 0.
      {"auto/8", {{"SLURM_ARRAY_TASK_ID", "8"}, {"SLURM_ARRAY_TASK_MIN", "1"}}, 7, 8, ""},
      {"auto/3", {{"JOB_COMPLETION_INDEX", "2"}}, 2, 3, ""},
      {"auto/3", {{"SLURM_ARRAY_TASK_ID", "0"}, {"JOB_COMPLETION_INDEX", "2"}}, 0, 3, ""},
      {"auto/3", {}, 0, 0, "neither SLURM_ARRAY_TASK_ID nor JOB_COMPLETION_INDEX is set"},
      {"auto/3", {{"JOB_COMPLETION_INDEX", "x"}}, 0, 0, "JOB_COMPLETION_INDEX is \"x\""},
      {"auto/3", {{"SLURM_ARRAY_TASK_ID", "1"}, {"SLURM_ARRAY_TASK_MIN", "2"}}, 0, 0, "below"},
      {"auto/8", {{"SLURM_ARRAY_TASK_ID", "8"}}, 0, 0, "shard 8, not 0 .. 7"},
      {"4/4", {}, 0, 0, "shard 4, not 0 .. 3"},
      {"0/0", {}, 0, 0, "N from 1"},
      {"-1/4", {}, 0, 0, "is not K/N"},
      {"1/4x", {}, 0, 0, "N from 1"},
      {"1", {}, 0, 0, "is not K/N"},
      {"/4", {}, 0, 0, "is not K/N"},
  };
  for (const auto& c : cases) {
    if (c.count == 0) {
      try {
        ParseShard(c.text, Environment(c.environment));
        ADD_FAILURE() << c.text << " taken";
      } catch (const TError& e) {
        EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind("--shard: ", 0), 0u) << e.what();
      }
      continue;
    }
    const TShard shard = ParseShard(c.text, Environment(c.environment));
    EXPECT_EQ(shard.Index, c.index) << c.text;
    EXPECT_EQ(shard.Count, c.count) << c.text;
  }
}

// The shares of a list together hold each of its seeds once, in their order within a share.
TEST(ShardTest, SharesCoverTheListOnce) {
  for (const char* list : {"0..9", "5..5", "2147483640..2147483647", "7,3,3,9,1", "4"}) {
    const TSeedList seeds = TSeedList::Parse(list);
    for (const std::size_t count : {1, 3, 4, 11}) {
      std::multiset<std::size_t> positions;
      std::vector<std::int32_t> merged(seeds.Count());
      for (std::size_t k = 0; k < count; ++k) {
        const TSeedList share = seeds.Share(k, count);
        for (std::size_t i = 0; i < share.Count(); ++i) {
          const std::size_t at = k + i * count;
          ASSERT_LT(at, seeds.Count()) << list << " " << k << "/" << count;
          positions.insert(at);
          merged[at] = share.At(i);
        }
      }
      EXPECT_EQ(positions.size(), seeds.Count()) << list << " /" << count;
      EXPECT_EQ(std::set<std::size_t>(positions.begin(), positions.end()).size(), seeds.Count());
      for (std::size_t i = 0; i < seeds.Count(); ++i)
        EXPECT_EQ(merged[i], seeds.At(i)) << list << " /" << count << " at " << i;
    }
  }
}

}  // namespace
}  // namespace hillograph
