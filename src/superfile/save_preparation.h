#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/codes.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"
#include "superfile/header_block.h"

namespace tavufe {

// The RAMDLD's address table: the window patched before a save, and its first entry.
inline constexpr std::uint32_t kRamdldTableWindowStart = 240;
inline constexpr std::uint32_t kRamdldTableWindowEnd = 415;  // inclusive
inline constexpr std::uint32_t kRamdldTableFirstEntry = 248;
inline constexpr std::uint32_t kRamdldTableEntrySize = 8;
// Entries exist for code groups 0 to 20 only.
inline constexpr std::int32_t kRamdldTableLastEntry = 20;

// One entry of the RAMDLD's address table as a save writes it.
struct RamdldTableEntry {
  bool written = false;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
};
using RamdldTable = std::array<RamdldTableEntry, kRamdldTableLastEntry + 1>;
// A code group a save writes after the RAMDLD.
struct TableGroup {
  std::int32_t cgNumber = 0;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
};
// The entries a save writes for these code groups, in the order they follow the RAMDLD: for a
// boot-loader file (FBL first) the FBU region alone, in entry 0; otherwise one entry per code
// group 1 to 20, with its whole catalogue region when it starts where the catalogue says.
RamdldTable ramdldTableFor(const CodeGroupCatalogue& catalogue, std::span<const TableGroup> groups);

// Whether the slots hold a RAMDLD that a superfile save can write: RdlBlankOrMissing when
// slot 0 is not code group 0 or its version word is erased; BufferError without an image.
[[nodiscard]] StatusCode checkRamdldForSave(const EditorState& state);

// Patches the RAMDLD's address table for the code groups being saved and refreshes slot 0's
// header bytes and checksum. AddressRange for a RAMDLD longer than its area (the patch stays).
[[nodiscard]] StatusCode prepareSave(EditorState& state);

// How one encoding writes what a superfile save gives it.
class SuperfileEncoder {
 public:
  virtual ~SuperfileEncoder() = default;
  virtual void writeHeader(const HeaderBlock& header, ByteSink& out) = 0;
  // One code group; BufferAddressOverflow when its bytes do not lie in the image.
  virtual StatusCode writeGroup(const EditorState& state, int slot, ByteSink& out) = 0;
};

// The sequence every superfile save takes, after checkRamdldForSave and once the output is
// open: prepareSave, the header block, then one code group per slot in use. Stops at the
// first failure; a failed write shows in `out`.
[[nodiscard]] StatusCode writeSuperfile(EditorState& state, ByteSink& out, Progress& progress,
                                        SuperfileEncoder& encoder);

}  // namespace tavufe
