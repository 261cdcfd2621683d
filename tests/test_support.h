#pragma once

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

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
inline void PrintTo(StatusCode c, std::ostream* out) {
  *out << codeName(c) << " (" << int(c) << ")";
}

inline const char* codeName(NoticeCode c) {
  switch (c) {
    case NoticeCode::None: return "None";
    case NoticeCode::FileTypeNotSupported: return "FileTypeNotSupported";
    case NoticeCode::DuplicateCg: return "DuplicateCg";
    case NoticeCode::NoFilesSelectedToSave: return "NoFilesSelectedToSave";
    case NoticeCode::NoFlexCodeGroup: return "NoFlexCodeGroup";
    case NoticeCode::SaveWouldDropCodeGroups: return "SaveWouldDropCodeGroups";
    case NoticeCode::DamagedCodeGroup: return "DamagedCodeGroup";
  }
  return "unknown notice";
}
inline void PrintTo(NoticeCode c, std::ostream* out) {
  *out << codeName(c) << " (" << int(c) << ")";
}

}  // namespace tavufe

// The whole image, for tests that lay bytes into it or look at them directly.
inline std::uint8_t* imageData(tavufe::EditorState& s) {
  return s.image.write(0, tavufe::kImageSize).data();
}
inline const std::uint8_t* imageData(const tavufe::EditorState& s) {
  return s.image.read(0, tavufe::kImageSize).data();
}

// A folder record laid into the image at `at`: 00 00 04 05 | 02 04 00 07 | FF FF FF FF |
// 14 bytes not examined | from byte 26 each character as 00 c, ended by 00 00.
inline void putRecord(tavufe::EditorState& s, std::int64_t at, const std::string& name) {
  static constexpr std::uint8_t kHead[12] = {0x00, 0x00, 0x04, 0x05, 0x02, 0x04,
                                             0x00, 0x07, 0xFF, 0xFF, 0xFF, 0xFF};
  std::uint8_t* p = imageData(s) + at;
  std::memcpy(p, kHead, sizeof kHead);
  std::memset(p + 12, 0x11, 14);
  for (std::size_t k = 0; k <= name.size(); ++k) {
    p[26 + 2 * k] = 0x00;
    p[27 + 2 * k] = k < name.size() ? std::uint8_t(name[k]) : 0x00;
  }
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
