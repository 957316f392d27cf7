// Every PNG carries its map's recipe: loaded as a preset, it renders the same picture again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "parameters/MapParameters.h"
#include "parameters/PictureRecipe.h"
#include "parameters/Profile.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Png.h"
#include "tests/TempFolder.h"
#include "tests/cli/ProgramRun.h"

namespace hillograph {
namespace {

using testing::RunRenderProgram;

std::vector<TPngText> TextsOf(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return ReadPngText([&in](void* data, std::size_t size) {
           in.read(static_cast<char*>(data), static_cast<std::streamsize>(size));
           return static_cast<std::size_t>(in.gcount());
         })
      .value_or(std::vector<TPngText>{{"no", "PNG"}});
}

TEST(RecipeTest, APngLoadedAsPresetRendersTheSamePicture) {
  const testing::TTempFolder folder;
  const std::string towns = folder.Write("towns.txt", "Ulm\nM\xFCnster\n");
  const struct {
    std::string map;
    std::string link;  // the Hillograph chunk
  } cases[] = {
      {"--set WaterAmount=35 --set TownAmount=30.5 --set Mountain=#FF0000",
       "WaterAmount=35&TownAmount=30.5&Mountain=%23FF0000"},
      {"--size 1300x40 --label-scale 3 --set RandSeed=77 --set TownDB=" + towns,
       "Size=1300x40&RandSeed=77&LabelScale=3"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(RunRenderProgram(c.map + " -o " + folder.Path("m.png") + " --heightmap " +
                               folder.Path("h.png") + " --smooth-heightmap")
                  .status,
              0);
    ASSERT_EQ(RunRenderProgram(c.map + " -o " + folder.Path("m.svg")).status, 0);
    ASSERT_EQ(RunRenderProgram(c.map + " -o " + folder.Path("m.bmp")).status, 0);
    const bool withTowns = c.map.find("TownDB") != std::string::npos;
    std::vector<TPngText> expected{{"Software", "hillograph " HILLOGRAPH_VERSION},
                                   {"Hillograph", c.link}};
    if (withTowns) expected.push_back({"Comment", "Town database: towns.txt"});
    EXPECT_EQ(TextsOf(folder.Path("m.png")), expected) << c.map;
    EXPECT_NE(folder.Read("m.svg").find(RecipeMetadataXml(expected)), std::string::npos);
    expected[1].Text += "&SmoothHeightmap=1";
    EXPECT_EQ(TextsOf(folder.Path("h.png")), expected) << c.map;
    // The recipe read from the picture or its heightmap, even past the preset size limit; the
    // heightmap's brings its smoothing back.
    const std::string heightmap = folder.Read("h.png");
    std::filesystem::resize_file(folder.Path("h.png"), ProfileFileLimit + 1);
    for (const char* recipe : {"m.png", "h.png"}) {
      const auto run = RunRenderProgram(
          "--preset " + folder.Path(recipe) + " -o " + folder.Path("again.bmp") + " --heightmap " +
          folder.Path("again.png") + (withTowns ? " --set TownDB=" + towns : ""));
      ASSERT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(folder.Read("again.bmp"), folder.Read("m.bmp")) << c.map << " " << recipe;
      EXPECT_EQ(folder.Read("again.png") == heightmap, recipe[0] == 'h') << c.map << " " << recipe;
      EXPECT_EQ(run.err.find("town database \"towns.txt\"") != std::string::npos, withTowns)
          << run.err;
    }
  }
}

// Without the recipe the PNG is the plain encoding of the picture, and no preset.
TEST(RecipeTest, NoRecipeWritesThePlainPngWhichIsNoPreset) {
  const testing::TTempFolder folder;
  ASSERT_EQ(RunRenderProgram("--no-recipe --size 64x48 -o " + folder.Path("m.png")).status, 0);
  TMapParameters params;
  params.Width = 64, params.Height = 48;
  TPicture picture;
  RenderMapParameters(picture, params);
  EXPECT_EQ(folder.Read("m.png"), EncodePng(picture));
  ASSERT_EQ(RunRenderProgram("--no-recipe --size 64x48 -o " + folder.Path("m.svg")).status, 0);
  EXPECT_EQ(folder.Read("m.svg").find("<metadata>"), std::string::npos);
  const auto run = RunRenderProgram("--preset " + folder.Path("m.png"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("m.png is not a preset"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace hillograph
