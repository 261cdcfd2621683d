#pragma once

#include <cstdint>
#include <vector>

#include "model/slots.h"

namespace tavufe {

// What a superfile save writes, worked out from the document without changing it: planSave
// finalises copies of the slots, prepareSave adds the RAMDLD's bytes. The writers write from
// the plan and the image.
struct SavePlan {
  // Slots 0 to lastSlot and the firmware halves as the save writes them.
  SlotTable slots{};
  std::int32_t lastSlot = 0;
  FirmwareHalves firmwareHalves{};
  // Slot 0's `length` bytes with the RAMDLD's address table patched for the code groups being
  // saved; slot 0's header bytes and sum describe them. Empty until prepareSave.
  std::vector<std::uint8_t> ramdld;
};

}  // namespace tavufe
