#pragma once

#include <ostream>

#include "cli/arguments.h"
#include "model/editor_state.h"

namespace tavufe::cli {

// Runs info, folders or save on `state`; prints results on `out`, warnings, notices and
// refusals on `err`, and returns the exit status.
int runCommand(EditorState& state, const Arguments& arguments, std::ostream& out,
               std::ostream& err);

}  // namespace tavufe::cli
