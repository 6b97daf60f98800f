#pragma once

#include <ostream>
#include <string>
#include <vector>

// The whole tool behind main: arguments after the program name in, output
// and one-line failures out. Returns the exit status: 0 done, 1 refused or
// failed, 2 wrong arguments.
int RunSealTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
