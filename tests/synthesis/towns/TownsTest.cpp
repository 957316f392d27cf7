#include "synthesis/towns/Towns.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <string>

#include "oracles/TownScanOracle.h"
#include "synthesis/Generator.h"
#include "synthesis/base/Random.h"
#include "synthesis/terrain/Plasma.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

struct TMapCase {
  std::int32_t width, height;
  std::uint32_t seed;
  std::int32_t waterLevel;
  double density;
};

// Renders the map, and scans it as the oracle does from where the plasma left the generator.
std::pair<TTownList, TTownList> RenderAndScan(const TMapCase& c, const std::string& townDB = "",
                                              bool namesFromTownDB = false) {
  RandSeed = c.seed;
  const TPlasmaFractal plasma(c.width, c.height, 700);
  const std::uint32_t afterPlasma = RandSeed;
  RandSeed = c.seed;
  TPicture picture;
  TTownList towns;
  GenerateMap(picture, c.width, c.height, 700, c.waterLevel, c.density, townDB, &towns);
  const std::uint32_t after = RandSeed;
  RandSeed = afterPlasma;
  TNameGen names;
  if (namesFromTownDB) names.LoadFromFile(townDB);
  TTownList scanned =
      testing::ScanTownsLiterally(BuildWaterMask(plasma.Heights, c.waterLevel), c.density, names);
  EXPECT_EQ(after, RandSeed) << "the render made another number of draws";
  return {towns, scanned};
}

TEST(TownsTest, ThePassPlacesTownsAsThePlainScanDoes) {
  const TMapCase cases[] = {
      {640, 480, 123456789, 150, 0.003},
      {333, 211, 42, 120, 0.01},
      {200, 150, 7, 60, 1.0},
      {1000, 40, 99, 100, 0.5},
      {1, 1, 5, 0, 1.0},
      {50, 50, 11, 0, 0x1p-32},
      {120, 90, 3, 140, 0.0123456789},
      {640, 480, 1, 0, 0.0},
      {300, 200, 77, 255, 1.0},
      {7, 900, 13, 0, 0.2},
      {1000, 1000, 123456789, 150, 0.003},
      {2049, 1537, 31, 150, 0.003},
  };
  for (const auto& c : cases) {
    const auto [towns, scanned] = RenderAndScan(c);
    EXPECT_EQ(towns, scanned) << c.width << " x " << c.height << ", seed " << c.seed;
  }
}

// Names come from a town database that is a regular file, in cycles; anything else, or a file
// without names, gives invented names. Lines hold any bytes.
TEST(TownsTest, TownDatabases) {
  const testing::TTempFolder dir;
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  const struct {
    std::string townDB;
    std::set<std::string> names;  // empty: invented ones
  } cases[] = {
      {dir.Write("towns.txt", "Alpha\r\nBeta\r\nGamma\r\n"), {"Alpha", "Beta", "Gamma"}},
      {dir.Write("odd.txt", std::string("A\0b\r\n\x1B[31m\n\n", 10)),
       {std::string("A\0b", 3), "\x1B[31m", ""}},
      {dir.Path("missing.txt"), {}},
      {dir.Path(""), {}},
      {"/dev/zero", {}},
      {dir.Path("pipe"), {}},
      {dir.Write("empty.txt", ""), {}},
      {dir.Path(std::string(5000, 'n')), {}},
  };
  for (const auto& c : cases) {
    const auto [towns, scanned] =
        RenderAndScan({250, 200, 4711, 110, 0.02}, c.townDB, !c.names.empty());
    ASSERT_GE(towns.size(), 4u) << c.townDB;
    EXPECT_EQ(towns, scanned) << c.townDB;
    for (const TTown& town : towns)
      EXPECT_EQ(c.names.count(town.Name), c.names.empty() ? 0u : 1u) << c.townDB;
  }
}

}  // namespace
}  // namespace hillograph
