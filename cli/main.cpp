#include <unistd.h>

#include <csignal>
#include <iostream>

#include "cli/RenderCommand.h"

int main(int argc, char** argv) {
  // A reader that goes away makes the write fail with a message instead of ending the program.
  std::signal(SIGPIPE, SIG_IGN);
  return hillograph::RunRenderCommand(argc, argv, std::cout, std::cerr,
                                      ::isatty(STDERR_FILENO) == 1, ::isatty(STDOUT_FILENO) == 1);
}
