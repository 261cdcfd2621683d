#include "model/paged_buffer.h"

#include <cstdint>
#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tavufe {

#ifdef __linux__
namespace {

// The image's huge-page size: data placed as it would be in the image lets whole huge pages
// move, not only small ones.
constexpr std::size_t kPlacement = std::size_t(2) << 20;

}  // namespace
#endif

PagedBuffer::PagedBuffer(std::size_t bytes, std::uint64_t imageOffset) {
  if (bytes == 0) bytes = 1;
#ifdef __linux__
  if (bytes <= SIZE_MAX - 4 * kPlacement) {
    const std::size_t size = bytes + 2 * kPlacement;
    void* at = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (at == MAP_FAILED) throw std::bad_alloc();
    auto* raw = static_cast<std::uint8_t*>(at);
    std::uint8_t* aligned = raw + (kPlacement - std::uintptr_t(raw) % kPlacement) % kPlacement;
#ifdef MADV_HUGEPAGE
    ::madvise(aligned, bytes + kPlacement, MADV_HUGEPAGE);
#endif
    mapped_ = at;
    mappedSize_ = size;
    data_ = aligned + std::size_t(imageOffset % kPlacement);
    size_ = bytes;
    return;
  }
#else
  (void)imageOffset;
#endif
  data_ = new std::uint8_t[bytes];
  size_ = bytes;
}

PagedBuffer::PagedBuffer(PagedBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, nullptr)),
      mappedSize_(std::exchange(other.mappedSize_, 0)),
      movedFrom_(std::exchange(other.movedFrom_, 0)),
      movedSize_(std::exchange(other.movedSize_, 0)) {}

PagedBuffer& PagedBuffer::operator=(PagedBuffer&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, nullptr);
    mappedSize_ = std::exchange(other.mappedSize_, 0);
    movedFrom_ = std::exchange(other.movedFrom_, 0);
    movedSize_ = std::exchange(other.movedSize_, 0);
  }
  return *this;
}

PagedBuffer::~PagedBuffer() { release(); }

void PagedBuffer::release() noexcept {
#ifdef __linux__
  if (mapped_ != nullptr) {
    auto* at = static_cast<std::uint8_t*>(mapped_);
    if (movedFrom_ > 0) ::munmap(at, movedFrom_);
    const std::size_t rest = movedFrom_ + movedSize_;
    if (rest < mappedSize_) ::munmap(at + rest, mappedSize_ - rest);
  }
#endif
  if (mapped_ == nullptr) delete[] data_;
  data_ = nullptr;
  size_ = 0;
  mapped_ = nullptr;
  mappedSize_ = 0;
  movedFrom_ = 0;
  movedSize_ = 0;
}

}  // namespace tavufe
