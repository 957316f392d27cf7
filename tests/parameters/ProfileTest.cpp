#include "parameters/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "synthesis/base/Error.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

TEST(ProfileTextTest, Reads) {
  const TProfileText profile(
      "Width=1\n"  // before any section: in none
      "[ Params ]\r\n"
      "  width =  640  \r\n"
      "WIDTH=2\n"
      "Name = \"  spaced  \"\n"
      "Quote=\"\n"
      "Quotes=\"\"\"\"\n"
      "Empty=\n"
      "Equals=a=b\n"
      "; Comment=3\n"
      "Height\n"
      "[params]\n"
      "Seed=5\n"
      "[Other]\n"
      "Height = 9");
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"Params", "Width", "640"},
      {"PARAMS", "wIdTh", "640"},
      {"Params", "name", "  spaced  "},
      {"Params", "Quote", "\""},
      {"Params", "Quotes", "\"\""},
      {"Params", "Empty", ""},
      {"Params", "Equals", "a=b"},
      {"Params", "; Comment", "default"},
      {"Params", "Height", "default"},
      {"Params", "Seed", "default"},  // the first of two sections counts
      {"Other", "Height", "9"},
      {"Other", "Width", "default"},
      {"Missing", "Width", "default"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(profile.ReadString(c.section, c.key, "default"), c.value) << c.section << c.key;
}

TEST(ProfileTextTest, ValuesAreCutTo2047Characters) {
  const std::string value(3000, 'a');
  const TProfileText profile("[S]\nK=" + value + "\n");
  EXPECT_EQ(profile.ReadString("S", "K", ""), value.substr(0, 2047));
}

TEST(ProfileTextTest, WritesInPlaceAndKeepsEveryOtherLine) {
  const struct {
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
  } cases[] = {
      {"", "A", "x", "1", "[A]\nx=1\n"},
      {"[A]\nx=1\n", "A", "y", "", "[A]\nx=1\ny=\n"},
      {"[a]\r\n  X = 5  \r\n; c\r\n", "A", "x", "1", "[a]\r\n  X = 1\r\n; c\r\n"},
      {"[A]\nx=\ny=2", "A", "x", "1", "[A]\nx=1\ny=2"},
      {"[A]\nx=1\n\n; about B\n[B]\ny=2\n", "A", "z", "3",
       "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\n"},
      {"[A]\n; only a comment\n", "A", "x", "1", "[A]\nx=1\n; only a comment\n"},
      {"[A]\nx=1", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
      {"[A]\r\nx=1\r\n", "B", "y", "2", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"},
      {"[A]\nx=1\n\n", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
      {"[B]\ny=2\n[A]\nx=1\n", "A", "x", "3", "[B]\ny=2\n[A]\nx=3\n"},
      {"[A]\n", "A", "x", " padded ", "[A]\nx=\" padded \"\n"},
      {"[A]\n", "A", "x", "\"q\"", "[A]\nx=\"\"q\"\"\n"},
      {"\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "2",
       "\xEF\xBB\xBF[A]\r\nx=2\r\n"},  // byte order mark
  };
  for (const auto& c : cases) {
    TProfileText profile(c.before);
    ASSERT_TRUE(profile.WriteString(c.section, c.key, c.value)) << c.before;
    EXPECT_EQ(profile.Text(), c.after) << c.before;
    EXPECT_EQ(profile.ReadString(c.section, c.key, "default"), c.value) << c.before;
  }
}

TEST(ProfileTextTest, WritingAKeyLeavesEveryOtherValueAsItRead) {
  const struct {
    const char* before;
    const char* after;  // with B.y = 2 written
  } cases[] = {
      // A last line that ends in a lone CR, in a CR LF file: the section added after it once
      // left the CR in that line's value.
      {"[A]\r\nx=1\r", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"},
      {"[A]\nx=1\r", "[A]\nx=1\r\n\n[B]\ny=2\n"},
      {"[A]\r\nx= 1 \r", "[A]\r\nx= 1 \r\n\r\n[B]\r\ny=2\r\n"},
      {"[A]\r\nx=1", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"},
      {"[B]\r\n[A]\r\nx=1\r", "[B]\r\ny=2\r\n[A]\r\nx=1\r"},
  };
  for (const auto& c : cases) {
    TProfileText profile(c.before);
    ASSERT_EQ(profile.ReadString("A", "x", "default"), "1") << c.before;
    ASSERT_TRUE(profile.WriteString("B", "y", "2"));
    EXPECT_EQ(profile.Text(), c.after) << c.before;
    EXPECT_EQ(TProfileText(profile.Text()).ReadString("A", "x", "default"), "1") << c.before;
  }
}

TEST(ProfileTextTest, ReadsBackWhatItWrites) {
  for (const char* value : {"", " lead", "trail\t", "\"q\"", "\"", "\"open", "a=b", "[x]", ";c",
                            "in  side", "\xE9t\xE9"}) {
    TProfileText profile("[S]\nK=old\n");
    ASSERT_TRUE(profile.WriteString("S", "K", value));
    EXPECT_EQ(TProfileText(profile.Text()).ReadString("S", "K", "default"), value);
  }
}

TEST(ProfileTextTest, RefusesWhatCannotStandInOneLine) {
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"S", "K", "two\nlines"}, {"S", "K", "cr\r"}, {"S", "K=", "v"},  {"S", "", "v"},
      {"S", " K", "v"},         {"S", "[K]", "v"},  {"S", ";K", "v"},  {"S]", "K", "v"},
      {"", "K", "v"},           {"S\n", "K", "v"},  {"S", "K\n", "v"},
  };
  for (const auto& c : cases) {
    TProfileText profile("[S]\nK=old\n");
    EXPECT_FALSE(profile.WriteString(c.section, c.key, c.value)) << c.section << c.key << c.value;
    EXPECT_EQ(profile.Text(), "[S]\nK=old\n");
  }
}

TEST(ProfileTest, ReadsDefaultsFromAMissingFileAndCreatesIt) {
  const testing::TTempFolder folder;
  TProfile profile(folder.Path("new.ini"));
  EXPECT_EQ(profile.ReadString("S", "K", "default"), "default");
  profile.WriteString("S", "K", "1");
  profile.WriteString("T", "K", "2");
  profile.WriteString("s", "k", "3");
  EXPECT_EQ(folder.Read("new.ini"), "[S]\nK=3\n\n[T]\nK=2\n");
  EXPECT_EQ(profile.ReadString("S", "K", "default"), "3");
  EXPECT_EQ(folder.Entries(), 1);
}

TEST(ProfileTest, AFailedWriteRaisesTheMessageAndKeepsTheFile) {
  const testing::TTempFolder folder;
  const std::string original = "; mine\n[S]\nK=old\n";
  folder.Write("file.ini", original);
  folder.Write("locked.ini", original);
  ::chmod(folder.Path("locked.ini").c_str(), 0444);
  std::filesystem::create_directories(folder.Path("folder.ini"));
  for (const std::string& name :
       {folder.Path("file.ini") + "/inside.ini", folder.Path("missing/inside.ini"),
        folder.Path("folder.ini"), folder.Path("locked.ini")}) {
    TProfile profile(name);
    try {
      profile.WriteString("S", "K", "new");
      ADD_FAILURE() << name;
    } catch (const TError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + name);
    }
  }
  EXPECT_THROW(TProfile(folder.Path("file.ini")).WriteString("S", "K", "a\nb"), TError);
  EXPECT_EQ(folder.Read("file.ini"), original);
  EXPECT_EQ(folder.Read("locked.ini"), original);
  EXPECT_EQ(folder.Entries(), 3);  // no temporary file left behind
}

TEST(ProfileTest, WithoutPermissionsTheWriteIsRefused) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
  const testing::TTempFolder folder;
  const std::string original = "[S]\nK=old\nOther=kept\n";
  folder.Write("write-only.ini", original);
  ::chmod(folder.Path("write-only.ini").c_str(), 0200);  // its other lines could not be kept
  EXPECT_THROW(TProfile(folder.Path("write-only.ini")).WriteString("S", "K", "new"), TError);
  ::chmod(folder.Path("write-only.ini").c_str(), 0600);
  folder.Write("in-read-only-folder.ini", original);
  ::chmod(folder.Dir().c_str(), 0555);
  EXPECT_THROW(TProfile(folder.Path("in-read-only-folder.ini")).WriteString("S", "K", "new"),
               TError);
  ::chmod(folder.Dir().c_str(), 0755);
  EXPECT_EQ(folder.Read("write-only.ini"), original);
  EXPECT_EQ(folder.Read("in-read-only-folder.ini"), original);
}

TEST(ProfileTest, ReadExistingNamesWhatWentWrong) {
  const testing::TTempFolder folder;
  folder.Write("file.ini", "[S]\nK=1\n");
  EXPECT_EQ(TProfile(folder.Path("file.ini")).ReadExisting().ReadString("S", "K", ""), "1");
  // Longer than any profile: not read, rather than filling the memory.
  std::filesystem::resize_file(folder.Write("huge.ini", "[S]\nK=1\n"), ProfileFileLimit + 1);
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
    EXPECT_EQ(TProfile(c.name).ReadString("S", "K", "default"), "default");
  }
}

TEST(ProfileTest, APipeWithoutAWriterHoldsNothingAndDoesNotWait) {
  const testing::TTempFolder folder;
  ASSERT_EQ(::mkfifo(folder.Path("pipe.ini").c_str(), 0600), 0);
  const TProfile profile(folder.Path("pipe.ini"));
  EXPECT_EQ(profile.ReadString("S", "K", "default"), "default");
  EXPECT_EQ(profile.ReadExisting().Text(), "");
}

}  // namespace
}  // namespace hillograph
