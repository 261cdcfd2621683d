// What a replaced file had passes to the new one, or the save stops and says what; the
// temporary file is its owner's alone until then, and none stays behind unmentioned.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "editor/output_file.h"
#include "file_seams.h"
#include "save_setup.h"
#include "superfile_fixture.h"

using namespace tavufe;
using save_setup::entriesIn;

namespace {

const fixture::Bytes kOld = {'o', 'l', 'd'};
const fixture::Bytes kNew = {'n', 'e', 'w', '!'};

// Both ways of saving: the anonymous temporary file and the named one others fall back to.
class TemporaryPathTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { test::fileSeams().namedTemporary = GetParam(); }
  test::ScopedFileSeams seams;
  fixture::TempDir dir;
};

std::string pathName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "Named" : "Anonymous";
}

struct stat statOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st;
}

// The mode of the temporary file open in `folder`: found by name, or for an anonymous one by
// what this process's descriptors lead to.
std::optional<mode_t> temporaryMode(const std::string& folder, const std::string& destination) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path() != destination) return statOf(entry.path()).st_mode & 07777;
  }
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (!error && target.starts_with(folder + "/#")) return statOf(entry.path()).st_mode & 07777;
  }
  return std::nullopt;
}

// user::rw-, group::r--, a named user rw-, mask rw-, other::---: the mode shows 0660, though
// the owning group may only read.
const std::uint8_t kAcl[] = {2,    0,    0,    0,    1,    0,    6,    0,    0xFF, 0xFF, 0xFF,
                             0xFF, 2,    0,    6,    0,    0x39, 0x30, 0,    0,    4,    0,
                             4,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0,    6,    0,    0xFF,
                             0xFF, 0xFF, 0xFF, 0x20, 0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF};
constexpr char kAclName[] = "system.posix_acl_access";

bool hasAttribute(const std::string& path, const char* name) {
  return ::getxattr(path.c_str(), name, nullptr, 0) >= 0;
}

}  // namespace

// Whatever the destination's mode, nobody but the owner can open the temporary file while its
// data is written.
TEST_P(TemporaryPathTest, TemporaryFileIsTheOwnersAloneWhileWritten) {
  const std::string out = dir.file("backup-out.smg");
  for (const bool exists : {true, false}) {
    SCOPED_TRACE(exists ? "replacing a 0666 file" : "a new file");
    if (exists) {
      fixture::writeFile(out, kOld);
      ASSERT_EQ(::chmod(out.c_str(), 0666), 0);
    }
    const mode_t mask = ::umask(0);
    OutputFile file;
    ASSERT_TRUE(file.open(out));
    EXPECT_TRUE(file.write(kNew.data(), kNew.size()));
    EXPECT_EQ(temporaryMode(dir.path(), out), std::optional<mode_t>(0600));
    ASSERT_TRUE(file.commit());
    ::umask(mask);
    EXPECT_EQ(statOf(out).st_mode & 07777, 0666u);
    EXPECT_EQ(fixture::readFile(out), kNew);
    std::filesystem::remove(out);
  }
}

// An owner, group, ACL or attribute that cannot be put on the new file stops the save with the
// old file untouched; told to go on, the save leaves it off and narrows the mode so that nobody
// gains access. No privilege to give a file away is no failure: the file becomes this user's.
TEST_P(TemporaryPathTest, MetadataThatCannotBeKeptStopsTheSaveOrNarrowsTheMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another owner needs root";
  const std::string out = dir.file("backup-out.smg");
  fixture::writeFile(out, kOld);
  if (::setxattr(out.c_str(), "user.origin", "backup", 6, 0) != 0 ||
      ::setxattr(out.c_str(), kAclName, kAcl, sizeof kAcl, 0) != 0) {
    GTEST_SKIP() << "the file system keeps no user attributes or ACLs";
  }
  std::filesystem::remove(out);
  using Kind = FileProblem::Kind;
  struct Case {
    const char* name;
    OutputStep step;
    int error;
    int failures;      // how many calls of the step fail
    bool acl;          // the old file has an ACL, else a user attribute
    bool saveWithout;  // as --force asks
    Kind lost;         // what is said to be lost; None when nothing is
    bool saved;
    uid_t owner;  // of the file in place afterwards
    gid_t group;
    mode_t mode;
  };
  const Case cases[] = {
      {"owner: EIO", OutputStep::SetOwner, EIO, 1, false, false, Kind::OwnerNotKept, false, 4321,
       4322, 04750},
      {"owner: EIO, forced", OutputStep::SetOwner, EIO, 1, false, true, Kind::OwnerNotKept, true, 0,
       4322, 0750},
      {"owner and group: EIO, forced", OutputStep::SetOwner, EIO, 2, false, true,
       Kind::OwnerNotKept, true, 0, 0, 0700},
      {"no privilege to give it away", OutputStep::SetOwner, EPERM, 2, false, false, Kind::None,
       true, 0, 0, 04750},
      {"attribute: ENOTSUP", OutputStep::SetAttributes, ENOTSUP, 1, false, false,
       Kind::AttributesNotKept, false, 4321, 4322, 04750},
      {"attribute: ENOTSUP, forced", OutputStep::SetAttributes, ENOTSUP, 1, false, true,
       Kind::AttributesNotKept, true, 4321, 4322, 04750},
      {"ACL: EPERM", OutputStep::SetAttributes, EPERM, 1, true, false, Kind::AccessListNotKept,
       false, 4321, 4322, 04660},
      // Without the ACL the owning group keeps only its own entry, r--, not the mask's rw-.
      {"ACL: EPERM, forced", OutputStep::SetAttributes, EPERM, 1, true, true,
       Kind::AccessListNotKept, true, 4321, 4322, 04640},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fixture::writeFile(out, kOld);
    ASSERT_EQ(::chown(out.c_str(), 4321, 4322), 0);
    if (c.acl) {
      ASSERT_EQ(::setxattr(out.c_str(), kAclName, kAcl, sizeof kAcl, 0), 0);
      ASSERT_EQ(::chmod(out.c_str(), 04660), 0);
    } else {
      ASSERT_EQ(::setxattr(out.c_str(), "user.origin", "backup", 6, 0), 0);
      ASSERT_EQ(::chmod(out.c_str(), 04750), 0);
    }
    int failures = c.failures;
    const test::ScopedOutputFault fault(
        [&](OutputStep step) { return step == c.step && failures-- > 0 ? c.error : 0; });
    OutputFile file;  // after the fault, whose end may still remove
    file.setLostMetadata(c.saveWithout ? LostMetadata::SaveWithout : LostMetadata::Refuse);
    ASSERT_TRUE(file.open(out));
    EXPECT_TRUE(file.write(kNew.data(), kNew.size()));
    EXPECT_EQ(file.commit(), c.saved);
    const FileProblem& told = c.saved ? file.droppedMetadata() : file.problem();
    EXPECT_EQ(told.kind, c.lost);
    if (c.lost != Kind::None) {
      EXPECT_EQ(told.error, c.error);
    }
    EXPECT_EQ(fixture::readFile(out), c.saved ? kNew : kOld);
    const struct stat st = statOf(out);
    EXPECT_EQ(st.st_uid, c.owner);
    EXPECT_EQ(st.st_gid, c.group);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
    EXPECT_EQ(hasAttribute(out, c.acl ? kAclName : "user.origin"),
              !c.saved || c.lost == Kind::None || c.step == OutputStep::SetOwner);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    std::filesystem::remove(out);
  }
  EXPECT_EQ(fileProblemText({Kind::AccessListNotKept, EPERM}),
            "its access list could not be kept: " + std::string(std::strerror(EPERM)));
}

// A temporary file that cannot be removed after a failure is named with the reason, on both
// paths; one whose folder was moved meanwhile is removed from where the folder went.
TEST_P(TemporaryPathTest, NoTemporaryFileStaysBehindUnmentioned) {
  const std::string out = dir.file("backup-out.smg");
  {
    // A folder put where the destination was makes the rename fail after the file is named.
    int failures = 2;
    const test::ScopedOutputFault fault([&](OutputStep step) {
      return step == OutputStep::RemoveTemporary && failures-- > 0 ? EIO : 0;
    });
    OutputFile file;
    ASSERT_TRUE(file.open(out));
    EXPECT_TRUE(file.write(kNew.data(), kNew.size()));
    ASSERT_EQ(::mkdir(out.c_str(), 0700), 0);
    fixture::writeFile(out + "/keep", kOld);
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(file.problem().error, EISDIR);
    EXPECT_EQ(file.problem().leftoverError, EIO);
    ASSERT_FALSE(file.problem().leftover.empty());
    EXPECT_EQ(std::filesystem::path(file.problem().leftover).parent_path(), dir.path());
    EXPECT_TRUE(std::filesystem::exists(file.problem().leftover));
    EXPECT_EQ(entriesIn(dir.path()), 2u);
    std::filesystem::remove(file.problem().leftover);
    std::filesystem::remove_all(out);
  }
  const std::string before = dir.file("before");
  const std::string after = dir.file("after");
  ASSERT_EQ(::mkdir(before.c_str(), 0700), 0);
  OutputFile file;
  ASSERT_TRUE(file.open(before + "/backup-out.smg"));
  EXPECT_TRUE(file.write(kNew.data(), kNew.size()));
  ASSERT_EQ(::rename(before.c_str(), after.c_str()), 0);
  EXPECT_FALSE(file.commit());
  EXPECT_EQ(file.problem().error, ENOENT);
  EXPECT_TRUE(file.problem().leftover.empty());
  EXPECT_EQ(entriesIn(after), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, TemporaryPathTest, ::testing::Bool(), pathName);

// The kernel's protected-symlinks rule holds for every part of the path, not only the last: a
// link to a folder planted in a shared sticky folder by another user is not followed either.
TEST(OutputPathTests, AnUntrustedLinkAnywhereInTheOutputPathIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "planting another user's link needs root";
  constexpr uid_t kOther = 54321;
  fixture::TempDir dir;
  const std::string shared = dir.file("shared");
  const std::string target = dir.file("target");
  ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  ASSERT_EQ(::mkdir(target.c_str(), 0700), 0);
  const std::string link = shared + "/dirlink";
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  const std::string outer = dir.file("outer");
  ASSERT_EQ(::symlink("shared/dirlink", outer.c_str()), 0);
  for (const uid_t owner : {kOther, ::geteuid()}) {
    ASSERT_EQ(::lchown(link.c_str(), owner, gid_t(-1)), 0);
    for (const std::string& path : {link + "/f.smg", link + "/.//f.smg", outer + "/f.smg"}) {
      SCOPED_TRACE(path + (owner == kOther ? ", another user's link" : ", own link"));
      OutputFile out;
      const bool opened = out.open(path);
      EXPECT_EQ(opened, owner != kOther);
      if (!opened) {
        EXPECT_EQ(out.problem().kind, FileProblem::Kind::UnsafeLink);
        continue;
      }
      EXPECT_TRUE(out.write(kNew.data(), kNew.size()));
      EXPECT_TRUE(out.commit());
      EXPECT_EQ(fixture::readFile(target + "/f.smg"), kNew);
      std::filesystem::remove(target + "/f.smg");
    }
  }
  EXPECT_EQ(entriesIn(target), 0u);
}
