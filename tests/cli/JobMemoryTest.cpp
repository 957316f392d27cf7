#include "cli/JobMemory.h"

#include <gtest/gtest.h>

#include "synthesis/platform/AvailableMemory.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

constexpr std::uint64_t MiB = 1 << 20;

// The kernel's files faked in a folder: meminfo, the process's groups and their limits; then the
// jobs that fit in three quarters of what they say, for maps of 100 MiB.
TEST(JobMemoryTest, JobsFitInThreeQuartersOfMeminfoOrTheGroupLimit) {
  const char* meminfo = "MemTotal: 32000000 kB\nMemFree: 100 kB\nMemAvailable: 1024000 kB\n";
  const struct {
    const char* meminfo;
    const char* groups;
    std::vector<std::pair<std::string, std::string>> limits;
    std::optional<std::uint64_t> available;
    int jobs;  // of 16 wanted
  } cases[] = {
      {meminfo, nullptr, {}, 1000 * MiB, 7},
      {"MemTotal: 5 kB\n", nullptr, {}, std::nullopt, 16},
      {meminfo, "0::/job\n", {{"job/memory.max", "max\n"}}, 1000 * MiB, 7},
      {meminfo,
       "0::/a/b\n",
       {{"a/b/memory.max", "max\n"}, {"a/memory.max", "524288000\n"}},
       500 * MiB,
       3},
      {meminfo,
       "5:cpu:/x\n4:memory,hugetlb:/job\n",
       {{"memory/job/memory.limit_in_bytes", "9223372036854771712\n"}},
       1000 * MiB,
       7},
      {nullptr, "4:memory:/\n", {{"memory/memory.limit_in_bytes", "104857600\n"}}, 100 * MiB, 1},
  };
  for (const auto& c : cases) {
    const testing::TTempFolder folder;
    const platform::TMemoryFiles files{folder.Path("meminfo"), folder.Path("cgroup"),
                                       folder.Path("fs")};
    if (c.meminfo != nullptr) folder.Write("meminfo", c.meminfo);
    if (c.groups != nullptr) folder.Write("cgroup", c.groups);
    for (const auto& [name, text] : c.limits) {
      std::filesystem::create_directories((folder.Dir() / "fs" / name).parent_path());
      folder.Write("fs/" + name, text);
    }
    const auto available = platform::AvailableMemory(files);
    EXPECT_EQ(available, c.available) << c.limits.size();
    EXPECT_EQ(JobsThatFit(16, 100 * MiB, available), c.jobs) << c.limits.size();
  }
  EXPECT_EQ(JobsThatFit(4, 100 * MiB, 64000 * MiB), 4);  // the processors are the limit
}

}  // namespace
}  // namespace hillograph
