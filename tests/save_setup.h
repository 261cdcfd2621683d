#pragma once

// Slot tables as a read leaves them, laid directly into the image so that the writer tests do
// not depend on the readers.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/finalise.h"
#include "superfile/byte_sink.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_writer.h"
#include "superfile/shx_writer.h"
#include "superfile_fixture.h"
#include "test_support.h"

namespace save_setup {

inline constexpr std::uint32_t kRamdldStart = 0x03FC8000;
inline constexpr std::uint32_t kFlexStart = 0x11280000;

// An editor with an empty slot table and the profile's catalogue, as after a header parse.
inline std::unique_ptr<tavufe::EditorState> emptyEditor() {
  auto s = freshEditor();
  tavufe::resetSlots(*s);
  tavufe::copyProfileToCatalogue(*s);
  s->lastSlot = -1;
  return s;
}

// Puts a code group's bytes where a reader would and finalises its slot.
inline void layGroup(tavufe::EditorState& s, int slot, int cg, std::uint32_t start,
                     const fixture::Bytes& data) {
  const std::uint32_t offset = slot == 0 ? 0x4000000u : (start & 0x0FFFFFFFu);
  const auto target = s.image.write(offset, data.size());
  std::copy(data.begin(), data.end(), target.begin());
  const auto length = std::uint32_t(data.size());
  (void)tavufe::placeInSlot(s, slot, cg, start, start + length - 1);
  s.slots[std::size_t(slot)].recordAddress = start;
  s.slots[std::size_t(slot)].recordLength = length;
  (void)tavufe::finaliseSlot(s, slot, tavufe::FinaliseFrom::Record);
  s.lastSlot = std::max(s.lastSlot, slot);
}

// The header date the writer tests save with.
inline const std::string kDateText = "Sun September 06 09:05:03 2026";

// The superfile a save writes for the state, in memory: the plan, the RAMDLD check, its
// preparation, then the writer. The status the save ends with goes to `status`.
inline fixture::Bytes writeSuperfile(const tavufe::EditorState& s, bool shx,
                                     tavufe::StatusCode& status, tavufe::Progress& progress) {
  tavufe::MemorySink out;
  tavufe::SavePlan plan = tavufe::planSave(s);
  status = tavufe::checkRamdldForSave(s.image, plan);
  if (status == tavufe::StatusCode::None) status = tavufe::prepareSave(s, plan);
  if (status == tavufe::StatusCode::None) {
    status = shx ? tavufe::writeShx(s.image, plan, kDateText, out, progress)
                 : tavufe::writeSbf(s.image, plan, kDateText, out, progress);
  }
  return out.bytes;
}

// RAMDLD in slot 0 and the Flex code group at its usual start in slot 1.
struct RamdldAndFlex {
  std::unique_ptr<tavufe::EditorState> state;
  fixture::Bytes ramdld;
  fixture::Bytes flex;
};

inline RamdldAndFlex ramdldAndFlex(std::size_t ramdldSize, std::size_t flexSize,
                                   std::uint32_t flexStart = kFlexStart) {
  RamdldAndFlex r{emptyEditor(), fixture::pattern(ramdldSize, 7), fixture::pattern(flexSize, 9)};
  layGroup(*r.state, 0, 0, kRamdldStart, r.ramdld);
  layGroup(*r.state, 1, 2, flexStart, r.flex);
  return r;
}

// The RAMDLD bytes as a save emits them when only the Flex is listed in its table, worked
// out from the table layout rather than by the editor.
inline fixture::Bytes patchedForFlex(fixture::Bytes ramdld) {
  for (std::size_t k = 240; k <= 415 && k < ramdld.size(); ++k) ramdld[k] = 0xFF;
  const std::uint8_t entry[] = {0x11, 0x28, 0x00, 0x00, 0x11, 0xF3, 0xFF, 0xFF};
  for (std::size_t k = 0; k < 8 && 264 + k < ramdld.size(); ++k) ramdld[264 + k] = entry[k];
  return ramdld;
}

inline std::string text(const fixture::Bytes& bytes, std::size_t from = 0) {
  return std::string(bytes.begin() + std::ptrdiff_t(from), bytes.end());
}

inline std::size_t entriesIn(const std::string& folder) {
  return std::size_t(std::distance(std::filesystem::directory_iterator(folder),
                                   std::filesystem::directory_iterator()));
}

}  // namespace save_setup
