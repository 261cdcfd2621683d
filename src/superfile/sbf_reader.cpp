#include "superfile/sbf_reader.h"

#include <algorithm>

#include "model/finalise.h"
#include "superfile/byte_cursor.h"
#include "superfile/header_block.h"

namespace tavufe {

namespace {

// Lays the records into the image and fills each slot's record fields. Returns the number of
// records read, or the status that stops the read.
struct Records {
  StatusCode status = StatusCode::None;
  int count = 0;
};

Records readRecords(EditorState& state, Progress& progress, std::span<const std::uint8_t> file) {
  ByteCursor cursor(file, kHeaderSize);
  Records result;
  auto stop = [&](StatusCode code) {
    result.status = code;
    return result;
  };
  while (!cursor.atEnd()) {
    // No more loaded code groups fit the table than slots 0 to 20.
    if (result.count > kLastLoadableSlot || !cursor.takeMarker(kSbfStartMarker)) {
      return stop(StatusCode::RecordError);
    }
    std::uint32_t length = 0;
    std::uint32_t address = 0;
    if (!cursor.takeU32be(length) || !cursor.takeU32be(address)) {
      return stop(StatusCode::RecordError);
    }
    const int index = result.count;
    CodeGroupSlot& slot = state.slots[std::size_t(index)];
    slot.recordLength = length;
    slot.recordAddress = address;

    // The first record is the RAMDLD, which has its own area whatever its address.
    if (index != 0 && !isFlashAddressValid(address)) return stop(StatusCode::AddressRange);
    const std::span<std::uint8_t> target =
        state.image.write(imageOffsetFor(index == 0, address), length);
    // A record may end on the image's last byte, not past it.
    if (target.size() != length) return stop(StatusCode::BufferAddressOverflow);
    // The data and the reserved word must both be inside the file before anything is copied.
    if (!cursor.has(std::size_t(length) + kSbfReservedSize)) return stop(StatusCode::RecordError);
    const std::span<const std::uint8_t> data = cursor.take(length);
    std::copy(data.begin(), data.end(), target.begin());
    cursor.skip(kSbfReservedSize);

    if (!cursor.takeMarker(kSbfEndMarker)) return stop(StatusCode::RecordError);
    ++result.count;
    progress.step();
  }
  return result;
}

}  // namespace

ReadResult readSbf(EditorState& state, std::span<const std::uint8_t> file, Progress& progress) {
  ReadResult result;
  result.status = beginSuperfileRead(state, file, progress);
  if (result.status != StatusCode::None) return result;

  const Records records = readRecords(state, progress, file);
  if (records.status != StatusCode::None) {
    result.status = records.status;
    return result;
  }

  state.lastSlot = records.count - 1;
  // Every slot is finalised; the last failure is the one reported.
  for (int i = 0; i <= state.lastSlot; ++i) {
    if (const StatusCode s = finaliseSlot(state, i, FinaliseFrom::Record); s != StatusCode::None) {
      result.status = s;
    }
  }
  progress.step();
  result.complete = true;
  return result;
}

}  // namespace tavufe
