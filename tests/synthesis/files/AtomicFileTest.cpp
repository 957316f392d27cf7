#include "synthesis/files/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <string>

#include "tests/TempFolder.h"

namespace hillograph {
namespace {

TEST(AtomicFileTest, TemporaryNamesFitTheNameLimit) {
  struct TCase {
    std::string target;
    long nameMax;
    std::string prefix;
  };
  const std::string e = "\xC3\xA9";  // two bytes
  const TCase cases[] = {
      {"dir/map.bmp", 255, "dir/.map.bmp.hillograph-"},
      {"map.bmp", 255, ".map.bmp.hillograph-"},
      {"/a/" + std::string(300, 'x'), 255, "/a/." + std::string(232, 'x') + ".hillograph-"},
      {"a" + e + e, 26, ".a" + e + ".hillograph-"},  // 4 bytes of room: not half an é
  };
  for (const TCase& c : cases) {
    const std::string prefix = TemporaryPrefix(c.target, c.nameMax);
    EXPECT_EQ(prefix, c.prefix) << c.target;
    const std::size_t slash = prefix.rfind('/');
    const std::size_t name = prefix.size() - (slash == std::string::npos ? 0 : slash + 1);
    EXPECT_LE(name + TemporarySuffixLength + TemporaryEnd.size(), std::size_t(c.nameMax));
  }
}

void Age(const std::string& path, long seconds) {
  const timeval then[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
  ASSERT_EQ(::utimes(path.c_str(), then), 0);
}

TEST(AtomicFileTest, AWriteRemovesOldTemporariesOfItsTargetOnly) {
  struct TCase {
    std::string name;
    long age;
    bool kept;
  };
  const TCase cases[] = {
      {".map.bmp.hillograph-Ab12Cd.tmp", 120, false},
      {".map.bmp.hillograph-Ab12Ce.tmp", 5, true},      // may belong to a running write
      {".other.bmp.hillograph-Ab12Cd.tmp", 120, true},  // another target's
      {".map.bmp.hillograph-Ab12C.tmp", 120, true},     // not one of ours
      {".map.bmp.hillograph-Ab1-Cd.tmp", 120, true},
  };
  const testing::TTempFolder folder;
  for (const TCase& c : cases)
    Age(folder.Write(c.name, "left"), c.age);
  WriteFileAtomically(folder.Path("map.bmp"), "new");
  EXPECT_EQ(folder.Read("map.bmp"), "new");
  for (const TCase& c : cases)
    EXPECT_EQ(std::filesystem::exists(folder.Path(c.name)), c.kept) << c.name;
}

TEST(AtomicFileTest, ReplacingKeepsTheModeAndLongNamesWork) {
  const testing::TTempFolder folder;
  const std::string kept = folder.Write("kept", "old");
  ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
  WriteFileAtomically(kept, "new");
  struct stat status {};
  ASSERT_EQ(::stat(kept.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);

  const std::string longest(NAME_MAX, 'n');
  WriteFileAtomically(folder.Path(longest), "whole");
  EXPECT_EQ(folder.Read(longest), "whole");
  EXPECT_EQ(folder.Entries(), 2);
}

}  // namespace
}  // namespace hillograph
