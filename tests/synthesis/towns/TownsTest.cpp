#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "oracles/TownScanOracle.h"
#include "synthesis/Generator.h"
#include "synthesis/base/Error.h"
#include "synthesis/random/Random.h"
#include "synthesis/terrain/Plasma.h"
#include "synthesis/towns/NameGen.h"
#include "synthesis/towns/TownFile.h"
#include "synthesis/towns/TownNameCache.h"
#include "synthesis/towns/Towns.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

TEST(TownFileTest, Lines) {
  const testing::TTempFolder dir;
  const std::pair<std::string, TTownNames> cases[] = {
      {"Aa\r\nBb\r\n", {"Aa", "Bb"}},
      {"Aa\rBb\nCc", {"AaBb", "Cc"}},  // a lone CR is left out
      {"\r", {""}},
      {"", {}},
      {"Aa\nBb\x1Azz\n", {"Aa", "Bb"}},  // Ctrl-Z ends the file
      {"  \n\n x \n\n", {"  ", "", " x ", ""}},
      {"M\xFCnster\r\n\xC4rhus\r\n", {"M\xC3\xBCnster", "\xC3\x84rhus"}},  // Latin-1
      {"\xEF\xBB\xBFK\xC3\xB6ln\n", {"K\xC3\xB6ln"}},                      // a byte order mark
      // Windows-1252, whose unassigned bytes stay controls
      {"\x80uro \x96 \x9C\x81\n", {"\xE2\x82\xACuro \xE2\x80\x93 \xC5\x93\xC2\x81"}},
      {"\xC3\xBC\n\xFC\n", {"\xC3\x83\xC2\xBC", "\xC3\xBC"}},  // one byte of no UTF-8 decides
      {"\xC0\xAF\n", {"\xC3\x80\xC2\xAF"}},                    // an overlong form is no UTF-8
      {"\xF0\x9F\x97\xBB Fuji\n", {"\xF0\x9F\x97\xBB Fuji"}},  // four bytes of UTF-8
  };
  for (const auto& [bytes, names] : cases)
    EXPECT_EQ(ReadTownFile(dir.Write("towns.txt", bytes)), names) << bytes;
}

TEST(TownFileTest, FailuresNameTheFileAndTheReason) {
  const testing::TTempFolder dir;
  const std::string file = dir.Write("towns.txt", "Aa\n"), huge = dir.Write("huge.txt", "");
  std::filesystem::resize_file(huge, TownFileLimit + 1);  // sparse: nothing is written
  const std::pair<std::string, std::string> cases[] = {
      {dir.Path("missing"), "File not found"},
      {huge, "File too large"},
      {file + "/inside", "Invalid filename"},
      {dir.Path(std::string(5000, 'n')), "Invalid filename"},
      {"/proc/self/mem", "I/O error 5"},  // a regular file whose first page cannot be read
  };
  for (const auto& [name, reason] : cases) {
    try {
      ReadTownFile(name);
      ADD_FAILURE() << "read: " << name;
    } catch (const TError& e) {
      EXPECT_EQ(e.what(), "Cannot read town database \"" + name + "\": " + reason);
    }
  }
}

// The draws of each name: ranges and the values drawn, in turn.
TEST(NameGenTest, WorkedInventedNames) {
  const std::tuple<std::uint32_t, std::vector<std::int32_t>, std::string> cases[] = {
      {0, {6, 0, 2, 0, 14, 12, 9, 1, 14, 3, 2, 1, 9, 2, 14, 2}, "Wekij"},
      {3, {6, 0, 2, 1, 9, 7, 14, 5, 2, 0, 14, 8, 9, 7, 14, 11}, "\xC3\x9Cmr\xC3\xBCv"},
  };
  for (const auto& [seed, draws, name] : cases) {
    RandSeed = seed;
    EXPECT_EQ(TNameGen().NextName(), name);  // without a list it invents
    const std::uint32_t end = RandSeed;
    RandSeed = seed;
    for (std::size_t i = 0; i < draws.size(); i += 2)
      EXPECT_EQ(Random(draws[i]), draws[i + 1]) << name;
    EXPECT_EQ(RandSeed, end) << name << ": another number of draws";
  }
}

void SetModified(const std::string& path, long nanoseconds = 0) {
  const timespec times[2] = {{1'600'000'000, nanoseconds}, {1'600'000'000, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Each row writes new bytes over the file (none: left alone) or puts a file with them in its
// place, modified long ago plus some nanoseconds (-1: just now, so that its time may not show the
// next change).
TEST(TownNameCacheTest, NamesAreKeptWhileTheFileIsUnchangedAndItStillFails) {
  const testing::TTempFolder dir;
  const std::string file = dir.Path("towns.txt");
  const std::tuple<std::string, long, bool> cases[] = {
      {"", 0, false},
      {"Cc\nDd\n", 1, false},  // same size, another nanosecond
      {"Aa\nBb\nEe\n", 0, false},
      {"Ff\nGg\n", 0, true},  // same size and time, another file
      {"Aa\nBb\n", -1, false},
  };
  for (const auto& [bytes, nanoseconds, replaced] : cases) {
    SetModified(dir.Write("towns.txt", "Aa\nBb\n"));
    const auto first = CachedTownNames(file);
    if (!bytes.empty()) {
      const std::string written = dir.Write(replaced ? "other.txt" : "towns.txt", bytes);
      if (nanoseconds >= 0) SetModified(written, nanoseconds);
      if (replaced) std::filesystem::rename(written, file);
    }
    const auto second = CachedTownNames(file);
    EXPECT_EQ(*second, ReadTownFile(file)) << bytes;
    EXPECT_EQ(second == first, bytes.empty()) << bytes;
    EXPECT_EQ(CachedTownNames(file) == second, nanoseconds >= 0) << bytes;
  }
  // The file is opened every time: one that has become unreadable still fails.
  std::filesystem::remove(file);
  EXPECT_THROW(CachedTownNames(file), TError);
  if (::geteuid() == 0) return;  // permission bits do not stop a privileged user
  SetModified(dir.Write("towns.txt", "Aa\n"));
  CachedTownNames(file);
  ASSERT_EQ(::chmod(file.c_str(), 0), 0);
  EXPECT_THROW(CachedTownNames(file), TError);
}

// Renders the map, and scans it as the oracle does from where the plasma left the generator, with
// the names of the town database when it is a regular file (other files give invented names).
TEST(TownsTest, ThePassPlacesTownsAsThePlainScanDoes) {
  const testing::TTempFolder dir;
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  // width, height, seed, water level, town density, town database
  const std::tuple<std::int32_t, std::int32_t, std::uint32_t, std::int32_t, double, std::string>
      cases[] = {
          {333, 211, 42, 120, 0.01, dir.Write("towns.txt", "Alpha\r\nBeta\r\nGamma\r\n")},
          {1, 1, 5, 0, 1.0, ""},
          {50, 50, 11, 0, 0x1p-32, ""},
          {640, 480, 1, 0, 0.0, ""},
          {7, 900, 13, 0, 0.2, dir.Write("odd.txt", std::string("A\0b\r\n\x1B[31m\n\n", 10))},
          {2049, 1537, 31, 150, 0.003, dir.Path("pipe")},
          {2049, 15, 17, 130, 0.01, ""},  // rows all past the last whole block of sixteen
      };
  for (const auto& [width, height, seed, waterLevel, density, townDB] : cases) {
    RandSeed = seed;
    const TPlasmaFractal plasma(width, height, 700);
    const std::uint32_t afterPlasma = RandSeed;
    RandSeed = seed;
    TPicture picture;
    TTownList towns;
    GenerateMap(picture, width, height, 700, waterLevel, density, townDB, &towns);
    const std::uint32_t after = RandSeed;
    RandSeed = afterPlasma;
    TNameGen names;
    if (std::filesystem::is_regular_file(townDB)) names.LoadFromFile(townDB);
    EXPECT_EQ(towns, testing::ScanTownsLiterally(plasma.Heights, waterLevel, density, names))
        << seed << townDB;
    EXPECT_EQ(after, RandSeed) << "another number of draws: " << seed << townDB;
  }
}

}  // namespace
}  // namespace hillograph
