#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/RenderCommand.h"
#include "parameters/RenderRequest.h"
#include "synthesis/files/PictureFile.h"
#include "tests/FailingDisk.h"
#include "tests/TempFolder.h"
#include "tests/cli/BmpReader.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

namespace fs = std::filesystem;

struct TRunResult {
  int status;
  std::string err;
};

// Runs the built program with a shell command line and gathers its exit status and stderr.
TRunResult RunProgram(const std::string& arguments) {
  const fs::path errFile =
      fs::temp_directory_path() / ("hillograph-cli-err-" + std::to_string(::getpid()));
  const std::string command = std::string(HILLOGRAPH_RENDER_PROGRAM) + " " + arguments + " 2>" +
                              errFile.string() + " >/dev/null";
  const int raw = std::system(command.c_str());
  std::ifstream in(errFile);
  std::stringstream err;
  err << in.rdbuf();
  fs::remove(errFile);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, err.str()};
}

class RenderCommandTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }

  testing::TTempFolder folder_;
};

TEST_F(RenderCommandTest, WritesTheDefaultMapAsBmp) {
  ASSERT_EQ(RunProgram("-o " + Path("map.bmp")).status, 0);
  const testing::TBmpImage image = testing::ReadBmp(Path("map.bmp"));
  TPicture expected;
  RenderMapParameters(expected, TMapParameters{});
  ASSERT_EQ(image.width, 640);
  ASSERT_EQ(image.height, 480);
  EXPECT_EQ(image.bitsPerPixel, 24);
  for (std::int32_t y = 0; y < 480; ++y) {
    for (std::int32_t x = 0; x < 640; ++x) {
      ASSERT_EQ(image.Pixel(x, y), testing::PixelAt(expected, x, y)) << x << ", " << y;
    }
  }
}

TEST_F(RenderCommandTest, SettingsAreAppliedInOrderAndClamped) {
  ASSERT_EQ(
      RunProgram("--set Width=5000 --set height=3.5 --set width=7 -o " + Path("a.bmp")).status, 0);
  const testing::TBmpImage image = testing::ReadBmp(Path("a.bmp"));
  EXPECT_EQ(image.width, 7);
  EXPECT_EQ(image.height, 4);
  ASSERT_EQ(RunProgram("--set Width=5000 --set Height=0 -o " + Path("b.bmp")).status, 0);
  const testing::TBmpImage clamped = testing::ReadBmp(Path("b.bmp"));
  EXPECT_EQ(clamped.width, 1000);
  EXPECT_EQ(clamped.height, 1);
}

TEST_F(RenderCommandTest, ColoursTakeIntegersAndHex) {
  for (const char* value : {"2105376", "0x202020", "'$202020'", "X202020", "'#202020'"}) {
    ASSERT_EQ(RunProgram(std::string("--set Width=9 --set Height=9 --set MapFrame=") + value +
                         " -o " + Path("c.bmp"))
                  .status,
              0)
        << value;
    EXPECT_EQ(testing::ReadBmp(Path("c.bmp")).Pixel(0, 0), RGB(32, 32, 32)) << value;
  }
  ASSERT_EQ(RunProgram("--set Width=9 --set Height=9 --set MapFrame='#102030' -o " + Path("d.bmp"))
                .status,
            0);
  EXPECT_EQ(testing::ReadBmp(Path("d.bmp")).Pixel(0, 0), RGB(0x10, 0x20, 0x30));
}

TEST_F(RenderCommandTest, WritesPngWhenAsked) {
  ASSERT_EQ(RunProgram("--set Width=3 --set Height=2 -o " + Path("m.PNG")).status, 0);
  std::ifstream in(Path("m.PNG"), std::ios::binary);
  std::string signature(8, '\0');
  in.read(signature.data(), 8);
  EXPECT_EQ(signature, "\x89PNG\r\n\x1a\n");
}

TEST_F(RenderCommandTest, UsageErrorsSayWhatIsWrongInOneLine) {
  const struct {
    const char* arguments;  // as a shell reads them
    const char* says;       // part of the message
  } cases[] = {
      {"--set Colour=1", "unknown key \"Colour\""},
      {"--set Width=nan", "invalid value \"nan\" for Width"},
      {"--set Width=inf", "\"inf\""},
      {"--set Width=12abc", "\"12abc\""},
      {"--set Width=", "invalid value \"\" for Width"},
      {"--set Width=0x10", "expected a number"},
      {"--set Width", "expected KEY=VALUE, got \"Width\""},
      {"--set", "--set"},
      {"-o", "--output"},
      {"-o a.bmp -o b.bmp", "--output"},
      {"--no-such-option", "--no-such-option"},
      {"--set Grid=green", "\"green\" for Grid"},
      {"--set Grid=99999999999", "\"99999999999\" for Grid"},
      {"--set Grid=0x", "\"0x\" for Grid"},
      {"--set Grid='$'", "\"$\" for Grid"},
      {"--set AutoRefresh=yes", "\"yes\" for AutoRefresh"},
      {"stray", "stray"},
      // Line breaks and other control characters in a value are shown as escapes.
      {"--set 'Width=1\n2'", "\"1\\n2\""},
      {"'str\nay'", "str\\nay"},
      {"--set 'Col\rour=1'", "\"Col\\rour\""},
      {"--set 'Width=\x1B[31mred'", "\"\\x1B[31mred\""},
  };
  for (const auto& c : cases) {
    const TRunResult result = RunProgram("-o " + Path("never.bmp") + " " + c.arguments);
    EXPECT_EQ(result.status, 2) << c.arguments;
    EXPECT_EQ(result.err.rfind("hillograph-render: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    ASSERT_FALSE(result.err.empty());
    EXPECT_EQ(result.err.back(), '\n');
    EXPECT_TRUE(std::none_of(result.err.begin(), result.err.end() - 1, [](unsigned char b) {
      return b < 0x20 || b == 0x7F;
    })) << result.err;
    EXPECT_FALSE(fs::exists(Path("never.bmp"))) << c.arguments;
  }
}

TEST_F(RenderCommandTest, AnUnwritableOutputFailsWithTheMessageAndKeepsTheOldFile) {
  { std::ofstream(Path("keep.bmp")) << "old"; }
  fs::create_directories(Path("folder.bmp"));
  fs::create_directories(Path("read-only"));
  { std::ofstream(Path("read-only/keep.bmp")) << "old"; }
  fs::permissions(Path("read-only"), fs::perms(0555));
  struct TCase {
    std::string output;
    std::string reason;
  };
  std::vector<TCase> cases = {
      {Path("missing/dir/map.bmp"), "No such file or directory"},
      {Path("keep.bmp") + "/inside.bmp", "Not a directory"},
      {Path("folder.bmp"), "Is a directory"},
      {Path("folder.bmp") + "/", "Is a directory"},
  };
  // Permission bits do not stop a privileged user from making a file in the folder.
  if (::geteuid() != 0) {
    cases.push_back({Path("read-only/keep.bmp"), "Permission denied"});
    cases.push_back({Path("read-only/new.bmp"), "Permission denied"});
  }
  for (const auto& c : cases) {
    const TRunResult result = RunProgram("--set Width=4 --set Height=4 -o " + c.output);
    EXPECT_EQ(result.status, 1) << c.output;
    EXPECT_EQ(result.err,
              "hillograph-render: Cannot create file \"" + c.output + "\". " + c.reason + "\n");
  }
  EXPECT_EQ(folder_.Read("keep.bmp"), "old");
  EXPECT_EQ(folder_.Read("read-only/keep.bmp"), "old");
  fs::permissions(Path("read-only"), fs::perms(0755));
  EXPECT_EQ(folder_.Entries(), 3);
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("read-only")), fs::directory_iterator()), 1);
}

TEST_F(RenderCommandTest, AFullDiskFailsWithTheMessageAndKeepsTheOldFile) {
  for (const char* name : {"keep.bmp", "keep.png"}) {
    { std::ofstream(Path(name)) << "old"; }
    const std::string output = Path(name);
    const char* argv[] = {"hillograph-render", "--set", "Width=40",    "--set",
                          "Height=30",         "-o",    output.c_str()};
    std::ostringstream out, err;
    int status;
    {
      const testing::TFailingDiskScope disk(1000, ENOSPC);  // full after the first kilobyte
      status = RunRenderCommand(std::size(argv), argv, out, err);
    }
    EXPECT_EQ(status, 1) << name;
    EXPECT_EQ(err.str(), "hillograph-render: Cannot create file \"" + output +
                             "\". No space left on device\n");
    EXPECT_EQ(folder_.Read(name), "old");
  }
  EXPECT_EQ(folder_.Entries(), 2);
}

TEST_F(RenderCommandTest, APipeWhoseReaderQuitsFailsWithTheMessage) {
  const std::string pipe = Path("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  // The reader takes a few bytes of the picture and goes away.
  const std::string command = std::string(HILLOGRAPH_RENDER_PROGRAM) + " -o " + pipe + " 2>" +
                              Path("err") + " & head -c 10 " + pipe + " >/dev/null; wait $!";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  EXPECT_EQ(folder_.Read("err"),
            "hillograph-render: Cannot create file \"" + pipe + "\". Broken pipe\n");
}

nlohmann::json ReadJson(const std::string& path) {
  std::ifstream in(path);
  return nlohmann::json::parse(in);
}

TEST_F(RenderCommandTest, TownsJsonOfTheDefaultMap) {
  ASSERT_EQ(RunProgram("-o " + Path("map.bmp") + " --towns-json " + Path("towns.json")).status, 0);
  const std::string text = folder_.Read("towns.json");
  EXPECT_EQ(text.rfind("{\n  \"width\": 640,\n  \"height\": 480,\n  \"towns\": [", 0), 0u) << text;
  const nlohmann::json json = nlohmann::json::parse(text);

  TPicture picture;
  TTownList expected;
  RenderMapParameters(picture, TMapParameters{}, &expected);
  ASSERT_FALSE(expected.empty());
  ASSERT_EQ(json["towns"].size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const nlohmann::json& town = json["towns"][i];
    EXPECT_EQ(town["x"], expected[i].X) << i;
    EXPECT_EQ(town["y"], expected[i].Y) << i;
    EXPECT_EQ(town["kind"], expected[i].Kind) << i;
    EXPECT_EQ(town["name"], expected[i].Name) << i;
    EXPECT_EQ(town["label_width"], expected[i].LabelWidth) << i;
    EXPECT_EQ(town["label_height"], expected[i].LabelHeight) << i;
    EXPECT_EQ(town.size(), 6u);
  }
}

TEST_F(RenderCommandTest, TownsChangeOnlyThePixelsOfTheirMarkersAndLabels) {
  ASSERT_EQ(RunProgram("-o " + Path("towns.bmp") + " --towns-json " + Path("towns.json")).status,
            0);
  ASSERT_EQ(RunProgram("--set TownAmount=0 -o " + Path("plain.bmp") + " --towns-json " +
                       Path("none.json"))
                .status,
            0);
  EXPECT_TRUE(ReadJson(Path("none.json"))["towns"].empty());
  const nlohmann::json towns = ReadJson(Path("towns.json"))["towns"];
  const testing::TBmpImage withTowns = testing::ReadBmp(Path("towns.bmp"));
  const testing::TBmpImage plain = testing::ReadBmp(Path("plain.bmp"));
  // A marker covers its 10 x 10 box; a label its cell, give or take the few pixels by which
  // slanted letters and descenders reach past their advances.
  const auto inTown = [&](std::int32_t x, std::int32_t y) {
    for (const nlohmann::json& town : towns) {
      const std::int32_t tx = town["x"], ty = town["y"];
      const std::int32_t w = town["label_width"], h = town["label_height"];
      if (x >= tx - 5 && x < tx + 5 && y >= ty - 5 && y < ty + 5) return true;
      if (x >= tx + 5 - 3 && x < tx + 5 + w + 2 && y >= ty + 5 && y < ty + 5 + h) return true;
    }
    return false;
  };
  int changed = 0;
  for (std::int32_t y = 0; y < 480; ++y) {
    for (std::int32_t x = 0; x < 640; ++x) {
      if (withTowns.Pixel(x, y) == plain.Pixel(x, y)) continue;
      ++changed;
      ASSERT_TRUE(inTown(x, y)) << "pixel " << x << ", " << y << " changed outside every town";
    }
  }
  EXPECT_GT(changed, 100 * static_cast<int>(towns.size()));
}

TEST_F(RenderCommandTest, TownNamesFromASingleByteDatabaseAreWrittenAsUtf8) {
  { std::ofstream(Path("towns.txt"), std::ios::binary) << "M\xFCnster\r\n"; }
  ASSERT_EQ(RunProgram("--set TownDB=" + Path("towns.txt") + " -o " + Path("map.bmp") +
                       " --towns-json " + Path("towns.json"))
                .status,
            0);
  const nlohmann::json towns = ReadJson(Path("towns.json"))["towns"];
  ASSERT_FALSE(towns.empty());
  for (const nlohmann::json& town : towns)
    EXPECT_EQ(town["name"], "M\xC3\xBCnster");
}

TEST_F(RenderCommandTest, FailuresOfTheTownsJsonAndTheTownDatabase) {
  const TRunResult unwritable = RunProgram("--set Width=20 --set Height=20 -o " + Path("a.bmp") +
                                           " --towns-json " + Path("missing/towns.json"));
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_EQ(unwritable.err, "hillograph-render: Cannot create file \"" +
                                Path("missing/towns.json") + "\". No such file or directory\n");

  const TRunResult unreadable = RunProgram("--set TownDB=/proc/self/mem -o " + Path("b.bmp") +
                                           " --towns-json " + Path("b.json"));
  EXPECT_EQ(unreadable.status, 1);
  EXPECT_EQ(unreadable.err,
            "hillograph-render: Cannot read town database \"/proc/self/mem\": I/O error 5\n");
  EXPECT_FALSE(fs::exists(Path("b.bmp")));
  EXPECT_FALSE(fs::exists(Path("b.json")));
}

TEST_F(RenderCommandTest, HelpAndVersion) {
  EXPECT_EQ(RunProgram("--help").status, 0);
  EXPECT_EQ(RunProgram("--version").status, 0);
}

// Presets

TEST_F(RenderCommandTest, APresetSavedAndLoadedAgainGivesTheSameFileAndMap) {
  const std::string settings =
      "--set Width=50 --set Height=40 --set TownAmount=400.5 --set Grid=#FF0000 --set "
      "AutoRefresh=0 --set TownDB=' no such towns.txt'";
  ASSERT_EQ(
      RunProgram(settings + " --save-preset " + Path("a.hpf") + " -o " + Path("a.bmp")).status, 0);
  const std::string saved = folder_.Read("a.hpf");
  EXPECT_NE(saved.find("Width=50\nHeight=40\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("TownAmount=400\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("TownDB=\" no such towns.txt\"\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Grid=255\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("[x]\nAutoRefresh=0\n"), std::string::npos) << saved;

  ASSERT_EQ(RunProgram("--preset " + Path("a.hpf") + " --save-preset " + Path("b.hpf") + " -o " +
                       Path("b.bmp"))
                .status,
            0);
  EXPECT_EQ(folder_.Read("b.hpf"), saved);
  // The fractional town amount was saved rounded, so the loaded map is that of 400 towns.
  ASSERT_EQ(RunProgram(settings + " --set TownAmount=400 -o " + Path("c.bmp")).status, 0);
  EXPECT_EQ(folder_.Read("b.bmp"), folder_.Read("c.bmp"));
}

TEST_F(RenderCommandTest, SettingsApplyAfterThePreset) {
  folder_.Write("p.hpf", "[params]\nwidth=50\nHeight=5000\n");
  ASSERT_EQ(RunProgram("--set Width=7 --preset " + Path("p.hpf") + " -o " + Path("a.bmp")).status,
            0);
  const testing::TBmpImage image = testing::ReadBmp(Path("a.bmp"));
  EXPECT_EQ(image.width, 7);
  EXPECT_EQ(image.height, 1000);  // from the preset, brought into range
}

TEST_F(RenderCommandTest, APresetFileThatFailsStopsWithTheMessage) {
  folder_.Write("file", "");
  fs::create_directories(Path("folder.hpf"));
  const std::string throughFile = Path("file") + "/p.hpf";
  const struct {
    std::string arguments;
    std::string message;
  } cases[] = {
      {"--preset " + Path("missing.hpf"),
       "Unable to read " + Path("missing.hpf") + ". No such file or directory"},
      {"--preset " + throughFile, "Unable to read " + throughFile + ". Not a directory"},
      {"--preset " + Path("folder.hpf"),
       "Unable to read " + Path("folder.hpf") + ". Is a directory"},
      {"--save-preset " + throughFile, "Unable to write to " + throughFile},
  };
  for (const auto& c : cases) {
    const TRunResult result = RunProgram(c.arguments + " -o " + Path("never.bmp"));
    EXPECT_EQ(result.status, 1) << c.arguments;
    EXPECT_EQ(result.err, "hillograph-render: " + c.message + "\n");
  }
  EXPECT_FALSE(fs::exists(Path("never.bmp")));
  // A wrong setting is still a usage error, whatever the preset.
  EXPECT_EQ(RunProgram("--preset " + Path("missing.hpf") + " --set Width=x").status, 2);
}

}  // namespace
}  // namespace hillograph
