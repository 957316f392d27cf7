#include "cli/RenderCommand.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>

#include "cli/ProgressLine.h"
#include "parameters/LinkText.h"
#include "parameters/MapParameters.h"
#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"
#include "synthesis/terrain/SmoothHeights.h"
#include "synthesis/towns/TownFile.h"
#include "tests/Sanitizers.h"
#include "tests/TempFolder.h"
#include "tests/cli/PngReader.h"
#include "tests/cli/ProgramRun.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

using testing::RunRenderProgram;

// The options in order, the settings after the preset; a link from the page gives its map, names
// what it cannot give, and the options after it still apply; a town database that is not there
// gives invented names, with a warning.
TEST(RenderCommandTest, WritesTheMapOfTheSettings) {
  const testing::TTempFolder folder;
  const std::string preset = folder.Path("p.hpf");
  WritePreset(preset, ReadLinkText("Width=50&Height=999").Map.Params);
  const struct {
    std::string arguments;
    std::string map;  // as a link; a missing town database gives the invented names of none
    std::string err = "";
  } cases[] = {
      {"--set Width=5000 --set height=3.5 --set width=7", "Width=7&Height=3.5"},
      {"--set Width=0 --set MapFrame=0x102030 --set Grid='$203040'",
       "Width=1&MapFrame=1056816&Grid=2109504"},
      {"--size 97x61 --set Width=50 --set MapFrame='#102030'",  // --size wins
       "Width=97&Height=61&MapFrame=%23102030"},
      {"--set Width=7 --preset " + preset, "Width=7&Height=999"},
      {"--link 'https://maps.example/#Foo=1&TownDB=%2Fetc%2Fpasswd&Size=120x90&TownAmount=400"
       "&Mountain=%23FF0000&LabelScale=2' --set RandSeed=7",
       "Size=120x90&TownAmount=400&Mountain=%23FF0000&LabelScale=2&RandSeed=7",
       "hillograph-render: --link: unknown key \"Foo\" (left out)\n"
       "hillograph-render: --link: TownDB is not taken from a link: a link never names a file "
       "(left out)\n"},
      {"--set Width=60 --set Height=40 --set TownDB=" + folder.Path("none.txt"), "Size=60x40",
       "hillograph-render: warning: Town database \"" + folder.Path("none.txt") +
           "\" not found: the towns have invented names.\n"},
  };
  for (const auto& c : cases) {
    const auto run = RunRenderProgram(c.arguments + " -o " + folder.Path("map.bmp"));
    ASSERT_EQ(run.status, 0) << c.arguments << ": " << run.err;
    EXPECT_EQ(run.err, c.err);
    const TLinkReading map = ReadLinkText(c.map);
    ASSERT_TRUE(map.Problems.empty()) << c.map;
    TPicture expected;
    RenderMapParameters(expected, map.Map.Params, nullptr, {.LabelScale = map.Map.LabelScale});
    EXPECT_TRUE(folder.Read("map.bmp") == EncodeBmp(expected)) << c.arguments;
  }
}

TEST(RenderCommandTest, FailuresSayWhatIsWrongInOneLine) {
  const testing::TTempFolder folder;
  folder.Write("file", "");
  const std::string notes = folder.Write("notes.txt", "[Params]\nwidth of the map: 640\n");
  const std::string throughFile = folder.Path("file") + "/p";
  const std::string hugeTowns = folder.Write("towns.txt", "");
  std::filesystem::resize_file(hugeTowns, TownFileLimit + 1);  // sparse: no time to write
  const struct {
    std::string arguments;  // as a shell reads them
    int status;             // 2: a usage error
    std::string says;       // part of the message
  } cases[] = {
      {"--set Colour=1", 2, "unknown key \"Colour\""},
      {"--set Width=nan", 2, "invalid value \"nan\" for Width"},
      {"--set Width=7 7", 2, "not expected: 7"},
      {"'str\nay'", 2, "str\\nay"},
      {"--preset " + throughFile + " --set Width=x", 2, "\"x\" for Width"},
      {"--seeds 1..3 --heightmap h.png", 2, "--heightmap: a batch needs {seed}"},
      {"--seeds 5..3", 2, "runs backwards"},
      {"--size 0x5", 2, "sides 1 .. 16384"},
      {"--size 16385x1", 2, "sides 1 .. 16384"},
      {"--heightmap h.tif", 2, ".png, .r16, .raw or .pgm"},
      // Every folder is checked before the first map.
      {"--seeds 1..2 --heightmap " + folder.Path("gone") + "/{seed}.png", 1,
       "The folder \"" + folder.Path("gone") + "\" for \"" + folder.Path("gone") +
           "/1.png\" does not exist; nothing was rendered."},
      {"--label-scale 17", 2, "--label-scale"},
      {"--smooth-heightmap", 2, "--smooth-heightmap requires --heightmap"},
      {"--link Width=7 --preset " + notes, 2, "--preset excludes --link"},
      {"--preset " + throughFile, 1, "Unable to read " + throughFile + ". Not a directory\n"},
      {"--save-preset " + throughFile, 1, "Unable to write to " + throughFile + "\n"},
      {"--preset " + notes, 1, notes + " is not a preset: it holds none of its keys.\n"},
      // Before the heights exist: the heightmap has no thread yet, and nothing is written.
      {"--set TownDB=" + hugeTowns + " --heightmap h.png", 1, "Cannot read town database"},
  };
  for (const auto& c : cases) {
    const auto run = RunRenderProgram("-o " + folder.Path("x{seed}.bmp") + " " + c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments;
    EXPECT_EQ(run.err.rfind("hillograph-render: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(
        std::count_if(run.err.begin(), run.err.end(), [](unsigned char b) { return b < 0x20; }), 1);
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_EQ(folder.Entries(), 3) << c.arguments;
  }
}

// Under the address sanitizer a failed allocation ends the program instead of throwing.
#if !defined(__SANITIZE_ADDRESS__)
TEST(RenderCommandTest, AMapWithoutItsMemoryFailsAndKeepsTheEarlierPicture) {
  if (testing::UnderThreadSanitizer)
    GTEST_SKIP() << "ThreadSanitizer maps far more address space than the limit set here";
  const testing::TTempFolder folder;
  folder.Write("1.bmp", "old");
  const struct {
    const char* arguments;
    const char* err;
  } cases[] = {
      {"-o 1.bmp", "hillograph-render: Out of memory\n"},
      {"--seeds 1 -o {seed}.bmp", "hillograph-render: seed 1: Out of memory\n"},
  };
  for (const auto& c : cases) {
    // 1 GiB of address space, far below what the largest map needs.
    const auto run = RunRenderProgram(std::string("--size 16384x16384 ") + c.arguments,
                                      "cd " + folder.Dir().string() + "; ulimit -v 1048576; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(folder.Read("1.bmp"), "old");
  }
}
#endif

// A pipe whose reader quits fails the write with the message, not with a signal.
TEST(RenderCommandTest, APipeWhoseReaderQuitsFailsWithTheMessage) {
  const testing::TTempFolder folder;
  const std::string pipe = folder.Path("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  // The shell holds the pipe open for reading before the renderer starts, since the renderer
  // does not wait for a reader, and lets go once the reader is gone.
  const int raw =
      std::system(("exec 3<>" + pipe + "; " + HILLOGRAPH_RENDER_PROGRAM + " -o " + pipe + " 2>" +
                   folder.Path("err") + " 3<&- & head -c 10 <&3 >/dev/null; exec 3<&-; wait $!")
                      .c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  EXPECT_EQ(folder.Read("err"),
            "hillograph-render: Cannot create file \"" + pipe + "\". Broken pipe\n");
}

TEST(BatchTest, EqualsSingleRunsByteForByte) {
  // Small maps with towns, so that the JSON has something in it.
  const std::string map = "--set Width=96 --set Height=64 --set TownAmount=40 ";
  // The picture as PNG with one job; as a drawing, with smooth heightmaps, with two.
  const struct {
    const char* jobs;
    const char* picture;
    const char* smooth;
  } cases[] = {{"1", ".png", ""}, {"2", ".svg", " --smooth-heightmap"}};
  for (const auto& [jobs, picture, smooth] : cases) {
    const auto outputs = [picture](const testing::TTempFolder& folder, const std::string& name) {
      return " -o " + folder.Path(name + picture) + " --heightmap " + folder.Path(name + ".r16") +
             " --towns-json " + folder.Path(name + ".json") + " --save-preset " +
             folder.Path(name + ".ini");
    };
    const testing::TTempFolder folder;
    const auto run = RunRenderProgram(map + "--seeds 3,17,0 --jobs " + jobs +
                                      outputs(folder, "{seed}") + smooth);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const std::string seed : {"3", "17", "0"}) {
      ASSERT_EQ(
          RunRenderProgram(map + "--set RandSeed=" + seed + outputs(folder, "one") + smooth).status,
          0);
      for (const char* ext : {picture, ".r16", ".json", ".ini"})
        EXPECT_EQ(folder.Read(seed + ext), folder.Read(std::string("one") + ext))
            << jobs << seed << ext;
    }
  }
}

// A map whose heightmap cannot be written replaces none of its files, in a single run (its folder
// is missing) and in a batch (a folder stands in its place), where the other seeds are written
// whole; both remove stale temporaries of their files.
TEST(BatchTest, AMapIsWrittenWholeOrNotAtAll) {
  const struct {
    const char* seeds;  // empty: a single run of seed 2
    const char* failing;
  } cases[] = {{"", "2"}, {"--seeds 1..3 --jobs 2", "2"}};
  for (const auto& c : cases) {
    const testing::TTempFolder folder;
    const bool batch = !std::string(c.seeds).empty();
    for (const char* dir : {"h1", "h3"})
      std::filesystem::create_directory(folder.Dir() / dir);
    if (batch) std::filesystem::create_directories(folder.Dir() / "h2" / "h.r16");
    const std::string seed = batch ? "{seed}" : "2";
    std::filesystem::last_write_time(
        folder.Write(".m1.png.hillograph-Ab12Cd.tmp", "left"),
        std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2));
    for (const char* ext : {".png", ".json", ".ini"})
      folder.Write(std::string("m2") + ext, "old");
    const auto run = RunRenderProgram(
        std::string(c.seeds) + " --set RandSeed=2 --set Width=40 --set Height=30 -o " +
        folder.Path("m" + seed + ".png") + " --heightmap " + folder.Path("h" + seed + "/h.r16") +
        " --towns-json " + folder.Path("m" + seed + ".json") + " --save-preset " +
        folder.Path("m" + seed + ".ini"));
    EXPECT_EQ(run.status, 1) << c.seeds;
    EXPECT_NE(run.err.find("Cannot create file \"" + folder.Path("h2/h.r16")), std::string::npos)
        << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    for (const char* ext : {".png", ".json", ".ini"})
      EXPECT_EQ(folder.Read(std::string("m2") + ext), "old") << c.seeds << ext;
    for (const char* path : {"m1.png", "m1.json", "m1.ini", "h1/h.r16", "m3.png", "h3/h.r16"})
      EXPECT_EQ(std::filesystem::exists(folder.Dir() / path), batch) << c.seeds << path;
    // The folder holds the heightmap folders and the files of each map written.
    EXPECT_EQ(folder.Entries(), batch ? 12 : 6) << c.seeds;
  }
}

// Eight jobs writing three files a map stay within a small limit of open files.
TEST(BatchTest, WritesEveryFileWithinTheOpenFileLimit) {
  const testing::TTempFolder folder;
  const auto run =
      RunRenderProgram("--set Width=16 --set Height=16 --seeds 1..60 --jobs 8 -o " +
                           folder.Path("{seed}.png") + " --heightmap " + folder.Path("{seed}.pgm") +
                           " --towns-json " + folder.Path("{seed}.json"),
                       "ulimit -n 32; ");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(folder.Entries(), 180);
}

// The map written as PNG decodes to the picture's pixels; the heightmap holds the height field
// times 257, or its smooth surface, rows from the top, as each format defines it.
TEST(OutputOptionsTest, PngMapAndHeightmapReadBack) {
  for (const auto& [heightmap, width, height, smooth] : {std::tuple{"h.png", 37, 23, false},
                                                         {"h.RAW", 300, 257, false},
                                                         {"h.pgm", 1, 1, false},
                                                         {"h.png", 30, 20, true},
                                                         {"h.r16", 20, 30, true}}) {
    TMapParameters params;
    params.Width = width;
    params.Height = height;
    params.RandSeed = 99;
    TPicture picture;
    THeightField field;
    RenderMapParameters(picture, params, nullptr, {.Heights = &field});
    const TSmoothHeightField surface = SmoothHeights(field);
    std::string rgb, big, little;  // what the files hold
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) {
        const TColor c = testing::PixelAt(picture, x, y);
        rgb += {static_cast<char>(RedOf(c)), static_cast<char>(GreenOf(c)),
                static_cast<char>(BlueOf(c))};
        const int h = smooth ? surface[x][y] : field[x][y] * 257;
        big += {static_cast<char>(h >> 8), static_cast<char>(h)};
        little += {static_cast<char>(h), static_cast<char>(h >> 8)};
      }
    }
    const testing::TTempFolder folder;
    const auto run =
        RunRenderProgram("--size " + std::to_string(width) + "x" + std::to_string(height) +
                         " --set RandSeed=99 -o " + folder.Path("m.PNG") + " --heightmap " +
                         folder.Path(heightmap) + (smooth ? " --smooth-heightmap" : ""));
    ASSERT_EQ(run.status, 0) << run.err;
    spng_ihdr header{};
    EXPECT_TRUE(testing::DecodePng(folder.Read("m.PNG"), SPNG_FMT_RGB8, header) == rgb)
        << heightmap;
    const std::string written = folder.Read(heightmap);
    EXPECT_TRUE(std::string(heightmap) == "h.png"
                    ? testing::DecodePng(written, SPNG_FMT_RAW, header) == big
                : std::string(heightmap) == "h.pgm"
                    ? written == "P5\n" + std::to_string(width) + " " + std::to_string(height) +
                                     "\n65535\n" + big
                    : written == little)
        << heightmap;  // PNG: 16-bit grey; the raw file little-endian
  }
}

TEST(ProgressLineTest, DrawsOnlyOnATerminalPastTheDelayAndNotTooOften) {
  const auto start = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
  for (const bool terminal : {true, false}) {
    auto now = start;
    std::ostringstream out;
    {
      TProgressLine line(out, terminal, [&now] { return now; });
      for (const auto& [seconds, stage, fraction] : {std::tuple{0.5, "Terrain", 0.5},
                                                     {1.1, "Relief", 0.25},
                                                     {1.2, "Relief", 0.5},
                                                     {1.5, "Encoding", 1.0}}) {
        now = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                          std::chrono::duration<double>(seconds));
        line.Report(stage, fraction);
      }
    }
    // Everything written, the clearing at the end included.
    EXPECT_EQ(out.str(), terminal ? "\r\x1b[KRelief 25%\r\x1b[KEncoding 100%\r\x1b[K" : "");
  }
}

}  // namespace
}  // namespace hillograph
