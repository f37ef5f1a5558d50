// boardsim: runs this project's firmware modules on the simulated board, from the command
// line, and shows what they produced. One subcommand per subsystem; `boardsim COMMAND --help`
// describes each.
#include <CLI/CLI.hpp>

#include "tools/boardsim/Commands.h"

int main(int argc, char **argv) {
  CLI::App App{"Runs the firmware modules on the simulated board.", "boardsim"};
  App.require_subcommand(1, 1);

  int ExitStatus = 0;
  boardsim::RegisterSpdCommand(App, ExitStatus);
  boardsim::RegisterFlashCommand(App, ExitStatus);

  try {
    App.parse(argc, argv);
  } catch (const CLI::ParseError &Error) {
    // --help is a successful exit; any other parse failure is a wrong command line.
    return App.exit(Error) == 0 ? 0 : 2;
  }
  return ExitStatus;
}
