#pragma once

#include <cstdint>
#include <span>

namespace tavufe {

// The steps of a save whose system call may be made to fail: SetOwner is each change of the
// replaced file's owner and group, SetAttributes each of its extended attributes put on the
// new file.
enum class OutputStep { ReadBack, SyncFolder, RemoveTemporary, SetOwner, SetAttributes };

// Where tests stand a disk, a file system or another program in for the real ones. The
// programs define none of these, so each is null and the files are handled as they are; the
// tests' support defines them all (tests/fixture/file_seams.cpp).
namespace seams {

// The errno the step should fail with, or 0 to let the call run.
[[gnu::weak]] int outputFault(OutputStep step);
// Sees each chunk a save's read-back takes from the file, with its offset, before it is
// compared: a disk that did not keep what it was given.
[[gnu::weak]] void readBackChunk(std::uint64_t offset, std::span<std::uint8_t> chunk);
// Whether a save takes a named temporary file where an anonymous one could be had, so that
// both ways are tried.
[[gnu::weak]] bool namedTemporary();
// Runs after an unleased file's bytes are read and before they are confirmed: another program
// writing the file meanwhile.
[[gnu::weak]] void afterRead(std::span<std::uint8_t> bytesRead);

}  // namespace seams

}  // namespace tavufe
