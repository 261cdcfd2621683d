#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "editor/crc32.h"
#include "editor/file_problem.h"
#include "superfile/byte_sink.h"

namespace tavufe {

// What a save does when the replaced file's owner, group, ACL or other extended attributes
// cannot be put on the new file: write nothing over it, or save without them.
enum class LostMetadata { Refuse, SaveWithout };

// The descriptor of this process that `path` names, however it is spelled: /dev/stdout,
// /dev/stderr, /dev/fd/N, /proc/self/fd/N, /proc/thread-self/fd/N, /proc/PID/fd/N with this
// process's PID, with repeated slashes, "." or links on the way. -1 for any other path; for
// such a name whose descriptor is not open, -2.
int ownDescriptorNamed(const std::string& path);

// How many other names the regular file a save to `destination` would replace has: they keep
// its old contents, as the save gives the name a new file. 0 for a new file, a device or a
// descriptor.
std::uint64_t otherHardLinks(const std::string& destination);

// Whether `destination`, links followed, is the file with this device and inode number.
bool namesFile(const std::string& destination, std::uint64_t device, std::uint64_t inode);

// An output file that appears under its name only when written whole.
//
// (A destination that is a device or a pipe cannot be swapped by a rename; it is written in
// place, and what reached it stays. A pipe that no process reads is refused, and so is a
// terminal. A name of one of this process's open descriptors is written through that
// descriptor, at its offset and with its flags, so that a shell's `>>` appends and its
// redirections keep their files; another process's descriptor is opened and written in place.)
//
// Bytes go to a temporary file in the destination's folder, readable and writable by its owner
// alone, through a large buffer: an anonymous one where the file system allows it, so that a
// process killed part-way leaves nothing behind; a named one otherwise. commit() flushes it to
// disk, puts on it what the replaced file had (owner and group where this process may set them
// at all, extended attributes with the ACL among them, then the mode), reads it back from the
// disk and compares it with what it was given (a running CRC-32 and the length), names it and
// renames it over the destination. Until then, and on any failure, a file that already had the
// destination's name is left exactly as it was, and the destructor removes the temporary file;
// one that cannot be removed is named in problem().
//
// Symbolic links on the way to the destination, the last one included, are followed as a
// direct write would, but only where the kernel's protected-symlinks rule allows: not a link
// in a sticky world-writable folder (/tmp) owned by someone other than this process's user or
// the folder's owner.
class OutputFile : public ByteSink {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() override;

  // Creates the temporary file; false, with problem() saying why, when the destination or its
  // folder cannot take it.
  [[nodiscard]] bool open(const std::string& destination);
  // Buffered; once a write has failed every later call is a no-op that returns false.
  bool write(const void* data, std::size_t size) override;
  // Flushes, syncs, reads back, closes and renames. False (and nothing renamed) if any step
  // failed. A device or pipe written in place is not read back.
  [[nodiscard]] bool commit();
  // Drops what was written; the destination is untouched.
  void discard();

  bool failed() const override { return failed_; }
  // Why the first step that failed did; Kind::None while all went well.
  const FileProblem& problem() const { return problem_; }

  // Refuse unless set otherwise; read at commit().
  void setLostMetadata(LostMetadata policy) { lostMetadata_ = policy; }
  // What a commit that went on without some of the replaced file's metadata left off (the
  // first such loss); Kind::None when all was kept.
  const FileProblem& droppedMetadata() const { return dropped_; }

  // Whether the last commit failed because the file read back was not what was written.
  bool readBackDiffered() const { return readBackDiffered_; }

 private:
  bool flushBuffer();
  bool fail(FileProblem problem);
  bool openDirect();
  bool openDescriptor(int fd);
  bool createTemporary();
  bool createNamed();
  bool nameAnonymousFile();
  bool keepMetadata();
  bool keepAttributes(unsigned mode);
  bool lost(FileProblem::Kind what, int error);
  bool readBack();
  void startBuffer();
  bool writeOut(const std::uint8_t* bytes, std::size_t size);
  bool syncFolder();

  int fd_ = -1;
  bool failed_ = false;
  bool direct_ = false;           // a device or pipe, written in place
  bool borrowed_ = false;         // a descriptor the process already held: never closed here
  bool replaces_ = false;         // a file of the destination's name was there at open
  bool truncatePending_ = false;  // a file written in place, cut at its first write
  unsigned mode_ = 0;             // the file's final mode
  unsigned ownerId_ = 0;          // of the file replaced
  unsigned groupId_ = 0;
  int folderFd_ = -1;  // the destination's folder, where the temporary file is
  LostMetadata lostMetadata_ = LostMetadata::Refuse;
  FileProblem dropped_;
  FileProblem problem_;
  std::string destination_;
  std::string tempPath_;  // empty while the temporary file is anonymous
  struct FreeBuffer {
    void operator()(std::uint8_t* bytes) const { std::free(bytes); }
  };
  std::unique_ptr<std::uint8_t, FreeBuffer> buffer_;
  std::size_t used_ = 0;
  std::uint64_t inFile_ = 0;         // bytes handed to the file
  std::uint64_t writebackFrom_ = 0;  // where the writeback not yet started begins
  Crc32 written_;
  std::uint64_t writtenSize_ = 0;
  bool readBackDiffered_ = false;
};

}  // namespace tavufe
