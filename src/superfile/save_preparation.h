#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "model/codes.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "model/ramdld_table.h"
#include "superfile/byte_sink.h"
#include "superfile/header_block.h"
#include "superfile/save_plan.h"

namespace tavufe {

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
// The entries a save writes for these code groups: for a boot-loader file (the FBL straight
// after the RAMDLD) the FBU region alone, in entry 0; otherwise one entry per code group 1 to
// 20, with its whole catalogue region when it starts where the catalogue says.
RamdldTable ramdldTableFor(const CodeGroupCatalogue& catalogue, std::span<const TableGroup> groups,
                           bool bootLoader);

// The plan of a save of the document as it stands: copies of its slots, lastSlot and firmware
// halves, slots 0 to lastSlot (20 at most) each finalised from the image against the range its
// file gave (FinaliseFrom::Record). A slot whose range no longer fits is copied as it is.
SavePlan planSave(const EditorState& state);

// Whether the plan holds a RAMDLD that a superfile save can write: RdlBlankOrMissing when
// slot 0 is not code group 0 or its version word is erased; BufferError without an image.
[[nodiscard]] StatusCode checkRamdldForSave(const FlashImage& image, const SavePlan& plan);

// Puts the RAMDLD's bytes as the save writes them into `plan`: a copy with its address table
// patched for the plan's code groups, and slot 0's header bytes and checksum refreshed from it.
// The image is only read. AddressRange for a RAMDLD longer than its area, BufferError without
// an image; the plan's RAMDLD stays empty then.
[[nodiscard]] StatusCode prepareSave(const EditorState& state, SavePlan& plan);

// How one encoding writes what a superfile save gives it.
class SuperfileEncoder {
 public:
  virtual ~SuperfileEncoder() = default;
  virtual void writeHeader(const HeaderBlock& header, ByteSink& out) = 0;
  // One code group of the plan: slot 0's bytes from the plan's RAMDLD, every other's from the
  // image. BufferAddressOverflow when they are not there.
  virtual StatusCode writeGroup(const FlashImage& image, const SavePlan& plan, int slot,
                                ByteSink& out) = 0;
};

// The sequence every superfile save takes once the plan is prepared and the output is open:
// the header block with `dateText`, then one code group per slot in use. Stops at the first
// failure; a failed write shows in `out`.
[[nodiscard]] StatusCode writeSuperfile(const FlashImage& image, const SavePlan& plan,
                                        const std::string& dateText, ByteSink& out,
                                        Progress& progress, SuperfileEncoder& encoder);

}  // namespace tavufe
