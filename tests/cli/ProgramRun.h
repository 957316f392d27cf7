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

// Arguments is a shell command line, Before shell commands run first; standard output is dropped.
inline TProgramRun RunRenderProgram(const std::string& arguments, const std::string& before = "") {
  const std::filesystem::path errFile =
      std::filesystem::temp_directory_path() / ("hillograph-run-" + std::to_string(::getpid()));
  const int raw = std::system((before + HILLOGRAPH_RENDER_PROGRAM + " " + arguments + " 2>" +
                               errFile.string() + " >/dev/null")
                                  .c_str());
  std::stringstream err;
  err << std::ifstream(errFile).rdbuf();
  std::filesystem::remove(errFile);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, err.str()};
}

}  // namespace hillograph::testing
