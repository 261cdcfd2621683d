#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "editor/input_file.h"
#include "file_seams.h"
#include "superfile_fixture.h"

using namespace tavufe;

namespace {

// Bytes that differ from one page to the next, so a page read twice or left out shows.
fixture::Bytes numbered(std::size_t size) {
  fixture::Bytes b(size);
  for (std::size_t k = 0; k < size; ++k) b[k] = std::uint8_t((k * 7) ^ (k >> 12));
  return b;
}

// SIGIO ignored for one test, as the programs have it; the disposition before is put back.
class SigioIgnored {
 public:
  SigioIgnored() : before_(std::signal(SIGIO, SIG_IGN)) {}
  ~SigioIgnored() { std::signal(SIGIO, before_); }

 private:
  void (*before_)(int);
};

class Descriptor {
 public:
  explicit Descriptor(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// The descriptor's file as if it had been checked at `size` bytes.
FileStamp checkedAt(int fd, std::size_t size) {
  FileStamp stamp = fileStamp(fd).value();
  stamp.size = size;
  return stamp;
}

}  // namespace

TEST(InputFileTest, SmallAndLargeFilesArriveWholeAndExact) {
  const SigioIgnored ignored;  // so that the large ones are mapped where the system allows
  fixture::TempDir dir;
  // Either side of the size from which a file is mapped rather than read, and a size that ends
  // part way into a page.
  for (const std::size_t size : {std::size_t(1), std::size_t(4097), (std::size_t(1) << 20) - 1,
                                 std::size_t(1) << 20, (std::size_t(3) << 20) + 5}) {
    const fixture::Bytes bytes = numbered(size);
    const std::string path = dir.file("in.bin");
    fixture::writeFile(path, bytes);
    const InputFile file = readWholeFile(path);
    ASSERT_EQ(file.status, StatusCode::None) << size;
    ASSERT_EQ(file.view().size(), size);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.view().begin())) << size;
  }
}

TEST(InputFileTest, FileShorterThanItsCheckedSizeIsRefusedNotMapped) {
  // As if the file were cut short between the size check and the mapping: touching the mapped
  // pages past its end would fault, so the size is checked again and the read then comes short.
  const SigioIgnored ignored;
  fixture::TempDir dir;
  const std::string path = dir.file("cut.bin");
  const fixture::Bytes bytes = numbered(std::size_t(2) << 20);
  fixture::writeFile(path, bytes);
  const Descriptor fd(path);
  ASSERT_GE(fd.get(), 0);
  // A file that grew since it was checked is refused too: it is no longer the file checked.
  for (const std::size_t claimed :
       {bytes.size() + 1, bytes.size() + (std::size_t(1) << 20), bytes.size() - 3}) {
    InputFile file;
    EXPECT_FALSE(mapOrRead(fd.get(), checkedAt(fd.get(), claimed), file)) << claimed;
    EXPECT_EQ(file.status, StatusCode::FileNotOpened) << claimed;
    EXPECT_EQ(file.problem.kind, FileProblem::Kind::ChangedWhileRead) << claimed;
    EXPECT_TRUE(file.view().empty()) << claimed;
  }
  InputFile file;
  ASSERT_TRUE(mapOrRead(fd.get(), checkedAt(fd.get(), bytes.size()), file));
  ASSERT_EQ(file.view().size(), bytes.size());
  EXPECT_TRUE(std::equal(file.view().begin(), file.view().end(), bytes.begin()));
}

TEST(InputFileTest, PipeIsReadOrRefusedWithoutMapping) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const fixture::Bytes bytes = numbered(100);
  ASSERT_EQ(::write(ends[1], bytes.data(), bytes.size()), 100);
  ::close(ends[1]);
  InputFile file;
  // A pipe has no offsets to read at: refused, with the reason kept.
  EXPECT_FALSE(mapOrRead(ends[0], checkedAt(ends[0], std::size_t(2) << 20), file));
  EXPECT_EQ(file.status, StatusCode::FileNotOpened);
  EXPECT_EQ(file.problem.kind, FileProblem::Kind::System);
  EXPECT_EQ(file.problem.error, ESPIPE);
  ::close(ends[0]);
}

TEST(InputFileTest, AMappedFileCannotBeCutShortUntilItIsReleased) {
  fixture::TempDir dir;
  const std::string path = dir.file("leased.bin");
  const fixture::Bytes bytes = numbered(std::size_t(2) << 20);
  fixture::writeFile(path, bytes);
  {
    // Where SIGIO would end the process, nothing is leased and nothing mapped: the file is read.
    const InputFile read = readWholeFile(path);
    ASSERT_EQ(read.status, StatusCode::None);
    EXPECT_EQ(read.mapping.data(), nullptr);
  }
  const SigioIgnored ignored;
  auto file = std::make_unique<InputFile>(readWholeFile(path));
  ASSERT_EQ(file->status, StatusCode::None);
  if (file->mapping.data() == nullptr) GTEST_SKIP() << "no read lease on this file system";

  // Another writer's truncation waits for the lease instead of turning the pages into SIGBUS.
  std::atomic<bool> cut{false};
  std::thread cutter([&] {
    EXPECT_EQ(::truncate(path.c_str(), 0), 0) << std::strerror(errno);
    cut = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(cut);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file->view().begin()));
  file.reset();
  cutter.join();
  EXPECT_TRUE(cut);
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

// A writer that holds the file open, as one writing through a shared mapping does, denies the
// read lease: the file is read, and read again to confirm it. Writes through the mapping
// between the two reads refuse the file; a writer that only holds it open does not.
TEST(InputFileTest, AFileWrittenThroughASharedMappingIsConfirmedOrRefused) {
  const SigioIgnored ignored;
  fixture::TempDir dir;
  const std::string path = dir.file("shared.bin");
  const fixture::Bytes bytes = numbered(std::size_t(2) << 20);
  fixture::writeFile(path, bytes);
  const int writer = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  void* at = ::mmap(nullptr, bytes.size(), PROT_READ | PROT_WRITE, MAP_SHARED, writer, 0);
  ASSERT_NE(at, MAP_FAILED);
  auto* shared = static_cast<std::uint8_t*>(at);
  for (const bool writes : {false, true}) {
    SCOPED_TRACE(writes ? "written between the reads" : "held open only");
    test::FileSeams seams;
    seams.afterRead = [&](std::span<std::uint8_t>) {
      if (writes) std::swap(shared[4096], shared[4097]);
    };
    const test::ScopedFileSeams set(std::move(seams));
    const InputFile file = readWholeFile(path);
    EXPECT_EQ(file.mapping.data(), nullptr) << "leased while another process could write";
    if (writes) {
      EXPECT_EQ(file.status, StatusCode::FileNotOpened);
      EXPECT_EQ(file.problem.kind, FileProblem::Kind::ChangedWhileRead);
    } else {
      ASSERT_EQ(file.status, StatusCode::None);
      EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.view().begin()));
    }
  }
  ::munmap(at, bytes.size());
  ::close(writer);
}
