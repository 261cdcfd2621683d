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

void ImageLoader::line(const ShxLine& line) {
  if (failed()) return;
  // A record line of hex digits only holds no other "S": it is one record, already decoded.
  if (line.type != 0 && line.certain()) {
    takeShxRecord(line.type, line, 0);
    return;
  }
  // Any other line is searched for records as the text runs, each "S" and the character
  // after it starting one; everything else is passed over.
  const std::span<const std::uint8_t> text = line.text;
  std::size_t at = 0;
  while (!failed()) {
    const auto* s =
        static_cast<const std::uint8_t*>(std::memchr(text.data() + at, 'S', text.size() - at));
    if (s == nullptr) return;
    at = std::size_t(s - text.data());
    if (at + 1 == text.size()) {
      // An "S" that ends the file is a record cut short.
      if (line.offset + at + 1 == file_.size()) fail(StatusCode::RecordError, true, line.number);
      return;
    }
    at = takeShxRecord(char(text[at + 1]), line, at);
  }
}

std::size_t ImageLoader::takeShxRecord(char type, const ShxLine& line, std::size_t at) {
  switch (type) {
    case '0': openShxGroup(line); break;
    case '7': ++s7Count_; break;
    case '3':
      // Data before the first S0 belongs to no code group and is passed over unread.
      if (groups_ >= 1) return takeShxData(line, at);
      break;
    default: break;
  }
  return at + 1;
}

void ImageLoader::openShxGroup(const ShxLine& line) {
  if (groups_ > kLastLoadableSlot) {
    fail(StatusCode::RecordError, true, line.number);
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
// follows them on the line is passed over (the check reports it). Returns where the search for
// the next record goes on.
std::size_t ImageLoader::takeShxData(const ShxLine& line, std::size_t at) {
  const std::span<const std::uint8_t> text = line.text.subspan(at);
  // The record's pairs: those the tokenizer decoded for a line that starts with it, otherwise
  // decoded here as far as the line holds them.
  const unsigned count = text.size() >= 4 ? hexPairToByte(text[2], text[3]) : 0xFF;
  const std::size_t dataBytes = count > kS3FixedBytes ? count - kS3FixedBytes : 0;
  const std::size_t checksumAt = kS3FixedBytes + dataBytes;
  std::span<const std::uint8_t> fields;
  if (at == 0 && line.certain()) {
    fields = line.bytes;
  } else {
    record_.clear();
    for (std::size_t k = 2; k + 1 < text.size() && record_.size() <= checksumAt; k += 2) {
      record_.push_back(hexPairToByte(text[k], text[k + 1]));
    }
    fields = record_;
  }
  if (checksumAt >= fields.size()) {
    // The record would run on into the next line, whose characters cannot make its sum.
    const std::size_t chars = 2 + 2 * (checksumAt + 1);
    const bool pastEnd = chars > file_.size() - line.offset - at;
    fail(pastEnd ? StatusCode::RecordError : StatusCode::ChecksumError, true, line.number);
    return text.size();
  }

  CodeGroupSlot& slot = currentSlot();
  if (newGroup_) {
    const std::uint32_t address = read32be(fields.data() + 1);
    slot.recordAddress = address;
    // The first group is the RAMDLD, which has its own area whatever its address.
    if (groups_ != 1 && !isFlashAddressValid(address)) {
      fail(StatusCode::AddressRange, true, line.number);
      return text.size();
    }
    position_ = imageOffsetFor(groups_ == 1, address);
    if (watch_ != nullptr) watch_->groupStarts(slot.cgNumber, position_);
    newGroup_ = false;
    byteCount_ = 0;
    laid_[std::size_t(groups_ - 1)] = {position_, position_, 0, true};
  }

  // A framed line's checksum is its last byte, and the tokenizer has summed the rest.
  const std::uint32_t sum = fields.data() == line.bytes.data() && checksumAt + 1 == fields.size()
                                ? line.byteSum - fields[checksumAt]
                                : std::uint32_t(byteSum(fields.first(checksumAt)));
  const std::span<const std::uint8_t> data = fields.subspan(kS3FixedBytes, dataBytes);
  const std::span<std::uint8_t> target = writeImage(position_, dataBytes);
  if (target.size() == dataBytes) {
    std::copy(data.begin(), data.end(), target.begin());
    std::uint32_t fixed = 0;
    for (std::size_t k = 0; k < kS3FixedBytes; ++k) fixed += fields[k];
    noteLaid(dataBytes, sum - fixed);
    position_ = std::min<std::uint32_t>(position_ + std::uint32_t(dataBytes), kLastImageByte);
  } else {
    // Past the end every further byte lands on the image's last byte.
    for (const std::uint8_t b : data) {
      writeImage(position_, 1)[0] = b;
      if (position_ < kLastImageByte) ++position_;
    }
    Laid& laid = laid_[std::size_t(groups_ - 1)];
    laid.end = kImageSize;
    laid.summed = false;
  }
  byteCount_ += std::uint32_t(dataBytes);
  slot.recordLength = byteCount_;

  if (fields[checksumAt] != std::uint8_t(255 - (sum & 0xFF))) {
    fail(StatusCode::ChecksumError, true, line.number);
  }
  // The search goes on from the checksum's second character, as past any record.
  return at + 2 + 2 * checksumAt + 1;
}

std::span<std::uint8_t> ImageLoader::writeImage(std::uint32_t offset, std::size_t count) {
  for (Lent& lent : lent_) {
    if (lent.guard != nullptr && offset < lent.at + lent.bytes.size() && lent.at < offset + count) {
      // A file whose earlier lines write where a run lies: the run is given up first.
      lent.guard->stop();
      takeBack(lent);
    }
  }
  return state_.image.write(offset, count);
}

const ImageLoader::Lent* ImageLoader::lentFor(const ShxDataRun& run) const {
  if (!run.inPlace) return nullptr;
  for (const Lent& lent : lent_) {
    if (lent.guard != nullptr && lent.bytes.data() == run.data.data()) return &lent;
  }
  return nullptr;
}

void ImageLoader::takeBack(Lent& lent) {
  if (lent.guard == nullptr) return;
  // Written again through the image, so that a watcher of what was laid learns of it.
  const std::span<std::uint8_t> bytes = state_.image.write(lent.at, lent.bytes.size());
  std::fill(bytes.begin(), bytes.end(), kErased);
  lent = {};
}

void ImageLoader::setLaidWatch(LaidDataWatch* watch) {
  watch_ = watch;
  if (watch_ != nullptr) state_.image.watchWrites();
}

// The space where the run's lines would lay their data, if the group's lines before them run
// on without a gap: lent only while it is erased and apart from other lent space, so that
// giving it back leaves it as found.
std::span<std::uint8_t> ImageLoader::runSpace(std::uint32_t address, std::size_t bytes,
                                              ShxRunGuard& guard) {
  if (failed() || !isFlashAddressValid(address)) return {};
  const std::uint32_t offset = imageOffsetFor(false, address);
  const std::size_t count = std::min<std::size_t>(bytes, kImageSize - offset);
  if (count == 0 || state_.image.nextWritten(offset) < offset + count) return {};
  Lent* free = nullptr;
  for (Lent& lent : lent_) {
    if (lent.guard == nullptr) {
      free = &lent;
    } else if (offset < lent.at + lent.bytes.size() && lent.at < offset + count) {
      return {};
    }
  }
  if (free == nullptr) return {};
  *free = {state_.image.lend(offset, count), offset, &guard};
  if (watch_ != nullptr) {
    guard.onLaid([watch = watch_, offset, bytes = free->bytes](std::size_t from, std::size_t to) {
      watch->laid(offset + from, bytes.subspan(from, to - from));
    });
  }
  return free->bytes;
}

// A run's lines are data lines of the open group, each laid after the one before: a run can
// stand for them once the group has its first line, and while all of it fits the image, at
// the place where it was decoded when it lies in lent space.
bool ImageLoader::takesRun(const ShxDataRun& run) const {
  if (failed()) return true;  // every later line is passed over alike
  if (groups_ < 1 || newGroup_) return false;
  if (run.inPlace) {
    const Lent* lent = lentFor(run);
    return lent != nullptr && position_ == lent->at;
  }
  return state_.image.holds(position_, run.data.size());
}

bool ImageLoader::takesRunFrom(std::uint32_t address) const {
  if (failed()) return true;
  return groups_ >= 1 && !newGroup_ && isFlashAddressValid(address) &&
         imageOffsetFor(false, address) == position_;
}

void ImageLoader::run(const ShxDataRun& run, std::uint64_t /*first*/) {
  Lent* lent = lentFor(run);
  if (failed()) {
    if (lent != nullptr) takeBack(*lent);
    return;
  }
  if (lent != nullptr) {
    // What the run laid is kept; the space past it goes back as it was, mostly untouched.
    state_.image.giveBack(lent->at + run.data.size(), lent->bytes.size() - run.data.size());
    *lent = {};
  } else {
    const std::span<std::uint8_t> target = writeImage(position_, run.data.size());
    std::copy(run.data.begin(), run.data.end(), target.begin());
  }
  noteLaid(run.data.size(), run.dataSum);
  position_ = std::min<std::uint32_t>(position_ + std::uint32_t(run.data.size()), kLastImageByte);
  byteCount_ += std::uint32_t(run.data.size());
  currentSlot().recordLength = byteCount_;
}

void ImageLoader::runDeclined(const ShxDataRun& run) {
  if (Lent* lent = lentFor(run)) takeBack(*lent);
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
