#include "superfile/header_block.h"

#include <cstdlib>
#include <cstring>

#include "model/catalogue.h"
#include "model/flash_image.h"
#include "superfile/byte_order.h"

namespace tavufe {

namespace {

struct EntryFields {
  std::int32_t startAddress;
  std::int32_t endAddress;
  std::uint16_t checksum;
  std::uint16_t code;
};

EntryFields readEntry(const std::uint8_t* header, int entryIndex) {
  const std::uint8_t* e = header + cgEntryOffset(entryIndex);
  return {std::int32_t(read32le(e)), std::int32_t(read32le(e + 4)), read16le(e + 24),
          read16le(e + 26)};
}

void putEntry(HeaderBlock& block, int entryIndex, std::int32_t start, std::int32_t end,
              const std::array<std::uint8_t, 16>& headerBytes, std::uint16_t checksum,
              std::uint16_t code) {
  std::uint8_t* e = block.data() + cgEntryOffset(entryIndex);
  write32le(e, std::uint32_t(start));
  write32le(e + 4, std::uint32_t(end));
  std::memcpy(e + 8, headerBytes.data(), headerBytes.size());
  write16le(e + 24, checksum);
  write16le(e + 26, code);
}

void putText(HeaderBlock& block, std::size_t offset, std::string_view text, std::size_t max) {
  std::memcpy(block.data() + offset, text.data(), std::min(text.size(), max));
}

// Walk order of the table: CG0, FBL, CG1 (two entries), then CG2 to CG255.
struct WalkStep {
  int cgNumber;
  int entryIndex;
};

}  // namespace

std::size_t cgEntryOffset(int entryIndex) {
  return kCgTableOffset + kCgEntrySize * std::size_t(entryIndex);
}

int parseHeaderBlock(EditorState& state, std::span<const std::uint8_t> file) {
  copyProfileToCatalogue(state);
  if (file.size() < kHeaderSize) {
    state.status = StatusCode::RecordError;
    return 0;
  }
  const std::uint8_t* header = file.data();

  int filled = 0;
  auto place = [&](int cgNumber, std::int32_t start, std::int32_t end, std::uint16_t checksum,
                   std::uint16_t code) {
    if (filled > kLastLoadableSlot) {
      // More code groups than the table holds: refuse rather than drop some silently.
      state.status = StatusCode::RecordError;
      return;
    }
    placeInSlot(state, filled, cgNumber, start, end);
    state.slots[filled].headerChecksum = checksum;
    state.slots[filled].headerCode = code;
    ++filled;
  };

  for (const WalkStep step : {WalkStep{kCgRamdld, 0}, WalkStep{kCgFbl, 1}}) {
    const EntryFields e = readEntry(header, step.entryIndex);
    if (e.startAddress != 0) place(step.cgNumber, e.startAddress, e.endAddress, e.checksum, e.code);
  }
  const EntryFields fw0 = readEntry(header, 2);
  if (fw0.startAddress != 0) {
    const EntryFields fw1 = readEntry(header, 3);
    place(kCgFirmware, fw0.startAddress, fw1.endAddress,
          std::uint16_t(fw0.checksum + fw1.checksum), fw0.code);
  }
  for (int c = 2; c <= 255; ++c) {
    const EntryFields e = readEntry(header, c + 2);
    if (e.startAddress != 0) place(c, e.startAddress, e.endAddress, e.checksum, e.code);
  }
  return filled;
}

std::string formatHeaderDate(const std::tm& t) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"January", "February", "March",     "April",
                                            "May",     "June",     "July",      "August",
                                            "September", "October", "November", "December"};
  char buffer[60];
  std::snprintf(buffer, sizeof buffer, "%s %s %02d %02d:%02d:%02d %d",
                kDays[(t.tm_wday % 7 + 7) % 7], kMonths[(t.tm_mon % 12 + 12) % 12], t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
  return buffer;
}

std::string headerDateText() {
  std::tm t{};
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  bool fixed = epoch != nullptr && *epoch != '\0';
  long long seconds = 0;
  if (fixed) {
    for (const char* p = epoch; *p != '\0'; ++p) {
      if (*p < '0' || *p > '9' || seconds > 253402300799LL) {  // digits only, up to year 9999
        fixed = false;
        break;
      }
      seconds = seconds * 10 + (*p - '0');
    }
  }
  if (fixed) {
    const std::time_t when = std::time_t(seconds);
    gmtime_r(&when, &t);
  } else {
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &t);
  }
  return formatHeaderDate(t);
}

HeaderBlock buildHeaderBlock(const EditorState& state, const std::string& dateText) {
  HeaderBlock block{};
  putText(block, kMagicTextOffset, kMagicText, 13);
  putText(block, kVersionText1Offset, "3.00", 4);
  putText(block, kVersionText2Offset, "2.00", 4);
  putText(block, kVersionText3Offset, "2.20", 4);
  putText(block, kDateTextOffset, dateText, 59);
  constexpr std::size_t generatorLength = sizeof kGeneratorText - 1;
  putText(block, kGeneratorTextOffset, kGeneratorText, generatorLength);
  putText(block, kGeneratorTextOffset + generatorLength, kProgramVersion, 70 - generatorLength);

  unsigned count = 0;
  for (int i = 0; i <= state.lastSlot && i < kSlotCount; ++i) {
    if (!isSlotInUse(state, i)) continue;
    const CodeGroupSlot& slot = state.slots[i];
    if (slot.cgNumber == kCgFirmware) {
      const CodeGroupSlot& first = state.firmwareHalves[0];
      const CodeGroupSlot& rest = state.firmwareHalves[1];
      putEntry(block, 2, first.startAddress, first.endAddress, first.headerBytes,
               first.bufferChecksum, 8);
      putEntry(block, 3, rest.startAddress, rest.endAddress, rest.headerBytes,
               rest.bufferChecksum, 8);
      count += 2;
      continue;
    }
    const int entry = slot.cgNumber == kCgRamdld ? 0 : slot.cgNumber == kCgFbl ? 1 : slot.cgNumber + 2;
    const std::uint16_t code = (slot.cgNumber == kCgRamdld || slot.cgNumber == kCgFbl) ? 0 : 8;
    putEntry(block, entry, slot.startAddress, slot.endAddress, slot.headerBytes,
             slot.bufferChecksum, code);
    ++count;
  }
  block[kHabStateOffset] = 2;
  block[kEntryCountOffset] = std::uint8_t(count);
  return block;
}

void writeHeaderBlock(EditorState& state, OutputFile& out) {
  const HeaderBlock block = buildHeaderBlock(state, headerDateText());
  out.write(block.data(), block.size());
  std::uint16_t sum = state.runningChecksum;
  for (const std::uint8_t b : block) sum = std::uint16_t(sum + b);
  state.runningChecksum = sum;
}

}  // namespace tavufe
