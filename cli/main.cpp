#include <iostream>

#include "cli/RenderCommand.h"

int main(int argc, char** argv) {
  return hillograph::RunRenderCommand(argc, argv, std::cout, std::cerr);
}
