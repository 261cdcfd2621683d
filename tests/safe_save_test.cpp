// Every way a save can fail leaves an existing file of the destination's name exactly as it was
// and nothing else behind in its folder.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "model/output_file.h"
#include "save_setup.h"
#include "superfile/flex_export.h"
#include "superfile/sbf_writer.h"
#include "superfile/shx_writer.h"

using namespace tavufe;

namespace {

enum class Kind { Shx, Sbf, Smg };

std::string nameOf(Kind kind) {
  switch (kind) {
    case Kind::Shx:
      return "Shx";
    case Kind::Sbf:
      return "Sbf";
    case Kind::Smg:
      return "Smg";
  }
  return "";
}

void runSave(EditorState& s, Kind kind) {
  Progress progress;
  switch (kind) {
    case Kind::Shx:
      saveShx(s, progress);
      break;
    case Kind::Sbf:
      saveSbf(s, progress);
      break;
    case Kind::Smg:
      exportFlex(s, progress);
      break;
  }
}

const fixture::Bytes kOldContent = {'o', 'l', 'd', ' ', 'f', 'l', 'a', 's', 'h', '\n'};

// Limits the size of files this process may write, with the signal that would end it ignored;
// both restored on leaving the scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

class SafeSaveTest : public ::testing::TestWithParam<Kind> {
 protected:
  void SetUp() override {
    r = save_setup::ramdldAndFlex(0x800, 0x80000);
    destination = dir.file("flash.out");
    fixture::writeFile(destination, kOldContent);
    r.state->currentPath = destination;
  }
  void expectUntouched() {
    EXPECT_EQ(fixture::readFile(destination), kOldContent);
    EXPECT_EQ(save_setup::entriesIn(dir.path()), 1u) << "temporary file left behind";
  }

  fixture::TempDir dir;
  save_setup::RamdldAndFlex r;
  std::string destination;
};

// The checks only the SHX and SBF saves make.
class SafeSuperfileSaveTest : public SafeSaveTest {};

}  // namespace

TEST_P(SafeSaveTest, MissingFolderIsFileNotOpened) {
  r.state->currentPath = dir.file("missing/flash.out");
  runSave(*r.state, GetParam());
  EXPECT_EQ(code(r.state->status), 2);
  expectUntouched();
}

TEST_P(SafeSaveTest, ReadOnlyFolderIsFileNotOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  runSave(*r.state, GetParam());
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(code(r.state->status), 2);
  expectUntouched();
}

TEST_P(SafeSaveTest, WriteFailingPartWayIsFileWriteError) {
  {
    FileSizeLimit limit(64 * 1024);
    runSave(*r.state, GetParam());
  }
  EXPECT_EQ(code(r.state->status), 13);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, OverlongRamdldWritesNothing) {
  r = save_setup::ramdldAndFlex(0x30000, 0x100);
  r.state->currentPath = destination;
  r.state->slots[0].length = 0x30001;
  runSave(*r.state, GetParam());
  EXPECT_EQ(code(r.state->status), 11);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, MissingOrBlankRamdldIsRefusedBeforeOpening) {
  r.state->slots[0].headerBytes[14] = 0xFF;
  r.state->slots[0].headerBytes[15] = 0xFF;
  runSave(*r.state, GetParam());
  EXPECT_EQ(code(r.state->status), 12);
  expectUntouched();

  r.state->status = StatusCode::None;
  r.state->slots[0].headerBytes[15] = 0x00;  // one of the two erased is not blank
  r.state->slots[0].cgNumber = 2;
  runSave(*r.state, GetParam());
  EXPECT_EQ(code(r.state->status), 12);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, CodeGroupOutsideTheImageIsRefused) {
  CodeGroupSlot& flex = r.state->slots[1];
  flex.startAddress = 0x1402FF00;  // masks into the last bytes of the image and beyond
  flex.endAddress = 0x1403FFFF;
  flex.length = 0x10100;
  runSave(*r.state, GetParam());
  EXPECT_EQ(code(r.state->status), 6);
  expectUntouched();
}

TEST_P(SafeSaveTest, SuccessReplacesTheFileAndKeepsItsMode) {
  ASSERT_EQ(::chmod(destination.c_str(), 0640), 0);
  runSave(*r.state, GetParam());
  ASSERT_EQ(r.state->status, StatusCode::None);
  EXPECT_NE(fixture::readFile(destination), kOldContent);
  struct stat st {};
  ASSERT_EQ(::stat(destination.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(save_setup::entriesIn(dir.path()), 1u);
}

TEST_P(SafeSaveTest, SavingThroughALinkWritesItsTarget) {
  const std::string link = dir.file("link.out");
  ASSERT_EQ(::symlink("flash.out", link.c_str()), 0);
  r.state->currentPath = link;
  runSave(*r.state, GetParam());
  ASSERT_EQ(r.state->status, StatusCode::None);
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_NE(fixture::readFile(destination), kOldContent);
  EXPECT_EQ(save_setup::entriesIn(dir.path()), 2u);
}

TEST_P(SafeSaveTest, LongestFileNameStillSaves) {
  r.state->currentPath = dir.file(std::string(250, 'f') + ".out");  // 254 characters
  runSave(*r.state, GetParam());
  EXPECT_EQ(r.state->status, StatusCode::None);
  EXPECT_TRUE(std::filesystem::exists(r.state->currentPath));
}

INSTANTIATE_TEST_SUITE_P(AllOutputs, SafeSaveTest,
                         ::testing::Values(Kind::Shx, Kind::Sbf, Kind::Smg),
                         [](const auto& info) { return nameOf(info.param); });
INSTANTIATE_TEST_SUITE_P(Superfiles, SafeSuperfileSaveTest, ::testing::Values(Kind::Shx, Kind::Sbf),
                         [](const auto& info) { return nameOf(info.param); });

TEST(FlexExportTests, SmgAndBinHoldTheFlexBytesAlone) {
  auto r = save_setup::ramdldAndFlex(0x100, 0x2345);
  fixture::TempDir dir;
  save_setup::CountingProgress progress;
  r.state->currentPath = dir.file("flex.smg");
  exportFlex(*r.state, progress);
  ASSERT_EQ(r.state->status, StatusCode::None);
  EXPECT_EQ(progress.steps, 1);
  EXPECT_EQ(progress.position, 20);
  r.state->currentPath = dir.file("flex.bin");
  exportFlex(*r.state, progress);
  const fixture::Bytes smg = fixture::readFile(dir.file("flex.smg"));
  EXPECT_EQ(smg, r.flex);
  EXPECT_EQ(fixture::readFile(dir.file("flex.bin")), smg);
}

TEST(FlexExportTests, SpanPastTheImageWritesNothing) {
  auto r = save_setup::ramdldAndFlex(0x100, 0x100);
  fixture::TempDir dir;
  r.state->currentPath = dir.file("flex.smg");
  r.state->slots[1].startAddress = 0x1402FF01;  // 0x100 bytes from here end one past the image
  Progress progress;
  exportFlex(*r.state, progress);
  EXPECT_EQ(code(r.state->status), 6);
  EXPECT_EQ(save_setup::entriesIn(dir.path()), 0u);
}

TEST(OutputFileTests, NothingAppearsUntilCommit) {
  fixture::TempDir dir;
  const std::string path = dir.file("a.bin");
  {
    OutputFile out;
    ASSERT_TRUE(out.open(path));
    const std::vector<std::uint8_t> big(3 << 20, 0x5A);  // larger than the buffer
    EXPECT_TRUE(out.write(big.data(), big.size()));
    EXPECT_TRUE(out.write(std::uint8_t(0x01)));
    EXPECT_FALSE(std::filesystem::exists(path));
  }  // dropped without commit
  EXPECT_EQ(save_setup::entriesIn(dir.path()), 0u);

  OutputFile out;
  ASSERT_TRUE(out.open(path));
  EXPECT_TRUE(out.write("ab", 2));
  const std::vector<std::uint8_t> big(1 << 20, 0x33);
  EXPECT_TRUE(out.write(big.data(), big.size()));
  EXPECT_TRUE(out.write("c", 1));
  ASSERT_TRUE(out.commit());
  const fixture::Bytes got = fixture::readFile(path);
  ASSERT_EQ(got.size(), 3u + big.size());
  EXPECT_EQ(got[0], 'a');
  EXPECT_EQ(got[2], 0x33);
  EXPECT_EQ(got.back(), 'c');
  EXPECT_FALSE(out.write("d", 1));  // closed
}

TEST(OutputFileTests, RefusesAFolderAsDestination) {
  fixture::TempDir dir;
  OutputFile out;
  EXPECT_FALSE(out.open(dir.path()));
  EXPECT_FALSE(out.open(dir.path() + "/"));
  EXPECT_FALSE(out.open(""));
}

TEST(OutputFileTests, DevicesArePassedThroughAndLinksFollowed) {
  fixture::TempDir dir;
  // A device cannot be swapped for a file by the rename: it is written in place and stays.
  const std::string device = dir.file("null");
  ASSERT_EQ(::symlink("/dev/null", device.c_str()), 0);
  {
    OutputFile out;
    ASSERT_TRUE(out.open(device));
    EXPECT_TRUE(out.write("xyz", 3));
    EXPECT_TRUE(out.commit());
  }
  struct stat st {};
  ASSERT_EQ(::lstat(device.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  // A dangling link gets its target created; the link stays a link.
  const std::string link = dir.file("link.sbf");
  ASSERT_EQ(::symlink("made.sbf", link.c_str()), 0);
  OutputFile out;
  ASSERT_TRUE(out.open(link));
  EXPECT_TRUE(out.write("ab", 2));
  ASSERT_TRUE(out.commit());
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(fixture::readFile(dir.file("made.sbf")), (fixture::Bytes{'a', 'b'}));
  EXPECT_EQ(save_setup::entriesIn(dir.path()), 3u);
}
