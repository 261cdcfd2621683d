#include "superfile/shx_reader.h"

#include "superfile/image_loader.h"

namespace tavufe {

ReadResult readShx(EditorState& state, std::span<const std::uint8_t> file, Progress& progress) {
  ImageLoader loader(state, file, progress);
  if (loader.stop() == nullptr) tokenizeShx(file, loader);
  return loader.finish(true);
}

}  // namespace tavufe
