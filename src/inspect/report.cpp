#include "inspect/report.h"

#include <algorithm>
#include <array>

#include "inspect/number_format.h"
#include "model/header_layout.h"
#include "model/hex.h"

namespace tavufe {

namespace {

// Image positions come from region bounds that a hostile header may have set to anything:
// every read goes through the image's own range checks.
template <std::size_t N>
bool imageMatches(const EditorState& state, std::uint64_t offset,
                  const std::array<std::uint8_t, N>& bytes) {
  const std::span<const std::uint8_t> at = state.image.read(offset, N);
  return at.size() == N && std::equal(bytes.begin(), bytes.end(), at.begin());
}

const char* platformName(std::uint16_t code) {
  switch (code) {
    case 0x0C02: return "GSM Neptune LTE";
    case 0x1302: return "GSM Neptune LTE2";
    case 0x0804: return "UMTS POG Rainbow";
    default: return kReportUnknownPlatform;
  }
}

// "@(#)" then the "R" that begins the version text.
inline constexpr std::array<std::uint8_t, 5> kFirmwareMarker = {0x40, 0x28, 0x23, 0x29, 0x52};
inline constexpr std::uint32_t kFirmwareSearchTag = 0xB1;
inline constexpr std::array<std::uint8_t, 2> kFlexBlockTag = {0x55, 0x55};
inline constexpr std::array<std::uint8_t, 8> kFlexBlockWords = {0x01, 0x00, 0x01, 0x00,
                                                                0x00, 0x00, 0x01, 0x01};
inline constexpr std::size_t kFlexTextOffset = 32;
// Where the version words and the platform code sit in their code groups.
inline constexpr std::int64_t kPlatformCodeAt = 9;
inline constexpr std::int64_t kLanguageVersionAt = 18;

// textLine over the image from `offset`: a bounded read, so only the chunks the text lies in
// need to be erased, not the whole image.
std::string imageTextLine(std::string_view label, const EditorState& state, std::uint64_t offset) {
  return textLine(label,
                  state.image.readClipped(std::int64_t(offset), std::int64_t(kReportTextMax)), 0);
}

// The version word at `offset`, or "Not Found" when the file carries no such code group:
// the image may hold another code group's bytes where it would lie.
std::string versionWordLine(std::string_view label, const EditorState& state, bool carried,
                            std::int64_t offset) {
  if (!carried) return std::string(label) + kReportNotFound;
  return wordLine(label, state.image.byteAt(offset), state.image.byteAt(offset + 1));
}

// A line of the report whose item was not found.
std::string notFoundLine(std::size_t line) {
  return std::string(kReportLabels[line]) + kReportNotFound;
}

}  // namespace

std::string textLine(std::string_view label, std::span<const std::uint8_t> bytes,
                     std::size_t offset) {
  std::string line(label);
  if (offset < bytes.size()) {
    const std::span<const std::uint8_t> text =
        bytes.subspan(offset, std::min(kReportTextMax, bytes.size() - offset));
    const auto end = std::find(text.begin(), text.end(), 0);
    line.append(text.begin(), end);
  }
  return line;
}

std::string wordLine(std::string_view label, std::uint8_t first, std::uint8_t second) {
  std::string line(label);
  if (first == kErased && second == kErased) {
    line += kReportNotFound;
  } else {
    line += hex2(first);
    line += hex2(second);
  }
  return line;
}

std::string platformLine(const EditorState& state) {
  const RegionBounds& b = state.bounds;
  const std::int64_t ramdld = std::int64_t(b.ramdldOffset) + kPlatformCodeAt;
  const std::int64_t flash = std::int64_t(b.flashBaseOffset) + kPlatformCodeAt;
  const std::array<std::uint8_t, 2> ramdldPair = {state.image.byteAt(ramdld),
                                                  state.image.byteAt(ramdld + 1)};
  const std::array<std::uint8_t, 2> flashPair = {state.image.byteAt(flash),
                                                 state.image.byteAt(flash + 1)};
  const auto erased = [](const std::array<std::uint8_t, 2>& pair) {
    return pair[0] == kErased && pair[1] == kErased;
  };
  if (erased(ramdldPair) && erased(flashPair)) return notFoundLine(kReportPlatformLine);
  const auto& pair = erased(ramdldPair) ? flashPair : ramdldPair;
  const auto code = std::uint16_t((pair[0] << 8) | pair[1]);
  return std::string(kReportLabels[kReportPlatformLine]) + platformName(code);
}

std::string firmwareLine(const EditorState& state) {
  if (!state.bounds.hasFirmware) return notFoundLine(kReportFirmwareLine);
  const std::uint64_t start = state.bounds.firmwareStart;
  const std::uint64_t end = state.bounds.firmwareEnd;
  // Only a firmware whose bytes 4 to 7 read 00 00 00 B1 carries the marker.
  const std::array<std::uint8_t, 4> tag = {0x00, 0x00, 0x00, std::uint8_t(kFirmwareSearchTag)};
  if (imageMatches(state, start + 4, tag)) {
    for (std::uint64_t p = start; p < end; p += 4) {
      if (!state.image.holds(p, kFirmwareMarker.size())) break;
      if (imageMatches(state, p, kFirmwareMarker)) {
        return imageTextLine(kReportLabels[kReportFirmwareLine], state, p + 4);
      }
    }
  }
  return notFoundLine(kReportFirmwareLine);
}

std::string flexLine(const EditorState& state) {
  if (!state.bounds.hasFlex) return notFoundLine(kReportFlexLine);
  const std::uint64_t start = state.bounds.flexStart;
  const std::uint64_t end = state.bounds.flexEnd;
  const std::array<std::uint8_t, 4> blank = {kErased, kErased, kErased, kErased};
  if (state.image.holds(start, 4) && !imageMatches(state, start, blank)) {
    for (std::uint64_t p = start; p < end; p += 4) {
      // The whole block up to its text's first byte must lie inside the image.
      const std::span<const std::uint8_t> at = state.image.read(p, kFlexTextOffset + 1);
      if (at.empty()) break;
      if (at[0] == kErased) {
        // A block starts with its tag, so none starts where the image knows it is erased.
        const std::uint64_t next = state.image.nextWritten(p);
        if (next > p) p += (next - p + 3) / 4 * 4 - 4;
        continue;
      }
      if (at[0] == kFlexBlockTag[0] && at[1] == kFlexBlockTag[1] &&
          std::equal(kFlexBlockWords.begin(), kFlexBlockWords.end(), at.begin() + 4) &&
          at[kFlexTextOffset] != kErased) {
        return imageTextLine(kReportLabels[kReportFlexLine], state, p + kFlexTextOffset);
      }
    }
  }
  return notFoundLine(kReportFlexLine);
}

std::vector<std::string> buildReport(const EditorState& state, std::span<const std::uint8_t> file,
                                     const NumberFormat& numbers) {
  std::vector<std::string> report;
  report.reserve(kReportLineCount);
  report.push_back(textLine(kReportLabels[0], file, kMagicTextOffset));
  report.push_back(textLine(kReportLabels[1], file, kGeneratorTextOffset));
  report.push_back(textLine(kReportLabels[2], file, kDateTextOffset));
  report.push_back(kReportLabels[kReportFileLine] +
                   formatThousands(std::int64_t(file.size()), numbers.thousandsSeparator) +
                   kReportBytes);
  report.push_back(platformLine(state));
  report.push_back(firmwareLine(state));
  report.push_back(flexLine(state));
  report.push_back(
      versionWordLine(kReportLabels[7], state, state.bounds.hasRamdld,
                      std::int64_t(state.bounds.ramdldOffset) + std::int64_t(kRamdldVersionAt)));
  report.push_back(versionWordLine(kReportLabels[8], state, state.bounds.hasLanguage,
                                   std::int64_t(state.bounds.languageStart) + kLanguageVersionAt));
  return report;
}

}  // namespace tavufe
