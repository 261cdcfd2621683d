#pragma once

#include <cstdint>
#include <string>

namespace tavufe {

// Why a file could not be read or written, beside the FileNotOpened or FileWriteError status:
// the system's error number, or a refusal of the editor's own.
struct FileProblem {
  enum class Kind : std::uint8_t {
    None,
    System,          // `error` holds the errno of the call that failed
    NotRegularFile,  // a pipe, socket or device where a file to read was expected
    Empty,
    TooLarge,  // larger than any superfile can be
    ChangedWhileRead,
    NoReader,       // a pipe that no process is reading from
    UnsafeLink,     // a link the kernel's protected-symlinks rule would not follow
    NotDurable,     // the folder of a saved file could not be synced; `error` says why
    Terminal,       // standard output named as the output is a terminal
    TerminalNamed,  // an output named by its path is a terminal
    // What the file replaced had and the new one could not be given; `error` says why.
    OwnerNotKept,
    GroupNotKept,
    AccessListNotKept,
    AttributesNotKept,
  };
  Kind kind = Kind::None;
  int error = 0;
  // The path the reason concerns when it is not the file named (the folder of NotDurable).
  std::string where{};
  // A temporary file that stayed behind because removing it failed twice, and the errno.
  std::string leftover{};
  int leftoverError = 0;

  static FileProblem system(int errorNumber) { return {Kind::System, errorNumber}; }
  explicit operator bool() const { return kind != Kind::None; }
};

// The reason as one line for the user; empty for Kind::None.
std::string fileProblemText(const FileProblem& problem);

}  // namespace tavufe
