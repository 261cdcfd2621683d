#pragma once

// What the fuzz targets share: a fixed header date, a scratch folder on a memory file system,
// the in-memory save, and the comparisons the property targets make between two editor states.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "editor/open_flow.h"
#include "model/editor_state.h"
#include "model/finalise.h"
#include "superfile/byte_sink.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_writer.h"
#include "superfile/shx_writer.h"

namespace fuzzing {

// A property that does not hold: libFuzzer reports the input that broke it.
inline void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

// Saves carry the header's date; a fixed one makes two saves of the same state comparable.
inline const std::string kHeaderDate = "Mon December 07 08:00:00 2026";

// The plan of a superfile save of the state, its RAMDLD checked and prepared: what a save
// writes. None when a writer may write it.
inline tavufe::StatusCode prepareSavePlan(const tavufe::EditorState& state,
                                          tavufe::SavePlan& plan) {
  plan = tavufe::planSave(state);
  tavufe::StatusCode status = tavufe::checkRamdldForSave(state.image, plan);
  if (status == tavufe::StatusCode::None) status = tavufe::prepareSave(state, plan);
  return status;
}

// A prepared plan written as SHX or SBF into `out`, which is emptied first (keeping its
// capacity from one input to the next).
inline tavufe::StatusCode writeSaved(const tavufe::EditorState& state, const tavufe::SavePlan& plan,
                                     bool shx, tavufe::MemorySink& out) {
  tavufe::Progress progress;
  out.bytes.clear();
  return shx ? tavufe::writeShx(state.image, plan, kHeaderDate, out, progress)
             : tavufe::writeSbf(state.image, plan, kHeaderDate, out, progress);
}

// An editor as after start-up, which each open starts from again, so that a finding
// reproduces alone. The open resets the catalogue and the undo stack itself; what it leaves
// is set back from a copy taken at start-up, cheaper than starting up again.
class StartedEditor {
 public:
  StartedEditor() {
    if (!state.image.allocate()) std::abort();
    tavufe::initialiseEditor(state);
    startupSlots_ = state.slots;
    startupLastSlot_ = state.lastSlot;
  }

  // Most mutated inputs are full of faults: a few dozen kept findings take the same paths as a
  // thousand, in a fraction of the time.
  tavufe::OpenedSuperfile open(std::span<const std::uint8_t> bytes, tavufe::SuperfileEncoding type,
                               bool rescue = false) {
    state.slots = startupSlots_;
    state.lastSlot = startupLastSlot_;
    state.firmwareHalves = {};
    state.bounds = {};
    tavufe::Progress progress;
    tavufe::OpenOptions options;
    options.encoding = type;
    options.repeatedFolders = tavufe::RepeatedFolders::Keep;
    options.keptFindings = 48;
    options.rescue = rescue;
    return tavufe::openForEditing(state, bytes, options, progress);
  }

  tavufe::EditorState state;

 private:
  tavufe::SlotTable startupSlots_{};
  std::int32_t startupLastSlot_ = 0;
};

// A folder on a memory file system (/dev/shm where there is one), so that saving through the
// real temporary-file-and-rename path costs no disk I/O. The folder is shared by every run;
// each run's files carry its process number and are removed once checked.
class ScratchFolder {
 public:
  ScratchFolder() {
    for (const char* base : {"/dev/shm", "/tmp"}) {
      const std::string folder = std::string(base) + "/tavufe-fuzz";
      ::mkdir(folder.c_str(), 0700);
      if (::access(folder.c_str(), W_OK) == 0) {
        prefix_ = folder + "/" + std::to_string(::getpid()) + "-";
        return;
      }
    }
    std::abort();
  }

  std::string file(const std::string& name) const { return prefix_ + name; }

 private:
  std::string prefix_;
};

inline const std::vector<std::uint8_t>& readBack(const std::string& path) {
  static std::vector<std::uint8_t> bytes;
  bytes.clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  std::uint8_t chunk[1 << 16];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) {
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  std::fclose(f);
  return bytes;
}

// Which slot fields a comparison covers. Between the opened file and what its save reads back,
// the record fields and the header's own checksum and code may differ: the save writes one
// record per code group at its start, the checksum it computed, and the code it always writes.
enum class SlotFields { Content, All };

inline bool sameSlot(const tavufe::CodeGroupSlot& a, const tavufe::CodeGroupSlot& b,
                     SlotFields fields) {
  const bool content = a.cgNumber == b.cgNumber && a.startAddress == b.startAddress &&
                       a.endAddress == b.endAddress && a.length == b.length &&
                       a.headerBytes == b.headerBytes && a.bufferChecksum == b.bufferChecksum &&
                       a.trimPadding == b.trimPadding && a.label == b.label &&
                       a.description == b.description;
  if (fields == SlotFields::Content) return content;
  return content && a.recordAddress == b.recordAddress && a.recordLength == b.recordLength &&
         a.headerChecksum == b.headerChecksum && a.headerCode == b.headerCode;
}

// The slots a save writes (0 to lastSlot, in use), their fields and their bytes: the slots and
// bytes of `a` are given by `bytesOfA`.
template <typename BytesOfA>
bool sameSavedSlots(const tavufe::SlotTable& a, std::int32_t aLastSlot, BytesOfA bytesOfA,
                    const tavufe::EditorState& b, SlotFields fields) {
  if (aLastSlot != b.lastSlot) return false;
  for (int i = 0; i <= aLastSlot && i <= tavufe::kLastLoadableSlot; ++i) {
    const tavufe::CodeGroupSlot& sa = a[std::size_t(i)];
    const tavufe::CodeGroupSlot& sb = b.slots[std::size_t(i)];
    if (tavufe::isSlotInUse(a, i) != tavufe::isSlotInUse(b, i)) return false;
    if (!tavufe::isSlotInUse(a, i)) continue;
    if (!sameSlot(sa, sb, fields)) return false;
    const std::span<const std::uint8_t> ba = bytesOfA(i);
    const std::span<const std::uint8_t> bb = tavufe::slotBytes(b, i);
    if (ba.size() != bb.size() || !std::equal(ba.begin(), ba.end(), bb.begin())) return false;
  }
  return true;
}

// Two states' saved slots.
inline bool sameSavedContent(const tavufe::EditorState& a, const tavufe::EditorState& b,
                             SlotFields fields) {
  return sameSavedSlots(
      a.slots, a.lastSlot, [&](int i) { return tavufe::slotBytes(a, i); }, b, fields);
}

// What a prepared plan wrote against the state its file reads back as: the RAMDLD's bytes are
// the plan's, every other code group's are in the image the plan was made from.
inline bool sameSavedContent(const tavufe::SavePlan& plan, const tavufe::FlashImage& image,
                             const tavufe::EditorState& b, SlotFields fields) {
  return sameSavedSlots(
      plan.slots, plan.lastSlot,
      [&](int i) {
        return i == 0 ? std::span<const std::uint8_t>(plan.ramdld)
                      : tavufe::slotBytes(image, plan.slots[std::size_t(i)]);
      },
      b, fields);
}

// Report lines compared between two files of the same content. Line 3 ("File: N Bytes") is
// the file's size, which differs between encodings; every other line comes from the header's
// texts or the image.
inline constexpr std::size_t kFileSizeLine = 3;

inline bool sameReport(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (k != kFileSizeLine && a[k] != b[k]) return false;
  }
  return true;
}

}  // namespace fuzzing
