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

}  // namespace

ImageLoader::ImageLoader(EditorState& state, std::span<const std::uint8_t> file, Progress& progress,
                         bool rescue)
    : state_(state), file_(file), progress_(progress), rescue_(rescue) {
  const HeaderParse begun = beginSuperfileRead(state, file, progress);
  listed_ = begun.codeGroups;
  if (begun.status != StatusCode::None) fail(begun.status, false, 0);
}

void ImageLoader::fail(StatusCode status, bool atLine, std::uint64_t at) {
  status_ = status;
  stopped_ = true;
  stop_ = {atLine, at};
}

void ImageLoader::record(const ShxRecord& record) {
  if (failed()) return;
  if (rescue_) {
    rescueShxRecord(record);
    return;
  }
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
  const ShxCountedData counted = countedData(record);
  if (!counted.whole) {
    const bool pastEnd = counted.chars > file_.size() - record.offset;
    fail(pastEnd ? StatusCode::RecordError : StatusCode::ChecksumError, true, record.line);
    return;
  }

  CodeGroupSlot& slot = currentSlot();
  if (newGroup_) {
    const std::uint32_t address = record.address();
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

  const std::span<const std::uint8_t> data = counted.data;
  const std::span<std::uint8_t> target = state_.image.write(position_, data.size());
  if (target.size() == data.size()) {
    std::copy(data.begin(), data.end(), target.begin());
    noteLaid(data.size(), counted.dataSum);
    position_ = std::min<std::uint32_t>(position_ + std::uint32_t(data.size()), kLastImageByte);
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
  byteCount_ += std::uint32_t(data.size());
  slot.recordLength = byteCount_;

  if (!counted.checksumHolds) fail(StatusCode::ChecksumError, true, record.line);
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
  // A rescue takes a run only where it would take each of its lines: in an open group, from
  // the address after the last line it laid, and inside the group's range.
  if (rescue_ &&
      (!rescueContinues(run.firstAddress) || std::uint64_t(expectedAddress()) + run.data.size() >
                                                 std::uint64_t(currentSlot().endAddress) + 1)) {
    return false;
  }
  if (run.inSinkSpace) return !lent_.empty() && position_ == lentAt_;
  return state_.image.holds(position_, run.data.size());
}

bool ImageLoader::takesRunFrom(std::uint32_t address) const {
  if (failed()) return true;
  if (groups_ < 1 || newGroup_) return false;
  if (rescue_ && !rescueContinues(address)) return false;
  return isFlashAddressValid(address) && imageOffsetFor(false, address) == position_;
}

void ImageLoader::run(ShxDataRun& run, std::uint64_t /*first*/) {
  if (failed()) {
    if (run.inSinkSpace) takeBack();
    return;
  }
  if (run.inSinkSpace) {
    // What the run laid is kept; the space past it goes back as it was, mostly untouched.
    state_.image.giveBack(lentAt_ + run.data.size(), lent_.size() - run.data.size());
    lent_ = {};
  } else {
    run.data = state_.image.takeOver(position_, run.data, run.own);
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
  if (rescue_) {
    rescueSbfRecord(record);
    return;
  }
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
  if (failed()) return;
  // Stray bytes lose no group by themselves: a group whose record is not found after them is
  // damaged there.
  if (rescue_) {
    if (lostAt_ == 0) lostAt_ = offset;
    return;
  }
  fail(StatusCode::RecordError, false, offset);
}

ReadResult ImageLoader::finish(bool shx) {
  ReadResult result;
  result.status = status_;
  if (failed()) return result;
  if (rescue_) {
    finishRescue(result, shx);
    return result;
  }

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

// ---- Rescue ----

void ImageLoader::damage(int slot, bool atLine, std::uint64_t at, bool counted) {
  if (slot < 0 || slot >= listed_) return;
  GroupDamage& d = damage_[std::size_t(slot)];
  if (!damaged_[std::size_t(slot)]) {
    damaged_[std::size_t(slot)] = true;
    d = {slot, state_.slots[std::size_t(slot)].cgNumber, true, atLine, at, 0};
  }
  if (counted) ++d.lines;
}

int ImageLoader::slotStartingAt(int from, std::uint32_t address) const {
  for (int k = std::max(from, 0); k < listed_; ++k) {
    if (state_.slots[std::size_t(k)].startAddress == address) return k;
  }
  return -1;
}

void ImageLoader::rescueShxRecord(const ShxRecord& record) {
  lastLine_ = record.line;
  const int current = groups_ - 1;
  switch (record.type) {
    case 0: damage(current, true, record.line); break;
    case '0':
      // A group still open lost its S7.
      if (open_) damage(current, true, record.line);
      open_ = true;
      resync_ = false;
      if (groups_ >= listed_) {
        stray_ = true;
        break;
      }
      openShxGroup(record);
      groupAt_[std::size_t(groups_ - 1)] = record.line;
      if (record.fault != ShxRecordFault::None) damage(groups_ - 1, true, record.line);
      break;
    case '7':
      if (open_ && record.fault != ShxRecordFault::None) damage(current, true, record.line);
      open_ = false;
      break;
    case '3':
      if (groups_ >= 1) rescueShxData(record);
      break;
    default: break;
  }
}

void ImageLoader::rescueShxData(const ShxRecord& record) {
  if (stray_) return;
  int slot = groups_ - 1;
  const bool sound = record.fault == ShxRecordFault::None;
  if (!open_) {
    // A data line outside any group: the group it belongs to, when its address tells, lost its
    // S0 or an S7 came too soon.
    if (sound) {
      const std::uint32_t address = record.address();
      for (int k = 0; k < listed_; ++k) {
        const CodeGroupSlot& s = state_.slots[std::size_t(k)];
        if (address >= s.startAddress && address <= s.endAddress) damage(k, true, record.line);
      }
    } else {
      damage(slot, true, record.line);
    }
    return;
  }
  if (!sound) {
    damage(slot, true, record.line);
    resync_ = true;
    return;
  }
  const std::uint32_t address = record.address();
  if (newGroup_) {
    // The group whose data starts here: a group whose S0 was lost shifts no later one.
    if (const int k = slotStartingAt(slot, address); k > slot) {
      for (int lost = slot; lost < k; ++lost) damage(lost, true, record.line, false);
      groups_ = k;
      slot = k;
      openShxGroup(record);
      groupAt_[std::size_t(slot)] = record.line;
    } else if (k != slot) {
      // The group's first line was lost: its later lines are still its own inside its range.
      const CodeGroupSlot& s = state_.slots[std::size_t(slot)];
      const bool inside = address >= s.startAddress && address <= s.endAddress;
      damage(slot, true, record.line, !inside);
      resync_ = true;
      if (!inside) return;
    }
  } else if (!resync_ && address != expectedAddress()) {
    damage(slot, true, record.line);
    resync_ = true;
    return;
  }
  rescueLay(record, slot, address);
}

void ImageLoader::rescueLay(const ShxRecord& record, int slot, std::uint32_t address) {
  // Sound, so framed by its count, with its data summed as it was decoded.
  const ShxCountedData counted = countedData(record);
  const std::size_t dataBytes = counted.data.size();
  CodeGroupSlot& s = state_.slots[std::size_t(slot)];
  // A damaged group's later sound lines are laid where they say, inside its range only.
  if (address < s.startAddress ||
      std::uint64_t(address) + dataBytes > std::uint64_t(s.endAddress) + 1 ||
      (slot != 0 && !isFlashAddressValid(address))) {
    damage(slot, true, record.line);
    resync_ = true;
    return;
  }
  // The RAMDLD's area holds it from its start whatever its address.
  const std::uint32_t at = imageOffsetFor(slot == 0, s.startAddress) + (address - s.startAddress);
  if (newGroup_) {
    s.recordAddress = address;
    newGroup_ = false;
    byteCount_ = 0;
    laid_[std::size_t(slot)] = {at, at, 0, true};
  }
  position_ = at;
  const std::span<std::uint8_t> target = state_.image.write(position_, dataBytes);
  if (target.size() != dataBytes) {
    damage(slot, true, record.line);
    resync_ = true;
    return;
  }
  std::copy(counted.data.begin(), counted.data.end(), target.begin());
  if (resync_) {
    laid_[std::size_t(slot)].summed = false;
  } else {
    noteLaid(dataBytes, counted.dataSum);
  }
  position_ += std::uint32_t(dataBytes);
  byteCount_ =
      std::max<std::uint32_t>(byteCount_, address + std::uint32_t(dataBytes) - s.recordAddress);
  s.recordLength = byteCount_;
}

void ImageLoader::rescueSbfRecord(const SbfRecordToken& record) {
  const bool framed = record.hasFields && record.whole && record.endMarkerMatches;
  const int slot = framed ? slotStartingAt(groups_, record.address) : -1;
  if (slot < 0) {
    if (lostAt_ == 0) lostAt_ = record.offset;
    return;
  }
  for (int lost = groups_; lost < slot; ++lost) {
    damage(lost, false, lostAt_ != 0 ? lostAt_ : record.offset);
  }
  lostAt_ = 0;
  CodeGroupSlot& s = state_.slots[std::size_t(slot)];
  groupAt_[std::size_t(slot)] = record.offset;
  groups_ = slot + 1;
  const std::uint32_t offset = imageOffsetFor(slot == 0, record.address);
  const std::span<std::uint8_t> target = state_.image.write(offset, record.length);
  if ((slot != 0 && !isFlashAddressValid(record.address)) || target.size() != record.length) {
    damage(slot, false, record.offset);
    return;
  }
  std::copy(record.data.begin(), record.data.end(), target.begin());
  s.recordAddress = record.address;
  s.recordLength = record.length;
  laid_[std::size_t(slot)] = {offset, offset + record.length, 0, false};
  progress_.step();
}

void ImageLoader::finishRescue(ReadResult& result, bool shx) {
  if (open_) damage(groups_ - 1, true, lastLine_);
  // Records lost at the end take the groups not found with them.
  if (lostAt_ != 0) {
    for (int lost = groups_; lost < listed_; ++lost) damage(lost, false, lostAt_);
  }
  state_.lastSlot = listed_ - 1;
  for (int i = 0; i < listed_; ++i) {
    CodeGroupSlot& slot = state_.slots[std::size_t(i)];
    if (!damaged_[std::size_t(i)]) {
      const std::optional<KnownSum> known = knownSum(i);
      // What the file says its bytes sum to, against the bytes read: summed once, for the
      // finalisation too.
      const std::uint64_t offset = imageOffsetFor(i == 0, slot.recordAddress);
      const KnownSum whole{offset, slot.recordLength,
                           known && known->offset == offset && known->count == slot.recordLength
                               ? known->sum
                               : byteSum(state_.image.read(offset, slot.recordLength))};
      if (slot.recordLength == 0 ||
          finaliseSlot(state_, i, FinaliseFrom::Record, &whole) != StatusCode::None ||
          whole.sum != slot.headerChecksum) {
        // Damaged as a whole: placed where the group begins, when the file holds it at all.
        damage(i, shx, groupAt_[std::size_t(i)], false);
        damage_[std::size_t(i)].placed = groupAt_[std::size_t(i)] != 0;
      }
    }
    if (damaged_[std::size_t(i)]) {
      // Shown as the header gives it, with what the image holds there.
      (void)finaliseSlot(state_, i, FinaliseFrom::Slot);
      slot.damaged = true;
      result.damage.push_back(damage_[std::size_t(i)]);
    }
  }
  progress_.step();
  result.complete = true;
}

}  // namespace tavufe
