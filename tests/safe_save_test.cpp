// Every way a save can fail leaves an existing file of the destination's name exactly as it was
// and nothing else behind in its folder.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "editor/output_file.h"
#include "editor/save_flow.h"
#include "save_setup.h"

using namespace tavufe;
using save_setup::entriesIn;

namespace {

StatusCode saveShx(EditorState& s, const std::string& path, Progress& p, const ReadBackFilter& f) {
  return saveSuperfile(s, path, SaveType::Shx, p, f);
}
StatusCode saveSbf(EditorState& s, const std::string& path, Progress& p, const ReadBackFilter& f) {
  return saveSuperfile(s, path, SaveType::Sbf, p, f);
}

struct Output {
  const char* name;
  StatusCode (*save)(EditorState&, const std::string&, Progress&, const ReadBackFilter&);
};
const Output kShx{"Shx", saveShx}, kSbf{"Sbf", saveSbf}, kSmg{"Smg", exportFlex};
void PrintTo(const Output& output, std::ostream* os) { *os << output.name; }

const fixture::Bytes kOldContent = {'o', 'l', 'd', ' ', 'f', 'l', 'a', 's', 'h', '\n'};

class SafeSaveTest : public ::testing::TestWithParam<Output> {
 protected:
  void SetUp() override {
    r = save_setup::ramdldAndFlex(0x800, 0x80000);
    destination = dir.file("flash.out");
    fixture::writeFile(destination, kOldContent);
    target = destination;
  }
  StatusCode save(const ReadBackFilter& readBack = {}) {
    Progress progress;
    return GetParam().save(*r.state, target, progress, readBack);
  }
  void expectUntouched() {
    EXPECT_EQ(fixture::readFile(destination), kOldContent);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "temporary file left behind";
  }

  fixture::TempDir dir;
  save_setup::RamdldAndFlex r;
  std::string destination;
  std::string target;  // where the save writes
};

// The checks only the SHX and SBF saves make.
class SafeSuperfileSaveTest : public SafeSaveTest {};

}  // namespace

TEST_P(SafeSaveTest, MissingFolderIsFileNotOpened) {
  target = dir.file("missing/flash.out");
  EXPECT_EQ(save(), StatusCode::FileNotOpened);
  expectUntouched();
}

TEST_P(SafeSaveTest, ReadOnlyFolderIsFileNotOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  EXPECT_EQ(save(), StatusCode::FileNotOpened);
  ::chmod(dir.path().c_str(), 0755);
  expectUntouched();
}

TEST_P(SafeSaveTest, WriteFailingPartWayIsFileWriteError) {
  // A full disk, as a limit on the size of files this process may write with the signal that
  // would end it ignored.
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limited = saved;
  limited.rlim_cur = 64 * 1024;
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &limited);
  const StatusCode status = save();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, handler);
  EXPECT_EQ(status, StatusCode::FileWriteError);
  expectUntouched();
}

// The read-back sees the file as the disk gives it; a filter stands for a disk that changed a
// byte. Any difference, wherever it lies, stops the rename.
TEST_P(SafeSaveTest, ReadBackThatDiffersIsVerifyError) {
  // Every output here is over 64 KiB; the SHX one spans more than one read-back chunk.
  const std::vector<std::pair<const char*, std::function<std::uint64_t(std::uint64_t)>>> faults = {
      {"first byte", [](std::uint64_t) { return 0; }},
      {"last byte", [](std::uint64_t size) { return size - 1; }},
      {"middle", [](std::uint64_t size) { return size / 2 + 1; }},
  };
  // A clean save, to learn the size: a filter that changes nothing is no fault.
  std::uint64_t size = 0;
  ASSERT_EQ(save([&](std::uint64_t offset, std::span<std::uint8_t> chunk) {
              size = std::max<std::uint64_t>(size, offset + chunk.size());
            }),
            StatusCode::None);
  ASSERT_GT(size, 64u * 1024);
  const fixture::Bytes saved = fixture::readFile(destination);
  EXPECT_EQ(saved.size(), size);

  for (const auto& [name, where] : faults) {
    SCOPED_TRACE(name);
    fixture::writeFile(destination, kOldContent);
    const std::uint64_t at = where(size);
    int seen = 0;
    auto flip = [&](std::uint64_t offset, std::span<std::uint8_t> chunk) {
      if (at >= offset && at < offset + chunk.size()) {
        chunk[std::size_t(at - offset)] ^= 0x01;
        ++seen;
      }
    };
    EXPECT_EQ(save(flip), StatusCode::VerifyError);
    EXPECT_EQ(seen, 1);
    expectUntouched();
  }
}

TEST_P(SafeSuperfileSaveTest, OverlongRamdldWritesNothing) {
  r = save_setup::ramdldAndFlex(0x30000, 0x100);
  r.state->slots[0].length = 0x30001;
  EXPECT_EQ(save(), StatusCode::AddressRange);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, MissingOrBlankRamdldIsRefusedBeforeOpening) {
  r.state->slots[0].headerBytes[14] = 0xFF;
  r.state->slots[0].headerBytes[15] = 0xFF;
  EXPECT_EQ(save(), StatusCode::RdlBlankOrMissing);
  expectUntouched();

  r.state->slots[0].headerBytes[15] = 0x00;  // one of the two erased is not blank
  r.state->slots[0].cgNumber = 2;
  EXPECT_EQ(save(), StatusCode::RdlBlankOrMissing);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, NoImageIsABufferError) {
  r.state->image.release();
  EXPECT_EQ(save(), StatusCode::BufferError);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, CodeGroupOutsideTheImageIsRefused) {
  CodeGroupSlot& flex = r.state->slots[1];
  flex.startAddress = 0x1402FF00;  // masks into the last bytes of the image and beyond
  flex.endAddress = 0x1403FFFF;
  flex.length = 0x10100;
  EXPECT_EQ(save(), StatusCode::BufferAddressOverflow);
  expectUntouched();
}

TEST_P(SafeSaveTest, SuccessReplacesTheFileKeepingItsModeAndWritesThroughALink) {
  ASSERT_EQ(::chmod(destination.c_str(), 0640), 0);
  ASSERT_EQ(save(), StatusCode::None);
  EXPECT_NE(fixture::readFile(destination), kOldContent);
  struct stat st {};
  ASSERT_EQ(::stat(destination.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(entriesIn(dir.path()), 1u);

  fixture::writeFile(destination, kOldContent);
  target = dir.file("link.out");
  ASSERT_EQ(::symlink("flash.out", target.c_str()), 0);
  ASSERT_EQ(save(), StatusCode::None);
  ASSERT_EQ(::lstat(target.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_NE(fixture::readFile(destination), kOldContent);
  EXPECT_EQ(entriesIn(dir.path()), 2u);
}

TEST_P(SafeSaveTest, LongestFileNameStillSaves) {
  target = dir.file(std::string(250, 'f') + ".out");  // 254 characters
  EXPECT_EQ(save(), StatusCode::None);
  EXPECT_TRUE(std::filesystem::exists(target));
}

INSTANTIATE_TEST_SUITE_P(AllOutputs, SafeSaveTest, ::testing::Values(kShx, kSbf, kSmg),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Superfiles, SafeSuperfileSaveTest, ::testing::Values(kShx, kSbf),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FlexExportTests, SmgAndBinHoldTheFlexBytesAloneAndNothingPastTheImage) {
  auto r = save_setup::ramdldAndFlex(0x100, 0x2345);
  fixture::TempDir dir;
  CountingProgress progress;
  for (const char* name : {"flex.smg", "flex.bin"}) {
    ASSERT_EQ(exportFlex(*r.state, dir.file(name), progress), StatusCode::None);
    EXPECT_EQ(fixture::readFile(dir.file(name)), r.flex) << name;
  }
  EXPECT_EQ(progress.steps, 2);
  EXPECT_EQ(progress.position, 20);

  r.state->slots[1].startAddress = 0x14030000 - 0x2345;  // ends on the image's last byte
  EXPECT_EQ(exportFlex(*r.state, dir.file("end.smg"), progress), StatusCode::None);
  r.state->slots[1].startAddress += 1;
  EXPECT_EQ(exportFlex(*r.state, dir.file("past.smg"), progress),
            StatusCode::BufferAddressOverflow);
  EXPECT_EQ(entriesIn(dir.path()), 3u);
}

// The read-back compares a CRC-32 of what was written with one of what is read, each taken in
// pieces of whatever size the writes and reads come in.
TEST(ReadBackCrcTests, CheckValueAndPieceSizesDoNotMatter) {
  const std::string_view check = "123456789";
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(check.data()),
                                            check.size());
  Crc32 whole;
  whole.update(bytes);
  EXPECT_EQ(whole.value(), 0xCBF43926u);
  EXPECT_EQ(Crc32().value(), 0u);

  const fixture::Bytes data = fixture::pattern(1000, 3);
  Crc32 once;
  once.update(data);
  for (const std::size_t piece : {1u, 7u, 8u, 9u, 999u}) {
    Crc32 split;
    for (std::size_t at = 0; at < data.size(); at += piece) {
      split.update(std::span(data).subspan(at, std::min(piece, data.size() - at)));
    }
    EXPECT_EQ(split.value(), once.value()) << piece;
  }
}
