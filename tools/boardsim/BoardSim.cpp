// boardsim: runs this project's firmware modules on the simulated board, from the command
// line, and shows what they produced.
//
//   boardsim spd --strap 0|1 [--output FILE]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/boardsim/Commands.h"

namespace {

void PrintUsage(FILE *To) {
  std::fprintf(To,
               "usage: boardsim spd --strap 0|1 [--output FILE]\n"
               "  spd   run SpdProviderPei with the memory strap (GPIO 34) at the given level;\n"
               "        print the published SPD block and a decoded summary; with --output,\n"
               "        write the 256-byte SPD image to FILE\n");
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<std::string> Args(argv + 1, argv + argc);
  if (Args.empty() || Args[0] == "--help" || Args[0] == "-h") {
    PrintUsage(Args.empty() ? stderr : stdout);
    return Args.empty() ? 2 : 0;
  }
  if (Args[0] == "spd") {
    Args.erase(Args.begin());
    return boardsim::RunSpdCommand(Args);
  }
  std::fprintf(stderr, "boardsim: unknown command '%s'\n", Args[0].c_str());
  PrintUsage(stderr);
  return 2;
}
