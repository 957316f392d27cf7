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
  const struct {
    std::vector<std::string> toOut;
    const char* file;
  } cases[] = {{{"-o", "-"}, "m.bmp"},
               {{"-o", "-", "--format", "bmp"}, "m.bmp"},
               {{"-o", "-", "--format", "png"}, "m.png"}};
  for (auto c : cases) {
    ASSERT_EQ(RunCommand({"--size", "40x30", "-o", folder.Path(c.file)}).status, 0);
    c.toOut.insert(c.toOut.begin(), {"--size", "40x30"});
    const TRun run = RunCommand(c.toOut);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, folder.Read(c.file)) << c.file;
  }
  EXPECT_EQ(folder.Entries(), 2);  // nothing named "-"
}

// Usage errors: a picture onto a terminal, --format without -o -, a name of a kind not written.
TEST(StandardOutputTest, NeverOntoATerminalAndFormatOnlyForIt) {
  const struct {
    std::vector<std::string> arguments;
    bool terminal;
    const char* says;
  } cases[] = {
      {{"-o", "-"}, true, "a picture is not written to a terminal"},
      {{"-o", "m.png", "--format", "png"}, false, "--format: only for -o -"},
      {{"-o", "-", "--format", "jpg"}, false, "--format"},
      {{"-o", "m.jpg"}, false, "must end in .bmp, .png, .svg (or have no extension"},
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
