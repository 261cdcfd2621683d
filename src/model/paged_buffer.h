#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tavufe {

// Memory of whole pages of its own, whose data starts as far into a 2 MiB page as a given image
// offset does: the image can then take its whole pages over (FlashImage::takeOver) instead of
// copying them. Where the system cannot move pages it is plain memory and is copied.
class PagedBuffer {
 public:
  PagedBuffer() = default;
  // At least `bytes` bytes, the first at `imageOffset`'s place in a 2 MiB page; throws
  // std::bad_alloc when the memory cannot be had. Not zeroed: pages never written are never
  // touched.
  PagedBuffer(std::size_t bytes, std::uint64_t imageOffset);
  PagedBuffer(PagedBuffer&& other) noexcept;
  PagedBuffer& operator=(PagedBuffer&& other) noexcept;
  ~PagedBuffer();

  std::span<std::uint8_t> bytes() const { return {data_, size_}; }
  bool empty() const { return data_ == nullptr; }

 private:
  friend class FlashImage;
  void release() noexcept;

  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  void* mapped_ = nullptr;  // the whole pages, where they were mapped; else data_ is new[]'s
  std::size_t mappedSize_ = 0;
  // The pages the image took over, from this far into the mapping: no longer this buffer's,
  // and never unmapped by it, since the freed addresses may have been mapped again since.
  std::size_t movedFrom_ = 0;
  std::size_t movedSize_ = 0;
};

}  // namespace tavufe
