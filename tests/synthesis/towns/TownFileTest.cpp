#include "synthesis/towns/TownFile.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "synthesis/Generator.h"
#include "synthesis/base/Error.h"
#include "synthesis/base/Random.h"
#include "synthesis/raster/LabelFont.h"
#include "synthesis/towns/NameGen.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

using Names = std::vector<std::string>;
using testing::TTempFolder;

std::string Bytes(std::string_view text) {
  return std::string(text);
}

const struct {
  const char* what;
  std::string bytes;
  Names names;
} LineCases[] = {
    {"LF", Bytes("Aa\nBb\n"), {"Aa", "Bb"}},
    {"CR LF", Bytes("Aa\r\nBb\r\n"), {"Aa", "Bb"}},
    {"a lone CR is left out", Bytes("Aa\rBb\nCc"), {"AaBb", "Cc"}},
    {"CR CR LF", Bytes("Aa\r\r\nBb"), {"Aa", "Bb"}},
    {"a lone CR at the end", Bytes("Aa\nBb\r"), {"Aa", "Bb"}},
    {"a CR alone is an empty line", Bytes("\r"), {""}},
    {"Ctrl-Z ends the file",
     Bytes("Aa\nBb\x1A"
           "Cc\nDd\n"),
     {"Aa", "Bb"}},
    {"Ctrl-Z after a line break", Bytes("Aa\n\x1A\n"), {"Aa"}},
    {"Ctrl-Z first",
     Bytes("\x1A"
           "Aa\n"),
     {}},
    {"empty and blank lines", Bytes("  \n\n x \n\t\n"), {"  ", "", " x ", "\t"}},
    {"no final line break", Bytes("Aa\nBb"), {"Aa", "Bb"}},
    {"a final break adds nothing", Bytes("Aa\n"), {"Aa"}},
    {"an empty last line", Bytes("Aa\n\n"), {"Aa", ""}},
    {"only a line break", Bytes("\n"), {""}},
    {"empty file", Bytes(""), {}},
    {"duplicates kept", Bytes("Aa\nAa\n"), {"Aa", "Aa"}},
    {"Latin-1", Bytes("M\xFCnster\r\n\xC4rhus\r\n"), {"M\xC3\xBCnster", "\xC3\x84rhus"}},
    {"UTF-8", Bytes("M\xC3\xBCnster\n\xC3\x84rhus\n"), {"M\xC3\xBCnster", "\xC3\x84rhus"}},
    {"UTF-8 with a byte order mark", Bytes("\xEF\xBB\xBFK\xC3\xB6ln\n"), {"K\xC3\xB6ln"}},
    {"Windows-1252 punctuation",
     Bytes("\x80uro \x96 \x9C\n"),
     {"\xE2\x82\xACuro \xE2\x80\x93 \xC5\x93"}},
    {"one byte that is no UTF-8 makes the whole file single-byte",
     Bytes("\xC3\xBC\n\xFC\n"),
     {"\xC3\x83\xC2\xBC", "\xC3\xBC"}},
    {"an overlong form is no UTF-8", Bytes("\xC0\xAF\n"), {"\xC3\x80\xC2\xAF"}},
};

TEST(TownFileTest, LinesWhateverThePiecesTheBytesComeIn) {
  for (const auto& c : LineCases) {
    TTownLineReader whole;
    whole.Feed(c.bytes);
    EXPECT_EQ(whole.Finish(), c.names) << c.what;

    TTownLineReader byByte;
    for (const char ch : c.bytes) {
      if (!byByte.Feed(std::string_view(&ch, 1))) break;
    }
    EXPECT_EQ(byByte.Finish(), c.names) << c.what << ", fed byte by byte";
  }
}

TEST(TownFileTest, LoadFromFileTakesTheLinesAndStartsACycle) {
  const TTempFolder dir;
  for (const auto& c : LineCases) {
    TNameGen names;
    names.SetNames(Names(300, "old"));  // longer than any new list
    names.Marks.assign(300, false);
    names.FreshMark = true;
    names.UsedCount = 2;
    RandSeed = 99;
    names.LoadFromFile(dir.Write("towns.txt", c.bytes));
    EXPECT_EQ(RandSeed, 99u) << "loading draws nothing";
    EXPECT_EQ(names.Marks, std::vector<bool>(c.names.size(), true))
        << c.what << ": every name is available";
    EXPECT_EQ(*names.Names, c.names) << c.what;
    EXPECT_EQ(names.UsedCount, 0);
  }
}

TEST(TownFileTest, OnlyRegularFilesAreTownDatabases) {
  const TTempFolder dir;
  const std::string file = dir.Write("towns.txt", "Aa\n");
  ASSERT_EQ(::symlink(file.c_str(), dir.Path("link").c_str()), 0);
  ASSERT_EQ(::mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  const struct {
    std::string name;
    bool regular;
  } cases[] = {
      {file, true},
      {dir.Path("link"), true},
      {"", false},
      {dir.Path("missing"), false},
      {dir.Path(""), false},
      {"/dev/zero", false},
      {dir.Path("pipe"), false},
      {file + "/inside", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsRegularFile(c.name), c.regular) << "'" << c.name << "'";
  // Opened anyway, a pipe or a device holds no names instead of blocking or never ending.
  EXPECT_TRUE(ReadTownFile(dir.Path("pipe")).empty());
  EXPECT_TRUE(ReadTownFile("/dev/zero").empty());
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

TEST(TownFileTest, FilesThatCannotBeOpenedOrReadFailWithTheirMessage) {
  const TTempFolder dir;
  const std::string file = dir.Write("towns.txt", "Aa\n");
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
  ASSERT_TRUE(IsRegularFile("/proc/self/mem"));
  for (const auto& c : cases)
    EXPECT_EQ(ReadFailure(c.name), c.message) << c.name;

  const struct {
    int error;
    std::string message;
  } numbers[] = {{ENFILE, "Too many open files"},
                 {EPERM, "File access denied"},
                 {ENOSPC, "I/O error 28"},
                 {EISDIR, "I/O error 21"}};
  for (const auto& n : numbers)
    EXPECT_EQ(InOutErrorMessage(n.error), n.message) << n.error;
}

TEST(TownFileTest, AFileWithoutReadPermissionIsDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop a privileged user";
  const TTempFolder dir;
  const std::string file = dir.Write("towns.txt", "Aa\n");
  ASSERT_EQ(::chmod(file.c_str(), 0), 0);
  EXPECT_EQ(ReadFailure(file), "File access denied");
}

// Lowers the limit of open files for the lifetime of the object and uses up what is left.
class TNoFreeDescriptors {
 public:
  TNoFreeDescriptors() {
    ::getrlimit(RLIMIT_NOFILE, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = 256;
    ::setrlimit(RLIMIT_NOFILE, &lowered);
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
      fds_.push_back(fd);
  }
  ~TNoFreeDescriptors() {
    for (const int fd : fds_)
      ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &saved_);
  }
  TNoFreeDescriptors(const TNoFreeDescriptors&) = delete;
  TNoFreeDescriptors& operator=(const TNoFreeDescriptors&) = delete;

 private:
  rlimit saved_{};
  std::vector<int> fds_;
};

TEST(TownFileTest, RunningOutOfDescriptorsIsTooManyOpenFiles) {
  const TTempFolder dir;
  const std::string file = dir.Write("towns.txt", "Aa\n");
  std::string message;
  {
    const TNoFreeDescriptors exhausted;
    message = ReadFailure(file);
  }
  EXPECT_EQ(message, "Too many open files");
  EXPECT_EQ(ReadTownFile(file), Names{"Aa"});
}

TEST(TownFileTest, AFailedLoadKeepsTheNamesItHad) {
  TNameGen names;
  names.SetNames(Names{"Aa", "Bb"});
  names.UsedCount = 1;
  EXPECT_THROW(names.LoadFromFile("/proc/self/mem"), TError);
  EXPECT_EQ(*names.Names, (Names{"Aa", "Bb"}));
  EXPECT_EQ(names.UsedCount, 1);
}

// Kilobytes of a line of /proc/self/status, such as "VmRSS:".
std::int64_t StatusKilobytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return std::stoll(line.substr(field.size()));
  }
  return -1;
}

// Reads the town database and checks that the process's peak memory rose meanwhile by no more
// than a few times its bytes and a small string object per line, whatever the sanitizers add.
Names ReadWithinMemoryOfTheFile(const std::string& file, std::int64_t bytes) {
  std::ofstream reset("/proc/self/clear_refs");
  reset << "5" << std::flush;  // the peak starts again from what is resident now
  const std::int64_t before = StatusKilobytes("VmRSS:");
  Names names = ReadTownFile(file);
  const std::int64_t peakGrowth = (StatusKilobytes("VmHWM:") - before) * 1024;
  const auto lines = static_cast<std::int64_t>(names.size());
  if (reset.good()) {  // where the system lets the peak be reset
    EXPECT_LT(peakGrowth, 4 * bytes + 128 * lines) << file << ": " << lines << " lines";
  }
  return names;
}

// A small map of land only, every pixel a town where no label stands.
TTownList RenderTowns(const std::string& townDB) {
  TPicture picture;
  TTownList towns;
  RandSeed = 1;
  GenerateMap(picture, 40, 60, 700, 0, 1.0, townDB, &towns);
  return towns;
}

TEST(TownFileTest, LongLinesAndManyLinesLoadWithinMemoryOfTheirSizeAndRender) {
  const TTempFolder dir;
  const std::string longLine(50'000'000, 'w');
  const std::string longFile = dir.Write("long.txt", longLine + "\r\n");
  const Names oneLine = ReadWithinMemoryOfTheFile(longFile, 50'000'002);
  ASSERT_EQ(oneLine.size(), 1u);
  EXPECT_EQ(oneLine[0].size(), longLine.size());
  EXPECT_EQ(oneLine[0].find_first_not_of('w'), std::string::npos);
  // A label that long reaches past the picture: it counts as LabelWidthLimit, and each row holds
  // one town.
  const TTownList longTowns = RenderTowns(longFile);
  ASSERT_GE(longTowns.size(), 2u);
  for (const TTown& town : longTowns) {
    EXPECT_EQ(town.Name.size(), longLine.size());
    EXPECT_EQ(town.LabelWidth, LabelWidthLimit);
  }

  std::string manyLines;
  constexpr int LineCount = 1'000'000;
  for (int i = 0; i < LineCount; ++i)
    manyLines += i % 1000 == 0 ? "\xC4rhus\n" : "Town\n";
  const std::string manyFile = dir.Write("many.txt", manyLines);
  const Names many = ReadWithinMemoryOfTheFile(manyFile, std::ssize(manyLines));
  ASSERT_EQ(many.size(), static_cast<std::size_t>(LineCount));
  EXPECT_EQ(many[0], "\xC3\x84rhus");
  EXPECT_EQ(many[1], "Town");
  EXPECT_EQ(many[LineCount - 1000], "\xC3\x84rhus");
  const TTownList manyTowns = RenderTowns(manyFile);
  ASSERT_FALSE(manyTowns.empty());
  for (const TTown& town : manyTowns)
    EXPECT_TRUE(town.Name == "Town" || town.Name == "\xC3\x84rhus") << town.Name;
}

}  // namespace
}  // namespace hillograph
