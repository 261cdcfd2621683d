#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/number_format.h"
#include "model/editor_state.h"

namespace tavufe {

inline constexpr std::size_t kReportTextMax = 100;
inline constexpr std::size_t kReportLineCount = 9;
// What each report line begins with, in order: the second line is the generator's text alone.
// The front ends translate these, and the values below, and nothing else of a line.
inline constexpr std::array<const char*, kReportLineCount> kReportLabels = {
    "HEADER INFO: ", "",       "Date: ", "File: ",    "Platform: ",
    "Firmware: ",    "Flex: ", "RDL: ",  "Language: "};
inline constexpr std::size_t kReportFileLine = 3;
inline constexpr std::size_t kReportPlatformLine = 4;
inline constexpr std::size_t kReportFirmwareLine = 5;
inline constexpr std::size_t kReportFlexLine = 6;
inline constexpr const char* kReportNotFound = "Not Found";
inline constexpr const char* kReportUnknownPlatform = "Unknown";
inline constexpr const char* kReportBytes = " Bytes";  // after the file's size

// The nine report lines for a file just read: the header's texts from `file`, its size written
// as `numbers` has it, and what the image holds.
std::vector<std::string> buildReport(const EditorState& state, std::span<const std::uint8_t> file,
                                     const NumberFormat& numbers);

// The label and the text from `offset` up to the first zero byte, at most 100 characters,
// never past the end of `bytes`.
std::string textLine(std::string_view label, std::span<const std::uint8_t> bytes,
                     std::size_t offset);
// The label and "Not Found" for FF FF, otherwise the two bytes as four hex digits.
std::string wordLine(std::string_view label, std::uint8_t first, std::uint8_t second);
std::string platformLine(const EditorState& state);
std::string firmwareLine(const EditorState& state);
std::string flexLine(const EditorState& state);

}  // namespace tavufe
