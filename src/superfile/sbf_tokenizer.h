#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavufe {

inline constexpr std::array<std::uint8_t, 9> kSbfStartMarker = {0x02, 0x00, 0x00, 0x00, 0x00,
                                                                0x00, 0x03, 0x02, 0x01};
inline constexpr std::array<std::uint8_t, 8> kSbfEndMarker = {0x03, 0x02, 0x02, 0x00,
                                                              0x00, 0x00, 0x00, 0x03};
// The four bytes between a record's data and its end marker; never checked.
inline constexpr std::size_t kSbfReservedSize = 4;
// Marker, length, address, data, reserved word, marker.
inline constexpr std::size_t kSbfRecordOverhead = 29;

// One record of an SBF file, as far as the file holds it.
struct SbfRecordToken {
  std::size_t offset = 0;  // of its start marker
  // The length and address fields are inside the file; when not, the file ends in this record
  // and nothing else below is set.
  bool hasFields = false;
  std::uint32_t length = 0;
  std::uint32_t address = 0;
  // The data and the reserved word are inside the file; when not, `data` is empty.
  bool hasData = false;
  // So is the end marker's place; when not, the file ends in this record.
  bool whole = false;
  std::size_t dataOffset = 0;
  std::span<const std::uint8_t> data;
  bool endMarkerMatches = false;
  std::size_t endMarkerOffset = 0;
};

// Receives the records and the places where the framing is lost, in file order.
class SbfTokenSink {
 public:
  virtual ~SbfTokenSink() = default;
  virtual void record(const SbfRecordToken& record) = 0;
  // No start marker at `offset`. The walk goes on at `next`, the next start marker, or ends
  // when there is none (next == 0).
  virtual void lostFraming(std::size_t offset, std::size_t next) = 0;
};

// Walks the records after the header block once. After a record whose end marker does not
// match, the walk goes on after the marker's eight bytes; it ends at a record the file cuts off.
// A rescue walk goes on instead at the next start marker after such a record's own, so that a
// length field that lies does not carry the walk past the records after it.
void tokenizeSbf(std::span<const std::uint8_t> file, SbfTokenSink& sink, bool rescue = false);

// The same events handed to two sinks, for a read and a check in one walk.
class SbfTokenPair : public SbfTokenSink {
 public:
  SbfTokenPair(SbfTokenSink& first, SbfTokenSink& second) : first_(first), second_(second) {}
  void record(const SbfRecordToken& record) override {
    first_.record(record);
    second_.record(record);
  }
  void lostFraming(std::size_t offset, std::size_t next) override {
    first_.lostFraming(offset, next);
    second_.lostFraming(offset, next);
  }

 private:
  SbfTokenSink& first_;
  SbfTokenSink& second_;
};

}  // namespace tavufe
