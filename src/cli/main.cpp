#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "editor/input_file.h"
#include "model/version.h"

int main(int argc, char** argv) {
  using namespace tavufe::cli;
  tavufe::ignoreFileSignals();
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const ParseOutcome parsed = parseArguments(args);
  if (!parsed.arguments) {
    std::cerr << usageErrorText(parsed.error, parsed.command);
    return kExitUsage;
  }

  const Arguments& arguments = *parsed.arguments;
  // The image alone is 64 MiB: the state lives on the heap. It is never freed: the process
  // ends in _Exit below, and the system takes back the whole address space anyway.
  const auto state = std::make_unique<tavufe::EditorState>();
  int status = kExitSuccess;
  if (arguments.command == Command::Help) {
    std::cout << (arguments.helpFor ? commandHelpText(*arguments.helpFor) : helpText());
  } else if (arguments.command == Command::Version) {
    std::cout << "tavufe " << tavufe::kProgramVersion << '\n';
  } else {
    status = runCommand(*state, arguments, std::cout, std::cerr);
  }

  // A listing that did not reach its reader (a full disk, a closed pipe) is not a success.
  std::cout.flush();
  if (!std::cout && status == kExitSuccess) {
    std::cerr << "tavufe: cannot write to standard output\n";
    status = kExitRefused;
  }
  // Every stream is flushed here, so the exit handlers and destructors have nothing left to do.
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(status);
}
