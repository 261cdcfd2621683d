#include "superfile/sbf_tokenizer.h"

#include <algorithm>

#include "superfile/byte_cursor.h"
#include "superfile/header_block.h"

namespace tavufe {

namespace {

std::size_t findStartMarker(std::span<const std::uint8_t> file, std::size_t from) {
  if (from >= file.size()) return 0;
  const auto at = std::search(file.begin() + std::ptrdiff_t(from), file.end(),
                              kSbfStartMarker.begin(), kSbfStartMarker.end());
  return at == file.end() ? 0 : std::size_t(at - file.begin());
}

}  // namespace

void tokenizeSbf(std::span<const std::uint8_t> file, SbfTokenSink& sink, bool rescue) {
  ByteCursor cursor(file, kHeaderSize);
  while (!cursor.atEnd()) {
    SbfRecordToken record;
    record.offset = cursor.position();
    if (!cursor.takeMarker(kSbfStartMarker)) {
      const std::size_t next = findStartMarker(file, record.offset + 1);
      sink.lostFraming(record.offset, next);
      if (next == 0) return;
      cursor = ByteCursor(file, next);
      continue;
    }
    record.hasFields = cursor.takeU32be(record.length) && cursor.takeU32be(record.address);
    if (record.hasFields) {
      record.hasData = cursor.has(std::size_t(record.length) + kSbfReservedSize);
      record.whole =
          cursor.has(std::size_t(record.length) + kSbfReservedSize + kSbfEndMarker.size());
    }
    if (record.hasData) {
      record.dataOffset = cursor.position();
      record.data = cursor.take(record.length);
      cursor.skip(kSbfReservedSize);
    }
    if (record.whole) {
      record.endMarkerOffset = cursor.position();
      record.endMarkerMatches = cursor.takeMarker(kSbfEndMarker);
      if (!record.endMarkerMatches) cursor.skip(kSbfEndMarker.size());
    }
    sink.record(record);
    if (rescue && !record.endMarkerMatches) {
      const std::size_t next = findStartMarker(file, record.offset + 1);
      if (next == 0) return;
      cursor = ByteCursor(file, next);
    } else if (!record.whole) {
      return;
    }
  }
}

}  // namespace tavufe
