#include "inspect/folder_record.h"

#include <algorithm>
#include <utility>

#include "inspect/folder_scan.h"
#include "superfile/hex.h"

namespace tavufe {

namespace {

constexpr std::size_t kDumpBytesPerLine = 16;

std::string dumpLine(std::uint32_t location, const std::uint8_t* bytes, std::size_t count) {
  std::string line = hex8(location) + "  ";
  std::string characters;
  for (std::size_t i = 0; i < kDumpBytesPerLine; ++i) {
    if (i < count) {
      char pair[2];
      byteToHex(bytes[i], pair);
      line.append(pair, 2);
      const std::uint8_t b = bytes[i];
      characters += b >= 0x20 && b < 0x7F ? char(b) : '.';
    } else {
      line += "  ";
    }
    line += ' ';
  }
  return line + ' ' + characters;
}

}  // namespace

std::int32_t folderRecordOffset(const EditorState& state, int row) {
  if (row < 1 || row > kMaxFolders) return 0;
  return state.folders[std::size_t(row - 1)].recordOffset;
}

FolderRecordBytes captureFolderRecord(const EditorState& state, std::int32_t recordOffset) {
  FolderRecordBytes saved;
  saved.recordOffset = recordOffset;
  const std::span<const std::uint8_t> image = std::as_const(state.image).span();
  for (const ImageRange& range : folderEraseRanges(recordOffset)) {
    const std::int64_t first = std::max<std::int64_t>(range.first, 0);
    const std::int64_t end = std::min<std::int64_t>(range.end, std::int64_t(image.size()));
    if (first >= end) continue;
    saved.pieces.push_back({first, {image.begin() + first, image.begin() + end}});
  }
  return saved;
}

void restoreFolderRecord(EditorState& state, const FolderRecordBytes& saved) {
  const std::span<std::uint8_t> image = state.image.span();
  for (const FolderRecordBytes::Piece& piece : saved.pieces) {
    // Captured from an image of the same size, so every piece still fits.
    if (piece.offset < 0 ||
        piece.offset + std::int64_t(piece.bytes.size()) > std::int64_t(image.size())) {
      continue;
    }
    std::copy(piece.bytes.begin(), piece.bytes.end(), image.begin() + piece.offset);
  }
  scanFlexFolders(state);
}

std::vector<std::string> folderRecordDump(const EditorState& state, std::int32_t recordOffset) {
  std::vector<std::string> lines;
  for (const FolderRecordBytes::Piece& piece : captureFolderRecord(state, recordOffset).pieces) {
    for (std::size_t at = 0; at < piece.bytes.size(); at += kDumpBytesPerLine) {
      const auto location =
          std::uint32_t(piece.offset + std::int64_t(at) - std::int64_t(state.bounds.flexStart));
      lines.push_back(dumpLine(location, piece.bytes.data() + at,
                               std::min(kDumpBytesPerLine, piece.bytes.size() - at)));
    }
  }
  return lines;
}

}  // namespace tavufe
