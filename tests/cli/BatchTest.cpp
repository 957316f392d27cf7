#include <gtest/gtest.h>

#include <string>

#include "tests/TempFolder.h"
#include "tests/cli/ProgramRun.h"

namespace hillograph {
namespace {

using testing::RunRenderProgram;

// Small maps with towns, so that the JSON has something in it.
const std::string SmallMap = "--set Width=96 --set Height=64 --set TownAmount=40 ";

struct TBatchRow {
  const char* Jobs;
};

class BatchEqualsSingleRuns : public ::testing::TestWithParam<TBatchRow> {};

TEST_P(BatchEqualsSingleRuns, ByteForByte) {
  testing::TTempFolder folder;
  const auto run = RunRenderProgram(
      SmallMap + "--seeds 3,17,42,0 --jobs " + GetParam().Jobs + " -o " +
      folder.Path("{seed}.png") + " --heightmap " + folder.Path("h{seed}.r16") + " --towns-json " +
      folder.Path("t{seed}.json") + " --save-preset " + folder.Path("p{seed}.ini"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* seed : {"3", "17", "42", "0"}) {
    const std::string s = seed;
    ASSERT_EQ(RunRenderProgram(SmallMap + "--set RandSeed=" + s + " -o " + folder.Path("one.png") +
                               " --heightmap " + folder.Path("one.r16") + " --towns-json " +
                               folder.Path("one.json") + " --save-preset " + folder.Path("one.ini"))
                  .status,
              0);
    EXPECT_EQ(folder.Read(s + ".png"), folder.Read("one.png")) << seed;
    EXPECT_EQ(folder.Read("h" + s + ".r16"), folder.Read("one.r16")) << seed;
    EXPECT_EQ(folder.Read("t" + s + ".json"), folder.Read("one.json")) << seed;
    EXPECT_EQ(folder.Read("p" + s + ".ini"), folder.Read("one.ini")) << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(Jobs, BatchEqualsSingleRuns,
                         ::testing::Values(TBatchRow{"1"}, TBatchRow{"2"}));

TEST(Batch, AFailingSeedIsReportedAndTheOthersAreWritten) {
  testing::TTempFolder folder;
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

// Command lines that must be refused before anything is written, with the message's key part.
struct TUsageRow {
  const char* Arguments;
  const char* Message;
};

class UsageErrors : public ::testing::TestWithParam<TUsageRow> {};

TEST_P(UsageErrors, StatusTwoAndOneLine) {
  testing::TTempFolder folder;
  const auto run = RunRenderProgram(std::string("--set Width=8 --set Height=8 ") +
                                    GetParam().Arguments + " -o " + folder.Path("x{seed}.bmp"));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(GetParam().Message), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  EXPECT_EQ(folder.Entries(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Options, UsageErrors,
    ::testing::Values(
        TUsageRow{"--seeds 1..3 --heightmap h.png", "--heightmap: a batch needs {seed}"},
        TUsageRow{"--seeds 1..3 --towns-json t.json", "--towns-json: a batch"},
        TUsageRow{"--seeds 5..3", "runs backwards"}, TUsageRow{"--seeds 1..", "is not FROM..TO"},
        TUsageRow{"--seeds 1,,2", "is not FROM..TO"},
        TUsageRow{"--seeds 2147483648", "is not FROM..TO"},
        TUsageRow{"--size 0x5", "sides 1 .. 16384"},
        TUsageRow{"--size 16385x1", "sides 1 .. 16384"},
        TUsageRow{"--size 100", "sides 1 .. 16384"}, TUsageRow{"--size 10x10x", "sides 1 .. 16384"},
        TUsageRow{"--heightmap h.tif", ".png, .r16, .raw or .pgm"},
        TUsageRow{"--label-scale 17", "--label-scale"}));

}  // namespace
}  // namespace hillograph
