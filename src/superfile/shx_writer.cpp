#include "superfile/shx_writer.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "model/flash_image.h"
#include "superfile/hex.h"
#include "superfile/save_preparation.h"

namespace tavufe {

namespace {

// "S3", count, address, 64 data bytes, checksum: two characters per byte, then CR LF.
constexpr std::size_t kMaxLineSize = 2 + 2 * (1 + 4 + kShxDataPerLine + 1) + 2;
static_assert(kMaxLineSize == 144);
constexpr std::size_t kTrailerSize = 14;

struct HexTable {
  std::array<std::array<char, 2>, 256> pairs{};
  // The two characters' codes added together, so a line's byte sum needs no second pass.
  std::array<std::uint16_t, 256> charSums{};
};

constexpr HexTable makeHexTable() {
  HexTable t;
  for (int v = 0; v < 256; ++v) {
    const char high = detail::kHexDigits[v >> 4];
    const char low = detail::kHexDigits[v & 0x0F];
    t.pairs[std::size_t(v)] = {high, low};
    t.charSums[std::size_t(v)] = std::uint16_t(high + low);
  }
  return t;
}

constexpr HexTable kHex = makeHexTable();

std::uint16_t textSum(const char* text, std::size_t size) {
  std::uint32_t sum = 0;
  for (std::size_t k = 0; k < size; ++k) sum += std::uint8_t(text[k]);
  return std::uint16_t(sum);
}

struct LineSums {
  std::uint32_t bytes = 0;  // the record's own checksum covers these
  std::uint32_t chars = 0;  // the file's running checksum covers these
};

char* putByte(char* p, std::uint8_t value, LineSums& sums) {
  std::memcpy(p, kHex.pairs[value].data(), 2);
  sums.bytes += value;
  sums.chars += kHex.charSums[value];
  return p + 2;
}

// Builds one S3 line in `line` and returns its size; adds its characters to `charSum`.
std::size_t buildDataLine(std::uint32_t address, const std::uint8_t* data, std::size_t count,
                          char* line, std::uint32_t& charSum) {
  LineSums sums;
  char* p = line;
  *p++ = 'S';
  *p++ = '3';
  p = putByte(p, std::uint8_t(count + 5), sums);
  p = putByte(p, std::uint8_t(address >> 24), sums);
  p = putByte(p, std::uint8_t(address >> 16), sums);
  p = putByte(p, std::uint8_t(address >> 8), sums);
  p = putByte(p, std::uint8_t(address), sums);
  for (std::size_t k = 0; k < count; ++k) p = putByte(p, data[k], sums);
  p = putByte(p, std::uint8_t(0xFF - (sums.bytes & 0xFF)), sums);
  *p++ = '\r';
  *p++ = '\n';
  charSum += sums.chars + 'S' + '3' + '\r' + '\n';
  return std::size_t(p - line);
}

// The closing S7 line of the file: its address field is "CS" and the running checksum.
std::array<char, kTrailerSize> buildChecksumTrailer(std::uint16_t runningChecksum) {
  const std::uint8_t high = std::uint8_t(runningChecksum >> 8);
  const std::uint8_t low = std::uint8_t(runningChecksum);
  const std::uint8_t fields[] = {0x05, 'C', 'S', high, low};
  std::uint32_t sum = 0;
  for (const std::uint8_t f : fields) sum += f;
  std::array<char, kTrailerSize> trailer{};
  trailer[0] = 'S';
  trailer[1] = '7';
  for (std::size_t k = 0; k < 5; ++k) byteToHex(fields[k], trailer.data() + 2 + 2 * k);
  byteToHex(std::uint8_t(0xFF - (sum & 0xFF)), trailer.data() + 12);
  return trailer;
}

// Image offset and byte count of a slot's data: the RAMDLD's `length` bytes from its own
// area, any other code group's start to end offsets. False when they do not lie in the image.
bool dataRange(const EditorState& state, int slotIndex, std::int64_t& offset, std::int64_t& count) {
  const CodeGroupSlot& slot = state.slots[slotIndex];
  if (slotIndex == 0) {
    offset = kRamdldOffset;
    count = std::max<std::int64_t>(slot.length, 0);
  } else {
    offset = std::uint32_t(slot.startAddress) & kAddressMask;
    const std::int64_t end = std::uint32_t(slot.endAddress) & kAddressMask;
    count = std::max<std::int64_t>(end - offset + 1, 0);
  }
  return offset + count <= kImageSize;
}

// The checksum trailer closes the file, so it follows the last group actually written.
bool isLastGroup(const EditorState& state, int slotIndex) {
  const int last = std::min(state.lastSlot, kSlotCount - 1);
  for (int j = slotIndex + 1; j <= last; ++j) {
    if (isSlotInUse(state, j)) return false;
  }
  return true;
}

}  // namespace

void writeShxCodeGroup(EditorState& state, int slotIndex, OutputFile& out) {
  if (slotIndex < 0 || slotIndex >= kSlotCount || !state.image.exists()) return;
  std::int64_t offset = 0;
  std::int64_t remaining = 0;
  if (!dataRange(state, slotIndex, offset, remaining)) {
    // Reading past the image would put foreign bytes into a flash file.
    state.status = StatusCode::BufferAddressOverflow;
    return;
  }

  constexpr std::size_t kOpenSize = sizeof kShxGroupOpenLine - 1;
  out.write(kShxGroupOpenLine, kOpenSize);
  std::uint32_t charSum = textSum(kShxGroupOpenLine, kOpenSize);

  std::uint32_t address = std::uint32_t(state.slots[slotIndex].startAddress);
  const std::uint8_t* data = state.image.data() + offset;
  char line[kMaxLineSize];
  while (remaining > 0) {
    const std::size_t count = std::size_t(std::min<std::int64_t>(remaining, kShxDataPerLine));
    const std::size_t size = buildDataLine(address, data, count, line, charSum);
    if (!out.write(line, size)) return;  // the save reports the failed write
    data += count;
    remaining -= std::int64_t(count);
    address += std::uint32_t(count);
  }
  state.runningChecksum = std::uint16_t(state.runningChecksum + charSum);

  if (isLastGroup(state, slotIndex)) {
    const auto trailer = buildChecksumTrailer(state.runningChecksum);
    out.write(trailer.data(), trailer.size());
  } else {
    constexpr std::size_t kTerminatorSize = sizeof kShxTerminatorLine - 1;
    out.write(kShxTerminatorLine, kTerminatorSize);
    state.runningChecksum =
        std::uint16_t(state.runningChecksum + textSum(kShxTerminatorLine, kTerminatorSize));
  }
}

void saveShx(EditorState& state, Progress& progress) {
  saveSuperfile(state, progress, writeShxCodeGroup);
}

}  // namespace tavufe
