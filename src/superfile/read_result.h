#pragma once

#include <cstdint>
#include <vector>

#include "model/codes.h"

namespace tavufe {

// A code group that a rescue read could not read whole and soundly, in the slot the header
// gave it.
struct GroupDamage {
  int slot = 0;
  std::int32_t cgNumber = 0;
  // Where the first damage is: a line of SHX text or a byte offset; none for a group that is
  // only missing from the file.
  bool placed = false;
  bool atLine = false;
  std::uint64_t at = 0;
  std::uint64_t lines = 0;  // SHX lines or SBF records of it that could not be read
  bool operator==(const GroupDamage&) const = default;
};

// What a reader made of a file.
struct ReadResult {
  StatusCode status = StatusCode::None;
  // The reader went through the whole file, so a report can describe it (even when the
  // status then says that what was read does not agree with the header).
  bool complete = false;
  // A rescue read's damaged code groups, in slot order.
  std::vector<GroupDamage> damage;
};

}  // namespace tavufe
