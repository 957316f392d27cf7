#include "parameters/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "synthesis/base/Error.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

TEST(ProfileTextTest, Reads) {
  const TProfileText profile(
      "Width=1\n[ Params ]\r\n  width =  640  \r\nWIDTH=2\nName = \"  spaced  \"\nQuote=\"\n"
      "Quotes=\"\"\"\"\nEquals=a=b\n; Comment=3\nHeight\nLong=" +
      std::string(3000, 'a') + "\n[params]\nSeed=5\n[Other]\nHeight = 9");
  const struct {
    const char* section;
    const char* key;
    std::string value;
  } cases[] = {
      {"PARAMS", "wIdTh", "640"},
      {"Params", "name", "  spaced  "},
      {"Params", "Quote", "\""},
      {"Params", "Quotes", "\"\""},
      {"Params", "Equals", "a=b"},
      {"Params", "; Comment", "none"},
      {"Params", "Height", "none"},
      {"Params", "Seed", "none"},  // the first of two sections counts
      {"Params", "Long", std::string(2047, 'a')},
      {"Other", "Height", "9"},
      {"Other", "Width", "none"},
      {"Missing", "Width", "none"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(profile.ReadString(c.section, c.key, "none"), c.value) << c.section << c.key;
}

// Writing a key leaves every other line, and every other value as it read, alone.
TEST(ProfileTextTest, WritesInPlace) {
  const struct {
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  } cases[] = {
      {"", "A", "x", "1", "[A]\nx=1\n"},
      {"[a]\r\n  X = 5  \r\n; c\r\n", "A", "x", "1", "[a]\r\n  X = 1\r\n; c\r\n"},
      {"[A]\nx=1\n\n; about B\n[B]\ny=2\n", "A", "z", "3",
       "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\n"},
      {"[A]\n; only a comment\n", "A", "x", "1", "[A]\nx=1\n; only a comment\n"},
      {"[A]\nx=1", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
      {"[A]\r\nx=1\r", "B", "y", "2", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"},  // a lone CR at the end
      {"[A]\nx= 1 \r", "B", "y", "2", "[A]\nx= 1 \r\n\n[B]\ny=2\n"},
      {"[B]\r\n[A]\r\nx=1\r", "B", "y", "2", "[B]\r\ny=2\r\n[A]\r\nx=1\r"},
      {"[A]\n", "A", "x", " padded ", "[A]\nx=\" padded \"\n"},
      {"[A]\n", "A", "x", "\"q\"", "[A]\nx=\"\"q\"\"\n"},
      {"\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "2",
       "\xEF\xBB\xBF[A]\r\nx=2\r\n"},  // byte order mark
  };
  for (const auto& c : cases) {
    TProfileText profile(c.before);
    const std::string other = profile.ReadString("A", "x", "none");
    ASSERT_TRUE(profile.WriteString(c.section, c.key, c.value)) << c.before;
    EXPECT_EQ(profile.Text(), c.after) << c.before;
    const TProfileText reread(profile.Text());
    EXPECT_EQ(reread.ReadString(c.section, c.key, "none"), c.value) << c.before;
    if (c.key != std::string("x")) {
      EXPECT_EQ(reread.ReadString("A", "x", "none"), other) << c.before;
    }
  }
  // What cannot stand in one line is refused, and the text stays.
  const struct {
    const char* section;
    const char* key;
  } refused[] = {{"S", "K="}, {"S", ""}, {"S", " K"},  {"S", "[K]"}, {"S", ";K"},
                 {"S]", "K"}, {"", "K"}, {"S\n", "K"}, {"S", "K\n"}};
  for (const auto& c : refused) {
    TProfileText profile("[S]\nK=old\n");
    EXPECT_FALSE(profile.WriteString(c.section, c.key, "v")) << c.section << c.key;
    EXPECT_FALSE(profile.WriteString("S", "K", "two\nlines"));
    EXPECT_FALSE(profile.WriteString("S", "K", "cr\r"));
    EXPECT_EQ(profile.Text(), "[S]\nK=old\n");
  }
}

TEST(ProfileTest, WritesAndCreatesTheFileOrRaisesTheMessageAndKeepsIt) {
  const testing::TTempFolder folder;
  TProfile fresh(folder.Path("new.ini"));
  fresh.WriteString("S", "K", "1");
  fresh.WriteString("s", "k", "3");
  EXPECT_EQ(folder.Read("new.ini"), "[S]\nK=3\n");
  const std::string original = "; mine\n[S]\nK=old\n";
  folder.Write("locked.ini", original);
  ::chmod(folder.Path("locked.ini").c_str(), 0444);
  for (const std::string& name : {folder.Path("new.ini") + "/inside.ini",
                                  folder.Path("missing/inside.ini"), folder.Path("locked.ini")}) {
    try {
      TProfile(name).WriteString("S", "K", "new");
      ADD_FAILURE() << name;
    } catch (const TError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + name);
    }
  }
  EXPECT_EQ(folder.Read("locked.ini"), original);
  EXPECT_EQ(folder.Entries(), 2);  // no temporary file left behind
}

TEST(ProfileTest, ReadExistingNamesWhatWentWrong) {
  const testing::TTempFolder folder;
  folder.Write("file.ini", "[S]\nK=1\n");
  EXPECT_EQ(TProfile(folder.Path("file.ini")).ReadExisting().ReadString("S", "K", ""), "1");
  std::filesystem::resize_file(folder.Write("huge.ini", "[S]\nK=1\n"), ProfileFileLimit + 1);
  ASSERT_EQ(::mkfifo(folder.Path("pipe.ini").c_str(), 0600), 0);
  EXPECT_EQ(TProfile(folder.Path("pipe.ini")).ReadExisting().Text(), "");  // does not wait
  const struct {
    std::string name;
    std::string reason;
  } cases[] = {
      {folder.Path("missing.ini"), "No such file or directory"},
      {folder.Path("file.ini") + "/inside.ini", "Not a directory"},
      {folder.Path(""), "Is a directory"},
      {folder.Path(std::string(5000, 'n')), "File name too long"},
      {"/dev/zero", "File too large"},  // never ends
      {folder.Path("huge.ini"), "File too large"},
  };
  for (const auto& c : cases) {
    try {
      TProfile(c.name).ReadExisting();
      ADD_FAILURE() << c.name;
    } catch (const TError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to read " + c.name + ". " + c.reason);
    }
    EXPECT_EQ(TProfile(c.name).ReadString("S", "K", "none"), "none");
  }
}

}  // namespace
}  // namespace hillograph
