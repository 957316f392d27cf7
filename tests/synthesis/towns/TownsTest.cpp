#include "synthesis/towns/Towns.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "synthesis/Generator.h"
#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"
#include "synthesis/raster/LabelFont.h"
#include "synthesis/terrain/Plasma.h"
#include "tests/TempFolder.h"
#include "tests/synthesis/PictureTesting.h"
#include "tests/synthesis/terrain/DrawCounting.h"

namespace hillograph {
namespace {

using testing::FilledPicture;
using testing::PixelAt;
using testing::StateAfter;

struct TMapCase {
  std::int32_t width;
  std::int32_t height;
  std::uint32_t seed;
  std::int32_t waterLevel;
  double density;
  std::int32_t diversity = 700;
};

struct TRendered {
  TPicture picture;
  TTownList towns;
  TWaterMask mask;
  std::uint32_t afterPlasma = 0;  // the generator's state when the town pass starts
  std::uint32_t after = 0;        // and when the render ends
};

TRendered Render(const TMapCase& c, const std::string& townDB = "") {
  TRendered r;
  RandSeed = c.seed;
  const TPlasmaFractal plasma(c.width, c.height, c.diversity);
  r.afterPlasma = RandSeed;
  r.mask = BuildWaterMask(plasma.Heights, c.waterLevel);
  RandSeed = c.seed;
  GenerateMap(r.picture, c.width, c.height, c.diversity, c.waterLevel, c.density, townDB, &r.towns);
  r.after = RandSeed;
  return r;
}

std::int64_t LandCount(const TWaterMask& mask) {
  return std::count(mask.Data(), mask.Data() + std::int64_t{mask.Width()} * mask.Height(), 0);
}

// The town scan written out plainly, as a check on the pass: where the towns go, their kinds,
// names and label sizes, and the draws they take.
TTownList ScanTownsLiterally(const TWaterMask& mask, double density, TNameGen& names) {
  TTownList towns;
  std::int32_t y = 0;
  while (y < mask.Height()) {
    std::int32_t nextY = y + 1;
    std::int32_t x = 0;
    while (x < mask.Width()) {
      if (mask[x][y]) {
        x = x + 1;
      } else if (Random() < density) {
        const std::int32_t kind = Random(4);
        const std::string name = names.NextName();
        const std::int32_t width = LabelTextWidth(name, TownStyles[kind]);
        const std::int32_t height = LabelTextHeight(TownStyles[kind]);
        towns.push_back({x, y, kind, name, width, height});
        x = x + width + 5 + Random(5);
        nextY = y + height + 5 + Random(5);
      } else {
        x = x + 1;
      }
    }
    y = nextY;
  }
  return towns;
}

TEST(TownsTest, TheDefaultMapUpToItsFirstTown) {
  const TRendered r = Render({640, 480, 123456789, 150, 0.003});
  std::int64_t landBefore = 0;  // land pixels the scan visits up to and including the first town
  for (std::int32_t y = 0; y <= 51; ++y) {
    for (std::int32_t x = 0; x < (y < 51 ? 640 : 634); ++x)
      landBefore += r.mask[x][y] ? 0 : 1;
  }
  EXPECT_EQ(landBefore, 168);
  RandSeed = r.afterPlasma;
  for (int draw = 1; draw < 168; ++draw)
    ASSERT_GE(Random(), 0.003) << "draw " << draw << " would place a town";
  EXPECT_LT(Random(), 0.003);
  EXPECT_EQ(Random(4), 1);

  ASSERT_FALSE(r.towns.empty());
  EXPECT_EQ(r.towns[0].X, 633);
  EXPECT_EQ(r.towns[0].Y, 51);
  EXPECT_EQ(r.towns[0].Kind, 1);
  EXPECT_EQ(r.towns[0].LabelHeight, 17);
  for (std::int32_t x = 0; x < 640; ++x) {
    ASSERT_EQ(PixelAt(r.picture, x, 0), MapStyle.MapFrameColor) << x;
    ASSERT_EQ(PixelAt(r.picture, x, 479), MapStyle.MapFrameColor) << x;
  }
  for (std::int32_t y = 0; y < 480; ++y) {
    ASSERT_EQ(PixelAt(r.picture, 0, y), MapStyle.MapFrameColor) << y;
    ASSERT_EQ(PixelAt(r.picture, 639, y), MapStyle.MapFrameColor) << y;
  }
}

TEST(TownsTest, ThePassPlacesTownsAsThePlainScanDoes) {
  const TMapCase cases[] = {
      {640, 480, 123456789, 150, 0.003},
      {333, 211, 42, 120, 0.01},
      {200, 150, 7, 60, 1.0},
      {97, 300, 2024, 180, 0.05},
      {1000, 40, 99, 100, 0.5},
      {1, 1, 5, 0, 1.0},
      {50, 50, 11, 0, 0x1p-32},
      {120, 90, 3, 140, 0.0123456789},
      {1000, 1000, 123456789, 150, 0.003},
      {640, 480, 1, 0, 0.0},
      {7, 900, 13, 0, 0.2},
  };
  for (const auto& c : cases) {
    const TRendered r = Render(c);
    RandSeed = r.afterPlasma;
    TNameGen names;
    EXPECT_EQ(r.towns, ScanTownsLiterally(r.mask, c.density, names))
        << c.width << " x " << c.height << " seed " << c.seed;
    EXPECT_EQ(r.after, RandSeed) << c.width << " x " << c.height << " seed " << c.seed;
  }
}

TEST(TownsTest, NoTownsDrawOncePerLandPixelAndAllWaterDrawsNothing) {
  const struct {
    TMapCase map;
    bool someLand;
  } cases[] = {
      {{640, 480, 123456789, 150, 0.0}, true},
      {{300, 200, 77, 0, 0.0}, true},  // no water at all
      {{300, 200, 77, 255, 0.003}, false},
      {{300, 200, 77, 255, 1.0}, false},
  };
  for (const auto& c : cases) {
    const TRendered r = Render(c.map);
    EXPECT_TRUE(r.towns.empty());
    EXPECT_EQ(LandCount(r.mask) > 0, c.someLand);
    EXPECT_EQ(r.after, StateAfter(r.afterPlasma, LandCount(r.mask)))
        << "one draw per land pixel, none per water pixel";
  }
}

TEST(TownsTest, AtFullDensityEveryScannedRowGetsATownAtItsFirstLand) {
  const TRendered r = Render({400, 300, 31337, 130, 1.0});
  ASSERT_GT(r.towns.size(), 10u);
  const auto firstLand = [&](std::int32_t y, std::int32_t from) {
    for (std::int32_t x = from; x < 400; ++x) {
      if (!r.mask[x][y]) return x;
    }
    return -1;
  };
  std::int32_t rowStart = -1;
  for (std::size_t i = 0; i < r.towns.size(); ++i) {
    const TTown& town = r.towns[i];
    ASSERT_FALSE(r.mask[town.X][town.Y]);
    const bool newRow = i == 0 || town.Y != r.towns[i - 1].Y;
    if (newRow) {
      EXPECT_EQ(town.X, firstLand(town.Y, 0)) << "town " << i;
      if (i == 0) {
        for (std::int32_t y = 0; y < town.Y; ++y)
          EXPECT_EQ(firstLand(y, 0), -1) << "row " << y << " has land but no town";
      } else {
        const TTown& last = r.towns[i - 1];  // the row's last town decides the next row
        EXPECT_GE(town.Y, last.Y + last.LabelHeight + 5);
        EXPECT_LE(town.Y, last.Y + last.LabelHeight + 9);
      }
      rowStart = town.X;
    } else {
      const TTown& left = r.towns[i - 1];
      const std::int32_t resume = left.X + left.LabelWidth + 5;
      EXPECT_GE(town.X, resume) << "town " << i;
      EXPECT_LE(town.X, std::max(resume + 4, firstLand(town.Y, resume + 4))) << "town " << i;
    }
    EXPECT_GE(town.X, rowStart);
  }
}

TEST(TownsTest, TownsAtTheEdgesAreClipped) {
  // One land pixel in a sea: a town there shows the part of its marker and label that the same
  // town shows in the middle of a larger picture.
  constexpr TColor Sea = RGB(90, 140, 250);
  constexpr std::int32_t Size = 40, Offset = 20;
  for (const auto& [tx, ty] : {std::pair{0, 0}, {0, 12}, {12, 0}, {39, 39}, {39, 0}}) {
    TWaterMask edgeMask(Size, Size);
    std::fill(edgeMask.Data(), edgeMask.Data() + Size * Size, 1);
    edgeMask[tx][ty] = 0;
    TWaterMask middleMask(Size + 2 * Offset, Size + 2 * Offset);
    std::fill(middleMask.Data(), middleMask.Data() + (Size + 2 * Offset) * (Size + 2 * Offset), 1);
    middleMask[tx + Offset][ty + Offset] = 0;

    TPicture edge = FilledPicture(Size, Size, Sea);
    TPicture middle = FilledPicture(Size + 2 * Offset, Size + 2 * Offset, Sea);
    TTownList edgeTowns, middleTowns;
    for (auto [picture, mask, towns] : {std::tuple{&edge, &edgeMask, &edgeTowns},
                                        std::tuple{&middle, &middleMask, &middleTowns}}) {
      TCanvas canvas(*picture);
      TNameGen names;
      names.SetNames(std::vector<std::string>{"Gy\xC3\xB6r"});  // Györ
      RandSeed = 1234;
      DrawTowns(canvas, *mask, 1.0, names, towns);
    }
    ASSERT_EQ(edgeTowns.size(), 1u);
    EXPECT_EQ(edgeTowns[0].X, tx);
    EXPECT_EQ(edgeTowns[0].Y, ty);
    bool markerShows = false;
    for (std::int32_t y = 0; y < Size; ++y) {
      for (std::int32_t x = 0; x < Size; ++x) {
        ASSERT_EQ(PixelAt(edge, x, y), PixelAt(middle, x + Offset, y + Offset))
            << "town at " << tx << ", " << ty << ", pixel " << x << ", " << y;
        markerShows = markerShows || PixelAt(edge, x, y) == clBlack;
      }
    }
    EXPECT_TRUE(markerShows);
  }
}

TEST(TownsTest, NamesComeFromTheTownDatabaseInCycles) {
  const testing::TTempFolder dir;
  const std::string db = dir.Write("towns.txt", "Alpha\r\nBeta\r\nGamma\r\n");
  const TRendered r = Render({300, 300, 555, 100, 0.02}, db);
  ASSERT_GE(r.towns.size(), 7u);
  for (std::size_t start = 0; start + 3 <= r.towns.size(); start += 3) {
    std::vector<std::string> cycle;
    for (std::size_t i = start; i < start + 3; ++i)
      cycle.push_back(r.towns[i].Name);
    std::sort(cycle.begin(), cycle.end());
    EXPECT_EQ(cycle, (std::vector<std::string>{"Alpha", "Beta", "Gamma"})) << "from " << start;
  }
}

TEST(TownsTest, NoTownDatabaseGivesInventedNames) {
  const testing::TTempFolder dir;
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  const TMapCase map{250, 200, 4711, 110, 0.01};
  const TRendered invented = Render(map);
  ASSERT_FALSE(invented.towns.empty());
  ASSERT_EQ(::symlink(dir.Path("missing.txt").c_str(), dir.Path("dangling").c_str()), 0);
  for (const std::string& db :
       {std::string(), dir.Path(""), dir.Path("missing.txt"), std::string("/dev/zero"),
        dir.Path("pipe"), dir.Write("empty.txt", ""), dir.Path("dangling"),
        dir.Path(std::string(5000, 'n')),
        dir.Write("only-ctrl-z.txt",
                  "\x1A"
                  "Aa\n")}) {
    const TRendered r = Render(map, db);
    EXPECT_EQ(r.towns, invented.towns) << db;
    EXPECT_TRUE(std::equal(r.picture.Bits(), r.picture.Bits() + r.picture.Stride() * 200,
                           invented.picture.Bits()))
        << db;
  }
}

TEST(TownsTest, TownDatabasesOfAnyBytesRender) {
  const testing::TTempFolder dir;
  const struct {
    const char* what;
    std::string bytes;
    std::set<std::string> names;
  } cases[] = {
      {"NUL bytes", std::string("A\0b\r\n\0\n", 7), {std::string("A\0b", 3), std::string(1, '\0')}},
      {"invalid UTF-8 among Latin-1",
       "M\xC3\xBCnster\nK\xF6ln\n\xC3\x28\n",
       {"M\xC3\x83\xC2\xBCnster", "K\xC3\xB6ln", "\xC3\x83("}},
      {"control characters", "\x01\x7F\t\n\x1B[31m\n", {"\x01\x7F\t", "\x1B[31m"}},
      {"empty names", "\n\n", {""}},
  };
  for (const auto& c : cases) {
    const TRendered r = Render({200, 150, 4711, 110, 0.01}, dir.Write("towns.txt", c.bytes));
    ASSERT_FALSE(r.towns.empty()) << c.what;
    for (const TTown& town : r.towns)
      EXPECT_EQ(c.names.count(town.Name), 1u) << c.what;
  }
}

TEST(TownsTest, AnUnreadableTownDatabaseFailsBeforeThePictureChanges) {
  TPicture picture = FilledPicture(7, 5, RGB(1, 2, 3));
  const TPicture before = picture;
  RandSeed = 2468;
  try {
    GenerateMap(picture, 64, 48, 700, 150, 0.5, "/proc/self/mem");
    ADD_FAILURE() << "the render went on";
  } catch (const TError& e) {
    EXPECT_STREQ(e.what(), "Cannot read town database \"/proc/self/mem\": I/O error 5");
  }
  EXPECT_EQ(RandSeed, 2468u) << "nothing was drawn";
  ASSERT_EQ(picture.Width(), 7);
  ASSERT_EQ(picture.Height(), 5);
  EXPECT_TRUE(std::equal(picture.Bits(), picture.Bits() + picture.Stride() * 5, before.Bits()));
}

}  // namespace
}  // namespace hillograph
