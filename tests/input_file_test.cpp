// Reading a file whole refuses, at once and without reading it, anything that cannot be a
// superfile, and says why.

#include "editor/input_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <span>
#include <utility>

#include "file_seams.h"
#include "superfile_fixture.h"
#include "test_support.h"

using namespace tavufe;
using Kind = FileProblem::Kind;

namespace {

// A file of `size` bytes that takes no room on disk: a header block's worth of S-record text
// and then a hole, so that only its size tells it from a superfile.
void makeSparse(const std::string& path, std::uint64_t size) {
  fixture::Bytes start(kHeaderSize, 0);
  fixture::append(start, fixture::kS0Line);
  fixture::writeFile(path, start);
  ASSERT_EQ(::truncate(path.c_str(), off_t(size)), 0) << std::strerror(errno);
}

void bindSocket(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.c_str(), path.size());
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ::close(fd);  // the socket file stays
}

}  // namespace

TEST(ReadWholeFileTests, WhatCannotBeASuperfileIsRefusedWithTheReason) {
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    FileProblem expected;
  };
  const Case cases[] = {
      {"missing", [](const std::string&) {}, FileProblem::system(ENOENT)},
      {"folder", [](const std::string& p) { ::mkdir(p.c_str(), 0755); },
       FileProblem::system(EISDIR)},
      {"empty",
       [](const std::string& p) { fixture::writeFile(p, std::string_view()); },
       {Kind::Empty}},
      {"socket", bindSocket, {Kind::NotRegularFile}},
      {"device",
       [](const std::string& p) { ::symlink("/dev/zero", p.c_str()); },
       {Kind::NotRegularFile}},
      {"one byte past the largest superfile",
       [](const std::string& p) { makeSparse(p, kMaxSuperfileSize + 1); },
       {Kind::TooLarge}},
      {"5 GiB",
       [](const std::string& p) { makeSparse(p, std::uint64_t(5) << 30); },
       {Kind::TooLarge}},
  };
  fixture::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file(c.name);
    c.make(path);
    const InputFile file = readWholeFile(path);
    EXPECT_EQ(file.status, StatusCode::FileNotOpened);
    EXPECT_EQ(file.problem.kind, c.expected.kind);
    EXPECT_EQ(file.problem.error, c.expected.error);
    EXPECT_EQ(file.size, 0u);
    EXPECT_EQ(file.bytes, nullptr);
  }
}

TEST(ReadWholeFileTests, TheLargestPossibleSuperfileIsStillRead) {
  // Header, 1,051,648 full lines of 144 characters, 21 groups' open, terminator and short
  // line: 8,172 + 151,437,312 + 21 * 50.
  EXPECT_EQ(kMaxSuperfileSize, 8172u + 1051648u * 144u + 21u * 50u);
  fixture::TempDir dir;
  const std::string path = dir.file("largest.shx");
  makeSparse(path, kMaxSuperfileSize);
  const InputFile file = readWholeFile(path);
  EXPECT_EQ(file.status, StatusCode::None);
  EXPECT_FALSE(file.problem);
  ASSERT_EQ(file.size, kMaxSuperfileSize);
  EXPECT_EQ(file.view()[kHeaderSize], 'S');
  EXPECT_EQ(file.view()[kMaxSuperfileSize - 1], 0);
}

TEST(ReadWholeFileTests, AFileChangedWhileItIsReadIsRefused) {
  struct Case {
    const char* name;
    // Run between the read and the checks, with the bytes read.
    std::function<void(const std::string&, std::span<std::uint8_t>)> change;
    bool refused;
  };
  const Case cases[] = {
      {"left alone", [](const std::string&, std::span<std::uint8_t>) {}, false},
      {"modification time set back",
       [](const std::string& p, std::span<std::uint8_t>) {
         const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
         ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
       },
       true},
      {"cut to half its size",
       [](const std::string& p, std::span<std::uint8_t>) {
         ASSERT_EQ(::truncate(p.c_str(), 2500), 0);
       },
       true},
      // What a writer through a shared mapping leaves: no time changed, two bytes swapped in
      // the file since the first read took them (the group sums cannot see a swap).
      {"two bytes swapped after they were read",
       [](const std::string&, std::span<std::uint8_t> read) {
         ASSERT_NE(read[10], read[11]);
         std::swap(read[10], read[11]);
       },
       true},
      {"last byte changed after it was read",
       [](const std::string&, std::span<std::uint8_t> read) { read.back() ^= 0x20; }, true},
  };
  const fixture::Bytes bytes = fixture::pattern(5000, 3);
  fixture::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file("in.shx");
    fixture::writeFile(path, bytes);
    test::FileSeams seams;
    seams.afterRead = [&](std::span<std::uint8_t> read) { c.change(path, read); };
    const test::ScopedFileSeams set(std::move(seams));
    const InputFile file = readWholeFile(path);
    if (c.refused) {
      EXPECT_EQ(file.status, StatusCode::FileNotOpened);
      EXPECT_EQ(fileProblemText(file.problem), "File changed while it was read");
      EXPECT_EQ(file.size, 0u);
      EXPECT_EQ(file.bytes, nullptr);
    } else {
      EXPECT_EQ(file.status, StatusCode::None);
      ASSERT_EQ(file.view().size(), bytes.size());
      EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.view().begin()));
    }
  }
}
