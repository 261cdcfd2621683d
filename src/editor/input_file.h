#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "model/codes.h"

namespace tavufe {

// A whole input file in memory.
struct InputFile {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
  StatusCode status = StatusCode::None;
  int error = 0;  // errno of the call that failed, when one did
  std::span<const std::uint8_t> view() const { return {bytes.get(), size}; }
};

// Reads the file whole: FileNotOpened when it cannot be opened, is empty or is not read in
// full; BufferError when there is no memory for it.
InputFile readWholeFile(const std::string& path);

}  // namespace tavufe
