#include "editor/early_export.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "model/codes.h"

namespace tavufe {

bool EarlyExport::begin(const std::string& destination) {
  active_ = false;
  // A device, a pipe or one of this process's descriptors is written in place at the end, and
  // opening it now could already change it.
  struct stat st {};
  if (ownDescriptorNamed(destination) != -1) return false;
  if (::stat(destination.c_str(), &st) == 0 ? !S_ISREG(st.st_mode) : errno != ENOENT) return false;
  // A named temporary file would stay behind if the read were cut short.
  if (!out_.open(destination) || !out_.placeable()) {
    out_.discard();
    return false;
  }
  active_ = true;
  return true;
}

void EarlyExport::groupStarts(int codeGroup, std::uint64_t offset) {
  if (codeGroup == kCgFlex) base_.store(offset, std::memory_order_release);
}

void EarlyExport::laid(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  const std::uint64_t base = base_.load(std::memory_order_acquire);
  // Laid before the Flex began, or before the bytes that the file starts with: written at the end.
  if (base == kNoBase || offset + bytes.size() <= base) return;
  if (offset < base) {
    bytes = bytes.subspan(std::size_t(base - offset));
    offset = base;
  }
  const int error = out_.writeAt(offset - base, bytes);
  const std::lock_guard<std::mutex> lock(mutex_);
  if (error != 0) {
    broken_ = true;
    return;
  }
  try {
    laid_.push_back({offset, offset + bytes.size()});
  } catch (const std::exception&) {  // not kept: written again at the end
  }
}

bool EarlyExport::complete(const FlashImage& image, std::span<const std::uint8_t> bytes) {
  std::vector<FileRange> present;
  const std::lock_guard<std::mutex> lock(mutex_);
  const std::uint64_t base = bytes.empty() ? kNoBase : image.offsetOf(bytes.data());
  if (!broken_ && base == base_.load(std::memory_order_relaxed)) {
    // Only what the image still holds as it was written counts.
    for (const FileRange& range : laid_) {
      for (const auto& [begin, end] :
           image.unwrittenSinceWatch(range.begin, range.end - range.begin)) {
        present.push_back({begin - base, end - base});
      }
    }
    std::sort(present.begin(), present.end(),
              [](const FileRange& a, const FileRange& b) { return a.begin < b.begin; });
  }
  return out_.writeAround(bytes, present);
}

}  // namespace tavufe
