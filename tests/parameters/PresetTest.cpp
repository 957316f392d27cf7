#include "parameters/Preset.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <string>

#include "synthesis/base/Error.h"
#include "tests/FailingDisk.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

// What a preset without any of the keys loads.
TMapParameters LoadDefaults() {
  TMapParameters p;
  p.Width = p.Height = 100;
  p.RandSeed = 0;
  p.Diversity = 500;
  p.LandBorder = p.MapFrame = p.Grid = p.SeaMin = p.SeaMax = p.Plain = p.Hill = p.Mountain = 0;
  p.Shadows = 10;
  return p;
}

TEST(PresetTest, TheStartUpValuesSaveAsTheirFileAndLoadBack) {
  const testing::TTempFolder folder;
  WritePreset(folder.Path("start.hpf"), TMapParameters{});
  EXPECT_EQ(folder.Read("start.hpf"),
            "[Params]\nWidth=640\nHeight=480\nRandSeed=123456789\nDiversity=700\nWaterAmount=150\n"
            "TownAmount=30\nTownDB=\n\n[Style]\nLandBorder=3158016\nMapFrame=2105376\n"
            "Grid=10506272\nSeaMin=15761488\nSeaMax=16748656\nPlain=5685628\nHill=2412489\n"
            "Mountain=1077376\nGridSize=80\nShadows=30\n\n[x]\nAutoRefresh=1\n");
  EXPECT_EQ(ReadPreset(folder.Path("start.hpf")), TMapParameters{});
}

// A file holding none of the keys is refused, whatever else it holds; one key makes a preset.
TEST(PresetTest, AFileWithNoneOfTheKeysIsNoPreset) {
  const testing::TTempFolder folder;
  const struct {
    std::string text;
    bool isPreset;
  } cases[] = {
      {std::string("\x89PNG\r\n\x1a\n\0\0[Params]\n", 17), false},
      {"", false},
      {"; nothing of ours\n[Other]\nWidth=640\n[Params]\nWide=640\n", false},
      {"[Params]\rWidth=7\rHeight=9\r", false},  // lone CRs end no lines
      {"Width=640\n[Params] Height=480", false},
      {"[x]\nautorefresh=\n", true},
  };
  for (const auto& c : cases) {
    const std::string path = folder.Write("p.hpf", c.text);
    if (c.isPreset) {
      EXPECT_EQ(ReadPreset(path), LoadDefaults()) << c.text;
      continue;
    }
    try {
      ReadPreset(path);
      ADD_FAILURE() << c.text << " loaded";
    } catch (const TError& e) {
      EXPECT_EQ(std::string(e.what()), path + " is not a preset: it holds none of its keys.");
    }
  }
}

// Whatever the file holds, loading takes what it can read and the defaults for the rest.
TEST(PresetTest, LoadsWhatItCanRead) {
  const std::string tenMegabytes(10'000'000, '7');
  const struct {
    std::string text;
    void (*expect)(TMapParameters&);
  } cases[] = {
      {"[Style]\nLandBorder=$303000\nGrid=-1\nPlain=green",
       [](TMapParameters& p) { p.LandBorder = 3158016, p.Grid = 0xFFFFFFFF; }},
      {"[Params]\nWidth =  \t 5000 \nHeight=\" +0\"\nRandSeed=-5\nDiversity=640.5",
       [](TMapParameters& p) { p.Width = 1000, p.Height = 1, p.RandSeed = 0; }},
      {"[Params]\nTownDB= towns.txt \n[x]\nAutoRefresh=true",
       [](TMapParameters& p) { p.TownDB = "towns.txt"; }},
      {"[Params]\nTownDB=" + tenMegabytes + "\nHeight=9\n[x]\nAutoRefresh=-0",
       [](TMapParameters& p) {
         p.TownDB = std::string(2047, '7'), p.Height = 9, p.AutoRefresh = false;
       }},
      {"[PARAMS]\nwidth=7\nWidth=8\n[style]\nGRIDSIZE=1000\n[Params]\nHeight=9\n[Style]"
       "\nAutoRefresh=0",
       [](TMapParameters& p) { p.Width = 7, p.GridSize = 200; }},  // the first of each counts
      {std::string("[Params]\nWid") + '\0' + "th=7\nHeight=9" + '\0' +
           "\n\xFF\n[Style]\nShadows=50\n",
       [](TMapParameters& p) { p.Shadows = 50; }},
      {"[" + tenMegabytes + "]\nWidth=3\n;" + tenMegabytes + "\n[Params]\nHeight=" + tenMegabytes,
       [](TMapParameters&) {}},
      {"[Params]\nWidth=99999999999\nHeight=1e308\nRandSeed=0x\n[Style]\nGrid=$\n[x]\nAutoRefresh="
       "2",
       [](TMapParameters&) {}},  // beyond 32 bits: unreadable, not brought into range
  };
  const testing::TTempFolder folder;
  for (const auto& c : cases) {
    TMapParameters expected = LoadDefaults();
    c.expect(expected);
    EXPECT_EQ(ReadPreset(folder.Write("p.hpf", c.text)), expected) << c.text.substr(0, 80);
  }
}

TEST(PresetTest, SavingIntoAnExistingFileKeepsEverythingElse) {
  const testing::TTempFolder folder;
  folder.Write(
      "mine.hpf",
      "; my preset\r\n[other]\r\nWidth=5\r\n[params]\r\nWIDTH = 1\r\n; seed\r\nrandseed=7\r\n"
      "Comment=kept\r\n\r\n[STYLE]\r\nshadows=3\r\n");
  TMapParameters params;
  params.TownDB = " towns.txt";
  params.AutoRefresh = false;
  params.TownAmount = 30.5;  // saved rounded half to even
  WritePreset(folder.Path("mine.hpf"), params);
  EXPECT_EQ(folder.Read("mine.hpf"),
            "; my preset\r\n[other]\r\nWidth=5\r\n[params]\r\nWIDTH = 640\r\n; seed\r\n"
            "randseed=123456789\r\nComment=kept\r\nHeight=480\r\nDiversity=700\r\n"
            "WaterAmount=150\r\nTownAmount=30\r\nTownDB=\" towns.txt\"\r\n\r\n[STYLE]\r\n"
            "shadows=30\r\nLandBorder=3158016\r\nMapFrame=2105376\r\nGrid=10506272\r\n"
            "SeaMin=15761488\r\nSeaMax=16748656\r\nPlain=5685628\r\nHill=2412489\r\n"
            "Mountain=1077376\r\nGridSize=80\r\n\r\n[x]\r\nAutoRefresh=0\r\n");
  params.TownAmount = 30;
  EXPECT_EQ(ReadPreset(folder.Path("mine.hpf")), params);
}

TEST(PresetTest, AFailedSaveLeavesTheEarlierFileByteForByte) {
  struct TCase {
    const char* what;
    std::string townDB;
    long diskBudget;  // bytes the disk takes before it fails; negative: a disk that works
  };
  const TCase cases[] = {
      {"a value that cannot stand in one line", "two\nlines", -1},
      {"a disk that fails in the middle", "towns.txt", 200},
  };
  const std::string earlier =
      "\xEF\xBB\xBF; mine\r\n[Params]\r\nWidth=5\r\n[x]\r\nAutoRefresh=0\r\n";
  for (const TCase& c : cases) {
    const testing::TTempFolder folder;
    const std::string file = folder.Write("p.hpf", earlier);
    TMapParameters params;
    params.TownDB = c.townDB;
    try {
      std::optional<testing::TFailingDiskScope> disk;
      if (c.diskBudget >= 0) disk.emplace(c.diskBudget, EIO);
      WritePreset(file, params);
      ADD_FAILURE() << c.what;
    } catch (const TError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + file) << c.what;
    }
    EXPECT_EQ(folder.Read("p.hpf"), earlier) << c.what;
    EXPECT_EQ(folder.Entries(), 1) << c.what;
  }
}

}  // namespace
}  // namespace hillograph
