// Runs the built hillograph-render as a separate process, as a user's shell would.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TempFolder.h"

extern char** environ;

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

// Starts the program with Arguments, with no signal ignored or blocked (a shell's background job
// would ignore SIGINT); returns its process id.
inline pid_t StartRenderProgram(const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(HILLOGRAPH_RENDER_PROGRAM)};
  for (const std::string& a : arguments)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, argv[0], nullptr, &attributes, argv.data(), environ), 0);
  posix_spawnattr_destroy(&attributes);
  return pid;
}

// Waits until Ready() holds, or the program ended (false), polling every 200 µs.
template <class TReady>
bool WaitWhileRunning(pid_t pid, TReady ready) {
  while (!ready()) {
    siginfo_t ended{};  // left for WaitForProgram to collect
    if (::waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        ended.si_pid != 0) {
      return false;
    }
    ::usleep(200);
  }
  return true;
}

// Its exit status, or minus the signal that ended it.
inline int WaitForProgram(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// The temporary files in the folder.
inline std::vector<std::string> Temporaries(const TTempFolder& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Dir()))
    if (entry.path().filename().string().find(".hillograph-") != std::string::npos)
      names.push_back(entry.path());
  return names;
}

}  // namespace hillograph::testing
