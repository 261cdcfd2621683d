#include "inspect/folder_record.h"

#include <algorithm>

#include "inspect/folder_scan.h"
#include "model/hex.h"

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

std::uint32_t folderRecordOffset(const EditorState& state, int index) {
  if (index < 0 || index >= kMaxFolders) return 0;
  return state.folders[std::size_t(index)].recordOffset;
}

FolderRecordBytes captureFolderRecord(const EditorState& state, std::uint32_t recordOffset) {
  FolderRecordBytes saved;
  saved.recordOffset = recordOffset;
  for (const ImageRange& range : folderEraseRanges(recordOffset)) {
    const std::span<const std::uint8_t> bytes =
        state.image.readClipped(range.first, range.end - range.first);
    if (bytes.empty()) continue;
    const std::int64_t first = std::max<std::int64_t>(range.first, 0);
    saved.pieces.push_back({first, {bytes.begin(), bytes.end()}});
  }
  return saved;
}

void restoreFolderRecord(EditorState& state, const FolderRecordBytes& saved) {
  for (const FolderRecordBytes::Piece& piece : saved.pieces) {
    // Captured from the same image, so every piece fits; one that does not is left out.
    const std::span<std::uint8_t> target =
        state.image.writeClipped(piece.offset, std::int64_t(piece.bytes.size()));
    if (target.size() != piece.bytes.size()) continue;
    std::copy(piece.bytes.begin(), piece.bytes.end(), target.begin());
  }
  scanFlexFolders(state);
}

std::vector<std::string> folderRecordDump(const EditorState& state, std::uint32_t recordOffset) {
  std::vector<std::string> lines;
  std::int64_t end = -1;
  for (const FolderRecordBytes::Piece& piece : captureFolderRecord(state, recordOffset).pieces) {
    // Bytes between two pieces stay as they are; without a marker the dump would read as one run.
    if (end >= 0 && piece.offset > end) {
      lines.push_back("...       " + std::to_string(piece.offset - end) + " bytes kept");
    }
    end = piece.offset + std::int64_t(piece.bytes.size());
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
