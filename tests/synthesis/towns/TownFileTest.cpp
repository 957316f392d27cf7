#include "synthesis/towns/TownFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

#include <cerrno>
#include <string>
#include <vector>

#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"
#include "synthesis/towns/NameGen.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

using Names = std::vector<std::string>;

TEST(TownFileTest, Lines) {
  const testing::TTempFolder dir;
  const struct {
    std::string bytes;
    Names names;
  } cases[] = {
      {"Aa\r\nBb\r\n", {"Aa", "Bb"}},
      {"Aa\rBb\nCc", {"AaBb", "Cc"}},  // a lone CR is left out
      {"Aa\r\r\nBb", {"Aa", "Bb"}},
      {"Aa\nBb\r", {"Aa", "Bb"}},
      {"\r", {""}},
      {"Aa\nBb\x1Azz\n", {"Aa", "Bb"}},  // Ctrl-Z ends the file
      {"\x1Azz\n", {}},
      {"  \n\n x \n\t\n", {"  ", "", " x ", "\t"}},
      {"Aa\n\n", {"Aa", ""}},
      {"", {}},
      {"Aa\nAa", {"Aa", "Aa"}},
      {"M\xFCnster\r\n\xC4rhus\r\n", {"M\xC3\xBCnster", "\xC3\x84rhus"}},  // Latin-1
      {"M\xC3\xBCnster\n", {"M\xC3\xBCnster"}},
      {"\xEF\xBB\xBFK\xC3\xB6ln\n", {"K\xC3\xB6ln"}},  // a byte order mark
      {"\x80uro \x96 \x9C\n", {"\xE2\x82\xACuro \xE2\x80\x93 \xC5\x93"}},
      {"\xC3\xBC\n\xFC\n", {"\xC3\x83\xC2\xBC", "\xC3\xBC"}},  // one byte of no UTF-8 decides
      {"\xC0\xAF\n", {"\xC3\x80\xC2\xAF"}},                    // an overlong form is no UTF-8
  };
  for (const auto& c : cases) {
    TTownLineReader byByte;
    for (const char ch : c.bytes) {
      if (!byByte.Feed(std::string_view(&ch, 1))) break;
    }
    EXPECT_EQ(byByte.Finish(), c.names) << c.bytes << ", fed byte by byte";
    // Loading starts a new cycle of the names and draws nothing.
    TNameGen names;
    names.SetNames(Names(300, "old"));  // longer than any new list
    names.Marks.assign(300, !names.FreshMark);
    names.UsedCount = 2;
    RandSeed = 99;
    names.LoadFromFile(dir.Write("towns.txt", c.bytes));
    EXPECT_EQ(names.Marks, std::vector<bool>(c.names.size(), names.FreshMark)) << c.bytes;
    EXPECT_EQ(*names.Names, c.names) << c.bytes;
    EXPECT_EQ(names.UsedCount, 0);
    EXPECT_EQ(RandSeed, 99u);
  }
}

// The reason of the failure, after the message's part that names the file.
std::string ReadFailure(const std::string& name) {
  try {
    ReadTownFile(name);
  } catch (const TError& e) {
    const std::string prefix = "Cannot read town database \"" + name + "\": ";
    const std::string message = e.what();
    return message.starts_with(prefix) ? message.substr(prefix.size()) : "unnamed: " + message;
  }
  return "no failure";
}

TEST(TownFileTest, WhatIsNoTownDatabaseOrFailsToRead) {
  const testing::TTempFolder dir;
  const std::string file = dir.Write("towns.txt", "Aa\n");
  ASSERT_EQ(::symlink(file.c_str(), dir.Path("link").c_str()), 0);
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  for (const std::string& name : {dir.Path(""), std::string("/dev/zero"), dir.Path("pipe")}) {
    EXPECT_FALSE(IsRegularFile(name)) << name;
    EXPECT_TRUE(ReadTownFile(name).empty()) << name;  // opened anyway: no names, no waiting
  }
  EXPECT_TRUE(IsRegularFile(dir.Path("link")));
  const std::string huge = dir.Write("huge.txt", "");
  std::filesystem::resize_file(huge, TownFileLimit + 1);  // sparse: nothing is written
  const struct {
    std::string name;
    std::string message;
  } cases[] = {
      {dir.Path("missing"), "File not found"},
      {huge, "File too large"},
      {file + "/inside", "Invalid filename"},
      {dir.Path(std::string(5000, 'n')), "Invalid filename"},
      {"/proc/self/mem", "I/O error 5"},  // a regular file whose first page cannot be read
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadFailure(c.name), c.message) << c.name;
  const struct {
    int error;
    const char* message;
  } errors[] = {{EMFILE, "Too many open files"},
                {ENFILE, "Too many open files"},
                {EACCES, "File access denied"},
                {ENOSPC, "I/O error 28"}};
  for (const auto& e : errors)
    EXPECT_EQ(InOutErrorMessage(e.error), e.message);
  TNameGen names;  // a failed load keeps the names it had
  names.SetNames(Names{"Aa", "Bb"});
  EXPECT_THROW(names.LoadFromFile("/proc/self/mem"), TError);
  EXPECT_EQ(*names.Names, (Names{"Aa", "Bb"}));
}

}  // namespace
}  // namespace hillograph
