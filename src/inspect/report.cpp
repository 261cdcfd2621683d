#include "inspect/report.h"

#include <algorithm>
#include <array>

#include "inspect/number_format.h"
#include "superfile/hex.h"

namespace tavufe {

namespace {

// Offsets of the header texts the report shows.
inline constexpr std::size_t kMagicAt = 0;
inline constexpr std::size_t kGeneratorAt = 448;
inline constexpr std::size_t kDateAt = 320;

// Image positions come from region bounds that a hostile header may have set to anything:
// every read is checked against the image first.
bool imageHolds(const EditorState& state, std::int64_t offset, std::int64_t count) {
  return state.image.exists() && offset >= 0 && count >= 0 && offset <= kImageSize - count;
}

// A byte outside the image reads as erased, so that it shows as "Not Found".
std::uint8_t imageByte(const EditorState& state, std::int64_t offset) {
  return imageHolds(state, offset, 1) ? state.image.data()[offset] : kErased;
}

template <std::size_t N>
bool imageMatches(const EditorState& state, std::int64_t offset,
                  const std::array<std::uint8_t, N>& bytes) {
  if (!imageHolds(state, offset, N)) return false;
  return std::equal(bytes.begin(), bytes.end(), state.image.data() + offset);
}

const char* platformName(std::uint16_t code) {
  switch (code) {
    case 0x0C02: return "GSM Neptune LTE";
    case 0x1302: return "GSM Neptune LTE2";
    case 0x0804: return "UMTS POG Rainbow";
    default: return "Unknown";
  }
}

// "@(#)" then the "R" that begins the version text.
inline constexpr std::array<std::uint8_t, 5> kFirmwareMarker = {0x40, 0x28, 0x23, 0x29, 0x52};
inline constexpr std::uint32_t kFirmwareSearchTag = 0xB1;
inline constexpr std::array<std::uint8_t, 2> kFlexBlockTag = {0x55, 0x55};
inline constexpr std::array<std::uint8_t, 8> kFlexBlockWords = {0x01, 0x00, 0x01, 0x00,
                                                                0x00, 0x00, 0x01, 0x01};
inline constexpr std::int64_t kFlexTextOffset = 32;

}  // namespace

void appendTextLine(EditorState& state, std::string_view label, std::span<const std::uint8_t> bytes,
                    std::size_t offset) {
  std::string line(label);
  if (offset < bytes.size()) {
    const std::size_t limit = std::min(kReportTextMax, bytes.size() - offset);
    const std::uint8_t* text = bytes.data() + offset;
    const std::size_t length = std::find(text, text + limit, 0) - text;
    line.append(reinterpret_cast<const char*>(text), length);
  }
  state.report.push_back(std::move(line));
}

void appendWordLine(EditorState& state, std::string_view label, std::uint8_t first,
                    std::uint8_t second) {
  std::string line(label);
  if (first == kErased && second == kErased) {
    line += "Not Found";
  } else {
    line += hex2(first);
    line += hex2(second);
  }
  state.report.push_back(std::move(line));
}

void reportPlatform(EditorState& state) {
  const RegionBounds& b = state.bounds;
  const std::int64_t ramdld = std::int64_t(b.ramdldOffset) + 9;
  const std::int64_t flash = std::int64_t(b.flashBaseOffset) + 9;
  const std::array<std::uint8_t, 2> ramdldPair = {imageByte(state, ramdld),
                                                  imageByte(state, ramdld + 1)};
  const std::array<std::uint8_t, 2> flashPair = {imageByte(state, flash),
                                                 imageByte(state, flash + 1)};
  const auto erased = [](const std::array<std::uint8_t, 2>& pair) {
    return pair[0] == kErased && pair[1] == kErased;
  };
  if (erased(ramdldPair) && erased(flashPair)) {
    state.report.push_back("Platform: Not Found");
    return;
  }
  const auto& pair = erased(ramdldPair) ? flashPair : ramdldPair;
  const auto code = std::uint16_t((pair[0] << 8) | pair[1]);
  state.report.push_back(std::string("Platform: ") + platformName(code));
}

void reportFirmwareVersion(EditorState& state) {
  const std::int64_t start = state.bounds.firmwareStart;
  const std::int64_t end = state.bounds.firmwareEnd;
  // Only a firmware whose bytes 4 to 7 read 00 00 00 B1 carries the marker.
  const std::array<std::uint8_t, 4> tag = {0x00, 0x00, 0x00, std::uint8_t(kFirmwareSearchTag)};
  if (imageMatches(state, start + 4, tag)) {
    for (std::int64_t p = start; p < end; p += 4) {
      if (!imageHolds(state, p, kFirmwareMarker.size())) break;
      if (imageMatches(state, p, kFirmwareMarker)) {
        appendTextLine(state, "Firmware: ", state.image.span(), std::size_t(p + 4));
        return;
      }
    }
  }
  state.report.push_back("Firmware: Not Found");
}

void reportFlexVersion(EditorState& state) {
  const std::int64_t start = state.bounds.flexStart;
  const std::int64_t end = state.bounds.flexEnd;
  const std::array<std::uint8_t, 4> blank = {kErased, kErased, kErased, kErased};
  if (imageHolds(state, start, 4) && !imageMatches(state, start, blank)) {
    for (std::int64_t p = start; p < end; p += 4) {
      // The whole block up to its text's first byte must lie inside the image.
      if (!imageHolds(state, p, kFlexTextOffset + 1)) break;
      const std::uint8_t* at = state.image.data() + p;
      if (at[0] == kFlexBlockTag[0] && at[1] == kFlexBlockTag[1] &&
          std::equal(kFlexBlockWords.begin(), kFlexBlockWords.end(), at + 4) &&
          at[kFlexTextOffset] != kErased) {
        appendTextLine(state, "Flex: ", state.image.span(), std::size_t(p + kFlexTextOffset));
        return;
      }
    }
  }
  state.report.push_back("Flex: Not Found");
}

void writeCodeGroupReport(EditorState& state, std::span<const std::uint8_t> file,
                          std::uint64_t fileSize) {
  state.report.clear();
  appendTextLine(state, "HEADER INFO: ", file, kMagicAt);
  appendTextLine(state, "", file, kGeneratorAt);
  appendTextLine(state, "Date: ", file, kDateAt);
  state.report.push_back("File: " + formatThousands(std::int64_t(fileSize), state.thousandsSeparator) +
                         " Bytes");
  reportPlatform(state);
  reportFirmwareVersion(state);
  reportFlexVersion(state);
  const std::int64_t rdl = std::int64_t(state.bounds.ramdldOffset);
  appendWordLine(state, "RDL: ", imageByte(state, rdl + 14), imageByte(state, rdl + 15));
  const std::int64_t language = std::int64_t(state.bounds.languageStart);
  appendWordLine(state, "Language: ", imageByte(state, language + 18),
                 imageByte(state, language + 19));
}

}  // namespace tavufe
