// Batches that resume after a kill, and batches spread over shards: both end with exactly the
// files of one uninterrupted batch, and their manifests list every seed.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/Manifest.h"
#include "tests/TempFolder.h"
#include "tests/cli/ProgramRun.h"

namespace hillograph {
namespace {

namespace fs = std::filesystem;
using testing::RunRenderProgram;

const std::string Map = "--size 160x120 --set TownAmount=60 --seeds 1..24 ";

std::string Outputs(const fs::path& folder) {
  const std::string f = folder.string() + "/";
  return " -o " + f + "{seed}.png --heightmap " + f + "h{seed}.r16 --towns-json " + f +
         "{seed}.json";
}

// Every file of the folder but the manifests, with its bytes.
std::map<std::string, std::string> Files(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".jsonl")) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[name] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// The seeds the manifests list as made, each with how often.
std::map<std::int32_t, int> MadeSeeds(const std::vector<std::string>& manifests) {
  std::map<std::int32_t, int> seeds;
  for (const std::string& manifest : manifests)
    for (const auto& [seed, line] : ReadManifest(manifest))
      if (line.Ok && line.Files.size() == 3) ++seeds[seed];
  return seeds;
}

class ResumeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    reference_ = new testing::TTempFolder;
    const auto run = RunRenderProgram("--jobs 2 " + Map + Outputs(reference_->Dir()));
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Files(reference_->Dir()).size(), 72u);
  }
  static void TearDownTestSuite() { delete reference_; }
  static testing::TTempFolder* reference_;
};
testing::TTempFolder* ResumeTest::reference_ = nullptr;

// Killed when the folder holds a given number of entries, temporaries included: before any map
// is made, while the first ones are committed, half way, near the end.
TEST_F(ResumeTest, AKilledBatchRunAgainEndsWithTheFilesOfAnUninterruptedOne) {
  for (const long entries : {1, 4, 30, 70}) {
    const testing::TTempFolder folder;
    const std::string manifest = folder.Path("made.jsonl");
    std::vector<std::string> arguments;
    std::istringstream words("--jobs 2 " + Map + Outputs(folder.Dir()) + " --quiet --manifest " +
                             manifest);
    for (std::string word; words >> word;)
      arguments.push_back(word);
    const pid_t pid = testing::StartRenderProgram(arguments);
    testing::WaitWhileRunning(pid, [&] { return folder.Entries() >= entries; });
    ::kill(pid, SIGKILL);
    testing::WaitForProgram(pid);
    const auto resumed = RunRenderProgram("--jobs 2 " + Map + Outputs(folder.Dir()) +
                                          " --skip-existing" + " --manifest " + manifest);
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_TRUE(Files(folder.Dir()) == Files(reference_->Dir())) << "killed at " << entries;
    EXPECT_EQ(MadeSeeds({manifest}).size(), 24u) << entries;
  }
}

// With a manifest, a file changed since it was made is made again; without one, it exists.
TEST_F(ResumeTest, SkipsMapsWhoseFilesExistAndMatchTheManifest) {
  const testing::TTempFolder folder;
  const std::string manifest = " --manifest " + folder.Path("made.jsonl");
  ASSERT_EQ(RunRenderProgram("--jobs 2 " + Map + Outputs(folder.Dir()) + manifest).status, 0);
  fs::remove(folder.Dir() / "3.png");
  folder.Write("h5.r16", "changed");
  auto run =
      RunRenderProgram("--jobs 2 " + Map + Outputs(folder.Dir()) + manifest + " --skip-existing");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("skipped 22 of 24 maps"), std::string::npos) << run.err;
  EXPECT_TRUE(Files(folder.Dir()) == Files(reference_->Dir()));
  folder.Write("h5.r16", "changed");
  run = RunRenderProgram("--jobs 2 " + Map + Outputs(folder.Dir()) + " --skip-existing");
  EXPECT_NE(run.err.find("skipped 24 of 24 maps"), std::string::npos) << run.err;
  EXPECT_EQ(folder.Read("h5.r16"), "changed");
  // The link of a map says when its heightmap was smoothed, since the heightmap's bytes depend on
  // it.
  ASSERT_EQ(RunRenderProgram("--size 20x10 --seeds 7 -o " + folder.Path("s{seed}.png") +
                             " --heightmap " + folder.Path("s{seed}.pgm") +
                             " --smooth-heightmap --manifest " + folder.Path("s.jsonl"))
                .status,
            0);
  EXPECT_EQ(ReadManifest(folder.Path("s.jsonl")).at(7).Link,
            "Width=20&Height=10&RandSeed=7&SmoothHeightmap=1");
}

// The README's recipe for GNU parallel, on four shards of one machine.
TEST_F(ResumeTest, ShardsThroughGnuParallelMakeTheFilesOfOneBatch) {
  const testing::TTempFolder folder;
  const std::string command = "parallel --will-cite --jobs 4 " +
                              std::string(HILLOGRAPH_RENDER_PROGRAM) + " " + Map +
                              "--jobs 1 --shard {}/4" + Outputs(folder.Dir()) + " --manifest " +
                              folder.Path("made-{}.jsonl") + " --skip-existing ::: 0 1 2 3";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_TRUE(Files(folder.Dir()) == Files(reference_->Dir()));
  const auto made = MadeSeeds({folder.Path("made-0.jsonl"), folder.Path("made-1.jsonl"),
                               folder.Path("made-2.jsonl"), folder.Path("made-3.jsonl")});
  EXPECT_EQ(made.size(), 24u);
  for (const auto& [seed, count] : made)
    EXPECT_EQ(count, 1) << seed;
}

}  // namespace
}  // namespace hillograph
