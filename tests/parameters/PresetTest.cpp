#include "parameters/Preset.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include "synthesis/base/Error.h"
#include "tests/FailingDisk.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

// The file "Save preset..." writes right after start-up.
constexpr const char* StartUpPreset =
    "[Params]\n"
    "Width=640\n"
    "Height=480\n"
    "RandSeed=123456789\n"
    "Diversity=700\n"
    "WaterAmount=150\n"
    "TownAmount=30\n"
    "TownDB=\n"
    "\n"
    "[Style]\n"
    "LandBorder=3158016\n"
    "MapFrame=2105376\n"
    "Grid=10506272\n"
    "SeaMin=15761488\n"
    "SeaMax=16748656\n"
    "Plain=5685628\n"
    "Hill=2412489\n"
    "Mountain=1077376\n"
    "GridSize=80\n"
    "Shadows=30\n"
    "\n"
    "[x]\n"
    "AutoRefresh=1\n";

// What a preset without any of the keys loads.
TMapParameters LoadDefaults() {
  TMapParameters p;
  p.Width = p.Height = 100;
  p.RandSeed = 0;
  p.Diversity = 500;
  p.WaterAmount = 150;
  p.TownAmount = 30;
  p.TownDB = "";
  p.LandBorder = p.MapFrame = p.Grid = p.SeaMin = p.SeaMax = p.Plain = p.Hill = p.Mountain = 0;
  p.GridSize = 80;
  p.Shadows = 10;
  p.AutoRefresh = true;
  return p;
}

TEST(PresetTest, TheStartUpValuesSaveAsTheirFileAndLoadBack) {
  const testing::TTempFolder folder;
  WritePreset(folder.Path("start.hpf"), TMapParameters{});
  EXPECT_EQ(folder.Read("start.hpf"), StartUpPreset);
  EXPECT_EQ(ReadPreset(folder.Path("start.hpf")), TMapParameters{});
}

TEST(PresetTest, NumbersSaveRoundedHalvesToEven) {
  const testing::TTempFolder folder;
  const struct {
    double TMapParameters::*field;
    double value;
    const char* line;
  } cases[] = {
      {&TMapParameters::TownAmount, 30.5, "TownAmount=30\n"},
      {&TMapParameters::TownAmount, 31.5, "TownAmount=32\n"},
      {&TMapParameters::RandSeed, 2.5, "RandSeed=2\n"},
      {&TMapParameters::Shadows, 10.5, "Shadows=10\n"},
  };
  for (const auto& c : cases) {
    TMapParameters params;
    params.*c.field = c.value;
    WritePreset(folder.Path("p.hpf"), params);
    EXPECT_NE(folder.Read("p.hpf").find(c.line), std::string::npos) << c.line;
  }
}

TEST(PresetTest, MissingFilesSectionsAndKeysGiveTheLoadDefaults) {
  const testing::TTempFolder folder;
  folder.Write("empty.hpf", "");
  folder.Write("foreign.hpf", "; nothing of ours\n[Other]\nWidth=640\n[Params]\nWide=640\n");
  for (const char* name : {"empty.hpf", "foreign.hpf", "missing.hpf", ""})
    EXPECT_EQ(ReadPreset(folder.Path(name)), LoadDefaults()) << name;
}

TEST(PresetTest, LoadsEveryValueForm) {
  const struct {
    std::string text;
    void (*expect)(TMapParameters&);
  } cases[] = {
      {"[Style]\nLandBorder=0x303000", [](TMapParameters& p) { p.LandBorder = 3158016; }},
      {"[Style]\nLandBorder=$303000", [](TMapParameters& p) { p.LandBorder = 3158016; }},
      {"[Style]\nGrid=-1", [](TMapParameters& p) { p.Grid = 0xFFFFFFFF; }},
      {"[Style]\nPlain=green", [](TMapParameters&) {}},
      {"[Params]\nWidth =  \t 640 ", [](TMapParameters& p) { p.Width = 640; }},
      {"[Params]\nWidth=\" +640\"", [](TMapParameters& p) { p.Width = 640; }},
      {"[Params]\nWidth=5000", [](TMapParameters& p) { p.Width = 1000; }},
      {"[Params]\nWidth=0", [](TMapParameters& p) { p.Width = 1; }},
      {"[Params]\nRandSeed=-5", [](TMapParameters& p) { p.RandSeed = 0; }},
      {"[Params]\nWidth=640.5", [](TMapParameters&) {}},
      {"[Params]\nWidth=", [](TMapParameters&) {}},
      {"[Params]\nTownDB= towns.txt ", [](TMapParameters& p) { p.TownDB = "towns.txt"; }},
      {"[Params]\nTownDB=\" towns.txt\"", [](TMapParameters& p) { p.TownDB = " towns.txt"; }},
      {"[Params]\nTownDB=" + std::string(3000, 'n'),
       [](TMapParameters& p) { p.TownDB = std::string(2047, 'n'); }},
      {"[x]\nAutoRefresh=true", [](TMapParameters&) {}},
      {"[x]\nAutoRefresh=false", [](TMapParameters&) {}},
      {"[x]\nAutoRefresh=0", [](TMapParameters& p) { p.AutoRefresh = false; }},
      {"[x]\nAutoRefresh=2", [](TMapParameters&) {}},
      {"[Style]\nAutoRefresh=0", [](TMapParameters&) {}},  // only section "x" counts
      {"[PARAMS]\nwidth=7\n[style]\nGRIDSIZE=30\n[X]\nautorefresh=0",
       [](TMapParameters& p) {
         p.Width = 7;
         p.GridSize = 30;
         p.AutoRefresh = false;
       }},
      {"[Style]\r\nShadows=50\r\nGridSize=1000\r\n",
       [](TMapParameters& p) {
         p.Shadows = 50;
         p.GridSize = 200;
       }},
  };
  for (const auto& c : cases) {
    TMapParameters expected = LoadDefaults();
    c.expect(expected);
    EXPECT_EQ(PresetParameters(TProfileText(c.text)), expected) << c.text;
  }
}

// Bytes of no text format, the same on every run.
std::string Garbage(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 12345;
  for (char& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<char>(state >> 23);
  }
  return bytes;
}

TEST(PresetTest, BadFilesLoadWithTheDefaultsWhereAValueIsUnreadable) {
  const testing::TTempFolder folder;
  const std::string tenMegabytes(10'000'000, '7');
  const struct {
    const char* what;
    std::string text;
    void (*expect)(TMapParameters&);
  } cases[] = {
      {"binary garbage", Garbage(100'000), [](TMapParameters&) {}},
      {"garbage around a section",
       Garbage(5000) + "\n[Params]\nWidth=7\n" + std::string("\0\xFF\n", 3) + "Height=9\n" +
           Garbage(5000),
       [](TMapParameters& p) {
         p.Width = 7;
         p.Height = 9;
       }},
      {"NUL bytes in names and values", std::string("[Params]\nWid\0th=7\nHeight=9\0\n", 27),
       [](TMapParameters&) {}},
      {"no line breaks", "[Params] Width=640 Height=480", [](TMapParameters&) {}},
      {"no section", "Width=640\nHeight=480\n", [](TMapParameters&) {}},
      {"lone CRs end no lines", "[Params]\rWidth=7\rHeight=9\r", [](TMapParameters&) {}},
      {"a 10 MB value", "[Params]\nWidth=" + tenMegabytes + "\nHeight=9\n",
       [](TMapParameters& p) { p.Height = 9; }},
      {"a 10 MB town database name", "[Params]\nTownDB=" + tenMegabytes + "\nHeight=9\n",
       [](TMapParameters& p) {
         p.TownDB = std::string(2047, '7');
         p.Height = 9;
       }},
      {"a 10 MB comment", ";" + tenMegabytes + "\n[Params]\nHeight=9\n",
       [](TMapParameters& p) { p.Height = 9; }},
      {"a 10 MB section name", "[" + tenMegabytes + "]\nWidth=3\n[Params]\nHeight=9\n",
       [](TMapParameters& p) { p.Height = 9; }},
      {"the first of repeated sections and keys counts",
       "[Params]\nWidth=7\nwidth=8\n[Style]\nGrid=1\n[PARAMS]\nHeight=9\nWidth=10\n[style]\nGrid="
       "2\n",
       [](TMapParameters& p) {
         p.Width = 7;
         p.Grid = 1;
       }},
      {"1e308",
       "[Params]\nWidth=1e308\nRandSeed=1e308\n[Style]\nGrid=1e308\nShadows=1e308\n[x]\n"
       "AutoRefresh=1e308",
       [](TMapParameters&) {}},
      {"-0", "[Params]\nWidth=-0\nRandSeed=-0\n[Style]\nGrid=-0\nShadows=-0\n[x]\nAutoRefresh=-0",
       [](TMapParameters& p) {
         p.Width = 1;  // brought into range
         p.Shadows = 0;
         p.AutoRefresh = false;
       }},
      {"0x", "[Params]\nWidth=0x\n[Style]\nGrid=0x\n[x]\nAutoRefresh=0x", [](TMapParameters&) {}},
      {"$", "[Params]\nWidth=$\n[Style]\nGrid=$\n[x]\nAutoRefresh=$", [](TMapParameters&) {}},
      {"99999999999",
       "[Params]\nWidth=99999999999\nRandSeed=-99999999999\n[Style]\nGrid=99999999999\n"
       "GridSize=99999999999\n[x]\nAutoRefresh=99999999999",
       [](TMapParameters&) {}},  // beyond 32 bits: unreadable, not brought into range
  };
  for (const auto& c : cases) {
    TMapParameters expected = LoadDefaults();
    c.expect(expected);
    EXPECT_EQ(ReadPreset(folder.Write("bad.hpf", c.text)), expected) << c.what;
  }
}

TEST(PresetTest, SavingIntoAnExistingFileKeepsEverythingElse) {
  const testing::TTempFolder folder;
  folder.Write("mine.hpf",
               "; my alpine preset\r\n"
               "[other program]\r\n"
               "Width=5\r\n"
               "[params]\r\n"
               "WIDTH = 1\r\n"
               "; the seed I like\r\n"
               "randseed=7\r\n"
               "Comment=kept\r\n"
               "\r\n"
               "[STYLE]\r\n"
               "shadows=3\r\n");
  TMapParameters params;
  params.TownDB = " towns.txt";
  params.AutoRefresh = false;
  WritePreset(folder.Path("mine.hpf"), params);
  EXPECT_EQ(folder.Read("mine.hpf"),
            "; my alpine preset\r\n"
            "[other program]\r\n"
            "Width=5\r\n"
            "[params]\r\n"
            "WIDTH = 640\r\n"
            "; the seed I like\r\n"
            "randseed=123456789\r\n"
            "Comment=kept\r\n"
            "Height=480\r\n"
            "Diversity=700\r\n"
            "WaterAmount=150\r\n"
            "TownAmount=30\r\n"
            "TownDB=\" towns.txt\"\r\n"
            "\r\n"
            "[STYLE]\r\n"
            "shadows=30\r\n"
            "LandBorder=3158016\r\n"
            "MapFrame=2105376\r\n"
            "Grid=10506272\r\n"
            "SeaMin=15761488\r\n"
            "SeaMax=16748656\r\n"
            "Plain=5685628\r\n"
            "Hill=2412489\r\n"
            "Mountain=1077376\r\n"
            "GridSize=80\r\n"
            "\r\n"
            "[x]\r\n"
            "AutoRefresh=0\r\n");
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
