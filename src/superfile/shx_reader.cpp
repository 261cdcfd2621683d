#include "superfile/shx_reader.h"

#include <algorithm>
#include <limits>

#include "inspect/report.h"
#include "model/finalise.h"
#include "model/flash_image.h"
#include "superfile/file_buffer.h"
#include "superfile/header_block.h"
#include "superfile/hex.h"

namespace tavufe {

namespace {

inline constexpr std::uint32_t kLastImageByte = std::uint32_t(kImageSize) - 1;
// "S3", count, address: the data pairs start at this column of an S3 line.
inline constexpr std::size_t kS3DataColumn = 12;
// Count byte and four address bytes: the part of the count that is not data.
inline constexpr unsigned kS3FixedBytes = 5;

// Decodes `count` digit pairs into `out` and returns the sum of the bytes.
unsigned decodePairs(const std::uint8_t* digits, std::uint8_t* out, std::size_t count) {
  unsigned sum = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint8_t b = hexPairToByte(digits[2 * k], digits[2 * k + 1]);
    out[k] = b;
    sum += b;
  }
  return sum;
}

// The scan of the S-record text, straight from the file buffer into the image.
class ShxScan {
 public:
  ShxScan(EditorState& state, Progress& progress, std::span<const std::uint8_t> file)
      : state_(state), progress_(progress), text_(file.data()), size_(file.size()) {}

  // False when the status was set and the read stops where it is.
  bool run() {
    for (std::size_t i = kHeaderSize; i < size_; ++i) {
      if (text_[i] != 'S') continue;
      if (i + 1 >= size_) return fail(StatusCode::RecordError);
      switch (text_[i + 1]) {
        case '0':
          if (!openGroup()) return false;
          break;
        case '7':
          ++s7Count_;
          break;
        case '3':
          // Data before the first S0 belongs to no code group and is passed over unread.
          if (groups_ >= 1 && !readDataLine(i)) return false;
          break;
        default:
          break;
      }
    }
    return true;
  }

  int groups() const { return groups_; }
  std::uint64_t s7Count() const { return s7Count_; }

 private:
  bool fail(StatusCode code) {
    state_.status = code;
    return false;
  }

  CodeGroupSlot& currentSlot() { return state_.slots[groups_ - 1]; }

  bool openGroup() {
    if (groups_ > kLastLoadableSlot) return fail(StatusCode::RecordError);
    ++groups_;
    newGroup_ = true;
    byteCount_ = 0;
    progress_.step();
    // Until a data line says otherwise the group has no data: a record address that can never
    // equal the slot's start makes finalisation report the slot, whatever the header gave.
    CodeGroupSlot& slot = currentSlot();
    slot.recordAddress = std::int32_t(~std::uint32_t(slot.startAddress));
    slot.recordLength = 0;
    return true;
  }

  std::uint8_t pairAt(std::size_t at) const { return hexPairToByte(text_[at], text_[at + 1]); }

  // `i` is at the line's "S"; on return it is at the checksum's first character.
  bool readDataLine(std::size_t& i) {
    if (size_ - i < 4) return fail(StatusCode::RecordError);
    const unsigned count = pairAt(i + 2);
    const std::size_t dataBytes = count > kS3FixedBytes ? count - kS3FixedBytes : 0;
    const std::size_t lineChars = kS3DataColumn + 2 * dataBytes + 2;
    if (size_ - i < lineChars) return fail(StatusCode::RecordError);

    CodeGroupSlot& slot = currentSlot();
    if (newGroup_) {
      const auto address = std::int32_t(hexToU32(text_, i + 4));
      slot.recordAddress = address;
      if (groups_ == 1) {
        position_ = std::uint32_t(kRamdldOffset);  // the RAMDLD has its own area
      } else if (isFlashAddressValid(address)) {
        position_ = std::uint32_t(address) & kAddressMask;
      } else {
        return fail(StatusCode::AddressRange);
      }
      newGroup_ = false;
      byteCount_ = 0;
    }

    unsigned sum = 0;
    for (std::size_t k = 0; k < kS3FixedBytes; ++k) sum += pairAt(i + 2 + 2 * k);

    const std::uint8_t* digits = text_ + i + kS3DataColumn;
    std::uint8_t* image = state_.image.data();
    if (position_ + dataBytes <= std::size_t(kImageSize)) {
      sum += decodePairs(digits, image + position_, dataBytes);
      position_ = std::uint32_t(std::min<std::size_t>(position_ + dataBytes, kLastImageByte));
    } else {
      // Past the end every further byte lands on the image's last byte.
      for (std::size_t k = 0; k < dataBytes; ++k) {
        const std::uint8_t b = hexPairToByte(digits[2 * k], digits[2 * k + 1]);
        image[position_] = b;
        sum += b;
        if (position_ < kLastImageByte) ++position_;
      }
    }
    byteCount_ += std::uint32_t(dataBytes);
    slot.recordLength = std::int32_t(byteCount_);

    i += kS3DataColumn + 2 * dataBytes;
    if (pairAt(i) != std::uint8_t(255 - (sum & 0xFF))) return fail(StatusCode::ChecksumError);
    return true;
  }

  EditorState& state_;
  Progress& progress_;
  const std::uint8_t* text_;
  std::size_t size_;
  int groups_ = 0;  // at most kLastLoadableSlot + 1, checked as each group opens
  // A file could be "S7" from end to end; 64 bits count past any file's half size.
  std::uint64_t s7Count_ = 0;
  bool newGroup_ = false;
  std::uint32_t position_ = 0;
  // A group holds at most half the file's bytes as data.
  std::uint32_t byteCount_ = 0;
  static_assert(kMaxSuperfileSize / 2 <= std::uint64_t(std::numeric_limits<std::int32_t>::max()));
};

}  // namespace

void readShx(EditorState& state, Progress& progress) {
  const FileBuffer file = beginSuperfileRead(state, progress);
  if (state.status != StatusCode::None) return;

  ShxScan scan(state, progress, file.view());
  if (!scan.run()) return;

  // Unequal S0 and S7 counts are reported, but what was read is still shown.
  if (std::uint64_t(scan.groups()) != scan.s7Count()) state.status = StatusCode::RecordError;
  state.lastSlot = scan.groups() - 1;
  if (state.status == StatusCode::None) {
    for (int i = 0; i <= state.lastSlot; ++i) finaliseSlot(state, i, false, false);
  }

  progress.step();
  writeCodeGroupReport(state, file.view(), file.size);
}

}  // namespace tavufe
