#include "superfile/sbf_writer.h"

#include <array>

#include "model/byte_order.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_tokenizer.h"

namespace tavufe {

namespace {

class SbfEncoder : public SuperfileEncoder {
 public:
  void writeHeader(const HeaderBlock& header, ByteSink& out) override {
    out.write(header.data(), header.size());
  }

  StatusCode writeGroup(const FlashImage& image, const SavePlan& plan, int slotIndex,
                        ByteSink& out) override {
    const CodeGroupSlot& slot = plan.slots[std::size_t(slotIndex)];
    // The RAMDLD's bytes are the plan's, its address table patched.
    const std::span<const std::uint8_t> data =
        slotIndex == 0 ? std::span<const std::uint8_t>(plan.ramdld)
                       : image.read(imageOffsetFor(false, slot.startAddress), slot.length);
    // Reading past the image would put foreign bytes into a flash file.
    if (data.size() != slot.length) return StatusCode::BufferAddressOverflow;

    std::array<std::uint8_t, 8> lengthAndAddress{};
    write32be(lengthAndAddress.data(), slot.length);
    write32be(lengthAndAddress.data() + 4, slot.startAddress);
    const std::array<std::uint8_t, kSbfReservedSize> reserved{};

    out.write(kSbfStartMarker.data(), kSbfStartMarker.size());
    out.write(lengthAndAddress.data(), lengthAndAddress.size());
    out.write(data.data(), data.size());
    out.write(reserved.data(), reserved.size());
    out.write(kSbfEndMarker.data(), kSbfEndMarker.size());
    return StatusCode::None;
  }
};

}  // namespace

StatusCode writeSbf(const FlashImage& image, const SavePlan& plan, const std::string& dateText,
                    ByteSink& out, Progress& progress) {
  SbfEncoder encoder;
  return writeSuperfile(image, plan, dateText, out, progress, encoder);
}

}  // namespace tavufe
