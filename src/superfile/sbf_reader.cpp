#include "superfile/sbf_reader.h"

#include "superfile/image_loader.h"

namespace tavufe {

ReadResult readSbf(EditorState& state, std::span<const std::uint8_t> file, Progress& progress) {
  ImageLoader loader(state, file, progress);
  if (loader.stop() == nullptr) tokenizeSbf(file, loader);
  return loader.finish(false);
}

}  // namespace tavufe
