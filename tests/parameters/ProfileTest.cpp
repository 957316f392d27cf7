#include "parameters/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "synthesis/base/Error.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

// Writing a key leaves every other line alone; what cannot stand in one line is refused.
TEST(ProfileTextTest, WritesInPlace) {
  for (const auto& [before, section, value, after] :
       {std::tuple{"[A]\n; only a comment\n", "A", "1", "[A]\nx=1\n; only a comment\n"},
        {"[A]\r\ny=1\r", "B", "2", "[A]\r\ny=1\r\n\r\n[B]\r\nx=2\r\n"},  // a lone CR at the end
        {"[B]\r\n[A]\r\nx=1\r", "B", "2", "[B]\r\nx=2\r\n[A]\r\nx=1\r"},
        {"\xEF\xBB\xBF[a]\r\n X = 5 \r\n", "A", "\"q\"", "\xEF\xBB\xBF[a]\r\n X = \"\"q\"\"\r\n"}}) {
    TProfileText profile(before);
    ASSERT_TRUE(profile.WriteString(section, "x", value)) << before;
    EXPECT_EQ(profile.Text(), after) << before;
    EXPECT_EQ(TProfileText(profile.Text()).ReadString(section, "X", ""), value) << before;
  }
  for (const auto& [section, key, value] :
       {std::tuple{"S", "K=", "v"}, {"S", " K", "v"}, {"S]", "K", "v"}, {"", "K", "v"},
        {"S", "K\n", "v"}, {"S", "K", "two\nlines"}, {"S", "K", "cr\r"}}) {
    TProfileText profile("[S]\nK=old\n");
    EXPECT_FALSE(profile.WriteString(section, key, value)) << section << key << value;
    EXPECT_EQ(profile.Text(), "[S]\nK=old\n");
  }
}

TEST(ProfileTest, ReadExistingNamesWhatWentWrong) {
  const testing::TTempFolder folder;
  std::filesystem::resize_file(folder.Write("huge.ini", "[S]\nK=1\n"), ProfileFileLimit + 1);
  ASSERT_EQ(::mkfifo(folder.Path("pipe.ini").c_str(), 0600), 0);
  EXPECT_EQ(TProfile(folder.Path("pipe.ini")).ReadExisting().Text(), "");  // does not wait
  for (const auto& [name, reason] :
       {std::pair{folder.Path("missing.ini"), "No such file or directory"},
        {folder.Path(""), "Is a directory"},
        {"/dev/zero", "File too large"},  // never ends
        {folder.Path("huge.ini"), "File too large"}}) {
    try {
      TProfile(name).ReadExisting();
      ADD_FAILURE() << name;
    } catch (const TError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to read " + name + ". " + reason);
    }
    EXPECT_EQ(TProfile(name).ReadString("S", "K", "none"), "none");
  }
}

}  // namespace
}  // namespace hillograph
