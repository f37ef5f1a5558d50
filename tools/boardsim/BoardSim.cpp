// boardsim: runs this project's firmware modules on the simulated board, from the command
// line, and shows what they produced. One subcommand per subsystem; `boardsim COMMAND --help`
// describes each.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "tools/boardsim/Commands.h"

namespace {

// CLI11 reports a missing value as "--strap: 1 required 0|1 missing"; say it the way the
// wrong-value messages do: "--strap: no value given; accepted: 0 or 1".
std::string Reword(const std::string &Message) {
  const std::string Required = " required ", Missing = " missing";
  size_t Colon = Message.find(": ");
  size_t Type = Message.find(Required);
  if (Colon == std::string::npos || Type == std::string::npos || Type < Colon ||
      Message.size() < Missing.size() ||
      Message.compare(Message.size() - Missing.size(), Missing.size(), Missing) != 0) {
    return Message;
  }
  std::string Accepted = Message.substr(Type + Required.size(),
                                        Message.size() - Missing.size() - Type - Required.size());
  std::string Words;
  for (char C : Accepted) Words += C == '|' ? std::string(" or ") : std::string(1, C);
  return Message.substr(0, Colon) + ": no value given; accepted: " + Words;
}

// A wrong command line: what was wrong, then the usage of the command it was meant for (the
// subcommand named on the line, if any), so that the fix is on the screen.
void ReportFailure(const CLI::App &Top, const CLI::ParseError &Error) {
  const CLI::App *Command = &Top;
  std::string Name = Top.get_name();
  for (const CLI::App *Selected : Top.get_subcommands()) {
    Command = Selected;
    Name += " " + Selected->get_name();
  }
  // help(prefix) names the command as typed: "Usage: boardsim spd [OPTIONS]".
  std::string Usage = Command == &Top ? Top.help() : Command->help(Top.get_name());
  std::fprintf(stderr, "%s: %s\n\n%s", Name.c_str(), Reword(Error.what()).c_str(),
               Usage.c_str());
}

}  // namespace

int main(int argc, char **argv) {
  CLI::App App{"Runs the firmware modules on the simulated board.", "boardsim"};
  App.require_subcommand(1, 1);

  int ExitStatus = 0;
  boardsim::RegisterSpdCommand(App, ExitStatus);
  boardsim::RegisterBmpCommand(App, ExitStatus);
  boardsim::RegisterFlashCommand(App, ExitStatus);
  boardsim::RegisterLogoCommand(App, ExitStatus);

  // CLI11 answers a misspelt command with "A subcommand is required"; name it instead.
  if (argc > 1 && argv[1][0] != '-') {
    std::string Commands;
    bool Known = false;
    for (CLI::App *Command : App.get_subcommands([](CLI::App *) { return true; })) {
      Known = Known || Command->get_name() == argv[1];
      Commands += (Commands.empty() ? "" : ", ") + Command->get_name();
    }
    if (!Known) {
      std::fprintf(stderr, "boardsim: unknown command '%s'; commands: %s\n\n%s", argv[1],
                   Commands.c_str(), App.help().c_str());
      return 2;
    }
  }

  try {
    App.parse(argc, argv);
  } catch (const CLI::ParseError &Error) {
    // --help (on any command) is a successful exit that prints that command's help.
    if (Error.get_exit_code() == 0) return App.exit(Error);
    ReportFailure(App, Error);
    return 2;
  }
  return ExitStatus;
}
