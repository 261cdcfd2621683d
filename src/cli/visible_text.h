#pragma once

#include <string>
#include <string_view>

namespace tavufe::cli {

// Text that came from a file, made safe to print on a terminal or into a pipe: C0 and C1
// control characters, DEL and bytes that are not part of valid UTF-8 become visible escapes
// ("\x1B"), so that a crafted name cannot move the cursor, retitle the terminal or start a new
// row. Printable text, UTF-8 included, is unchanged.
std::string visibleText(std::string_view text);

}  // namespace tavufe::cli
