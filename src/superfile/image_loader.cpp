#include "superfile/image_loader.h"

#include <algorithm>
#include <cstring>

#include "model/byte_order.h"
#include "model/finalise.h"
#include "model/hex.h"
#include "superfile/header_block.h"

namespace tavufe {

namespace {

inline constexpr std::uint32_t kLastImageByte = kImageSize - 1;
// Count byte and four address bytes: the part of the count that is not data.
inline constexpr unsigned kS3FixedBytes = 5;

}  // namespace

ImageLoader::ImageLoader(EditorState& state, std::span<const std::uint8_t> file, Progress& progress)
    : state_(state), file_(file), progress_(progress) {
  if (const StatusCode begun = beginSuperfileRead(state, file, progress);
      begun != StatusCode::None) {
    fail(begun, false, 0);
  }
}

void ImageLoader::fail(StatusCode status, bool atLine, std::uint64_t at) {
  status_ = status;
  stopped_ = true;
  stop_ = {atLine, at};
}

void ImageLoader::record(const ShxRecord& record) {
  if (failed()) return;
  switch (record.type) {
    case 0:  // an "S" that ends the file: a record cut short
      fail(StatusCode::RecordError, true, record.line);
      break;
    case '0': openShxGroup(record); break;
    case '7': ++s7Count_; break;
    case '3':
      // Data before the first S0 belongs to no code group and is passed over unread.
      if (groups_ >= 1) takeShxData(record);
      break;
    default: break;
  }
}

void ImageLoader::openShxGroup(const ShxRecord& record) {
  if (groups_ > kLastLoadableSlot) {
    fail(StatusCode::RecordError, true, record.line);
    return;
  }
  ++groups_;
  newGroup_ = true;
  byteCount_ = 0;
  progress_.step();
  // Until a data line says otherwise the group has no data: a record address that can never
  // equal the slot's start makes finalisation report the slot, whatever the header gave.
  CodeGroupSlot& slot = currentSlot();
  slot.recordAddress = ~slot.startAddress;
  slot.recordLength = 0;
  laid_[std::size_t(groups_ - 1)] = {};
}

void ImageLoader::noteLaid(std::size_t count, std::uint32_t sum) {
  Laid& laid = laid_[std::size_t(groups_ - 1)];
  laid.end = std::uint64_t(position_) + count;
  laid.sum += sum;
  // At the image's end a further byte would land on the last one again.
  if (laid.end >= kImageSize) laid.summed = false;
}

std::optional<KnownSum> ImageLoader::knownSum(int index) const {
  const Laid& laid = laid_[std::size_t(index)];
  if (!laid.summed) return std::nullopt;
  for (int later = index + 1; later < groups_; ++later) {
    const Laid& other = laid_[std::size_t(later)];
    if (other.begin < laid.end && laid.begin < other.end) return std::nullopt;
  }
  return KnownSum{laid.begin, laid.end - laid.begin, std::uint16_t(laid.sum)};
}

// A data record is framed by its count field: the count's data pairs, then the checksum. What
// follows them in the record is passed over (the check reports it).
void ImageLoader::takeShxData(const ShxRecord& record) {
  const std::span<const std::uint8_t> fields = record.bytes;
  const unsigned count = fields.empty() ? 0xFF : fields[0];
  const std::size_t dataBytes = count > kS3FixedBytes ? count - kS3FixedBytes : 0;
  const std::size_t checksumAt = kS3FixedBytes + dataBytes;
  if (checksumAt >= fields.size()) {
    // The count runs past the record, whose next characters cannot make its sum.
    const std::size_t chars = 2 + 2 * (checksumAt + 1);
    const bool pastEnd = chars > file_.size() - record.offset;
    fail(pastEnd ? StatusCode::RecordError : StatusCode::ChecksumError, true, record.line);
    return;
  }

  CodeGroupSlot& slot = currentSlot();
  if (newGroup_) {
    const std::uint32_t address = read32be(fields.data() + 1);
    slot.recordAddress = address;
    // The first group is the RAMDLD, which has its own area whatever its address.
    if (groups_ != 1 && !isFlashAddressValid(address)) {
      fail(StatusCode::AddressRange, true, record.line);
      return;
    }
    position_ = imageOffsetFor(groups_ == 1, address);
    newGroup_ = false;
    byteCount_ = 0;
    laid_[std::size_t(groups_ - 1)] = {position_, position_, 0, true};
  }

  // A framed record's checksum is its last byte, and the tokenizer has summed the rest.
  const std::uint32_t sum = checksumAt + 1 == fields.size()
                                ? record.byteSum - fields[checksumAt]
                                : std::uint32_t(byteSum(fields.first(checksumAt)));
  const std::span<const std::uint8_t> data = fields.subspan(kS3FixedBytes, dataBytes);
  const std::span<std::uint8_t> target = state_.image.write(position_, dataBytes);
  if (target.size() == dataBytes) {
    std::copy(data.begin(), data.end(), target.begin());
    std::uint32_t fixed = 0;
    for (std::size_t k = 0; k < kS3FixedBytes; ++k) fixed += fields[k];
    noteLaid(dataBytes, sum - fixed);
    position_ = std::min<std::uint32_t>(position_ + std::uint32_t(dataBytes), kLastImageByte);
  } else {
    // Past the end every further byte lands on the image's last byte.
    for (const std::uint8_t b : data) {
      state_.image.write(position_, 1)[0] = b;
      if (position_ < kLastImageByte) ++position_;
    }
    Laid& laid = laid_[std::size_t(groups_ - 1)];
    laid.end = kImageSize;
    laid.summed = false;
  }
  byteCount_ += std::uint32_t(dataBytes);
  slot.recordLength = byteCount_;

  if (fields[checksumAt] != std::uint8_t(255 - (sum & 0xFF))) {
    fail(StatusCode::ChecksumError, true, record.line);
  }
}

void ImageLoader::takeBack() {
  if (lent_.empty()) return;
  state_.image.giveBack(lentAt_, lent_.size());
  lent_ = {};
}

// The space where the run's lines would lay their data, if the group's lines before them run
// on without a gap: lent only while it is erased, so that giving it back leaves it as found.
std::span<std::uint8_t> ImageLoader::runSpace(std::uint32_t address, std::size_t bytes) {
  if (failed() || !lent_.empty() || !isFlashAddressValid(address)) return {};
  const std::uint32_t offset = imageOffsetFor(false, address);
  const std::size_t count = std::min<std::size_t>(bytes, kImageSize - offset);
  if (count == 0 || state_.image.nextWritten(offset) < offset + count) return {};
  lent_ = state_.image.lend(offset, count);
  lentAt_ = offset;
  return lent_;
}

// A run's lines are data lines of the open group, each laid after the one before: a run can
// stand for them once the group has its first line, and while all of it fits the image, at
// the place where it was decoded when it lies in lent space.
bool ImageLoader::takesRun(const ShxDataRun& run) const {
  if (failed()) return true;  // every later line is passed over alike
  if (groups_ < 1 || newGroup_) return false;
  if (run.inSinkSpace) return !lent_.empty() && position_ == lentAt_;
  return state_.image.holds(position_, run.data.size());
}

bool ImageLoader::takesRunFrom(std::uint32_t address) const {
  if (failed()) return true;
  return groups_ >= 1 && !newGroup_ && isFlashAddressValid(address) &&
         imageOffsetFor(false, address) == position_;
}

void ImageLoader::run(const ShxDataRun& run, std::uint64_t /*first*/) {
  if (failed()) {
    if (run.inSinkSpace) takeBack();
    return;
  }
  if (run.inSinkSpace) {
    // What the run laid is kept; the space past it goes back as it was, mostly untouched.
    state_.image.giveBack(lentAt_ + run.data.size(), lent_.size() - run.data.size());
    lent_ = {};
  } else {
    const std::span<std::uint8_t> target = state_.image.lend(position_, run.data.size());
    std::copy(run.data.begin(), run.data.end(), target.begin());
  }
  noteLaid(run.data.size(), run.dataSum);
  position_ = std::min<std::uint32_t>(position_ + std::uint32_t(run.data.size()), kLastImageByte);
  byteCount_ += std::uint32_t(run.data.size());
  currentSlot().recordLength = byteCount_;
}

void ImageLoader::runDeclined(const ShxDataRun& run) {
  if (run.inSinkSpace) takeBack();
}

void ImageLoader::record(const SbfRecordToken& record) {
  if (failed()) return;
  // No more loaded code groups fit the table than slots 0 to 20.
  if (groups_ > kLastLoadableSlot || !record.hasFields) {
    fail(StatusCode::RecordError, false, record.offset);
    return;
  }
  const int index = groups_;
  CodeGroupSlot& slot = state_.slots[std::size_t(index)];
  slot.recordLength = record.length;
  slot.recordAddress = record.address;

  // The first record is the RAMDLD, which has its own area whatever its address.
  if (index != 0 && !isFlashAddressValid(record.address)) {
    fail(StatusCode::AddressRange, false, record.offset);
    return;
  }
  const std::span<std::uint8_t> target =
      state_.image.write(imageOffsetFor(index == 0, record.address), record.length);
  // A record may end on the image's last byte, not past it.
  if (target.size() != record.length) {
    fail(StatusCode::BufferAddressOverflow, false, record.offset);
    return;
  }
  if (!record.hasData) {
    fail(StatusCode::RecordError, false, record.offset);
    return;
  }
  std::copy(record.data.begin(), record.data.end(), target.begin());
  // Its range counts against earlier groups; its sum is not known without a reading.
  laid_[std::size_t(index)] = {imageOffsetFor(index == 0, record.address),
                               imageOffsetFor(index == 0, record.address) + record.length, 0,
                               false};
  if (!record.endMarkerMatches) {
    fail(StatusCode::RecordError, false, record.whole ? record.endMarkerOffset : record.offset);
    return;
  }
  ++groups_;
  progress_.step();
}

void ImageLoader::lostFraming(std::size_t offset, std::size_t /*next*/) {
  if (!failed()) fail(StatusCode::RecordError, false, offset);
}

ReadResult ImageLoader::finish(bool shx) {
  ReadResult result;
  result.status = status_;
  if (failed()) return result;

  // Unequal S0 and S7 counts are reported, but what was read is still shown.
  if (shx && std::uint64_t(groups_) != s7Count_) result.status = StatusCode::RecordError;
  state_.lastSlot = groups_ - 1;
  if (result.status == StatusCode::None) {
    // Every slot is finalised; the last failure is the one reported.
    for (int i = 0; i <= state_.lastSlot; ++i) {
      const std::optional<KnownSum> known = knownSum(i);
      if (const StatusCode s =
              finaliseSlot(state_, i, FinaliseFrom::Record, known ? &*known : nullptr);
          s != StatusCode::None) {
        result.status = s;
      }
    }
  }
  progress_.step();
  result.complete = true;
  return result;
}

}  // namespace tavufe
