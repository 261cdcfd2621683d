#pragma once

#include <ostream>

#include "cli/arguments.h"

namespace tavufe::cli {

// Runs info, folders or save; prints results on `out`, warnings, notices and refusals on
// `err`, and returns the exit status.
int runCommand(const Arguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace tavufe::cli
