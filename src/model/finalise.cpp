#include "model/finalise.h"

#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace tavufe {

namespace {

// Padding is trimmed only when more than this many erased bytes end the code group, and
// then this many are kept.
constexpr std::uint64_t kTrimThreshold = 32;
constexpr std::uint64_t kTrimKeep = 8;

// 16 bytes from an image offset; bytes past the image's end read as erased.
HeaderBytes imageBytes16(const FlashImage& image, std::uint64_t offset) {
  HeaderBytes out;
  for (std::size_t k = 0; k < out.size(); ++k) out[k] = image.byteAt(std::int64_t(offset + k));
  return out;
}

// The sum of the bytes of the range that lie inside the image.
std::uint16_t sumRange(const FlashImage& image, std::uint64_t offset, std::uint64_t count) {
  return byteSum(image.readClipped(std::int64_t(offset), std::int64_t(count)));
}

void fillFirmwareHalves(const FlashImage& image, const CodeGroupSlot& slot, std::uint64_t offset,
                        FirmwareHalves& halves) {
  CodeGroupSlot& first = halves[0];
  CodeGroupSlot& rest = halves[1];
  first.startAddress = slot.startAddress;
  first.endAddress = slot.startAddress + (kFirmwareFirstHalfSize - 1);
  first.headerBytes = slot.headerBytes;
  // Always 200 bytes: a shorter firmware takes the bytes that follow it in the image.
  first.bufferChecksum = sumRange(image, offset, kFirmwareFirstHalfSize);
  rest.startAddress = first.endAddress + 1;
  rest.endAddress = slot.endAddress;
  rest.headerBytes = imageBytes16(image, offset + kFirmwareRestHeaderAt);
  rest.bufferChecksum = std::uint16_t(slot.bufferChecksum - first.bufferChecksum);
}

// The range a finalisation reads: its image offset and byte count before any trim, or
// AddressRange or BufferAddressOverflow when it does not fit.
StatusCode finaliseRange(const FlashImage& image, const CodeGroupSlot& slot, FinaliseFrom from,
                         std::uint64_t& offset, std::uint64_t& count) {
  std::uint32_t base;
  if (from == FinaliseFrom::Slot) {
    // A range that runs backwards can only come from a hostile header: an empty code group.
    count =
        slot.length <= std::uint32_t(std::numeric_limits<std::int32_t>::max()) ? slot.length : 0;
    base = slot.startAddress;
  } else {
    count = slot.recordLength;
    base = slot.recordAddress;
    // Compared in 32 bits, as the fields are: a range may wrap or cross 0x80000000.
    if (slot.endAddress - base != slot.recordLength - 1u || slot.startAddress != base) {
      return StatusCode::AddressRange;
    }
  }
  offset = imageOffsetFor(slot.cgNumber == kCgRamdld, base);
  if (!image.holds(offset, count)) return StatusCode::BufferAddressOverflow;
  return StatusCode::None;
}

}  // namespace

std::uint16_t byteSum(std::span<const std::uint8_t> bytes) {
  std::uint64_t total = 0;
  std::size_t at = 0;
#if defined(__SSE2__)
  // A save sums the whole Flex more than once: sixty-four bytes a step, each sixteen summed
  // into two 64-bit lanes by one instruction, keeps that at memory speed.
  const __m128i zero = _mm_setzero_si128();
  __m128i lanes[4] = {zero, zero, zero, zero};
  for (; bytes.size() - at >= 64; at += 64) {
    for (int k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(
          reinterpret_cast<const __m128i*>(bytes.data() + at + 16 * std::size_t(k)));
      lanes[k] = _mm_add_epi64(lanes[k], _mm_sad_epu8(v, zero));
    }
  }
  const __m128i both =
      _mm_add_epi64(_mm_add_epi64(lanes[0], lanes[1]), _mm_add_epi64(lanes[2], lanes[3]));
  total = std::uint64_t(_mm_cvtsi128_si64(both)) +
          std::uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(both, both)));
#elif defined(__wasm_simd128__)
  // The page sums a whole SHX text as it reads it: sixteen bytes a step, widened pairwise into
  // four 32-bit lanes, each taking at most 1,020 a step: emptied into the total every 2^20
  // steps, long before they could overflow.
  constexpr std::size_t kStepsPerFlush = std::size_t(1) << 20;
  while (bytes.size() - at >= 16) {
    v128_t lanes = wasm_i32x4_splat(0);
    for (std::size_t step = 0; step < kStepsPerFlush && bytes.size() - at >= 16; ++step, at += 16) {
      const v128_t v = wasm_v128_load(bytes.data() + at);
      lanes = wasm_i32x4_add(lanes,
                             wasm_u32x4_extadd_pairwise_u16x8(wasm_u16x8_extadd_pairwise_u8x16(v)));
    }
    total += std::uint64_t(wasm_u32x4_extract_lane(lanes, 0)) + wasm_u32x4_extract_lane(lanes, 1) +
             wasm_u32x4_extract_lane(lanes, 2) + wasm_u32x4_extract_lane(lanes, 3);
  }
#else
  // Eight bytes a step as four 16-bit lanes of pairs; each lane takes at most 510 a step, so
  // the lanes are emptied into the total every 128 steps before they can overflow.
  constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FFull;
  constexpr std::size_t kStepsPerFlush = 128;
  while (bytes.size() - at >= 8) {
    std::uint64_t lanes = 0;
    for (std::size_t step = 0; step < kStepsPerFlush && bytes.size() - at >= 8; ++step, at += 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes.data() + at, sizeof word);
      lanes += (word & kLowBytes) + ((word >> 8) & kLowBytes);
    }
    for (int lane = 0; lane < 4; ++lane) total += (lanes >> (16 * lane)) & 0xFFFF;
  }
#endif
  for (; at < bytes.size(); ++at) total += bytes[at];
  return std::uint16_t(total);
}

namespace {

// The range a finalisation covers, its padding trimmed.
StatusCode trimmedRange(const FlashImage& image, const CodeGroupSlot& slot, FinaliseFrom from,
                        std::uint64_t& offset, std::uint64_t& count) {
  if (const StatusCode s = finaliseRange(image, slot, from, offset, count); s != StatusCode::None) {
    return s;
  }
  if (count > 0 && slot.trimPadding == 1) {
    const std::span<const std::uint8_t> bytes = image.read(offset, count);
    std::uint64_t kept = count;
    while (kept > 0 && bytes[std::size_t(kept - 1)] == kErased) --kept;
    if (kept > 0 && count - kept > kTrimThreshold) count = kept + kTrimKeep;
  }
  return StatusCode::None;
}

}  // namespace

StatusCode finalisedBytes(const FlashImage& image, const CodeGroupSlot& slot, FinaliseFrom from,
                          std::span<const std::uint8_t>& bytes) {
  bytes = {};
  if (!image.exists()) return StatusCode::None;
  std::uint64_t offset = 0;
  std::uint64_t count = 0;
  const StatusCode s = trimmedRange(image, slot, from, offset, count);
  if (s == StatusCode::None) bytes = image.read(offset, count);
  return s;
}

StatusCode finaliseSlot(const FlashImage& image, CodeGroupSlot& slot, FirmwareHalves& halves,
                        FinaliseFrom from, const KnownSum* known) {
  if (!image.exists()) return StatusCode::None;
  std::uint64_t offset = 0;
  std::uint64_t count = 0;
  if (const StatusCode s = trimmedRange(image, slot, from, offset, count); s != StatusCode::None) {
    return s;
  }

  slot.endAddress = slot.startAddress + std::uint32_t(count) - 1u;
  slot.length = std::uint32_t(count);
  slot.headerBytes = imageBytes16(image, offset);
  slot.bufferChecksum = known != nullptr && known->offset == offset && known->count == count
                            ? known->sum
                            : byteSum(image.read(offset, count));

  if (slot.cgNumber == kCgFirmware) fillFirmwareHalves(image, slot, offset, halves);
  return StatusCode::None;
}

StatusCode finaliseSlot(EditorState& state, int slotIndex, FinaliseFrom from,
                        const KnownSum* known) {
  if (slotIndex < 0 || slotIndex >= kSlotCount || !state.image.exists()) return StatusCode::None;
  const StatusCode s = finaliseSlot(state.image, state.slots[std::size_t(slotIndex)],
                                    state.firmwareHalves, from, known);
  if (s == StatusCode::None) computeRegionBounds(state);
  return s;
}

StatusCode finaliseStatus(const EditorState& state, int slotIndex, FinaliseFrom from) {
  if (slotIndex < 0 || slotIndex >= kSlotCount || !state.image.exists()) return StatusCode::None;
  std::uint64_t offset = 0;
  std::uint64_t count = 0;
  return finaliseRange(state.image, state.slots[std::size_t(slotIndex)], from, offset, count);
}

std::span<const std::uint8_t> slotBytes(const EditorState& state, int slotIndex) {
  if (slotIndex < 0 || slotIndex >= kSlotCount) return {};
  return slotBytes(state.image, state.slots[std::size_t(slotIndex)]);
}

std::span<const std::uint8_t> slotBytes(const FlashImage& image, const CodeGroupSlot& slot) {
  const std::uint64_t offset = imageOffsetFor(slot.cgNumber == kCgRamdld, slot.startAddress);
  return image.read(offset, slot.length);
}

}  // namespace tavufe
