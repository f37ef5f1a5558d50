// The commands of boardsim. Each adds itself to the command line as a subcommand; when the
// subcommand runs, it stores the process exit status: 0 done, 1 the module or the board
// failed, 2 the command line was wrong.
#pragma once

#include <CLI/CLI.hpp>

namespace boardsim {

void RegisterSpdCommand(CLI::App &App, int &ExitStatus);
void RegisterBmpCommand(CLI::App &App, int &ExitStatus);
void RegisterFlashCommand(CLI::App &App, int &ExitStatus);
void RegisterLogoCommand(CLI::App &App, int &ExitStatus);

}  // namespace boardsim
