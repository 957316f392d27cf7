#include "synthesis/files/AtomicFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "synthesis/files/StagedFiles.h"
#include "synthesis/platform/Files.h"
#include "tests/FailingDisk.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

TEST(AtomicFileTest, TemporaryNamesFitTheNameLimit) {
  const std::tuple<std::string, long, std::string> cases[] = {
      {"dir/map.bmp", 255, "dir/.map.bmp.hillograph-"},
      {"/a/" + std::string(300, 'x'), 255, "/a/." + std::string(232, 'x') + ".hillograph-"},
      {"a\xC3\xA9\xC3\xA9", 26, ".a\xC3\xA9.hillograph-"},  // 4 bytes of room: not half an é
  };
  for (const auto& [target, nameMax, expected] : cases)
    EXPECT_EQ(TemporaryPrefix(target, nameMax), expected) << target;
}

// A write removes old temporaries of its target only, and works for the longest name. (That it
// keeps the mode of the file it replaces: BmpTest, through a link.)
TEST(AtomicFileTest, AWriteRemovesStaleTemporaries) {
  const std::tuple<std::string, long, bool> cases[] = {
      // name, age, kept
      {".map.bmp.hillograph-Ab12Cd.tmp", 120, false},
      {".map.bmp.hillograph-Ab12Ce.tmp", 5, true},      // may belong to a running write
      {".other.bmp.hillograph-Ab12Cd.tmp", 120, true},  // another target's
      {".map.bmp.hillograph-Ab12C.tmp", 120, true},     // not one of ours
  };
  const testing::TTempFolder folder;
  const auto now = std::filesystem::file_time_type::clock::now();
  for (const auto& [name, age, kept] : cases)
    std::filesystem::last_write_time(folder.Write(name, "left"), now - std::chrono::seconds(age));
  WriteFileAtomically(folder.Write("map.bmp", "old"), "new");
  EXPECT_EQ(folder.Read("map.bmp"), "new");
  for (const auto& [name, age, kept] : cases)
    EXPECT_EQ(std::filesystem::exists(folder.Path(name)), kept) << name;
  WriteFileAtomically(folder.Path(std::string(NAME_MAX, 'n')), "whole");
  EXPECT_EQ(folder.Read(std::string(NAME_MAX, 'n')), "whole");
  EXPECT_EQ(folder.Entries(), 5);
}

// Ranges reach the file whole and in order however few bytes each call of the system takes,
// including a call that is interrupted, empty ranges, and more ranges than one call may hand over.
TEST(AtomicFileTest, GatheredRangesSurviveShortAndInterruptedWrites) {
  static long perCall = 0;
  static int calls = 0;
  static int mostRanges = 0;
  platform::TDiskCalls& disk = platform::DiskCalls();
  const platform::TDiskCalls system = platform::SystemDiskCalls();
  disk.Write = [](int fd, const TByteRange* ranges, int count) -> long {
    mostRanges = std::max(mostRanges, count);
    if (++calls % 5 == 0) return -EINTR;
    TByteRange first = ranges[0].first(std::min<std::size_t>(ranges[0].size(), perCall));
    return perCall > static_cast<long>(ranges[0].size())
               ? platform::SystemDiskCalls().Write(fd, ranges, count)
               : platform::SystemDiskCalls().Write(fd, &first, 1);
  };
  const testing::TTempFolder folder;
  for (const long bytes : {1L, 7L, 4096L, 1L << 30}) {
    perCall = bytes;
    std::string expected;  // 1500 ranges of 0 to 10 bytes
    for (int i = 0; i < 1500; ++i)
      expected += std::string(static_cast<std::size_t>(i % 11), static_cast<char>('a' + i % 26));
    std::vector<TByteRange> ranges;
    for (std::size_t at = 0, i = 0; i < 1500; at += i++ % 11)
      ranges.emplace_back(reinterpret_cast<const std::uint8_t*>(expected.data()) + at, i % 11);
    TAtomicFile file(folder.Path("pieces.txt"));
    file.WriteRanges(ranges);
    file.Commit();
    EXPECT_EQ(folder.Read("pieces.txt"), expected) << bytes;
  }
  EXPECT_LE(mostRanges, platform::MostRangesPerWrite());
  // A system that takes nothing and says nothing is a full disk.
  disk.Write = [](int, const TByteRange*, int) -> long { return 0; };
  try {
    TAtomicFile file(folder.Path("full.txt"));
    file.Write("x");
    ADD_FAILURE() << "a write that takes nothing succeeded";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code().value(), ENOSPC);
  }
  disk = system;
  EXPECT_FALSE(std::filesystem::exists(folder.Path("full.txt")));
}

// Sets of files replace their targets only at the commit, each whole or not at all. A device
// holding several files has its file system synced once, a device holding one has the file
// synced; where the file system cannot be synced, every file is.
std::string Contents(const std::string& path) {
  std::string text;
  std::ifstream(path) >> text;
  return text;
}

TEST(StagedFilesTest, SyncsPerDeviceAndCommitsEachSetWholeOrNotAtAll) {
  const testing::TTempFolder disk;
  const std::filesystem::path shm = "/dev/shm";
  platform::TFileStatus diskStatus, shmStatus;
  if (platform::StatusOf(shm.string(), shmStatus) != 0 ||
      platform::StatusOf(disk.Dir().string(), diskStatus) != 0 ||
      shmStatus.Device == diskStatus.Device) {
    GTEST_SKIP() << "needs a second file system at /dev/shm";
  }
  const testing::TTempFolder memory(shm);
  // Set 0 has two files on the disk; set 1 one on the disk and one in memory.
  const std::vector<std::vector<std::string>> sets = {{disk.Path("a"), disk.Path("b")},
                                                      {disk.Path("c"), memory.Path("d")}};
  const auto d = diskStatus.Device, m = shmStatus.Device;
  constexpr auto none = testing::TFailingDiskScope::NoDevice;
  const struct {
    const char* name;
    std::uint64_t failingFileSystem;  // whose whole sync fails
    int fileSystemError;
    std::uint64_t failingFiles;  // whose file syncs and checks fail
    std::vector<std::size_t> failedSets;
    testing::TDiskSyncs syncs;
  } cases[] = {
      {"works", none, 0, none, {}, {1, 1, 3}},
      {"no file-system syncs", d, ENOSYS, none, {}, {4, 1, 0}},
      {"the disk's sync fails: its files are synced one by one", d, EIO, none, {}, {4, 1, 0}},
      {"memory fails", none, 0, m, {1}, {1, 1, 3}},
      {"disk fails", none, 0, d, {0, 1}, {1, 1, 3}},
  };
  for (const auto& c : cases) {
    testing::TFailingDiskScope failing;
    failing.FailFileSystemSyncs(c.failingFileSystem, c.fileSystemError);
    failing.FailSyncs(c.failingFiles, EIO);
    std::vector<std::unique_ptr<TStagedFiles>> staged;
    std::vector<TStagedFiles*> pointers;
    for (std::size_t s = 0; s < sets.size(); ++s) {
      staged.push_back(std::make_unique<TStagedFiles>(s));
      pointers.push_back(staged.back().get());
      const TStagedFiles::TScope scope(*staged.back());
      for (const std::string& name : sets[s]) {
        std::ofstream(name) << "old";
        WriteFileAtomically(name, "new");
        EXPECT_EQ(Contents(name), "old") << c.name;
      }
    }
    const std::vector<TCommitFailure> failures = CommitTogether(pointers);
    std::vector<std::size_t> failed;
    for (const TCommitFailure& failure : failures) {
      failed.push_back(failure.Tag);
      EXPECT_EQ(failure.Error, EIO) << c.name;
    }
    EXPECT_EQ(failed, c.failedSets) << c.name;
    const auto syncs = testing::TFailingDiskScope::Syncs();
    EXPECT_EQ(std::tuple(syncs.Files, syncs.FileSystems, syncs.Checks),
              std::tuple(c.syncs.Files, c.syncs.FileSystems, c.syncs.Checks))
        << c.name;
    for (std::size_t s = 0; s < sets.size(); ++s) {
      const bool kept = std::count(failed.begin(), failed.end(), s) > 0;
      for (const std::string& name : sets[s])
        EXPECT_EQ(Contents(name), kept ? "old" : "new") << c.name << " " << name;
    }
    EXPECT_EQ(disk.Entries() + memory.Entries(), 4) << c.name;  // no temporary left
  }
}

}  // namespace
}  // namespace hillograph
