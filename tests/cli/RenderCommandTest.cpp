#include "cli/RenderCommand.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"
#include "tests/FailingDisk.h"
#include "tests/TempFolder.h"
#include "tests/cli/ProgramRun.h"

namespace hillograph {
namespace {

using testing::RunRenderProgram;

TEST(RenderCommandTest, WritesTheMapOfTheSettings) {
  const testing::TTempFolder folder;
  const std::string preset = folder.Write("p.hpf", "[params]\nwidth=50\nHeight=5000\n");
  const struct {
    std::string arguments;
    std::function<void(TMapParameters&)> expect;
  } cases[] = {
      {"--set Width=5000 --set height=3.5 --set width=7",  // in order
       [](TMapParameters& p) { p.Width = 7, p.Height = 3.5; }},
      {"--set Width=0 --set Height=9 --set MapFrame=0x102030",
       [](TMapParameters& p) { p.Width = 1, p.Height = 9, p.MapFrame = 0x102030; }},
      {"--set Width=9 --set Height=9 --set Grid='$203040'",
       [](TMapParameters& p) { p.Width = p.Height = 9, p.Grid = 0x203040; }},
      {"--size 97x61 --set Width=50 --set MapFrame='#102030'",  // --size wins
       [](TMapParameters& p) { p.Width = 97, p.Height = 61, p.MapFrame = RGB(0x10, 0x20, 0x30); }},
      {"--set Width=7 --preset " + preset,  // the settings apply after the preset
       [&](TMapParameters& p) { p = ReadPreset(preset), p.Width = 7; }},
      {"--label-scale 1 --set Width=200 --set Height=150 --set TownAmount=400",
       [](TMapParameters& p) { p.Width = 200, p.Height = 150, p.TownAmount = 400; }},
  };
  for (const auto& c : cases) {
    const auto run = RunRenderProgram(c.arguments + " -o " + folder.Path("map.bmp"));
    ASSERT_EQ(run.status, 0) << c.arguments << ": " << run.err;
    TMapParameters params;
    c.expect(params);
    TPicture expected;
    RenderMapParameters(expected, params);
    EXPECT_EQ(folder.Read("map.bmp"), EncodeBmp(expected)) << c.arguments;
  }
}

TEST(RenderCommandTest, FailuresSayWhatIsWrongInOneLine) {
  const testing::TTempFolder folder;
  folder.Write("file", "");
  const std::string notes = folder.Write("notes.txt", "[Params]\nwidth of the map: 640\n");
  const std::string throughFile = folder.Path("file") + "/p";
  const struct {
    std::string arguments;  // as a shell reads them
    int status;             // 2: a usage error
    std::string says;       // part of the message
  } cases[] = {
      {"--set Colour=1", 2, "unknown key \"Colour\""},
      {"--set Width=nan", 2, "invalid value \"nan\" for Width"},
      {"--set Width=0x10", 2, "expected a number"},
      {"--no-such-option", 2, "--no-such-option"},
      {"'str\nay'", 2, "str\\nay"},
      {"--preset " + throughFile + " --set Width=x", 2, "\"x\" for Width"},
      {"--seeds 1..3 --heightmap h.png", 2, "--heightmap: a batch needs {seed}"},
      {"--seeds 5..3", 2, "runs backwards"},
      {"--size 0x5", 2, "sides 1 .. 16384"},
      {"--size 16385x1", 2, "sides 1 .. 16384"},
      {"--heightmap h.tif", 2, ".png, .r16, .raw or .pgm"},
      {"--label-scale 17", 2, "--label-scale"},
      {"--preset " + throughFile, 1, "Unable to read " + throughFile + ". Not a directory\n"},
      {"--save-preset " + throughFile, 1, "Unable to write to " + throughFile + "\n"},
      {"--preset " + notes, 1, notes + " is not a preset: it holds none of its keys.\n"},
      {"--set TownDB=/proc/self/mem", 1,
       "Cannot read town database \"/proc/self/mem\": I/O error 5\n"},
  };
  for (const auto& c : cases) {
    const auto run = RunRenderProgram("-o " + folder.Path("x{seed}.bmp") + " " + c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments;
    EXPECT_EQ(run.err.rfind("hillograph-render: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(std::count_if(run.err.begin(), run.err.end(), [](unsigned char b) { return b < 0x20; }), 1);
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_EQ(folder.Entries(), 2) << c.arguments;
  }
}

// The file layer's failed writes, through the command.
TEST(RenderCommandTest, AFailedWriteGivesTheMessageAndKeepsTheOldFile) {
  const testing::TTempFolder folder;
  const std::string output = folder.Write("keep.png", "old");
  const char* argv[] = {"hillograph-render", "--set", "Width=40", "-o", output.c_str()};
  std::ostringstream out, err;
  const testing::TFailingDiskScope disk(1000, ENOSPC);
  EXPECT_EQ(RunRenderCommand(std::size(argv), argv, out, err), 1);
  EXPECT_EQ(err.str(), "hillograph-render: Cannot create file \"" + output +
                           "\". No space left on device\n");
  EXPECT_EQ(folder.Read("keep.png"), "old");
  EXPECT_EQ(folder.Entries(), 1);
}

TEST(RenderCommandTest, TownsJson) {
  const testing::TTempFolder folder;
  TMapParameters params;
  params.Width = 300;
  params.Height = 200;
  params.TownDB = folder.Write("towns.txt", "M\xFCnster\r\n");
  ASSERT_EQ(RunRenderProgram("--size 300x200 --set TownDB=" + params.TownDB + " -o " +
                             folder.Path("m.bmp") + " --towns-json " + folder.Path("t.json"))
                .status,
            0);
  const std::string text = folder.Read("t.json");
  EXPECT_EQ(text.rfind("{\n  \"width\": 300,\n  \"height\": 200,\n  \"towns\": [", 0), 0u) << text;
  EXPECT_NE(text.find("\"name\": \"M\xC3\xBCnster\""), std::string::npos);  // UTF-8, not escapes
  TPicture picture;
  TTownList towns;
  RenderMapParameters(picture, params, &towns);
  ASSERT_FALSE(towns.empty());
  nlohmann::json expected = nlohmann::json::array();
  for (const TTown& t : towns) {
    expected.push_back({{"x", t.X}, {"y", t.Y}, {"kind", t.Kind}, {"name", "M\xC3\xBCnster"},
                        {"label_width", t.LabelWidth}, {"label_height", t.LabelHeight}});
  }
  EXPECT_EQ(nlohmann::json::parse(text)["towns"], expected);
}

TEST(BatchTest, EqualsSingleRunsByteForByte) {
  // Small maps with towns, so that the JSON has something in it.
  const std::string map = "--set Width=96 --set Height=64 --set TownAmount=40 ";
  const auto outputs = [](const testing::TTempFolder& folder, const std::string& name) {
    return " -o " + folder.Path(name + ".png") + " --heightmap " + folder.Path(name + ".r16") +
           " --towns-json " + folder.Path(name + ".json") + " --save-preset " +
           folder.Path(name + ".ini");
  };
  for (const char* jobs : {"1", "2"}) {
    const testing::TTempFolder folder;
    const auto run = RunRenderProgram(map + "--seeds 3,17,0 --jobs " + jobs + outputs(folder, "{seed}"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const std::string seed : {"3", "17", "0"}) {
      ASSERT_EQ(RunRenderProgram(map + "--set RandSeed=" + seed + outputs(folder, "one")).status, 0);
      for (const char* ext : {".png", ".r16", ".json", ".ini"})
        EXPECT_EQ(folder.Read(seed + ext), folder.Read(std::string("one") + ext)) << jobs << seed << ext;
    }
  }
}

TEST(BatchTest, AFailingSeedIsReportedAndTheOthersAreWritten) {
  const testing::TTempFolder folder;
  std::filesystem::create_directory(folder.Dir() / "d1");
  std::filesystem::create_directory(folder.Dir() / "d3");
  // Seed 2's folder does not exist.
  const auto run = RunRenderProgram("--set Width=8 --set Height=8 --seeds 1..3 --jobs 2 -o " +
                                    folder.Path("d{seed}/m.bmp"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("seed 2: Cannot create file"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("seed 1"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::exists(folder.Dir() / "d1" / "m.bmp"));
  EXPECT_TRUE(std::filesystem::exists(folder.Dir() / "d3" / "m.bmp"));
}

}  // namespace
}  // namespace hillograph
