#include "parameters/Preset.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "parameters/Profile.h"
#include "synthesis/base/Error.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

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

// Whatever the file holds, loading takes what it can read and, for the rest, what a file with
// none of its values loads; a file holding none of the keys is no preset.
TEST(PresetTest, LoadsWhatItCanReadOrSaysItIsNoPreset) {
  const std::string tenMegabytes(10'000'000, '7');
  const struct {
    std::string text;
    void (*expect)(TMapParameters&);  // nullptr: no preset
  } cases[] = {
      {"[Style]\nLandBorder=$303000\nGrid=-1\nPlain=green\n[Params]\nWidth =  \t 5000 \n"
       "Height=\" +0\"\nRandSeed=-5\nDiversity=640.5",
       [](TMapParameters& p) {
         p.LandBorder = 3158016, p.Grid = 0xFFFFFFFF, p.Width = 1000, p.Height = 1, p.RandSeed = 0;
       }},
      {"[Params]\nTownDB=" + tenMegabytes + "\nHeight=9\n[x]\nAutoRefresh=-0",
       [](TMapParameters& p) {
         p.TownDB = std::string(2047, '7'), p.Height = 9, p.AutoRefresh = false;
       }},
      {"[PARAMS]\nwidth=7\nWidth=8\n[style]\nGRIDSIZE=1000\n[Params]\nHeight=9\n[Style]"
       "\nAutoRefresh=0",
       [](TMapParameters& p) { p.Width = 7, p.GridSize = 200; }},  // the first of each counts
      {std::string("\x89PNG\r\n\x1a\n\0\0[Params]\n", 17), nullptr},
      {"[Params]\rWidth=7\rHeight=9\r", nullptr},  // lone CRs end no lines
  };
  const testing::TTempFolder folder;
  for (const auto& c : cases) {
    const std::string path = folder.Write("p.hpf", c.text);
    if (c.expect == nullptr) {
      EXPECT_THROW(ReadPreset(path), TError) << c.text;  // the message: in the command's tests
      continue;
    }
    TMapParameters expected;
    expected.Width = expected.Height = 100;
    expected.RandSeed = 0;
    expected.Diversity = 500;
    expected.LandBorder = expected.MapFrame = expected.Grid = expected.SeaMin = expected.SeaMax =
        expected.Plain = expected.Hill = expected.Mountain = 0;
    expected.Shadows = 10;
    c.expect(expected);
    EXPECT_EQ(ReadPreset(path), expected) << c.text.substr(0, 80);
  }
}

TEST(PresetTest, SavingIntoAnExistingFileKeepsEverythingElse) {
  const testing::TTempFolder folder;
  folder.Write("mine.hpf",
               "\xEF\xBB\xBF; my preset\r\n[other]\r\nWidth=5\r\n[params]\r\nWIDTH = 1\r\n"
               "; seed\r\nrandseed=7\r\nComment=kept\r\n\r\n[STYLE]\r\nshadows=3\r\n");
  TMapParameters params;
  params.TownDB = " towns.txt";
  params.AutoRefresh = false;
  params.TownAmount = 30.5;  // saved rounded half to even
  WritePreset(folder.Path("mine.hpf"), params);
  EXPECT_EQ(folder.Read("mine.hpf"),
            "\xEF\xBB\xBF; my preset\r\n[other]\r\nWidth=5\r\n[params]\r\nWIDTH = 640\r\n; seed\r\n"
            "randseed=123456789\r\nComment=kept\r\nHeight=480\r\nDiversity=700\r\n"
            "WaterAmount=150\r\nTownAmount=30\r\nTownDB=\" towns.txt\"\r\n\r\n[STYLE]\r\n"
            "shadows=30\r\nLandBorder=3158016\r\nMapFrame=2105376\r\nGrid=10506272\r\n"
            "SeaMin=15761488\r\nSeaMax=16748656\r\nPlain=5685628\r\nHill=2412489\r\n"
            "Mountain=1077376\r\nGridSize=80\r\n\r\n[x]\r\nAutoRefresh=0\r\n");
  params.TownAmount = 30;
  EXPECT_EQ(ReadPreset(folder.Path("mine.hpf")), params);
}

// A lone CR at the very end is completed to a line break; what cannot stand in one line is
// refused, and the text stays.
TEST(ProfileTextTest, WritesInPlaceOrRefuses) {
  TProfileText ended("[A]\r\nx=1\r");
  ASSERT_TRUE(ended.WriteString("B", "y", "2"));
  EXPECT_EQ(ended.Text(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  const std::tuple<const char*, const char*, const char*> refused[] = {
      {"S", "K=", "v"},  {"S", " K", "v"},         {"S]", "K", "v"},  {"", "K", "v"},
      {"S", "K\n", "v"}, {"S", "K", "two\nlines"}, {"S", "K", "cr\r"}};
  for (const auto& [section, key, value] : refused) {
    TProfileText profile("[S]\nK=old\n");
    EXPECT_FALSE(profile.WriteString(section, key, value)) << section << key << value;
    EXPECT_EQ(profile.Text(), "[S]\nK=old\n");
  }
}

TEST(ProfileTest, ReadExistingNamesWhatWentWrong) {
  const testing::TTempFolder folder;
  std::filesystem::resize_file(folder.Write("huge.ini", "[S]\nK=1\n"), ProfileFileLimit + 1);
  ASSERT_EQ(::mkfifo(folder.Path("pipe.ini").c_str(), 0600), 0);
  EXPECT_EQ(TProfile(folder.Path("pipe.ini")).ReadExisting().Text(), "");  // does not wait
  // The limit itself is still a profile.
  std::filesystem::resize_file(folder.Write("limit.ini", "[S]\nK=1\n"), ProfileFileLimit);
  EXPECT_EQ(TProfile(folder.Path("limit.ini")).ReadString("S", "K", "none"), "1");
  for (const auto& [name, reason] :
       {std::pair<std::string, const char*>{"/dev/zero", "File too large"},  // never ends
        {folder.Path("huge.ini"), "File too large"}}) {
    try {
      TProfile(name).ReadExisting();
      ADD_FAILURE() << name;
    } catch (const TError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to read " + name + ". " + reason);
    }
    EXPECT_EQ(TProfile(name).ReadString("S", "K", "none"), "none");
  }
}

}  // namespace
}  // namespace hillograph
