#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/codes.h"

namespace tavufe {

// Image layout: flash addresses 0x10000000..0x13FFFFFF map to offsets 0..0x3FFFFFF,
// the RAMDLD always lives in its own area from 0x4000000.
inline constexpr std::int32_t kImageSize = 0x4030000;
inline constexpr std::int32_t kRamdldOffset = 0x4000000;
inline constexpr std::int32_t kRamdldAreaSize = 0x30000;
inline constexpr std::uint32_t kAddressMask = 0x0FFFFFFF;
inline constexpr std::uint8_t kErased = 0xFF;

inline constexpr int kSlotCount = 22;
inline constexpr int kLastLoadableSlot = 20;
inline constexpr int kFbuSlot = 21;

inline constexpr int kCatalogueSize = 258;
inline constexpr std::int32_t kCgRamdld = 0;
inline constexpr std::int32_t kCgFirmware = 1;
inline constexpr std::int32_t kCgFlex = 2;
inline constexpr std::int32_t kCgLanguage = 4;
inline constexpr std::int32_t kCgFbl = 256;
inline constexpr std::int32_t kCgFbu = 257;
inline constexpr std::int32_t kCgEmpty = -1;

inline constexpr int kUndoDepth = 10;
inline constexpr int kMaxFolders = 200;
inline constexpr std::size_t kMaxFolderName = 36;
inline constexpr int kProfileCapacity = 21;

// The whole handset flash plus the RAMDLD area, allocated once for the life of the editor.
class FlashImage {
 public:
  // Returns false when the memory cannot be had; the editor then runs on without an image.
  bool allocate();
  void release();
  bool exists() const { return bytes_ != nullptr; }
  std::uint8_t* data() { return bytes_.get(); }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::span<std::uint8_t> span() { return {bytes_.get(), exists() ? std::size_t(kImageSize) : 0}; }
  std::span<const std::uint8_t> span() const {
    return {bytes_.get(), exists() ? std::size_t(kImageSize) : 0};
  }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
};

struct CodeGroupSlot {
  std::string description;
  std::string label;
  std::array<std::uint8_t, 16> headerBytes{};
  std::int32_t cgNumber = 0;
  std::int32_t startAddress = 0;
  std::int32_t endAddress = 0;
  std::int32_t length = 0;
  std::int32_t recordAddress = 0;
  std::int32_t recordLength = 0;
  std::uint16_t bufferChecksum = 0;
  std::uint16_t headerChecksum = 0;
  std::uint16_t headerCode = 0;
  std::uint8_t trimPadding = 0;
};

using SlotTable = std::array<CodeGroupSlot, kSlotCount>;
// The firmware as the two header entries that describe it: its first 200 bytes and the rest.
using FirmwareHalves = std::array<CodeGroupSlot, 2>;

struct RegionBounds {
  std::int32_t flashBaseOffset = 0;
  std::int32_t ramdldOffset = kRamdldOffset;  // fixed, like flashBaseOffset
  std::int32_t firmwareStart = 0;
  std::int32_t firmwareEnd = 0;
  std::int32_t flexStart = 0;
  std::int32_t flexEnd = 0;
  std::int32_t languageStart = 0;
  std::int32_t languageEnd = 0;
};

struct CatalogueEntry {
  std::int32_t startAddress = 0;
  std::int32_t endAddress = 0;
  std::string name;
  std::string label;
  std::uint8_t trimPadding = 0;
};

using CodeGroupCatalogue = std::array<CatalogueEntry, kCatalogueSize>;

struct ProfileEntry {
  std::string name;
  std::int32_t cgNumber = 0;  // negative stands for FBU
  std::int32_t startAddress = 0;
  std::int32_t endAddress = 0;
  std::uint8_t trimPadding = 0;
};

struct DeviceProfile {
  std::int32_t activeProfile = 0;
  std::int32_t entryCount = 0;
  std::array<ProfileEntry, kProfileCapacity> rows{};
};

struct UndoStack {
  std::array<CodeGroupSlot, kUndoDepth> copies{};  // copies[undoCount - 1] is the top
  int undoCount = 0;
};

struct FolderEntry {
  std::string folderName;
  std::int32_t recordOffset = 0;  // 0 marks an empty row
};

using FolderTable = std::array<FolderEntry, kMaxFolders>;

// Everything the editor knows, owned by the front end and passed by reference to the core.
struct EditorState {
  FlashImage image;
  SlotTable slots{};
  std::int32_t lastSlot = 0;
  FirmwareHalves firmwareHalves{};
  RegionBounds bounds{};
  std::string currentPath;
  StatusCode status = StatusCode::None;
  // The errno behind a FileNotOpened or FileWriteError status (0 when there is none).
  int systemError = 0;
  NoticeCode notice = NoticeCode::None;
  CodeGroupCatalogue catalogue{};
  DeviceProfile profile{};
  UndoStack undo{};
  FolderTable folders{};
  std::uint16_t runningChecksum = 0;
  // The report as lines, for whichever front end shows it.
  std::vector<std::string> report;
  // Grouping separator for sizes in the report and grid ("," unless the front end passes
  // its locale's).
  std::string thousandsSeparator = ",";
};

// The model side of start-up: reset the slots, clear the path, build and apply the profile.
void initialiseEditor(EditorState& state);

}  // namespace tavufe
