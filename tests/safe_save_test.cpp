// Every way a save can fail leaves an existing file of the destination's name exactly as it was
// and nothing else behind in its folder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include "editor/output_file.h"
#include "editor/save_flow.h"
#include "file_seams.h"
#include "model/finalise.h"
#include "model/slots.h"
#include "reader_seams.h"
#include "save_setup.h"

using namespace tavufe;
using save_setup::entriesIn;

namespace {

using ReadBackFilter = std::function<void(std::uint64_t offset, std::span<std::uint8_t> chunk)>;

StatusCode saveShx(const EditorState& s, const std::string& path, Progress& p, FileProblem* why) {
  return saveSuperfile(s, path, SaveType::Shx, save_setup::kDateText, p, why);
}
StatusCode saveSbf(const EditorState& s, const std::string& path, Progress& p, FileProblem* why) {
  return saveSuperfile(s, path, SaveType::Sbf, save_setup::kDateText, p, why);
}
StatusCode saveSmg(const EditorState& s, const std::string& path, Progress& p, FileProblem* why) {
  return exportFlex(s, path, p, why);
}

// Each output on both temporary-file paths: anonymous where the file system allows it, and the
// named file others fall back to.
struct Output {
  const char* name;
  StatusCode (*save)(const EditorState&, const std::string&, Progress&, FileProblem*);
  bool named = false;
};
const Output kShx{"Shx", saveShx}, kSbf{"Sbf", saveSbf}, kSmg{"Smg", saveSmg};
const Output kShxNamed{"ShxNamed", saveShx, true}, kSbfNamed{"SbfNamed", saveSbf, true},
    kSmgNamed{"SmgNamed", saveSmg, true};
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
    test::FileSeams seams;
    seams.readBackChunk = readBack;
    seams.namedTemporary = GetParam().named;
    const test::ScopedFileSeams set(std::move(seams));
    Progress progress;
    problem = {};
    return GetParam().save(*r.state, target, progress, &problem);
  }
  void expectUntouched() {
    EXPECT_EQ(fixture::readFile(destination), kOldContent);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "temporary file left behind";
  }

  fixture::TempDir dir;
  save_setup::RamdldAndFlex r;
  std::string destination;
  std::string target;   // where the save writes
  FileProblem problem;  // why the last save failed, when the system refused it
};

// The checks only the SHX and SBF saves make.
class SafeSuperfileSaveTest : public SafeSaveTest {};

}  // namespace

TEST_P(SafeSaveTest, MissingFolderIsFileNotOpened) {
  target = dir.file("missing/flash.out");
  EXPECT_EQ(save(), StatusCode::FileNotOpened);
  EXPECT_EQ(problem.kind, FileProblem::Kind::System);
  EXPECT_EQ(problem.error, ENOENT);
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
  // would end it ignored, as both programs ignore it (the command-line tests check that they
  // do).
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
  EXPECT_EQ(problem.kind, FileProblem::Kind::System);
  EXPECT_EQ(problem.error, EFBIG);
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
  // A clean save, to learn the size: a filter that changes nothing is no fault. While it reads
  // back, only the named temporary file shows in the folder.
  std::uint64_t size = 0;
  std::size_t entriesWhileReading = 0;
  ASSERT_EQ(save([&](std::uint64_t offset, std::span<std::uint8_t> chunk) {
              size = std::max<std::uint64_t>(size, offset + chunk.size());
              entriesWhileReading = entriesIn(dir.path());
            }),
            StatusCode::None);
  EXPECT_EQ(entriesWhileReading, GetParam().named ? 2u : 1u);
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
  // As its file stated it: one byte longer than the RAMDLD's area, which no save can finalise.
  CodeGroupSlot& rdl = r.state->slots[0];
  rdl.endAddress += 1;
  rdl.length = rdl.recordLength = 0x30001;
  EXPECT_EQ(save(), StatusCode::AddressRange);
  expectUntouched();
}

TEST_P(SafeSuperfileSaveTest, MissingOrBlankRamdldIsRefusedBeforeOpening) {
  // The version word as the save finalises it from the image.
  imageData(*r.state)[kRamdldOffset + 14] = 0xFF;
  imageData(*r.state)[kRamdldOffset + 15] = 0xFF;
  EXPECT_EQ(save(), StatusCode::RdlBlankOrMissing);
  expectUntouched();

  imageData(*r.state)[kRamdldOffset + 15] = 0x00;  // one of the two erased is not blank
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
  // The temporary name is never longer than the destination's, down to one letter.
  for (const std::string& name : {std::string(255, 'f'), std::string(250, 'f'), std::string("f")}) {
    SCOPED_TRACE(name.size());
    target = dir.file(name);
    fixture::writeFile(target, kOldContent);
    EXPECT_EQ(save(), StatusCode::None);
    EXPECT_NE(fixture::readFile(target), kOldContent);
    EXPECT_EQ(entriesIn(dir.path()), 2u);
    std::filesystem::remove(target);
  }
}

// The replaced file's owner and group (where this process may set them), its extended
// attributes and its ACL pass to the new file; a hard link keeps the old bytes and is counted.
TEST_P(SafeSaveTest, ReplacedFileKeepsOwnerAttributesAndAcl) {
  if (::setxattr(destination.c_str(), "user.origin", "backup", 6, 0) != 0) {
    GTEST_SKIP() << "the file system keeps no user attributes";
  }
  // user::rw-, group::r--, other::---, and a named user with rw- under mask rw-.
  const std::uint8_t acl[] = {2,    0,    0,    0,    1,    0,    6,    0,    0xFF, 0xFF, 0xFF,
                              0xFF, 2,    0,    6,    0,    0x39, 0x30, 0,    0,    4,    0,
                              4,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0,    6,    0,    0xFF,
                              0xFF, 0xFF, 0xFF, 0x20, 0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF};
  const bool haveAcl =
      ::setxattr(destination.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(destination.c_str(), 4321, 4322), 0);
  }
  const std::string link = dir.file("second.out");
  ASSERT_EQ(::link(destination.c_str(), link.c_str()), 0);
  EXPECT_EQ(otherHardLinks(destination), 1u);

  ASSERT_EQ(save(), StatusCode::None);
  char value[16] = {};
  EXPECT_EQ(::getxattr(destination.c_str(), "user.origin", value, sizeof value), 6);
  EXPECT_EQ(std::string(value), "backup");
  if (haveAcl) {
    std::uint8_t kept[64] = {};
    const ssize_t n = ::getxattr(destination.c_str(), "system.posix_acl_access", kept, sizeof kept);
    EXPECT_EQ(fixture::Bytes(kept, kept + std::max<ssize_t>(n, 0)),
              fixture::Bytes(acl, acl + sizeof acl));
  }
  struct stat st {};
  ASSERT_EQ(::stat(destination.c_str(), &st), 0);
  if (root) {
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
  }
  EXPECT_EQ(st.st_nlink, 1u);
  EXPECT_EQ(fixture::readFile(link), kOldContent);
  EXPECT_EQ(otherHardLinks(destination), 0u);
}

INSTANTIATE_TEST_SUITE_P(AllOutputs, SafeSaveTest,
                         ::testing::Values(kShx, kSbf, kSmg, kShxNamed, kSbfNamed, kSmgNamed),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Superfiles, SafeSuperfileSaveTest,
                         ::testing::Values(kShx, kSbf, kShxNamed, kSbfNamed),
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

  // Moved off the range its file gave, the Flex is exported and the move reported.
  r.state->slots[1].startAddress = 0x14030000 - 0x2345;  // ends on the image's last byte
  EXPECT_EQ(exportFlex(*r.state, dir.file("end.smg"), progress), StatusCode::AddressRange);
  EXPECT_EQ(fixture::readFile(dir.file("end.smg")).size(), 0x2345u);
  r.state->slots[1].startAddress += 1;
  EXPECT_EQ(exportFlex(*r.state, dir.file("past.smg"), progress),
            StatusCode::BufferAddressOverflow);
  EXPECT_EQ(entriesIn(dir.path()), 3u);
}

namespace {

// Ends a blocking call that the code under test should never make, instead of hanging.
class HangGuard {
 public:
  HangGuard() {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    ::sigaction(SIGALRM, &action, &saved_);  // no SA_RESTART: the call fails with EINTR
    ::alarm(10);
  }
  ~HangGuard() {
    ::alarm(0);
    ::sigaction(SIGALRM, &saved_, nullptr);
  }

 private:
  struct sigaction saved_ {};
};

bool isLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

TEST(OutputFileTests, PipeIsWrittenInPlaceOnlyWhileAProcessReadsIt) {
  fixture::TempDir dir;
  const std::string pipe = dir.file("pipe.sbf");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  const HangGuard guard;
  {
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    OutputFile out;
    ASSERT_TRUE(out.open(pipe));
    EXPECT_TRUE(out.write("xyz", 3));
    EXPECT_TRUE(out.commit());
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 3);
    EXPECT_EQ(std::string(got), "xyz");
    ::close(reader);
  }
  {
    // A name the kernel alone can follow to a pipe, as /dev/stdout is in a shell pipeline.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    OutputFile out;
    ASSERT_TRUE(out.open("/proc/self/fd/" + std::to_string(ends[1])));
    EXPECT_TRUE(out.write("pq", 2));
    EXPECT_TRUE(out.commit());
    char got[8] = {};
    EXPECT_EQ(::read(ends[0], got, sizeof got), 2);
    EXPECT_EQ(std::string(got), "pq");
    ::close(ends[0]);
    ::close(ends[1]);
  }
  OutputFile out;
  EXPECT_FALSE(out.open(pipe));
  EXPECT_EQ(out.problem().kind, FileProblem::Kind::NoReader);
  struct stat st {};
  ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

// As the kernel's protected-symlinks rule: in a sticky world-writable folder only a link of
// this user or of the folder's owner is followed, so that a link planted in /tmp by another
// user cannot redirect a save onto a file of its choosing.
TEST(OutputFileTests, LinksInSharedStickyFoldersAreFollowedOnlyWhenTrusted) {
  if (::geteuid() != 0) GTEST_SKIP() << "planting another user's link needs root";
  const uid_t me = ::geteuid();
  constexpr uid_t kOther = 54321;
  struct Case {
    const char* name;
    mode_t folderMode;
    uid_t folderOwner;
    uid_t linkOwner;
    bool followed;
  };
  const Case cases[] = {
      {"another user's link in a shared sticky folder", 01777, me, kOther, false},
      {"own link in a shared sticky folder", 01777, me, me, true},
      {"the folder owner's link", 01777, kOther, kOther, true},
      {"another user's link, folder not sticky", 0777, me, kOther, true},
      {"another user's link, sticky folder not world-writable", 01775, me, kOther, true},
  };
  const fixture::Bytes kNew = {'n', 'e', 'w'};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fixture::TempDir dir;
    const std::string victim = dir.file("precious.conf");
    fixture::writeFile(victim, kOldContent);
    const std::string shared = dir.file("shared");
    ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
    ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, gid_t(-1)), 0);
    ASSERT_EQ(::chmod(shared.c_str(), c.folderMode), 0);
    const std::string link = shared + "/flash.sbf";
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, gid_t(-1)), 0);

    OutputFile out;
    const bool opened = out.open(link);
    EXPECT_EQ(opened, c.followed);
    if (opened) {
      EXPECT_TRUE(out.write(kNew.data(), kNew.size()));
      EXPECT_TRUE(out.commit());
      EXPECT_EQ(fixture::readFile(victim), kNew);
    } else {
      EXPECT_EQ(out.problem().kind, FileProblem::Kind::UnsafeLink);
      EXPECT_EQ(fixture::readFile(victim), kOldContent);
    }
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(entriesIn(shared), 1u);
    EXPECT_EQ(entriesIn(dir.path()), 2u);
  }
}

// A loop, or a chain longer than the kernel follows, fails with ELOOP and leaves the links.
TEST(OutputFileTests, LinkLoopsAndOverlongChainsFail) {
  fixture::TempDir dir;
  auto link = [&](const std::string& name, const std::string& target) {
    ASSERT_EQ(::symlink(target.c_str(), dir.file(name).c_str()), 0);
  };
  link("self.sbf", "self.sbf");
  link("a.sbf", "b.sbf");
  link("b.sbf", "a.sbf");
  // chain1 -> chain2 -> ... -> chain41 -> end.sbf: 40 links from chain2, 41 from chain1.
  for (int k = 1; k <= 41; ++k) {
    link("chain" + std::to_string(k), k == 41 ? "end.sbf" : "chain" + std::to_string(k + 1));
  }
  const std::size_t entries = entriesIn(dir.path());
  for (const char* name : {"self.sbf", "a.sbf", "b.sbf", "chain1"}) {
    SCOPED_TRACE(name);
    OutputFile out;
    EXPECT_FALSE(out.open(dir.file(name)));
    EXPECT_EQ(out.problem().kind, FileProblem::Kind::System);
    EXPECT_EQ(out.problem().error, ELOOP);
    EXPECT_TRUE(isLink(dir.file(name)));
  }
  EXPECT_EQ(entriesIn(dir.path()), entries);

  OutputFile out;
  ASSERT_TRUE(out.open(dir.file("chain2")));
  EXPECT_TRUE(out.write("ab", 2));
  ASSERT_TRUE(out.commit());
  EXPECT_EQ(fixture::readFile(dir.file("end.sbf")), (fixture::Bytes{'a', 'b'}));
  EXPECT_TRUE(isLink(dir.file("chain2")));
}

// What the user is told: the errno of the call that failed.
TEST(OutputFileTests, FailuresKeepTheSystemsReason) {
  fixture::TempDir dir;
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {"", ENOENT},
      {dir.path(), EISDIR},
      {dir.path() + "/", EISDIR},
      {dir.file("missing/out.sbf"), ENOENT},
      {dir.file("file/out.sbf"), ENOTDIR},
  };
  fixture::writeFile(dir.file("file"), kOldContent);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    OutputFile out;
    EXPECT_FALSE(out.open(c.path));
    EXPECT_EQ(out.problem().kind, FileProblem::Kind::System);
    EXPECT_EQ(out.problem().error, c.error) << std::strerror(out.problem().error);
  }
  EXPECT_EQ(entriesIn(dir.path()), 1u);
}

// A read-back the disk fails, a folder that cannot be synced after the rename and a temporary
// file that will not go each say why; the removal is tried twice.
TEST(OutputFileTests, FaultsAfterWritingGiveTheirReason) {
  fixture::TempDir dir;
  const std::string out = dir.file("backup-out.sbf");  // long enough for ".tfe-XXXXXX"
  struct Case {
    const char* name;
    OutputStep step;
    int failures;  // how many calls of the step fail
    bool committed;
    FileProblem::Kind kind;
    bool left;  // the temporary file stays behind, reported
  };
  const Case cases[] = {
      {"read-back EIO", OutputStep::ReadBack, 1, false, FileProblem::Kind::System, false},
      {"folder sync", OutputStep::SyncFolder, 1, false, FileProblem::Kind::NotDurable, false},
      {"removal once", OutputStep::RemoveTemporary, 1, false, FileProblem::Kind::System, false},
      {"removal twice", OutputStep::RemoveTemporary, 2, false, FileProblem::Kind::System, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fixture::writeFile(out, kOldContent);
    int failures = c.failures;
    test::FileSeams seams;
    seams.outputFault = [&](OutputStep step) { return step == c.step && failures-- > 0 ? EIO : 0; };
    seams.namedTemporary = true;
    // A removal happens only after a failure: a read-back that differs stands for it.
    if (c.step == OutputStep::RemoveTemporary) {
      seams.readBackChunk = [](std::uint64_t, std::span<std::uint8_t> chunk) { chunk[0] ^= 1; };
    }
    const test::ScopedFileSeams set(std::move(seams));
    OutputFile file;
    ASSERT_TRUE(file.open(out));
    EXPECT_TRUE(file.write("new", 3));
    EXPECT_EQ(file.commit(), c.committed);
    const FileProblem& why = file.problem();
    if (c.step != OutputStep::RemoveTemporary) {
      EXPECT_EQ(why.kind, c.kind);
      EXPECT_EQ(why.error, EIO);
    }
    EXPECT_EQ(file.readBackDiffered(), c.step != OutputStep::SyncFolder);
    // The folder sync fails after the rename: the new file is complete and in place.
    const fixture::Bytes expected =
        c.step == OutputStep::SyncFolder ? fixture::Bytes{'n', 'e', 'w'} : kOldContent;
    EXPECT_EQ(fixture::readFile(out), expected);
    EXPECT_EQ(why.where, c.step == OutputStep::SyncFolder ? dir.path() : "");
    EXPECT_EQ(!why.leftover.empty(), c.left);
    EXPECT_EQ(entriesIn(dir.path()), c.left ? 2u : 1u);
    if (c.left) {
      EXPECT_EQ(why.leftoverError, EIO);
      EXPECT_TRUE(std::filesystem::path(why.leftover).filename().string().starts_with(".tfe-"));
      std::filesystem::remove(why.leftover);
    }
  }
  EXPECT_EQ(fileProblemText({FileProblem::Kind::NotDurable, EIO}),
            "the saved file may not survive a power cut: " + std::string(std::strerror(EIO)));
}

// Names of this process's descriptors are written through them, at their offset and with their
// flags: an append stays an append, and nothing is renamed over the file behind them.
TEST(OutputFileTests, OwnDescriptorsAreWrittenInPlace) {
  fixture::TempDir dir;
  const std::string log = dir.file("log");
  fixture::writeFile(log, std::string_view("head\n"));
  const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(fd, 3);
  const std::string n = std::to_string(fd);
  const std::string viaLink = dir.file("to-fd");
  ASSERT_EQ(::symlink(("/dev/fd/" + n).c_str(), viaLink.c_str()), 0);
  const std::string pid = std::to_string(::getpid());
  const std::string names[] = {
      "/dev/fd/" + n,
      "/proc/self/fd/" + n,
      "/proc/" + pid + "/fd/" + n,
      "/dev//fd/" + n,
      "//dev/fd/" + n,
      "/dev/./fd/" + n,
      "/dev/fd//" + n,
      "/proc/thread-self/fd/" + n,
      "/proc/" + pid + "/task/" + pid + "/fd/" + n,
      "/proc/./self/fd/" + n,
      "/dev/../dev/fd/" + n,
      viaLink,
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ownDescriptorNamed(name), fd);
    OutputFile out;
    ASSERT_TRUE(out.open(name));
    EXPECT_TRUE(out.write("x", 1));
    EXPECT_TRUE(out.commit());
    EXPECT_GE(::fcntl(fd, F_GETFD), 0) << "the descriptor was closed";
  }
  fixture::Bytes appended = {'h', 'e', 'a', 'd', '\n'};
  appended.insert(appended.end(), std::size(names), 'x');
  EXPECT_EQ(fixture::readFile(log), appended);
  EXPECT_EQ(entriesIn(dir.path()), 2u);
  ::close(fd);
  EXPECT_EQ(ownDescriptorNamed("/dev/fd/" + n), -2);
  OutputFile closed;
  EXPECT_FALSE(closed.open("/dev/fd/" + n));
  EXPECT_EQ(closed.problem().error, EBADF);
  for (const char* other :
       {"/dev/fd/", "/dev/fd/1x", "/dev/fd/+1", "/proc/1/fd/1", "/dev/fd/1/x"}) {
    EXPECT_EQ(ownDescriptorNamed(other), -1) << other;
  }
  for (const auto& [name, fd] :
       {std::pair{"/dev/stdin", 0}, {"/dev//stdout", 1}, {"/dev/stderr", 2}}) {
    EXPECT_EQ(ownDescriptorNamed(name), ::fcntl(fd, F_GETFD) == -1 ? -2 : fd) << name;
  }
}

// The read-back compares a CRC-32C of what was written with one of what is read, each taken in
// pieces of whatever size the writes and reads come in.
TEST(ReadBackCrcTests, CheckValueAndPieceSizesDoNotMatter) {
  const std::string_view check = "123456789";
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(check.data()),
                                            check.size());
  Crc32 whole;
  whole.update(bytes);
  EXPECT_EQ(whole.value(), 0xE3069283u);  // the check value of CRC-32C
  EXPECT_EQ(Crc32::plain(bytes), 0xE3069283u);
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
  // The processor's instruction and the tables agree at every length and alignment, and
  // around the lengths where long inputs are taken as streams side by side (12 KiB).
  const fixture::Bytes big = fixture::pattern(40000, 11);
  std::vector<std::pair<std::size_t, std::size_t>> cases;
  for (std::size_t from = 0; from < 9; ++from) {
    for (std::size_t size = 0; size + from <= 40; ++size) cases.emplace_back(from, size);
  }
  for (const std::size_t size : {12287u, 12288u, 12289u, 24575u, 24576u, 36871u}) {
    cases.emplace_back(0, size);
    cases.emplace_back(3, size);
  }
  for (const auto& [from, size] : cases) {
    Crc32 fast;
    fast.update(std::span(big).subspan(from, size));
    EXPECT_EQ(fast.value(), Crc32::plain(std::span(big).subspan(from, size)))
        << from << " " << size;
  }
}
