#include "editor/file_problem.h"

#include <cstring>

namespace tavufe {

namespace {

std::string notKept(const char* what, int error) {
  return std::string("its ") + what + " could not be kept: " + std::strerror(error);
}

}  // namespace

std::string fileProblemText(const FileProblem& problem) {
  using Kind = FileProblem::Kind;
  switch (problem.kind) {
    case Kind::None: return {};
    case Kind::System: return std::strerror(problem.error);
    case Kind::NotRegularFile: return "Not a regular file";
    case Kind::Empty: return "File is empty";
    case Kind::TooLarge: return "File is larger than any superfile can be";
    case Kind::ChangedWhileRead: return "File changed while it was read";
    case Kind::NoReader: return "No process is reading from the pipe";
    case Kind::UnsafeLink:
      return "Symbolic link in a sticky world-writable folder, owned by another user: not "
             "followed";
    case Kind::NotDurable:
      return std::string("the saved file may not survive a power cut: ") +
             std::strerror(problem.error);
    case Kind::Terminal: return "Standard output is a terminal: redirect it to a file or a pipe";
    case Kind::TerminalNamed: return "Is a terminal: name a file or a pipe for the output";
    case Kind::OwnerNotKept: return notKept("owner", problem.error);
    case Kind::GroupNotKept: return notKept("group", problem.error);
    case Kind::AccessListNotKept: return notKept("access list", problem.error);
    case Kind::AttributesNotKept: return notKept("extended attributes", problem.error);
  }
  return {};
}

}  // namespace tavufe
