#include "synthesis/files/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <filesystem>
#include <string>

#include "synthesis/files/CommitGroup.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

TEST(AtomicFileTest, TemporaryNamesFitTheNameLimit) {
  const std::string e = "\xC3\xA9";  // two bytes
  const struct {
    std::string target;
    long nameMax;
    std::string prefix;
  } cases[] = {
      {"dir/map.bmp", 255, "dir/.map.bmp.hillograph-"},
      {"/a/" + std::string(300, 'x'), 255, "/a/." + std::string(232, 'x') + ".hillograph-"},
      {"a" + e + e, 26, ".a" + e + ".hillograph-"},  // 4 bytes of room: not half an é
  };
  for (const auto& c : cases) {
    const std::string prefix = TemporaryPrefix(c.target, c.nameMax);
    EXPECT_EQ(prefix, c.prefix) << c.target;
    const std::size_t name = prefix.size() - (prefix.rfind('/') + 1);  // npos + 1 is 0
    EXPECT_LE(name + TemporarySuffixLength + TemporaryEnd.size(), std::size_t(c.nameMax));
  }
}

// A write removes old temporaries of its target only, keeps the mode of the file it replaces,
// and works for the longest name.
TEST(AtomicFileTest, AWriteRemovesStaleTemporariesAndKeepsTheMode) {
  const struct {
    std::string name;
    long age;
    bool kept;
  } cases[] = {
      {".map.bmp.hillograph-Ab12Cd.tmp", 120, false},
      {".map.bmp.hillograph-Ab12Ce.tmp", 5, true},      // may belong to a running write
      {".other.bmp.hillograph-Ab12Cd.tmp", 120, true},  // another target's
      {".map.bmp.hillograph-Ab12C.tmp", 120, true},     // not one of ours
  };
  const testing::TTempFolder folder;
  for (const auto& c : cases) {
    const timeval then[2] = {{time(nullptr) - c.age, 0}, {time(nullptr) - c.age, 0}};
    ASSERT_EQ(::utimes(folder.Write(c.name, "left").c_str(), then), 0);
  }
  const std::string map = folder.Write("map.bmp", "old");
  ASSERT_EQ(::chmod(map.c_str(), 0640), 0);
  WriteFileAtomically(map, "new");
  EXPECT_EQ(folder.Read("map.bmp"), "new");
  for (const auto& c : cases)
    EXPECT_EQ(std::filesystem::exists(folder.Path(c.name)), c.kept) << c.name;
  struct stat status {};
  ASSERT_EQ(::stat(map.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  WriteFileAtomically(folder.Path(std::string(NAME_MAX, 'n')), "whole");
  EXPECT_EQ(folder.Read(std::string(NAME_MAX, 'n')), "whole");
  EXPECT_EQ(folder.Entries(), 5);
}

// Files written while a group is open replace theirs only at the flush; a file whose folder is
// gone by then fails with its tag, and no temporary is left behind.
TEST(CommitGroupTest, ReplacesOnlyAtTheFlushAndNamesTheFailures) {
  const testing::TTempFolder folder;
  const struct {
    std::string name;
    std::size_t tag;
  } files[] = {{"1/a.bmp", 1}, {"1/b.png", 1}, {"2/c.json", 2}, {"3/d.bmp", 3}};
  TCommitGroup group;
  for (const auto& file : files) {
    std::filesystem::create_directories(folder.Dir() / std::to_string(file.tag));
    folder.Write(file.name, "old");
    group.SetTag(file.tag);
    WriteFileAtomically(folder.Path(file.name), "new");
    EXPECT_EQ(folder.Read(file.name), "old");
  }
  EXPECT_EQ(group.Pending(), 4u);
  std::filesystem::remove_all(folder.Dir() / "2");
  const std::vector<TCommitGroup::TFailure> failures = group.Flush();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].Tag, 2u);
  EXPECT_NE(failures[0].Message.find("Cannot create file"), std::string::npos);
  for (const auto& file : files)
    EXPECT_EQ(folder.Read(file.name), file.tag == 2 ? "" : "new") << file.name;
  long entries = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Dir()))
    entries += entry.is_regular_file();
  EXPECT_EQ(entries, 3);
  EXPECT_EQ(group.Pending(), 0u);
}

}  // namespace
}  // namespace hillograph
