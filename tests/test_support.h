#pragma once

#include <memory>

#include "model/catalogue.h"
#include "model/editor_state.h"
#include "model/flash_image.h"

// A fresh editor as after start-up: image allocated and erased, profile applied.
inline std::unique_ptr<tavufe::EditorState> freshEditor() {
  auto state = std::make_unique<tavufe::EditorState>();
  if (!state->image.allocate()) throw std::bad_alloc();
  tavufe::fillImage(*state);
  tavufe::initialiseEditor(*state);
  return state;
}

inline int code(tavufe::StatusCode c) { return int(c); }
