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
  // Help: the command whose help was asked for; the overview without it.
  std::optional<Command> helpFor;
  std::string file;     // the first FILE; OLD for diff
  std::string newFile;  // diff: NEW
  // info and verify: every FILE, the first included.
  std::vector<std::string> files;
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
  // Folder names as `folders` lists them, raw or as it prints them.
  std::vector<std::string> deleteFolders;
  // A name that matches several records erases all of them.
  bool allMatches = false;
  // info, folders and save: read past damaged lines and records.
  bool rescue = false;
};

struct ParseOutcome {
  std::optional<Arguments> arguments;
  std::string error;  // set when arguments is empty
  // The command the error belongs to, once it is known.
  std::optional<Command> command;
};

// Everything after the program name.
ParseOutcome parseArguments(const std::vector<std::string>& args);

// "tavufe: ERROR", then the usage line of `command` and where its help is; without a command,
// every usage line.
std::string usageErrorText(const std::string& error, std::optional<Command> command);
// The overview: every usage line, the commands, the options and the exit status.
std::string helpText();
// One command's usage, its options with a line each, and an example.
std::string commandHelpText(Command command);

}  // namespace tavufe::cli
