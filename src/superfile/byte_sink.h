#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavufe {

// Where a writer puts a superfile's bytes: a file on disk, or memory.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Once a write has failed every later call is a no-op that returns false.
  virtual bool write(const void* data, std::size_t size) = 0;
  virtual bool failed() const = 0;
};

// A sink that keeps the bytes in memory, for tests and for checking what a save produces.
class MemorySink : public ByteSink {
 public:
  bool write(const void* data, std::size_t size) override {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    this->bytes.insert(this->bytes.end(), bytes, bytes + size);
    return true;
  }
  bool failed() const override { return false; }

  std::vector<std::uint8_t> bytes;
};

}  // namespace tavufe
