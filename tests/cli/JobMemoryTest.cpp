#include "cli/JobMemory.h"

#include <gtest/gtest.h>

#include "synthesis/platform/AvailableMemory.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

constexpr std::uint64_t MiB = 1 << 20;

// The kernel's files faked in a folder: meminfo, the process's groups and their limits.
TEST(JobMemoryTest, AvailableIsTheSmallerOfMeminfoAndTheGroupLimits) {
  const std::string meminfo =
      "MemTotal:       32000000 kB\nMemFree:  100 kB\nMemAvailable:    8388608 kB\n";
  const struct {
    const char* name;
    const char* meminfo;
    const char* groups;
    std::vector<std::pair<std::string, std::string>> files;
    std::optional<std::uint64_t> available;
  } cases[] = {
      {"meminfo alone", meminfo.c_str(), nullptr, {}, 8192 * MiB},
      {"no MemAvailable", "MemTotal: 5 kB\n", nullptr, {}, std::nullopt},
      {"v2 limit", meminfo.c_str(), "0::/job\n", {{"job/memory.max", "1073741824\n"}}, 1024 * MiB},
      {"v2 no limit", meminfo.c_str(), "0::/job\n", {{"job/memory.max", "max\n"}}, 8192 * MiB},
      {"v2 limit above",
       meminfo.c_str(),
       "0::/a/b\n",
       {{"a/b/memory.max", "max\n"}, {"a/memory.max", "536870912\n"}},
       512 * MiB},
      {"v2 limit beyond meminfo",
       meminfo.c_str(),
       "0::/\n",
       {{"memory.max", "99999999999999\n"}},
       8192 * MiB},
      {"v1 limit",
       meminfo.c_str(),
       "5:cpu:/x\n4:memory:/job\n",
       {{"memory/job/memory.limit_in_bytes", "2147483648\n"}},
       2048 * MiB},
      {"v1 unlimited",
       meminfo.c_str(),
       "4:memory,hugetlb:/job\n",
       {{"memory/job/memory.limit_in_bytes", "9223372036854771712\n"}},
       8192 * MiB},
      {"v1 with no meminfo",
       nullptr,
       "4:memory:/\n",
       {{"memory/memory.limit_in_bytes", "1048576\n"}},
       1 * MiB},
  };
  for (const auto& c : cases) {
    const testing::TTempFolder folder;
    platform::TMemoryFiles files{folder.Path("meminfo"), folder.Path("cgroup"), folder.Path("fs")};
    if (c.meminfo != nullptr) folder.Write("meminfo", c.meminfo);
    if (c.groups != nullptr) folder.Write("cgroup", c.groups);
    for (const auto& [name, text] : c.files) {
      std::filesystem::create_directories((folder.Dir() / "fs" / name).parent_path());
      folder.Write("fs/" + name, text);
    }
    EXPECT_EQ(platform::AvailableMemory(files), c.available) << c.name;
  }
}

TEST(JobMemoryTest, JobsCappedToThreeQuartersOfTheAvailableMemory) {
  const struct {
    int wanted;
    std::uint64_t peak;
    std::optional<std::uint64_t> available;
    int jobs;
  } cases[] = {
      {16, 100 * MiB, 1000 * MiB, 7},  // 750 MiB usable
      {16, 100 * MiB, 800 * MiB, 6},
      {4, 100 * MiB, 64000 * MiB, 4},   // the processors are the limit
      {16, 2000 * MiB, 1000 * MiB, 1},  // one map still runs
      {16, 100 * MiB, std::nullopt, 16},
  };
  for (const auto& c : cases)
    EXPECT_EQ(JobsThatFit(c.wanted, c.peak, c.available), c.jobs) << c.wanted << " " << c.peak;
}

// Within the measured figures: a 16384-pixel BMP map takes more than a GiB, a PNG one more.
TEST(JobMemoryTest, PeakGrowsWithSizeAndPngEncoders) {
  const std::uint64_t bmp = MapPeakBytes(16384, 16384, {});
  EXPECT_GT(bmp, 1024 * MiB);
  EXPECT_LT(bmp, 1300 * MiB);
  EXPECT_GT(MapPeakBytes(16384, 16384, {.PngPicture = true}), bmp + 768 * MiB);
  EXPECT_GT(MapPeakBytes(16384, 16384, {.PngHeightmap = true}), bmp + 512 * MiB);
  EXPECT_LT(MapPeakBytes(1, 1, {}), 16 * MiB);
}

}  // namespace
}  // namespace hillograph
