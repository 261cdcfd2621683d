#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/open_flow.h"
#include "editor/save_flow.h"

namespace tavufe::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1;  // a warning or notice from the core
inline constexpr int kExitUsage = 2;

enum class Command { Info, Folders, Save, Verify, Diff, Help, Version };

struct Arguments {
  Command command = Command::Help;
  std::string file;     // OLD for diff
  std::string newFile;  // diff: NEW
  // Set only when given; otherwise the extension of `file` decides, as in the window.
  std::optional<SuperfileEncoding> inputType;
  bool keepRepeated = false;
  bool json = false;  // one JSON document in place of the plain lines
  // save: write even when the opened file has problems, or over the opened file
  // when it holds code groups the save does not write.
  bool force = false;
  std::string output;  // "-" for standard output
  // From --type, or else from the output's extension.
  SaveType saveType = SaveType::Shx;
  // Folder-list rows as `folders` numbers them, in the order given.
  std::vector<int> deleteRows;
};

struct ParseOutcome {
  std::optional<Arguments> arguments;
  std::string error;  // set when arguments is empty
};

// Everything after the program name.
ParseOutcome parseArguments(const std::vector<std::string>& args);

const char* usageText();
std::string helpText();

}  // namespace tavufe::cli
