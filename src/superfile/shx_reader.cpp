#include "superfile/shx_reader.h"

#include <algorithm>

#include "model/finalise.h"
#include "model/hex.h"
#include "superfile/byte_cursor.h"
#include "superfile/header_block.h"
#include "superfile/hex_pairs.h"

namespace tavufe {

namespace {

inline constexpr std::uint32_t kLastImageByte = kImageSize - 1;
// "S3", count, address: the data pairs start at this column of an S3 line.
inline constexpr std::size_t kS3AddressColumn = 4;
inline constexpr std::size_t kS3DataColumn = 12;
inline constexpr std::size_t kChecksumChars = 2;
// Count byte and four address bytes: the part of the count that is not data.
inline constexpr unsigned kS3FixedBytes = 5;

// The scan of the S-record text, straight from the file's bytes into the image.
class ShxScan {
 public:
  ShxScan(EditorState& state, Progress& progress, std::span<const std::uint8_t> file)
      : state_(state), progress_(progress), cursor_(file, kHeaderSize) {}

  // The status that stops the read where it is, or None.
  StatusCode run() {
    // Everything but an "S" and the character after it is passed over.
    while (cursor_.skip(distanceToNextS())) {
      if (cursor_.atEnd()) break;
      const std::span<const std::uint8_t> kind = cursor_.peek(2);
      if (kind.empty()) return StatusCode::RecordError;
      StatusCode status = StatusCode::None;
      switch (kind[1]) {
        case '0': status = openGroup(); break;
        case '7': ++s7Count_; break;
        case '3':
          // Data before the first S0 belongs to no code group and is passed over unread.
          if (groups_ >= 1) status = readDataLine();
          break;
        default: break;
      }
      if (status != StatusCode::None) return status;
      cursor_.skip(1);
    }
    return StatusCode::None;
  }

  int groups() const { return groups_; }
  std::uint64_t s7Count() const { return s7Count_; }

 private:
  std::size_t distanceToNextS() const {
    const std::span<const std::uint8_t> rest = cursor_.peek(cursor_.remaining());
    const auto at = std::find(rest.begin(), rest.end(), std::uint8_t('S'));
    return std::size_t(at - rest.begin());
  }

  CodeGroupSlot& currentSlot() { return state_.slots[std::size_t(groups_ - 1)]; }

  StatusCode openGroup() {
    if (groups_ > kLastLoadableSlot) return StatusCode::RecordError;
    ++groups_;
    newGroup_ = true;
    byteCount_ = 0;
    progress_.step();
    // Until a data line says otherwise the group has no data: a record address that can never
    // equal the slot's start makes finalisation report the slot, whatever the header gave.
    CodeGroupSlot& slot = currentSlot();
    slot.recordAddress = ~slot.startAddress;
    slot.recordLength = 0;
    return StatusCode::None;
  }

  // The cursor is at the line's "S"; on return it is at the checksum's first character.
  StatusCode readDataLine() {
    const std::span<const std::uint8_t> fixed = cursor_.peek(kS3DataColumn - 8);
    if (fixed.empty()) return StatusCode::RecordError;
    const unsigned count = hexPairToByte(fixed[2], fixed[3]);
    const std::size_t dataBytes = count > kS3FixedBytes ? count - kS3FixedBytes : 0;
    const std::span<const std::uint8_t> line =
        cursor_.peek(kS3DataColumn + 2 * dataBytes + kChecksumChars);
    if (line.empty()) return StatusCode::RecordError;

    CodeGroupSlot& slot = currentSlot();
    if (newGroup_) {
      const std::uint32_t address = hexToU32(line.data(), kS3AddressColumn);
      slot.recordAddress = address;
      // The first group is the RAMDLD, which has its own area whatever its address.
      if (groups_ != 1 && !isFlashAddressValid(address)) return StatusCode::AddressRange;
      position_ = imageOffsetFor(groups_ == 1, address);
      newGroup_ = false;
      byteCount_ = 0;
    }

    unsigned sum = 0;
    for (std::size_t k = 0; k < kS3FixedBytes; ++k) {
      sum += hexPairToByte(line[2 + 2 * k], line[3 + 2 * k]);
    }

    const std::span<const std::uint8_t> digits = line.subspan(kS3DataColumn, 2 * dataBytes);
    const std::span<std::uint8_t> target = state_.image.write(position_, dataBytes);
    if (target.size() == dataBytes) {
      sum += decodePairs_(digits.data(), dataBytes, target.data());
      position_ = std::min<std::uint32_t>(position_ + std::uint32_t(dataBytes), kLastImageByte);
    } else {
      // Past the end every further byte lands on the image's last byte.
      for (std::size_t k = 0; k < dataBytes; ++k) {
        const std::uint8_t b = hexPairToByte(digits[2 * k], digits[2 * k + 1]);
        state_.image.write(position_, 1)[0] = b;
        sum += b;
        if (position_ < kLastImageByte) ++position_;
      }
    }
    byteCount_ += std::uint32_t(dataBytes);
    slot.recordLength = byteCount_;

    cursor_.skip(kS3DataColumn + 2 * dataBytes);
    const std::span<const std::uint8_t> checksum = line.last(kChecksumChars);
    if (hexPairToByte(checksum[0], checksum[1]) != std::uint8_t(255 - (sum & 0xFF))) {
      return StatusCode::ChecksumError;
    }
    return StatusCode::None;
  }

  EditorState& state_;
  Progress& progress_;
  ByteCursor cursor_;
  const DecodePairsFn decodePairs_ = hexKernels().decode;
  int groups_ = 0;
  std::uint64_t s7Count_ = 0;
  bool newGroup_ = false;
  std::uint32_t position_ = 0;
  std::uint32_t byteCount_ = 0;
};

}  // namespace

ReadResult readShx(EditorState& state, std::span<const std::uint8_t> file, Progress& progress) {
  ReadResult result;
  result.status = beginSuperfileRead(state, file, progress);
  if (result.status != StatusCode::None) return result;

  ShxScan scan(state, progress, file);
  result.status = scan.run();
  if (result.status != StatusCode::None) return result;

  // Unequal S0 and S7 counts are reported, but what was read is still shown.
  if (std::uint64_t(scan.groups()) != scan.s7Count()) result.status = StatusCode::RecordError;
  state.lastSlot = scan.groups() - 1;
  if (result.status == StatusCode::None) {
    // Every slot is finalised; the last failure is the one reported.
    for (int i = 0; i <= state.lastSlot; ++i) {
      if (const StatusCode s = finaliseSlot(state, i, FinaliseFrom::Record);
          s != StatusCode::None) {
        result.status = s;
      }
    }
  }
  progress.step();
  result.complete = true;
  return result;
}

}  // namespace tavufe
