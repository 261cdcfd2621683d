#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/editor_state.h"

namespace tavufe {

inline constexpr std::size_t kReportTextMax = 100;

// Replaces state.report with the nine report lines for a file just read. `file` holds at least
// the header block; sizes are grouped with state.thousandsSeparator.
void writeCodeGroupReport(EditorState& state, std::span<const std::uint8_t> file,
                          std::uint64_t fileSize);

// The label and the text from `offset` up to the first zero byte, at most 100 characters,
// never past the end of `bytes`.
void appendTextLine(EditorState& state, std::string_view label, std::span<const std::uint8_t> bytes,
                    std::size_t offset);
// The label and "Not Found" for FF FF, otherwise the two bytes as four hex digits.
void appendWordLine(EditorState& state, std::string_view label, std::uint8_t first,
                    std::uint8_t second);
void reportPlatform(EditorState& state);
void reportFirmwareVersion(EditorState& state);
void reportFlexVersion(EditorState& state);

}  // namespace tavufe
