#include "synthesis/files/AtomicFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <filesystem>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "synthesis/files/CommitGroup.h"
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

// A write removes old temporaries of its target only, keeps the mode of the file it replaces,
// and works for the longest name.
TEST(AtomicFileTest, AWriteRemovesStaleTemporariesAndKeepsTheMode) {
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
  const std::string map = folder.Write("map.bmp", "old");
  std::filesystem::permissions(map, std::filesystem::perms(0640));
  WriteFileAtomically(map, "new");
  EXPECT_EQ(folder.Read("map.bmp"), "new");
  for (const auto& [name, age, kept] : cases)
    EXPECT_EQ(std::filesystem::exists(folder.Path(name)), kept) << name;
  EXPECT_EQ(std::filesystem::status(map).permissions(), std::filesystem::perms(0640));
  WriteFileAtomically(folder.Path(std::string(NAME_MAX, 'n')), "whole");
  EXPECT_EQ(folder.Read(std::string(NAME_MAX, 'n')), "whole");
  EXPECT_EQ(folder.Entries(), 5);
}

// Pieces reach the file whole and in order however few bytes each call of the system takes,
// including a call that is interrupted, empty pieces, and more pieces than one call may hand over.
TEST(AtomicFileTest, GatheredPiecesSurviveShortAndInterruptedWrites) {
  static long perCall = 0;
  static int calls = 0;
  static int mostPieces = 0;
  TAtomicFile::WriteFunction = [](int fd, const iovec* pieces, int count) -> long {
    mostPieces = std::max(mostPieces, count);
    if (++calls % 5 == 0) {
      errno = EINTR;
      return -1;
    }
    iovec first = pieces[0];
    first.iov_len = std::min<std::size_t>(first.iov_len, static_cast<std::size_t>(perCall));
    return perCall > static_cast<long>(pieces[0].iov_len) ? ::writev(fd, pieces, count)
                                                          : ::writev(fd, &first, 1);
  };
  const testing::TTempFolder folder;
  for (const long bytes : {1L, 7L, 4096L, 1L << 30}) {
    perCall = bytes;
    std::vector<std::string> texts;
    for (int i = 0; i < 1500; ++i)
      texts.push_back(
          std::string(static_cast<std::size_t>(i % 11), static_cast<char>('a' + i % 26)));
    std::vector<iovec> pieces;
    std::string expected;
    for (std::string& text : texts) {
      pieces.push_back({text.data(), text.size()});
      expected += text;
    }
    TAtomicFile file(folder.Path("pieces.txt"));
    file.Write(pieces);
    file.Commit();
    EXPECT_EQ(folder.Read("pieces.txt"), expected) << bytes;
  }
  EXPECT_LE(mostPieces, IOV_MAX);
  // A system that takes nothing and says nothing is a full disk.
  TAtomicFile::WriteFunction = [](int, const iovec*, int) -> long {
    errno = EIO;  // stale: not the reason
    return 0;
  };
  try {
    TAtomicFile file(folder.Path("full.txt"));
    file.Write("x");
    ADD_FAILURE() << "a write that takes nothing succeeded";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code().value(), ENOSPC);
  }
  TAtomicFile::WriteFunction = nullptr;
  EXPECT_FALSE(std::filesystem::exists(folder.Path("full.txt")));
}

// Files written while a group is open replace theirs only at the flush; a file whose folder is
// gone by then fails with its tag.
TEST(CommitGroupTest, ReplacesOnlyAtTheFlushAndNamesTheFailures) {
  const testing::TTempFolder folder;
  // name, tag
  const std::pair<std::string, std::size_t> files[] = {
      {"1/a.bmp", 1}, {"1/b.png", 1}, {"2/c.json", 2}, {"3/d.bmp", 3}};
  TCommitGroup group;
  for (const auto& [name, tag] : files) {
    std::filesystem::create_directories(folder.Dir() / std::to_string(tag));
    folder.Write(name, "old");
    group.SetTag(tag);
    WriteFileAtomically(folder.Path(name), "new");
    EXPECT_EQ(folder.Read(name), "old");
  }
  EXPECT_EQ(group.Pending(), 4u);
  std::filesystem::remove_all(folder.Dir() / "2");
  const std::vector<TCommitGroup::TFailure> failures = group.Flush();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].Tag, 2u);
  EXPECT_NE(failures[0].Message.find("Cannot create file"), std::string::npos);
  for (const auto& [name, tag] : files)
    EXPECT_EQ(folder.Read(name), tag == 2 ? "" : "new") << name;
  EXPECT_EQ(group.Pending(), 0u);
}

}  // namespace
}  // namespace hillograph
