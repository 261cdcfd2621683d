#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "model/version.h"

int main(int argc, char** argv) {
  using namespace tavufe::cli;
  // Past the file-size limit a write then fails with EFBIG, which the save reports and
  // cleans up after, instead of the signal ending the process part-way.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const ParseOutcome parsed = parseArguments(args);
  if (!parsed.arguments) {
    std::cerr << "tavufe: " << parsed.error << '\n' << usageText();
    return kExitUsage;
  }

  const Arguments& arguments = *parsed.arguments;
  int status = kExitSuccess;
  if (arguments.command == Command::Help) {
    std::cout << helpText();
  } else if (arguments.command == Command::Version) {
    std::cout << "tavufe " << tavufe::kProgramVersion << '\n';
  } else {
    status = runCommand(arguments, std::cout, std::cerr);
  }

  // A listing that did not reach its reader (a full disk, a closed pipe) is not a success.
  std::cout.flush();
  if (!std::cout && status == kExitSuccess) {
    std::cerr << "tavufe: cannot write to standard output\n";
    return kExitRefused;
  }
  return status;
}
