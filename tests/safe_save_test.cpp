// Every way a save can fail leaves an existing file of the destination's name exactly as it was
// and nothing else behind in its folder.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "model/output_file.h"
#include "save_setup.h"
#include "superfile/file_buffer.h"
#include "superfile/flex_export.h"
#include "superfile/sbf_writer.h"
#include "superfile/shx_writer.h"

using namespace tavufe;
using save_setup::entriesIn;

namespace {

struct Output {
  const char* name;
  void (*save)(EditorState&, Progress&);
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
    r.state->currentPath = destination;
  }
  int save() {
    r.state->status = StatusCode::None;
    Progress progress;
    GetParam().save(*r.state, progress);
    return code(r.state->status);
  }
  void expectUntouched() {
    EXPECT_EQ(fixture::readFile(destination), kOldContent);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "temporary file left behind";
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
  EXPECT_EQ(save(), 2);
  EXPECT_EQ(r.state->systemError, ENOENT);
  expectUntouched();
}

TEST_P(SafeSaveTest, ReadOnlyFolderIsFileNotOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  EXPECT_EQ(save(), 2);
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
  const int status = save();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, handler);
  EXPECT_EQ(status, 13);
  EXPECT_EQ(r.state->systemError, EFBIG);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, OverlongRamdldWritesNothing) {
  r = save_setup::ramdldAndFlex(0x30000, 0x100);
  r.state->currentPath = destination;
  r.state->slots[0].length = 0x30001;
  EXPECT_EQ(save(), 11);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, MissingOrBlankRamdldIsRefusedBeforeOpening) {
  r.state->slots[0].headerBytes[14] = 0xFF;
  r.state->slots[0].headerBytes[15] = 0xFF;
  EXPECT_EQ(save(), 12);
  expectUntouched();

  r.state->slots[0].headerBytes[15] = 0x00;  // one of the two erased is not blank
  r.state->slots[0].cgNumber = 2;
  EXPECT_EQ(save(), 12);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, NoImageIsABufferError) {
  r.state->image.release();
  EXPECT_EQ(save(), 4);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, CodeGroupOutsideTheImageIsRefused) {
  CodeGroupSlot& flex = r.state->slots[1];
  flex.startAddress = 0x1402FF00;  // masks into the last bytes of the image and beyond
  flex.endAddress = 0x1403FFFF;
  flex.length = 0x10100;
  EXPECT_EQ(save(), 6);
  expectUntouched();
}

TEST_P(SafeSaveTest, SuccessReplacesTheFileKeepingItsModeAndWritesThroughALink) {
  ASSERT_EQ(::chmod(destination.c_str(), 0640), 0);
  ASSERT_EQ(save(), 0);
  EXPECT_NE(fixture::readFile(destination), kOldContent);
  struct stat st {};
  ASSERT_EQ(::stat(destination.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(entriesIn(dir.path()), 1u);

  fixture::writeFile(destination, kOldContent);
  r.state->currentPath = dir.file("link.out");
  ASSERT_EQ(::symlink("flash.out", r.state->currentPath.c_str()), 0);
  ASSERT_EQ(save(), 0);
  ASSERT_EQ(::lstat(r.state->currentPath.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_NE(fixture::readFile(destination), kOldContent);
  EXPECT_EQ(entriesIn(dir.path()), 2u);
}

TEST_P(SafeSaveTest, LongestFileNameStillSaves) {
  r.state->currentPath = dir.file(std::string(250, 'f') + ".out");  // 254 characters
  EXPECT_EQ(save(), 0);
  EXPECT_TRUE(std::filesystem::exists(r.state->currentPath));
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
    r.state->currentPath = dir.file(name);
    exportFlex(*r.state, progress);
    ASSERT_EQ(r.state->status, StatusCode::None);
    EXPECT_EQ(fixture::readFile(r.state->currentPath), r.flex) << name;
  }
  EXPECT_EQ(progress.steps, 2);
  EXPECT_EQ(progress.position, 20);

  r.state->currentPath = dir.file("end.smg");
  r.state->slots[1].startAddress = 0x14030000 - 0x2345;  // ends on the image's last byte
  exportFlex(*r.state, progress);
  EXPECT_EQ(code(r.state->status), 0);
  r.state->currentPath = dir.file("past.smg");
  r.state->slots[1].startAddress += 1;
  exportFlex(*r.state, progress);
  EXPECT_EQ(code(r.state->status), 6);
  EXPECT_EQ(entriesIn(dir.path()), 3u);
}

TEST(OutputFileTests, NothingAppearsUntilCommit) {
  fixture::TempDir dir;
  const std::string path = dir.file("a.bin");
  const std::vector<std::uint8_t> big(3 << 20, 0x5A);  // larger than the buffer
  OutputFile out;
  ASSERT_TRUE(out.open(path));
  EXPECT_TRUE(out.write("ab", 2));
  EXPECT_TRUE(out.write(big.data(), big.size()));
  EXPECT_TRUE(out.write(std::uint8_t('c')));
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(out.commit());
  fixture::Bytes expected = {'a', 'b'};
  fixture::append(expected, big);
  expected.push_back('c');
  EXPECT_EQ(fixture::readFile(path), expected);
  EXPECT_FALSE(out.write("d", 1));  // closed
}

TEST(OutputFileTests, RefusesAFolderAsDestination) {
  fixture::TempDir dir;
  OutputFile out;
  const std::pair<std::string, int> cases[] = {
      {dir.path(), EISDIR}, {dir.path() + "/", EISDIR}, {std::string(), ENOENT}};
  for (const auto& [path, error] : cases) {
    EXPECT_FALSE(out.open(path)) << path;
    EXPECT_EQ(out.error(), error) << path;
  }
}

TEST(OutputFileTests, DevicesArePassedThroughAndDanglingLinksGetTheirTarget) {
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

  const std::string link = dir.file("link.sbf");
  ASSERT_EQ(::symlink("made.sbf", link.c_str()), 0);
  OutputFile out;
  ASSERT_TRUE(out.open(link));
  EXPECT_TRUE(out.write("ab", 2));
  ASSERT_TRUE(out.commit());
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(fixture::readFile(dir.file("made.sbf")), (fixture::Bytes{'a', 'b'}));
  EXPECT_EQ(entriesIn(dir.path()), 3u);
}

// A file that cannot be read names the system's reason; an empty one has none to give.
TEST(ReadWholeFileTests, FailuresCarryTheSystemError) {
  fixture::TempDir dir;
  fixture::writeFile(dir.file("empty.sbf"), fixture::Bytes{});
  fixture::writeFile(dir.file("one.sbf"), fixture::Bytes{0x41});
  const std::pair<std::string, int> cases[] = {{dir.file("missing.sbf"), ENOENT},
                                               {dir.path(), EISDIR},
                                               {dir.file("empty.sbf"), 0},
                                               {dir.file("one.sbf"), 0}};
  for (const auto& [path, error] : cases) {
    SCOPED_TRACE(path);
    EditorState state;
    state.systemError = -1;
    const FileBuffer file = readWholeFile(state, path);
    EXPECT_EQ(state.systemError, error);
    EXPECT_EQ(state.status,
              error == 0 && file.size == 1 ? StatusCode::None : StatusCode::FileNotOpened);
  }
}
