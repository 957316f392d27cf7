#include "synthesis/towns/TownNameCache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "synthesis/base/Error.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

constexpr time_t LongAgo = 1'600'000'000;

void SetModified(const std::string& path, time_t seconds, long nanoseconds = 0) {
  const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(TownNameCacheTest, NamesAreKeptWhileTheFileIsUnchanged) {
  struct TCase {
    const char* what;
    std::function<void(const testing::TTempFolder&, const std::string&)> change;
    bool reused;
    TTownNames after;
  };
  const TCase cases[] = {
      {"unchanged", [](auto&, auto&) {}, true, {"Aa", "Bb"}},
      {"same size, another nanosecond",
       [](auto& dir, auto& file) {
         dir.Write("towns.txt", "Cc\nDd\n");
         SetModified(file, LongAgo, 1);
       },
       false,
       {"Cc", "Dd"}},
      {"same time, longer",
       [](auto& dir, auto& file) {
         dir.Write("towns.txt", "Aa\nBb\nEe\n");
         SetModified(file, LongAgo);
       },
       false,
       {"Aa", "Bb", "Ee"}},
      {"same size and time, another file put in its place",
       [](auto& dir, auto& file) {
         const std::string other = dir.Write("other.txt", "Ff\nGg\n");
         SetModified(other, LongAgo);
         std::filesystem::rename(other, file);
       },
       false,
       {"Ff", "Gg"}},
      {"just written: the time may not show the next change",
       [](auto& dir, auto&) { dir.Write("towns.txt", "Aa\nBb\n"); },
       false,
       {"Aa", "Bb"}},
  };
  for (const TCase& c : cases) {
    const testing::TTempFolder dir;
    const std::string file = dir.Write("towns.txt", "Aa\nBb\n");
    SetModified(file, LongAgo);
    const auto first = CachedTownNames(file);
    c.change(dir, file);
    const auto second = CachedTownNames(file);
    EXPECT_EQ(*second, c.after) << c.what;
    EXPECT_EQ(second == first, c.reused) << c.what;
    if (c.reused) continue;
    EXPECT_EQ(CachedTownNames(file) == second, std::string(c.what).starts_with("same")) << c.what;
  }
}

TEST(TownNameCacheTest, AFileThatBecameUnreadableStillFails) {
  const testing::TTempFolder dir;
  const std::string file = dir.Write("towns.txt", "Aa\n");
  SetModified(file, LongAgo);
  CachedTownNames(file);
  std::filesystem::remove(file);
  EXPECT_THROW(CachedTownNames(file), TError);
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop a privileged user";
  dir.Write("towns.txt", "Aa\n");
  SetModified(file, LongAgo);
  CachedTownNames(file);
  ASSERT_EQ(::chmod(file.c_str(), 0), 0);
  EXPECT_THROW(CachedTownNames(file), TError);
}

}  // namespace
}  // namespace hillograph
