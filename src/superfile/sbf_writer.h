#pragma once

#include <string>

#include "model/codes.h"
#include "model/flash_image.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"
#include "superfile/save_plan.h"

namespace tavufe {

// Writes a prepared plan's slots 0 to lastSlot as an SBF superfile; `dateText` is the header's
// date. BufferAddressOverflow stops the save; a failed write shows in `out`.
[[nodiscard]] StatusCode writeSbf(const FlashImage& image, const SavePlan& plan,
                                  const std::string& dateText, ByteSink& out, Progress& progress);

}  // namespace tavufe
