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

// Written as the file "-o FILE" holds it, BMP unless --format png asks; or a usage error that
// writes nothing: a picture onto a terminal, --format without -o -, a name of a kind not written.
TEST(StandardOutputTest, ThePictureAsTheFileWouldHoldItNeverOntoATerminal) {
  const testing::TTempFolder folder;
  for (const char* file : {"m.bmp", "m.png"})
    ASSERT_EQ(RunCommand({"--size", "40x30", "-o", folder.Path(file)}).status, 0);
  const struct {
    std::vector<std::string> arguments;
    const char* file;  // whose bytes it writes; null: a usage error that says Says
    const char* says = "";
    bool terminal = false;
  } cases[] = {
      {{"-o", "-"}, "m.bmp"},
      {{"-o", "-", "--format", "bmp"}, "m.bmp"},
      {{"-o", "-", "--format", "png"}, "m.png"},
      {{"-o", "-"}, nullptr, "a picture is not written to a terminal", true},
      {{"-o", "m.png", "--format", "png"}, nullptr, "--format: only for -o -"},
      {{"-o", "-", "--format", "jpg"}, nullptr, "--format"},
      {{"-o", "m.jpg"}, nullptr, "must end in .bmp, .png, .svg (or have no extension"},
  };
  for (auto c : cases) {
    c.arguments.insert(c.arguments.begin(), {"--size", "40x30"});
    const TRun run = RunCommand(c.arguments, c.terminal);
    EXPECT_EQ(run.status, c.file != nullptr ? 0 : 2) << run.err;
    EXPECT_EQ(run.out, c.file != nullptr ? folder.Read(c.file) : "") << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_EQ(folder.Entries(), 2);  // nothing named "-"
}

}  // namespace
}  // namespace hillograph
