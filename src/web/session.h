#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "editor/file_problem.h"
#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "inspect/folder_record.h"
#include "inspect/folder_scan.h"
#include "model/editor_state.h"
#include "superfile/byte_sink.h"

namespace tavufe::web {

// What the page keeps between clicks: the document, the deletes that can be undone and redone,
// and the findings of the open. The page itself only shows what this returns.
class Session {
 public:
  Session();

  // Opens a file's bytes; `name` picks the reader by its extension, as the window's open does.
  OpenedSuperfile open(std::span<const std::uint8_t> bytes, const std::string& name);

  // The same open on a file whose `size` bytes arrive in pieces, as a page reads a picked file:
  // they go to incoming(), received() says how many have come, and finishOpen() opens. SHX
  // text is read as it comes. A file refused by its name leaves the document as it was. Any
  // other open closes the document first, so one that fails leaves nothing open, as the window
  // does: an empty file or one larger than any superfile is refused as the editor refuses it
  // (FileNotOpened and why), one there is no memory for with BufferError. Until the open
  // finishes or is given up nothing can be deleted, undone or saved.
  // The notice that refuses a file by its name (FileTypeNotSupported), or None.
  static NoticeCode typeNotice(const std::string& name);
  struct Begun {
    NoticeCode notice = NoticeCode::None;
    StatusCode status = StatusCode::None;
    FileProblem problem{};
    bool ok() const { return notice == NoticeCode::None && status == StatusCode::None; }
  };
  Begun beginOpen(std::size_t size, const std::string& name);
  std::span<std::uint8_t> incoming() { return {incoming_.get(), incomingSize_}; }
  void received(std::size_t bytes);
  OpenedSuperfile finishOpen();
  // Why an open failed, with the place, as the window's box says it: "FILE:LINE: what:
  // expected X, found Y" for SHX text, "FILE:OFFSET: ..." for SBF and the header block, or the
  // reason a file could not be read at all; empty when it opened.
  std::string failureCause(const OpenedSuperfile& opened) const;
  // The file could not be read to its end: nothing is open.
  void abandonOpen();

  std::vector<FolderGridRow> folders() const;
  std::vector<std::string> preview(int index) const;
  bool canDelete(int index) const;
  // "Delete Skin Folder": erases the record and forgets what could be redone.
  bool deleteFolder(int index);
  bool undo();
  bool redo();
  bool canUndo() const { return !done_.empty(); }
  bool canRedo() const { return !undone_.empty(); }
  // Deletes since the open or the last save of a superfile.
  bool modified() const { return cleanDepth_ != std::optional<std::size_t>(done_.size()); }

  // The notice that refuses a save (NoFilesSelectedToSave after a failed open), or None.
  NoticeCode saveNotice() const;
  // The question before saving a file with checksum problems, as the window asks it; empty
  // when there is nothing to ask.
  std::string damagedSaveQuestion() const;
  // Every finding of the open, one line each, named after the opened file.
  std::vector<std::string> findingLines() const;
  std::uint64_t problems() const { return check_.problems; }

  // What a save as the opened file's type would write differently from that file, in the lines
  // `tavufe diff` prints, or why it cannot be said; `dateText` as for a save. Nothing changes.
  struct Review {
    NoticeCode notice = NoticeCode::None;
    StatusCode status = StatusCode::None;
    std::vector<std::string> lines;
  };
  Review review(const std::string& dateText) const;

  // A save's bytes, held until the next save; `dateText` as saveDate() gives it.
  StatusCode save(SaveType type, const std::string& dateText);
  const std::vector<std::uint8_t>& saved() const { return lastSave_.bytes; }
  // NAME-edited.EXT after the opened file's name, with the type's extension.
  std::string proposedName(SaveType type) const;

 private:
  // What an open leaves the session with.
  void adopt(const OpenedSuperfile& opened, const std::string& name);
  void forgetDocument();
  // Nothing open: no slots, no folders, no file kept for a review.
  void closeDocument();

  std::unique_ptr<EditorState> state_ = std::make_unique<EditorState>();
  // The file being read in pieces, and its open. The buffer stays for the next file that fits.
  // From malloc, which says when there is no memory; the module's new ends it instead.
  struct Free {
    void operator()(std::uint8_t* bytes) const { std::free(bytes); }
  };
  std::unique_ptr<std::uint8_t[], Free> incoming_;
  std::size_t incomingSize_ = 0;
  std::size_t incomingCapacity_ = 0;
  // After an open that read its file, the file's bytes, kept at the start of incoming_ for a
  // review until the next open.
  std::size_t openedSize_ = 0;
  std::unique_ptr<StreamedOpen> streamed_;
  Progress streamedProgress_;
  bool loaded_ = false;
  std::string name_;
  CheckResult check_;
  std::vector<FolderRecordBytes> done_;
  std::vector<FolderRecordBytes> undone_;
  // How many deletes the document had when it matched a file; none after undoing past a save.
  std::optional<std::size_t> cleanDepth_ = 0;
  MemorySink lastSave_;
};

}  // namespace tavufe::web
