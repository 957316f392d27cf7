#include "cli/RenderCommand.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"
#include "tests/FailingDisk.h"
#include "tests/TempFolder.h"
#include "tests/cli/BmpReader.h"

namespace hillograph {
namespace {

class RenderCommandTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }

  // Runs the built program with a shell command line; returns its exit status, stderr in err_.
  int Run(const std::string& arguments) {
    const std::string command = std::string(HILLOGRAPH_RENDER_PROGRAM) + " " + arguments + " 2>" +
                                Path("err") + " >/dev/null";
    const int raw = std::system(command.c_str());
    err_ = folder_.Read("err");
    std::filesystem::remove(Path("err"));
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  testing::TTempFolder folder_;
  std::string err_;
};

TEST_F(RenderCommandTest, WritesTheMapOfTheSettings) {
  folder_.Write("p.hpf", "[params]\nwidth=50\nHeight=5000\n");
  const struct {
    std::string arguments;
    std::int32_t width, height;
    TColor frame;
  } cases[] = {
      {"--set Width=5000 --set height=3.5 --set width=7", 7, 4, RGB(32, 32, 32)},  // in order
      {"--set Width=0 --set Height=9 --set MapFrame=0x102030", 1, 9, RGB(0x30, 0x20, 0x10)},
      {"--set Width=9 --set Height=9 --set MapFrame='$202020'", 9, 9, RGB(32, 32, 32)},
      {"--set Width=7 --preset " + Path("p.hpf"), 7, 1000, RGB(0, 0, 0)},  // after the preset
      {"--set Width=97 --set Height=61 --set MapFrame='#102030'", 97, 61, RGB(0x10, 0x20, 0x30)},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Run(c.arguments + " -o " + Path("map.bmp")), 0) << c.arguments << ": " << err_;
    const testing::TBmpImage image = testing::ReadBmp(Path("map.bmp"));
    EXPECT_EQ(image.width, c.width) << c.arguments;
    EXPECT_EQ(image.height, c.height) << c.arguments;
    EXPECT_EQ(image.Pixel(0, 0), c.frame) << c.arguments;
  }
  TMapParameters params;  // the last map, byte for byte
  params.Width = 97;
  params.Height = 61;
  params.MapFrame = RGB(0x10, 0x20, 0x30);
  TPicture expected;
  RenderMapParameters(expected, params);
  EXPECT_EQ(folder_.Read("map.bmp"), EncodeBmp(expected));
  ASSERT_EQ(Run("--set Width=3 --set Height=2 -o " + Path("m.PNG")), 0);
  EXPECT_EQ(folder_.Read("m.PNG").substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_EQ(Run("--version"), 0);
}

TEST_F(RenderCommandTest, FailuresSayWhatIsWrongInOneLine) {
  folder_.Write("file", "");
  folder_.Write("notes.txt", "[Params]\nwidth of the map: 640\n");
  const std::string throughFile = Path("file") + "/p";
  const struct {
    std::string arguments;  // as a shell reads them
    int status;             // 2: a usage error
    std::string says;       // part of the message
  } cases[] = {
      {"--set Colour=1", 2, "unknown key \"Colour\""},
      {"--set Width=nan", 2, "invalid value \"nan\" for Width"},
      {"--set Width=0x10", 2, "expected a number"},
      {"--set Width", 2, "expected KEY=VALUE, got \"Width\""},
      {"-o a.bmp", 2, "--output"},
      {"--no-such-option", 2, "--no-such-option"},
      {"--set Grid=99999999999", 2, "\"99999999999\" for Grid"},
      {"'str\nay'", 2, "str\\nay"},
      {"--set 'Width=\x1B[31mred'", 2, "\"\\x1B[31mred\""},
      {"--preset " + throughFile + " --set Width=x", 2, "\"x\" for Width"},
      {"--preset " + throughFile, 1, "Unable to read " + throughFile + ". Not a directory\n"},
      {"--save-preset " + throughFile, 1, "Unable to write to " + throughFile + "\n"},
      {"--preset " + Path("notes.txt"), 1,
       Path("notes.txt") + " is not a preset: it holds none of its keys.\n"},
      {"--set TownDB=/proc/self/mem", 1,
       "Cannot read town database \"/proc/self/mem\": I/O error 5\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run("-o " + Path("never.bmp") + " " + c.arguments), c.status) << c.arguments;
    EXPECT_EQ(err_.rfind("hillograph-render: ", 0), 0u) << err_;
    EXPECT_NE(err_.find(c.says), std::string::npos) << err_;
    EXPECT_EQ(std::count_if(err_.begin(), err_.end(), [](unsigned char b) { return b < 0x20; }), 1)
        << err_;
    EXPECT_EQ(err_.back(), '\n');
    EXPECT_FALSE(std::filesystem::exists(Path("never.bmp"))) << c.arguments;
  }
}

TEST_F(RenderCommandTest, AFailedWriteGivesTheMessageAndKeepsTheOldFile) {
  folder_.Write("keep.bmp", "old");
  EXPECT_EQ(Run("-o " + Path("a.bmp") + " --towns-json " + Path("keep.bmp") + "/t.json"), 1);
  EXPECT_EQ(err_, "hillograph-render: Cannot create file \"" + Path("keep.bmp") +
                      "/t.json\". Not a directory\n");
  std::filesystem::remove(Path("a.bmp"));
  for (const char* name : {"keep.bmp", "keep.png"}) {
    folder_.Write(name, "old");
    const std::string output = Path(name);
    const char* argv[] = {"hillograph-render", "--set", "Width=40", "-o", output.c_str()};
    std::ostringstream out, err;
    const testing::TFailingDiskScope disk(1000, ENOSPC);
    EXPECT_EQ(RunRenderCommand(std::size(argv), argv, out, err), 1) << name;
    EXPECT_EQ(err.str(), "hillograph-render: Cannot create file \"" + output +
                             "\". No space left on device\n");
    EXPECT_EQ(folder_.Read(name), "old");
  }
  EXPECT_EQ(folder_.Entries(), 2);
  // The reader of a pipe takes a few bytes of the picture and goes away.
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
  // The shell holds the pipe open for reading before the renderer starts, since the renderer
  // does not wait for a reader; it lets go once the reader is gone.
  const std::string command = "exec 3<>" + Path("pipe") + "; " + HILLOGRAPH_RENDER_PROGRAM +
                              " -o " + Path("pipe") + " 2>" + Path("err") +
                              " 3<&- & head -c 10 <&3 >/dev/null; exec 3<&-; wait $!";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  EXPECT_EQ(folder_.Read("err"),
            "hillograph-render: Cannot create file \"" + Path("pipe") + "\". Broken pipe\n");
}

TEST_F(RenderCommandTest, TownsJson) {
  folder_.Write("towns.txt", "M\xFCnster\r\n");
  ASSERT_EQ(Run("--set Width=300 --set Height=200 --set TownDB=" + Path("towns.txt") + " -o " +
                Path("map.bmp") + " --towns-json " + Path("towns.json")),
            0);
  const std::string text = folder_.Read("towns.json");
  EXPECT_EQ(text.rfind("{\n  \"width\": 300,\n  \"height\": 200,\n  \"towns\": [", 0), 0u) << text;
  TMapParameters params;
  params.Width = 300;
  params.Height = 200;
  params.TownDB = Path("towns.txt");
  TPicture picture;
  TTownList expected;
  RenderMapParameters(picture, params, &expected);
  EXPECT_NE(text.find("\"name\": \"M\xC3\xBCnster\""), std::string::npos);  // UTF-8, not escapes
  const nlohmann::json json = nlohmann::json::parse(text);
  ASSERT_EQ(json["towns"].size(), expected.size());
  ASSERT_FALSE(expected.empty());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const TTown& town = expected[i];
    EXPECT_EQ(json["towns"][i], (nlohmann::json{{"x", town.X},
                                                {"y", town.Y},
                                                {"kind", town.Kind},
                                                {"name", "M\xC3\xBCnster"},
                                                {"label_width", town.LabelWidth},
                                                {"label_height", town.LabelHeight}}));
  }
}

TEST_F(RenderCommandTest, APresetSavedAndLoadedAgainGivesTheSameFileAndMap) {
  const std::string settings =
      "--set Width=50 --set Height=40 --set TownAmount=400.5 --set Grid=#FF0000 --set "
      "AutoRefresh=0 --set TownDB=' no such towns.txt'";
  ASSERT_EQ(Run(settings + " --save-preset " + Path("a.hpf") + " -o " + Path("a.bmp")), 0);
  const std::string saved = folder_.Read("a.hpf");
  EXPECT_NE(saved.find("TownAmount=400\nTownDB=\" no such towns.txt\"\n"), std::string::npos);
  EXPECT_NE(saved.find("Grid=255\n"), std::string::npos) << saved;
  ASSERT_EQ(
      Run("--preset " + Path("a.hpf") + " --save-preset " + Path("b.hpf") + " -o " + Path("b.bmp")),
      0);
  EXPECT_EQ(folder_.Read("b.hpf"), saved);
  // The town amount was saved rounded, so the loaded map is that of 400 towns.
  ASSERT_EQ(Run(settings + " --set TownAmount=400 -o " + Path("c.bmp")), 0);
  EXPECT_EQ(folder_.Read("b.bmp"), folder_.Read("c.bmp"));
}

}  // namespace
}  // namespace hillograph
