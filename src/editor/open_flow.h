#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "editor/file_problem.h"
#include "editor/held_groups.h"
#include "inspect/code_group_table.h"
#include "inspect/folder_scan.h"
#include "inspect/number_format.h"
#include "model/codes.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/encoding.h"
#include "superfile/header_block.h"
#include "superfile/read_result.h"
#include "superfile/superfile_check.h"

namespace tavufe {

// ".sbf" or ".shx" at the end of the path, in any case; nothing for any other name.
std::optional<SuperfileEncoding> encodingForPath(const std::string& path);

// Folder records whose name repeats the one before them: erased as the file opens, or listed.
enum class RepeatedFolders { Erase, Keep };

struct OpenOptions {
  // How to read the file; without it the path's extension decides.
  std::optional<SuperfileEncoding> encoding;
  RepeatedFolders repeatedFolders = RepeatedFolders::Erase;
  // Findings past this many are counted, not kept.
  std::size_t keptFindings = kMaxKeptFindings;
  // How the report and the code-group rows write sizes.
  NumberFormat numbers{","};
  // Read past damaged lines and records, marking the code groups they lie in (the header
  // block is not rescued).
  bool rescue = false;
};

// A code group a rescue read found damaged, with its name as the catalogue gives it.
struct DamagedCodeGroup {
  std::string name;
  GroupDamage damage;
  // A save of the document writes it (the RAMDLD or the Flex).
  bool written = false;
};

// What an open gives a front end to show, besides the document it leaves in the state.
struct OpenedSuperfile {
  // FileTypeNotSupported: neither the options nor the name say how to read the file, and
  // nothing was touched.
  NoticeCode notice = NoticeCode::None;
  StatusCode status = StatusCode::None;
  FileProblem problem;           // why the file itself could not be read
  std::optional<Finding> cause;  // where and why a read of its records stopped
  SuperfileEncoding encoding = SuperfileEncoding::Shx;
  // The report of what was read; empty when the reader did not get through the file.
  std::vector<std::string> report;
  HeaderTexts header;
  // The header's code-group table, as the file lists it.
  std::vector<ListedGroup> listed;
  std::vector<CodeGroupGridRow> codeGroups;
  std::vector<FolderGridRow> folders;
  // Everything the whole-file check found, problems and notes.
  CheckResult check;
  // Every code group the file held, before the table was reduced to what a save writes.
  std::vector<HeldCodeGroup> heldGroups;
  // The file was read by a rescue, and what it found damaged.
  bool rescued = false;
  std::vector<DamagedCodeGroup> damaged;
  // The opened file's device and inode numbers, to recognise a save over it; 0 for bytes.
  std::uint64_t device = 0;
  std::uint64_t inode = 0;

  bool loaded() const { return notice == NoticeCode::None && status == StatusCode::None; }
  // Slot 1 holds the Flex code group, which is what saving needs, and neither it nor the
  // RAMDLD is damaged.
  bool saveAllowed = false;
};

// The open command for every front end: reads the file at `path` once, lays it into a freshly
// erased image while checking it in the same walk, reduces the table to RAMDLD and Flex, and
// lists the Flex's folder records (after erasing repeated ones, unless kept). Empties the undo
// stack. On failure the slots are reset and nothing is listed.
OpenedSuperfile openForEditing(EditorState& state, const std::string& path,
                               const OpenOptions& options, Progress& progress);

// The same on a file's bytes already in memory; `options.encoding` must be set.
OpenedSuperfile openForEditing(EditorState& state, std::span<const std::uint8_t> bytes,
                               const OpenOptions& options, Progress& progress);

// The same open on bytes that arrive in pieces (a page reading a picked file): SHX text is read
// and checked as it comes, anything else once it is all there; the outcome is the same.
// `file` spans all of the bytes, of which only those said to have come are read; the state is
// the open's from the first piece on, and a front end lets nothing else use it until finish().
class StreamedOpen {
 public:
  StreamedOpen(EditorState& state, std::span<const std::uint8_t> file, const OpenOptions& options,
               Progress& progress);
  StreamedOpen(const StreamedOpen&) = delete;
  StreamedOpen& operator=(const StreamedOpen&) = delete;
  ~StreamedOpen();
  // The first `bytes` bytes have come.
  void received(std::size_t bytes);
  // All of them have.
  OpenedSuperfile finish();

 private:
  struct Read;
  EditorState& state_;
  std::span<const std::uint8_t> file_;
  OpenOptions options_;
  Progress& progress_;
  OpenedSuperfile result_;
  std::unique_ptr<Read> read_;
  bool declined_ = false;
};

// After a good open: whether slot 1 holds the Flex code group, which is what saving needs.
bool hasFlexInSlot1(const EditorState& state);

}  // namespace tavufe
