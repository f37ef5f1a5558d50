// The commands of boardsim. Each returns the process exit status: 0 done, 1 the module
// failed, 2 the command line was wrong.
#pragma once

#include <string>
#include <vector>

namespace boardsim {

int RunSpdCommand(const std::vector<std::string> &Args);

}  // namespace boardsim
