// "-o -": the picture on standard output, as BMP or PNG, byte for byte the file "-o FILE" writes;
// never onto a terminal.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/RenderCommand.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

struct TRun {
  int status;
  std::string out;
  std::string err;
};

TRun RunCommand(std::vector<std::string> arguments, bool outIsTerminal = false) {
  arguments.insert(arguments.begin(), "hillograph-render");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments)
    argv.push_back(argument.c_str());
  std::ostringstream out, err;
  const int status =
      RunRenderCommand(static_cast<int>(argv.size()), argv.data(), out, err, false, outIsTerminal);
  return {status, out.str(), err.str()};
}

TEST(StandardOutputTest, ThePictureAsTheFileWouldHoldIt) {
  const testing::TTempFolder folder;
  const std::vector<std::string> map = {"--set", "Width=40", "--set", "Height=30", "-o"};
  const struct {
    std::vector<std::string> format;
    const char* file;
  } cases[] = {{{}, "m.bmp"}, {{"--format", "bmp"}, "m.bmp"}, {{"--format", "png"}, "m.png"}};
  for (const auto& c : cases) {
    std::vector<std::string> toFile = map, toOut = map;
    toFile.push_back(folder.Path(c.file));
    toOut.push_back("-");
    toOut.insert(toOut.end(), c.format.begin(), c.format.end());
    ASSERT_EQ(RunCommand(toFile).status, 0);
    const TRun run = RunCommand(toOut);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, folder.Read(c.file)) << c.file;
  }
  EXPECT_EQ(folder.Entries(), 2);  // nothing named "-"
}

TEST(StandardOutputTest, NeverOntoATerminalAndFormatOnlyForIt) {
  const struct {
    std::vector<std::string> arguments;
    bool terminal;
    const char* says;
  } cases[] = {
      {{"-o", "-"}, true, "a picture is not written to a terminal"},
      {{"-o", "m.png", "--format", "png"}, false, "--format: only for -o -"},
      {{"-o", "-", "--format", "jpg"}, false, "--format"},
  };
  for (const auto& c : cases) {
    const TRun run = RunCommand(c.arguments, c.terminal);
    EXPECT_EQ(run.status, 2) << c.says;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace hillograph
