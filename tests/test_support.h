#pragma once

#include <memory>

#include "model/catalogue.h"
#include "model/editor_state.h"
#include "model/flash_image.h"
#include "model/progress.h"

// A fresh editor as after start-up: image allocated and erased, profile applied.
inline std::unique_ptr<tavufe::EditorState> freshEditor() {
  auto state = std::make_unique<tavufe::EditorState>();
  if (!state->image.allocate()) throw std::bad_alloc();
  tavufe::fillImage(*state);
  tavufe::initialiseEditor(*state);
  return state;
}

inline int code(tavufe::StatusCode c) { return int(c); }

// Records what the core tells a progress bar.
struct CountingProgress : tavufe::Progress {
  int maximum = -1;
  int steps = 0;
  int position = -1;
  void setMaximum(int m) override { maximum = m; }
  void step() override { ++steps; }
  void setPosition(int p) override { position = p; }
};
