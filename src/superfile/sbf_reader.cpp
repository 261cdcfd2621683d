#include "superfile/sbf_reader.h"

#include <algorithm>
#include <cstring>

#include "inspect/report.h"
#include "model/finalise.h"
#include "model/flash_image.h"
#include "superfile/byte_order.h"
#include "superfile/file_buffer.h"
#include "superfile/header_block.h"

namespace tavufe {

namespace {

// A cursor over the file: every read first checks that the bytes are there.
class RecordCursor {
 public:
  explicit RecordCursor(std::span<const std::uint8_t> bytes, std::size_t pos)
      : bytes_(bytes), pos_(pos) {}

  bool atEnd() const { return pos_ >= bytes_.size(); }
  std::size_t remaining() const { return atEnd() ? 0 : bytes_.size() - pos_; }

  // Compares byte by byte; a marker cut off by the end of the file does not match.
  template <std::size_t N>
  bool takeMarker(const std::array<std::uint8_t, N>& marker) {
    if (remaining() < N || std::memcmp(bytes_.data() + pos_, marker.data(), N) != 0) return false;
    pos_ += N;
    return true;
  }

  bool takeBe32(std::uint32_t& value) {
    if (remaining() < 4) return false;
    value = read32be(bytes_.data() + pos_);
    pos_ += 4;
    return true;
  }

  // The next `count` bytes, or nothing when the file ends first.
  const std::uint8_t* take(std::size_t count) {
    if (remaining() < count) return nullptr;
    const std::uint8_t* at = bytes_.data() + pos_;
    pos_ += count;
    return at;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_;
};

inline constexpr std::size_t kReservedSize = 4;

// Lays the records into the image and fills each slot's record fields. Returns the number of
// records read, or -1 when the status was set and the read must stop.
int readRecords(EditorState& state, Progress& progress, std::span<const std::uint8_t> file) {
  RecordCursor cursor(file, kHeaderSize);
  std::uint8_t* image = state.image.data();
  int i = 0;
  while (!cursor.atEnd()) {
    // No more loaded code groups fit the table than slots 0 to 20.
    if (i > kLastLoadableSlot || !cursor.takeMarker(kSbfStartMarker)) {
      state.status = StatusCode::RecordError;
      return -1;
    }
    std::uint32_t length = 0;
    std::uint32_t address = 0;
    if (!cursor.takeBe32(length) || !cursor.takeBe32(address)) {
      state.status = StatusCode::RecordError;
      return -1;
    }
    CodeGroupSlot& slot = state.slots[i];
    slot.recordLength = std::int32_t(length);
    slot.recordAddress = std::int32_t(address);

    std::uint64_t offset = kRamdldOffset;
    if (i != 0) {
      if (!isFlashAddressValid(std::int32_t(address))) {
        state.status = StatusCode::AddressRange;
        return -1;
      }
      offset = address & kAddressMask;
    }
    // Both terms are below 2^33, so the sum cannot wrap; a record may end on the last byte.
    if (offset + length > std::uint64_t(kImageSize)) {
      state.status = StatusCode::BufferAddressOverflow;
      return -1;
    }
    // The data and the reserved word must both be inside the file before anything is copied.
    if (cursor.remaining() < std::size_t(length) + kReservedSize) {
      state.status = StatusCode::RecordError;
      return -1;
    }
    const std::uint8_t* data = cursor.take(length);
    std::memcpy(image + offset, data, length);
    cursor.take(kReservedSize);  // never checked: any value is accepted

    if (!cursor.takeMarker(kSbfEndMarker)) {
      state.status = StatusCode::RecordError;
      return -1;
    }
    ++i;
    progress.step();
  }
  return i;
}

}  // namespace

void readSbf(EditorState& state, Progress& progress) {
  const FileBuffer file = beginSuperfileRead(state, progress);
  if (state.status != StatusCode::None) return;

  const int records = readRecords(state, progress, file.view());
  if (records < 0) return;

  state.lastSlot = records - 1;
  for (int i = 0; i <= state.lastSlot; ++i) finaliseSlot(state, i, false, false);

  progress.step();
  writeCodeGroupReport(state, file.view(), file.size);
}

}  // namespace tavufe
