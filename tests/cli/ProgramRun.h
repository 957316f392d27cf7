// Runs the built hillograph-render as a separate process, as a user's shell would.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace hillograph::testing {

struct TProgramRun {
  int status;
  std::string err;
};

// Arguments is a shell command line; standard output is dropped.
inline TProgramRun RunRenderProgram(const std::string& arguments) {
  static int count = 0;
  const std::filesystem::path errFile =
      std::filesystem::temp_directory_path() /
      ("hillograph-run-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
  const std::string command = std::string(HILLOGRAPH_RENDER_PROGRAM) + " " + arguments + " 2>" +
                              errFile.string() + " >/dev/null";
  const int raw = std::system(command.c_str());
  std::ifstream in(errFile);
  std::stringstream err;
  err << in.rdbuf();
  std::filesystem::remove(errFile);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, err.str()};
}

}  // namespace hillograph::testing
