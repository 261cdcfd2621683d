#include "superfile/sbf_writer.h"

#include <array>

#include "model/byte_order.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_reader.h"

namespace tavufe {

namespace {

class SbfEncoder : public SuperfileEncoder {
 public:
  void writeHeader(const HeaderBlock& header, ByteSink& out) override {
    out.write(header.data(), header.size());
  }

  StatusCode writeGroup(const EditorState& state, int slotIndex, ByteSink& out) override {
    const CodeGroupSlot& slot = state.slots[std::size_t(slotIndex)];
    // The RAMDLD's bytes sit in their own area whatever its load address says.
    const std::span<const std::uint8_t> data =
        state.image.read(imageOffsetFor(slotIndex == 0, slot.startAddress), slot.length);
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

StatusCode writeSbf(EditorState& state, ByteSink& out, Progress& progress) {
  SbfEncoder encoder;
  return writeSuperfile(state, out, progress, encoder);
}

}  // namespace tavufe
