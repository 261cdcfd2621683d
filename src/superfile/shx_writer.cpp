#include "superfile/shx_writer.h"

#include <algorithm>
#include <array>
#include <memory>

#include "model/hex.h"
#include "superfile/hex_pairs.h"
#include "superfile/save_preparation.h"

namespace tavufe {

namespace {

static_assert(kShxMaxLineSize == 144);
constexpr std::size_t kTrailerSize = 14;

std::uint16_t textSum(const char* text, std::size_t size) {
  std::uint32_t sum = 0;
  for (std::size_t k = 0; k < size; ++k) sum += std::uint8_t(text[k]);
  return std::uint16_t(sum);
}

}  // namespace

std::size_t buildShxDataLine(const HexKernels& hex, std::uint32_t address, const std::uint8_t* data,
                             std::size_t count, char* line, std::uint32_t& charSum) {
  HexSums sums;
  char* p = line;
  *p++ = 'S';
  *p++ = '3';
  p = encodePair(std::uint8_t(count + 5), p, sums);
  p = encodePair(std::uint8_t(address >> 24), p, sums);
  p = encodePair(std::uint8_t(address >> 16), p, sums);
  p = encodePair(std::uint8_t(address >> 8), p, sums);
  p = encodePair(std::uint8_t(address), p, sums);
  hex.encode(data, count, p, sums);
  p += 2 * count;
  p = encodePair(std::uint8_t(0xFF - (sums.bytes & 0xFF)), p, sums);
  *p++ = '\r';
  *p++ = '\n';
  charSum += sums.chars + 'S' + '3' + '\r' + '\n';
  return std::size_t(p - line);
}

std::array<char, kTrailerSize> shxChecksumTrailer(std::uint16_t runningChecksum) {
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

namespace {

// A slot's data: the plan's RAMDLD for slot 0, any other code group's start to end offsets in
// the image. Empty, with `inside` false, when they are not there.
std::span<const std::uint8_t> slotData(const FlashImage& image, const SavePlan& plan, int slotIndex,
                                       bool& inside) {
  const CodeGroupSlot& slot = plan.slots[std::size_t(slotIndex)];
  if (slotIndex == 0) {
    // A length past 2^31 is a range that runs backwards: no bytes.
    const std::uint64_t count = std::int32_t(slot.length) > 0 ? slot.length : 0;
    inside = plan.ramdld.size() == count;
    return inside ? std::span<const std::uint8_t>(plan.ramdld) : std::span<const std::uint8_t>();
  }
  const std::uint32_t offset = imageOffsetFor(false, slot.startAddress);
  const std::uint32_t end = slot.endAddress & kAddressMask;
  const std::uint64_t count = end >= offset ? std::uint64_t(end - offset) + 1 : 0;
  inside = image.holds(offset, count);
  return image.read(offset, count);
}

// The checksum trailer closes the file, so it follows the last group actually written.
bool isLastGroup(const SavePlan& plan, int slotIndex) {
  const int last = std::min(plan.lastSlot, kSlotCount - 1);
  for (int j = slotIndex + 1; j <= last; ++j) {
    if (isSlotInUse(plan.slots, j)) return false;
  }
  return true;
}

constexpr std::size_t kOpenLineSize = sizeof kShxGroupOpenLine - 1;
constexpr std::size_t kTerminatorSize = sizeof kShxTerminatorLine - 1;

// Keeps the running sum of every byte written, which the checksum line at the end carries.
class ShxEncoder : public SuperfileEncoder {
 public:
  void writeHeader(const HeaderBlock& header, ByteSink& out) override {
    out.write(header.data(), header.size());
    for (const std::uint8_t b : header) runningChecksum_ = std::uint16_t(runningChecksum_ + b);
  }

  StatusCode writeGroup(const FlashImage& image, const SavePlan& plan, int slotIndex,
                        ByteSink& out) override {
    bool inside = false;
    std::span<const std::uint8_t> data = slotData(image, plan, slotIndex, inside);
    // Reading past the image would put foreign bytes into a flash file.
    if (!inside) return StatusCode::BufferAddressOverflow;

    out.write(kShxGroupOpenLine, kOpenLineSize);
    std::uint32_t charSum = textSum(kShxGroupOpenLine, kOpenLineSize);

    std::uint32_t address = plan.slots[std::size_t(slotIndex)].startAddress;
    // Lines are built in blocks; a sink takes a block this large without copying it again.
    // Left unfilled: each line is built before it is written.
    if (!lines_) lines_.reset(new char[kBlockSize + kShxMaxLineSize]);
    std::size_t used = 0;
    while (!data.empty()) {
      const std::size_t count = std::min(data.size(), kShxDataPerLine);
      used += buildShxDataLine(hex_, address, data.data(), count, lines_.get() + used, charSum);
      data = data.subspan(count);
      address += std::uint32_t(count);
      if (used >= kBlockSize || data.empty()) {
        if (!out.write(lines_.get(), used)) return StatusCode::None;  // the save reports it
        used = 0;
      }
    }
    runningChecksum_ = std::uint16_t(runningChecksum_ + charSum);

    if (isLastGroup(plan, slotIndex)) {
      const auto trailer = shxChecksumTrailer(runningChecksum_);
      out.write(trailer.data(), trailer.size());
    } else {
      out.write(kShxTerminatorLine, kTerminatorSize);
      runningChecksum_ =
          std::uint16_t(runningChecksum_ + textSum(kShxTerminatorLine, kTerminatorSize));
    }
    return StatusCode::None;
  }

 private:
  static constexpr std::size_t kBlockSize = std::size_t(1) << 20;

  const HexKernels& hex_ = hexKernels();
  std::unique_ptr<char[]> lines_;
  std::uint16_t runningChecksum_ = 0;
};

}  // namespace

StatusCode writeShx(const FlashImage& image, const SavePlan& plan, const std::string& dateText,
                    ByteSink& out, Progress& progress) {
  ShxEncoder encoder;
  return writeSuperfile(image, plan, dateText, out, progress, encoder);
}

}  // namespace tavufe
