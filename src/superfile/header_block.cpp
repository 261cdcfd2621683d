#include "superfile/header_block.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "model/byte_order.h"
#include "model/catalogue.h"
#include "superfile/byte_cursor.h"

namespace tavufe {

namespace {

struct EntryFields {
  std::uint32_t startAddress;
  std::uint32_t endAddress;
  std::uint16_t checksum;
  std::uint16_t code;
};

// The caller has checked that the whole header is there.
EntryFields readEntry(std::span<const std::uint8_t> header, int entryIndex) {
  const std::uint8_t* e = header.subspan(cgEntryOffset(entryIndex), kCgEntrySize).data();
  return {read32le(e + kEntryStartField), read32le(e + kEntryEndField),
          read16le(e + kEntryChecksumField), read16le(e + kEntryCodeField)};
}

void putEntry(HeaderBlock& block, int entryIndex, std::uint32_t start, std::uint32_t end,
              const HeaderBytes& headerBytes, std::uint16_t checksum, std::uint16_t code) {
  std::uint8_t* e = block.data() + cgEntryOffset(entryIndex);
  write32le(e + kEntryStartField, start);
  write32le(e + kEntryEndField, end);
  std::memcpy(e + kEntryHeaderBytesField, headerBytes.data(), headerBytes.size());
  write16le(e + kEntryChecksumField, checksum);
  write16le(e + kEntryCodeField, code);
}

void putText(HeaderBlock& block, std::size_t offset, std::string_view text, std::size_t max) {
  std::memcpy(block.data() + offset, text.data(), std::min(text.size(), max));
}

}  // namespace

std::size_t cgEntryOffset(int entryIndex) {
  return kCgTableOffset + kCgEntrySize * std::size_t(entryIndex);
}

std::vector<ListedGroup> listedGroups(std::span<const std::uint8_t> header) {
  std::vector<ListedGroup> out;
  if (header.size() < kHeaderSize) return out;
  auto add = [&](int cgNumber, int entry, const EntryFields& e) {
    if (e.startAddress != 0) {
      out.push_back({cgNumber, entry, e.startAddress, e.endAddress, e.checksum, e.code});
    }
  };
  add(kCgRamdld, kEntryRamdld, readEntry(header, kEntryRamdld));
  add(kCgFbl, kEntryFbl, readEntry(header, kEntryFbl));
  EntryFields firmware = readEntry(header, kEntryFirmwareFirst);
  const EntryFields rest = readEntry(header, kEntryFirmwareRest);
  firmware.endAddress = rest.endAddress;
  firmware.checksum = std::uint16_t(firmware.checksum + rest.checksum);
  add(kCgFirmware, kEntryFirmwareFirst, firmware);
  for (int c = 2; c <= 255; ++c) add(c, c + 2, readEntry(header, c + 2));
  return out;
}

HeaderParse parseHeaderBlock(EditorState& state, std::span<const std::uint8_t> file) {
  copyProfileToCatalogue(state);
  HeaderParse result;
  const std::span<const std::uint8_t> header = ByteCursor(file).take(kHeaderSize);
  if (header.empty()) {
    result.status = StatusCode::RecordError;
    return result;
  }

  for (const ListedGroup& g : listedGroups(header)) {
    if (result.codeGroups > kLastLoadableSlot) {
      // More code groups than the table holds: refuse rather than drop some silently.
      result.status = StatusCode::RecordError;
      break;
    }
    const int slot = result.codeGroups;
    if (const StatusCode placed = placeInSlot(state, slot, g.cgNumber, g.start, g.end);
        placed != StatusCode::None) {
      result.status = placed;
    }
    state.slots[std::size_t(slot)].headerChecksum = g.checksum;
    state.slots[std::size_t(slot)].headerCode = g.code;
    ++result.codeGroups;
  }
  // Until finalisation refines them, the bounds are the header's ranges: a file whose reading
  // stops short of that is still reported on its own code groups.
  computeRegionBounds(state);
  return result;
}

HeaderParse beginSuperfileRead(EditorState& state, std::span<const std::uint8_t> file,
                               Progress& progress) {
  if (!state.image.exists()) return {StatusCode::BufferError, 0};
  const HeaderParse header = parseHeaderBlock(state, file);
  if (header.status == StatusCode::None) progress.setMaximum(header.codeGroups + 3);
  return header;
}

std::string formatHeaderDate(const std::tm& t) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  char buffer[60];
  std::snprintf(buffer, sizeof buffer, "%s %s %02d %02d:%02d:%02d %d",
                kDays[(t.tm_wday % 7 + 7) % 7], kMonths[(t.tm_mon % 12 + 12) % 12], t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
  return buffer;
}

HeaderTexts readHeaderTexts(std::span<const std::uint8_t> file) {
  HeaderTexts texts;
  const std::span<const std::uint8_t> header = ByteCursor(file).peek(kHeaderSize);
  if (header.empty()) return texts;
  auto field = [&](std::size_t from, std::size_t to) {
    const std::span<const std::uint8_t> bytes = header.subspan(from, to - from);
    return std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0));
  };
  texts.magic = field(kMagicTextOffset, kVersionText1Offset);
  texts.version1 = field(kVersionText1Offset, kVersionText2Offset);
  texts.version2 = field(kVersionText2Offset, kDateTextOffset);
  texts.date = field(kDateTextOffset, kGeneratorTextOffset);
  texts.generator = field(kGeneratorTextOffset, kHabStateOffset);
  texts.version3 = field(kVersionText3Offset, kEntryCountOffset);
  texts.habState = header[kHabStateOffset];
  texts.entryCount = header[kEntryCountOffset];
  return texts;
}

HeaderBlock buildHeaderBlock(const SavePlan& plan, const std::string& dateText) {
  HeaderBlock block{};
  putText(block, kMagicTextOffset, kMagicText, kMagicTextWidth);
  putText(block, kVersionText1Offset, "3.00", kVersionTextWidth);
  putText(block, kVersionText2Offset, "2.00", kVersionTextWidth);
  putText(block, kVersionText3Offset, "2.20", kVersionTextWidth);
  putText(block, kDateTextOffset, dateText, kDateTextWidth);
  constexpr std::size_t generatorLength = sizeof kGeneratorText - 1;
  putText(block, kGeneratorTextOffset, kGeneratorText, generatorLength);
  putText(block, kGeneratorTextOffset + generatorLength, kProgramVersion,
          kGeneratorFieldWidth - generatorLength);

  unsigned count = 0;
  for (int i = 0; i <= plan.lastSlot && i < kSlotCount; ++i) {
    if (!isSlotInUse(plan.slots, i)) continue;
    const CodeGroupSlot& slot = plan.slots[std::size_t(i)];
    if (slot.cgNumber == kCgFirmware) {
      const CodeGroupSlot& first = plan.firmwareHalves[0];
      const CodeGroupSlot& rest = plan.firmwareHalves[1];
      putEntry(block, kEntryFirmwareFirst, first.startAddress, first.endAddress, first.headerBytes,
               first.bufferChecksum, kEntryCodeLoaded);
      putEntry(block, kEntryFirmwareRest, rest.startAddress, rest.endAddress, rest.headerBytes,
               rest.bufferChecksum, kEntryCodeLoaded);
      count += 2;
      continue;
    }
    const int entry = slot.cgNumber == kCgRamdld ? kEntryRamdld
                      : slot.cgNumber == kCgFbl  ? kEntryFbl
                                                 : slot.cgNumber + 2;
    const std::uint16_t code =
        (slot.cgNumber == kCgRamdld || slot.cgNumber == kCgFbl) ? 0 : kEntryCodeLoaded;
    putEntry(block, entry, slot.startAddress, slot.endAddress, slot.headerBytes,
             slot.bufferChecksum, code);
    ++count;
  }
  block[kHabStateOffset] = 2;
  block[kEntryCountOffset] = std::uint8_t(count);
  return block;
}

}  // namespace tavufe
