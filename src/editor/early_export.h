#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "editor/output_file.h"
#include "model/flash_image.h"
#include "superfile/image_loader.h"

namespace tavufe {

// An SMG or BIN export whose file is written while the superfile is still being read: the runs
// of data the read decodes go to the temporary file as they are laid, so the disk works while
// the processor decodes. complete() then writes what was not laid that way or has changed
// since, and the save goes on as any other: the read-back compares the whole file with the
// final bytes, and the destination is replaced only after it.
class EarlyExport : public LaidDataWatch {
 public:
  // Opens the temporary file for `destination`, when that is a regular file or a new name in a
  // folder that allows an anonymous one. False, with nothing left open, otherwise: the save
  // then opens its file as it always does.
  bool begin(const std::string& destination);
  bool active() const { return active_; }

  void groupStarts(int codeGroup, std::uint64_t offset) override;
  void laid(std::uint64_t offset, std::span<const std::uint8_t> bytes) override;

  // Makes the file `bytes`, the Flex's bytes as `image` holds them now; false with
  // file().problem() saying why. Every run must have ended.
  bool complete(const FlashImage& image, std::span<const std::uint8_t> bytes);
  OutputFile& file() { return out_; }

 private:
  static constexpr std::uint64_t kNoBase = ~std::uint64_t(0);

  OutputFile out_;
  bool active_ = false;
  // Where the Flex's data starts in the image: file offset 0.
  std::atomic<std::uint64_t> base_{kNoBase};
  std::mutex mutex_;
  std::vector<FileRange> laid_;  // image ranges written to the file
  bool broken_ = false;          // a piece could not be written: complete() writes all
};

}  // namespace tavufe
