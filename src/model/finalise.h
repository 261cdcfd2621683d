#pragma once

#include <cstdint>
#include <span>

#include "model/codes.h"
#include "model/editor_state.h"

namespace tavufe {

// Which range a finalisation checks the bytes against.
enum class FinaliseFrom {
  Record,  // what the reader found in the file: it must agree with the header's range
  Slot,    // the slot's own range, as an edit left it
};

// The byte sum of an image range, known to whoever laid its bytes, so that a finalisation
// covering exactly that range need not read it again.
struct KnownSum {
  std::uint64_t offset = 0;
  std::uint64_t count = 0;
  std::uint16_t sum = 0;
};

// Brings a slot into agreement with its bytes in the image: range check, padding trim,
// header bytes, byte sum, firmware halves and region bounds. Returns AddressRange or
// BufferAddressOverflow when the range does not fit, leaving the slot unchanged. `known` is
// taken for the byte sum only where it covers exactly the finalised range.
[[nodiscard]] StatusCode finaliseSlot(EditorState& state, int slot, FinaliseFrom from,
                                      const KnownSum* known = nullptr);
// The same on a copy: `slot` and, for the firmware, `halves` are brought into agreement with
// `image`; region bounds are the caller's. Both stay unchanged on failure.
[[nodiscard]] StatusCode finaliseSlot(const FlashImage& image, CodeGroupSlot& slot,
                                      FirmwareHalves& halves, FinaliseFrom from,
                                      const KnownSum* known = nullptr);
// The bytes a finalisation of the slot covers, its padding trimmed, as an export writes them,
// with finaliseSlot's status: nothing is summed and nothing changes. Empty without an image
// or on failure.
[[nodiscard]] StatusCode finalisedBytes(const FlashImage& image, const CodeGroupSlot& slot,
                                        FinaliseFrom from, std::span<const std::uint8_t>& bytes);
// What finaliseSlot would return for the slot, from its range check alone: nothing is summed
// and nothing changes.
[[nodiscard]] StatusCode finaliseStatus(const EditorState& state, int slot, FinaliseFrom from);

// The image bytes of a finalised slot (the Flex code group's bytes for an SMG or BIN file);
// empty when they do not lie inside the image.
std::span<const std::uint8_t> slotBytes(const EditorState& state, int slot);
std::span<const std::uint8_t> slotBytes(const FlashImage& image, const CodeGroupSlot& slot);

// 16-bit sum of unsigned bytes, wrapping.
std::uint16_t byteSum(std::span<const std::uint8_t> bytes);

}  // namespace tavufe
