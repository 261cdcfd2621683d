#pragma once

#include <memory>
#include <ostream>

#include "model/catalogue.h"
#include "model/codes.h"
#include "model/editor_state.h"
#include "model/progress.h"

namespace tavufe {

// Codes print by name in failures ("RecordError", not 9).
inline const char* codeName(StatusCode c) {
  switch (c) {
    case StatusCode::None: return "None";
    case StatusCode::FileNotOpened: return "FileNotOpened";
    case StatusCode::BufferError: return "BufferError";
    case StatusCode::ChecksumError: return "ChecksumError";
    case StatusCode::BufferAddressOverflow: return "BufferAddressOverflow";
    case StatusCode::RecordError: return "RecordError";
    case StatusCode::AddressRange: return "AddressRange";
    case StatusCode::RdlBlankOrMissing: return "RdlBlankOrMissing";
    case StatusCode::FileWriteError: return "FileWriteError";
    case StatusCode::VerifyError: return "VerifyError";
  }
  return "unknown status";
}
inline void PrintTo(StatusCode c, std::ostream* out) { *out << codeName(c) << " (" << int(c) << ")"; }

inline const char* codeName(NoticeCode c) {
  switch (c) {
    case NoticeCode::None: return "None";
    case NoticeCode::FileTypeNotSupported: return "FileTypeNotSupported";
    case NoticeCode::DuplicateCg: return "DuplicateCg";
    case NoticeCode::NoFilesSelectedToSave: return "NoFilesSelectedToSave";
    case NoticeCode::NoFlexCodeGroup: return "NoFlexCodeGroup";
  }
  return "unknown notice";
}
inline void PrintTo(NoticeCode c, std::ostream* out) { *out << codeName(c) << " (" << int(c) << ")"; }

}  // namespace tavufe

// The whole image, for tests that lay bytes into it or look at them directly.
inline std::uint8_t* imageData(tavufe::EditorState& s) {
  return s.image.write(0, tavufe::kImageSize).data();
}
inline const std::uint8_t* imageData(const tavufe::EditorState& s) {
  return s.image.read(0, tavufe::kImageSize).data();
}

// A fresh editor as after start-up: image allocated and erased, profile applied.
inline std::unique_ptr<tavufe::EditorState> freshEditor() {
  auto state = std::make_unique<tavufe::EditorState>();
  if (!state->image.allocate()) throw std::bad_alloc();
  state->image.fill();
  tavufe::initialiseEditor(*state);
  return state;
}


// Records what the core tells a progress bar.
struct CountingProgress : tavufe::Progress {
  int maximum = -1;
  int steps = 0;
  int position = -1;
  void setMaximum(int m) override { maximum = m; }
  void step() override { ++steps; }
  void setPosition(int p) override { position = p; }
};
