// The renderer stopped by a signal while it writes: it removes its temporaries, leaves its target
// as it was and ends with 128 + the signal. Runs as its own process, started with the signals'
// default handling (a shell's background job would ignore SIGINT).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/Manifest.h"
#include "cli/StopSignals.h"
#include "tests/TempFolder.h"
#include "tests/cli/ProgramRun.h"

namespace hillograph {
namespace {

// Waits until the process took the signal sent to it, so that a second one is not merged with it.
void WaitUntilTaken(pid_t pid, int signal) {
  const unsigned long long bit = 1ull << (signal - 1);
  for (int i = 0; i < 20000; ++i) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    unsigned long long pending = 0;
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("ShdPnd:") || line.starts_with("SigPnd:"))
        pending |= std::stoull(line.substr(7), nullptr, 16);
    }
    if (!status.eof() || (pending & bit) == 0) return;
    ::usleep(200);
  }
}

TEST(StopSignalsTest, AWriteStoppedBySignalLeavesTheOldFileAndNoTemporary) {
  // A second Ctrl+C quits at once (130), unless the first stopped the program already; another
  // second signal changes nothing.
  for (const std::vector<int>& signals : {std::vector{SIGINT},
                                          {SIGTERM},
                                          {SIGHUP},
                                          {SIGINT, SIGINT},
                                          {SIGTERM, SIGINT},
                                          {SIGHUP, SIGTERM}}) {
    const testing::TTempFolder folder;
    const std::string target = folder.Write("map.bmp", "old");
    const pid_t pid = testing::StartRenderProgram({"--size", "4000x4000", "-o", target});
    ASSERT_TRUE(
        testing::WaitWhileRunning(pid, [&] { return !testing::Temporaries(folder).empty(); }));
    for (const int signal : signals) {
      ::kill(pid, signal);
      WaitUntilTaken(pid, signal);
    }
    // A signal is taken before its handler runs, so the second may be handled first: the status
    // is one of theirs.
    const int status = testing::WaitForProgram(pid);
    EXPECT_TRUE(status == SignalExitBase + signals.front() ||
                status == SignalExitBase + signals.back())
        << status;
    EXPECT_EQ(folder.Read("map.bmp"), "old");
    EXPECT_TRUE(testing::Temporaries(folder).empty()) << testing::Temporaries(folder)[0];
  }
}

// Stopped mid-batch, the maps made so far are committed whole and recorded, the others left out.
TEST(StopSignalsTest, ABatchStoppedBySignalKeepsTheMapsItMade) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const testing::TTempFolder folder;
    const std::string manifest = folder.Path("made.jsonl");
    const pid_t pid = testing::StartRenderProgram(
        {"--size", "300x200", "--seeds", "1..2000", "--jobs", "2", "-o", folder.Path("{seed}.png"),
         "--heightmap", folder.Path("h{seed}.pgm"), "--manifest", manifest});
    testing::WaitWhileRunning(pid, [&] { return std::filesystem::exists(folder.Path("1.png")); });
    ::kill(pid, signal);
    EXPECT_EQ(testing::WaitForProgram(pid), SignalExitBase + signal);
    EXPECT_TRUE(testing::Temporaries(folder).empty());
    const auto made = ReadManifest(manifest);
    EXPECT_GT(made.size(), 0u);
    EXPECT_LT(made.size(), 2000u);
    for (std::int32_t seed = 1; seed <= 2000; ++seed) {
      const std::string picture = folder.Path(std::to_string(seed) + ".png");
      const bool listed = made.contains(seed);
      EXPECT_EQ(std::filesystem::exists(picture), listed) << seed;
      EXPECT_EQ(std::filesystem::exists(folder.Path("h" + std::to_string(seed) + ".pgm")), listed);
      EXPECT_TRUE(!listed || made.at(seed).Files.at(0) == DescribeFile(picture)) << seed;
    }
  }
}

}  // namespace
}  // namespace hillograph
