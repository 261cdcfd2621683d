#pragma once

#include "model/codes.h"

namespace tavufe {

// What a reader made of a file.
struct ReadResult {
  StatusCode status = StatusCode::None;
  // The reader went through the whole file, so a report can describe it (even when the
  // status then says that what was read does not agree with the header).
  bool complete = false;
};

}  // namespace tavufe
