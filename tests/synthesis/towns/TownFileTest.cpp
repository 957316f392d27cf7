#include "synthesis/towns/TownFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"
#include "synthesis/towns/NameGen.h"
#include "synthesis/towns/TownNameCache.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

using Names = std::vector<std::string>;

TEST(TownFileTest, Lines) {
  const testing::TTempFolder dir;
  const struct {
    std::string bytes;
    Names names;
  } cases[] = {
      {"Aa\r\nBb\r\n", {"Aa", "Bb"}},
      {"Aa\rBb\nCc", {"AaBb", "Cc"}},  // a lone CR is left out
      {"Aa\r\r\nBb\r", {"Aa", "Bb"}},
      {"\r", {""}},
      {"", {}},
      {"Aa\nBb\x1Azz\n", {"Aa", "Bb"}},  // Ctrl-Z ends the file
      {"  \n\n x \n\n", {"  ", "", " x ", ""}},
      {"M\xFCnster\r\n\xC4rhus\r\n", {"M\xC3\xBCnster", "\xC3\x84rhus"}},  // Latin-1
      {"M\xC3\xBCnster\n", {"M\xC3\xBCnster"}},
      {"\xEF\xBB\xBFK\xC3\xB6ln\n", {"K\xC3\xB6ln"}},  // a byte order mark
      {"\x80uro \x96 \x9C\n", {"\xE2\x82\xACuro \xE2\x80\x93 \xC5\x93"}},
      {"\xC3\xBC\n\xFC\n", {"\xC3\x83\xC2\xBC", "\xC3\xBC"}},  // one byte of no UTF-8 decides
      {"\xC0\xAF\n", {"\xC3\x80\xC2\xAF"}},                    // an overlong form is no UTF-8
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadTownFile(dir.Write("towns.txt", c.bytes)), c.names) << c.bytes;
  // Loading starts a new cycle of the names and draws nothing; a failed load keeps the names.
  TNameGen names;
  names.SetNames(Names(300, "old"));
  names.Marks.assign(300, !names.FreshMark);
  names.UsedCount = 2;
  RandSeed = 99;
  EXPECT_THROW(names.LoadFromFile("/proc/self/mem"), TError);
  EXPECT_EQ(names.Names->size(), 300u);
  names.LoadFromFile(dir.Write("towns.txt", "Aa\nBb\n"));
  EXPECT_EQ(*names.Names, (Names{"Aa", "Bb"}));
  EXPECT_EQ(names.Marks, std::vector<bool>(2, names.FreshMark));
  EXPECT_EQ(std::pair(names.UsedCount, RandSeed), std::pair(0, 99u));
}

TEST(TownFileTest, FailuresNameTheFileAndTheReason) {
  const testing::TTempFolder dir;
  const std::string file = dir.Write("towns.txt", "Aa\n"), huge = dir.Write("huge.txt", "");
  std::filesystem::resize_file(huge, TownFileLimit + 1);  // sparse: nothing is written
  const struct {
    std::string name;
    std::string reason;
  } cases[] = {
      {dir.Path("missing"), "File not found"},
      {huge, "File too large"},
      {file + "/inside", "Invalid filename"},
      {dir.Path(std::string(5000, 'n')), "Invalid filename"},
      {"/proc/self/mem", "I/O error 5"},  // a regular file whose first page cannot be read
  };
  for (const auto& c : cases) {
    try {
      ReadTownFile(c.name);
      ADD_FAILURE() << "read: " << c.name;
    } catch (const TError& e) {
      EXPECT_EQ(e.what(), "Cannot read town database \"" + c.name + "\": " + c.reason);
    }
  }
}

TEST(NameGenTest, WorkedInventedNames) {
  const struct {
    std::uint32_t seed;
    std::vector<std::pair<std::int32_t, std::int32_t>> draws;  // range, value
    std::string name;
  } cases[] = {
      {0, {{6, 0}, {2, 0}, {14, 12}, {9, 1}, {14, 3}, {2, 1}, {9, 2}, {14, 2}}, "Wekij"},
      {3,
       {{6, 0}, {2, 1}, {9, 7}, {14, 5}, {2, 0}, {14, 8}, {9, 7}, {14, 11}},
       "\xC3\x9Cmr\xC3\xBCv"},
  };
  for (const auto& c : cases) {
    RandSeed = c.seed;
    EXPECT_EQ(TNameGen().NextName(), c.name);  // without a list it invents
    const std::uint32_t end = RandSeed;
    RandSeed = c.seed;
    for (const auto& [range, value] : c.draws)
      EXPECT_EQ(Random(range), value) << c.name;
    EXPECT_EQ(RandSeed, end) << c.name << ": another number of draws";
  }
}

TEST(NameGenTest, ListNames) {
  TNameGen names;
  names.SetNames({"Alpha", "Beta", "Gamma"});
  RandSeed = 0;  // draws Random(3) = 0, 0, 2, 0, 0, 2
  Names got;
  for (int i = 0; i < 6; ++i)
    got.push_back(names.NextName());
  EXPECT_EQ(got, (Names{"Alpha", "Beta", "Gamma", "Alpha", "Beta", "Gamma"}));
  // The scan goes forward from the drawn entry past those handed out, and wraps around.
  names.SetNames({"A", "B", "C"});
  names.Marks = {!names.FreshMark, names.FreshMark, !names.FreshMark};
  names.UsedCount = 2;
  RandSeed = 22;  // draws Random(3) = 2
  EXPECT_EQ(names.NextName(), "B");
}

constexpr time_t LongAgo = 1'600'000'000;

void SetModified(const std::string& path, long nanoseconds = 0) {
  const timespec times[2] = {{LongAgo, nanoseconds}, {LongAgo, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(TownNameCacheTest, NamesAreKeptWhileTheFileIsUnchanged) {
  const testing::TTempFolder dir;
  const std::string file = dir.Path("towns.txt");
  const struct {
    std::string bytes;  // written over the file (empty: left alone), or put in its place
    long nanoseconds;   // of the new modification time; -1: just written
    bool replaced;
    Names after;
  } cases[] = {
      {"", 0, false, {"Aa", "Bb"}},
      {"Cc\nDd\n", 1, false, {"Cc", "Dd"}},  // same size, another nanosecond
      {"Aa\nBb\nEe\n", 0, false, {"Aa", "Bb", "Ee"}},
      {"Ff\nGg\n", 0, true, {"Ff", "Gg"}},    // same size and time, another file
      {"Aa\nBb\n", -1, false, {"Aa", "Bb"}},  // its time may not show the next change
  };
  for (const auto& c : cases) {
    SetModified(dir.Write("towns.txt", "Aa\nBb\n"));
    const auto first = CachedTownNames(file);
    if (!c.bytes.empty()) {
      const std::string written = dir.Write(c.replaced ? "other.txt" : "towns.txt", c.bytes);
      if (c.nanoseconds >= 0) SetModified(written, c.nanoseconds);
      if (c.replaced) std::filesystem::rename(written, file);
    }
    const auto second = CachedTownNames(file);
    EXPECT_EQ(*second, c.after) << c.bytes;
    EXPECT_EQ(second == first, c.bytes.empty()) << c.bytes;
    EXPECT_EQ(CachedTownNames(file) == second, c.nanoseconds >= 0) << c.bytes;
  }
}

TEST(TownNameCacheTest, AFileThatBecameUnreadableStillFails) {
  const testing::TTempFolder dir;
  const std::string file = dir.Write("towns.txt", "Aa\n");
  SetModified(file);
  CachedTownNames(file);
  std::filesystem::remove(file);
  EXPECT_THROW(CachedTownNames(file), TError);
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop a privileged user";
  SetModified(dir.Write("towns.txt", "Aa\n"));
  CachedTownNames(file);
  ASSERT_EQ(::chmod(file.c_str(), 0), 0);
  EXPECT_THROW(CachedTownNames(file), TError);
}

}  // namespace
}  // namespace hillograph
