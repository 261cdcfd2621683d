#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/codes.h"
#include "model/slots.h"

namespace tavufe {

inline constexpr int kProfileCapacity = 21;

struct CatalogueEntry {
  std::uint32_t startAddress = 0;
  std::uint32_t endAddress = 0;
  std::string name;
  std::string label;
  std::uint8_t trimPadding = 0;
};

using CodeGroupCatalogue = std::array<CatalogueEntry, kCatalogueSize>;

struct ProfileEntry {
  std::string name;
  std::int32_t cgNumber = 0;  // negative stands for FBU
  std::uint32_t startAddress = 0;
  std::uint32_t endAddress = 0;
  std::uint8_t trimPadding = 0;
};

struct DeviceProfile {
  std::int32_t activeProfile = 0;
  std::int32_t entryCount = 0;
  std::array<ProfileEntry, kProfileCapacity> rows{};
};

struct EditorState;

// Label of a code-group number: "RDL", "FBL", "FBU" or "CG" and the number.
std::string catalogueLabel(int cgNumber);

void setCatalogueEntry(EditorState& state, int cgNumber, std::uint32_t start, std::uint32_t end,
                       std::uint8_t trimPadding, std::string_view name);
void setProfileRow(EditorState& state, int row, std::int32_t cgNumber, std::uint32_t start,
                   std::uint32_t end, std::string_view name, std::uint8_t trimPadding);
void buildDeviceProfile(EditorState& state);
void copyProfileToCatalogue(EditorState& state);
// Fills the slot from the catalogue and checks the range: AddressRange for a flash range
// outside the flash window, BufferAddressOverflow for a RAMDLD longer than its area.
[[nodiscard]] StatusCode placeInSlot(EditorState& state, int slot, std::int32_t cgNumber,
                                     std::uint32_t start, std::uint32_t end);
void applyProfile(EditorState& state);

}  // namespace tavufe
