#include "cli/commands.h"

#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "cli/json_output.h"
#include "cli/visible_text.h"
#include "editor/diff_flow.h"
#include "editor/early_export.h"
#include "editor/held_groups.h"
#include "editor/open_flow.h"
#include "editor/output_file.h"
#include "editor/save_flow.h"
#include "editor/verify_flow.h"
#include "inspect/code_group_table.h"
#include "inspect/folder_scan.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/header_block.h"

namespace tavufe::cli {

namespace {

template <typename Cells>
void printRow(std::ostream& out, const Cells& cells) {
  bool first = true;
  for (const auto& cell : cells) {
    if (!first) out << '\t';
    out << visibleText(cell);
    first = false;
  }
  out << '\n';
}

// A temporary file that could not be removed, on a line of its own; false when there is none.
bool reportLeftover(std::ostream& err, const FileProblem& problem) {
  if (problem.leftover.empty()) return false;
  err << "tavufe: " << visibleText(problem.leftover)
      << ": the temporary file could not be removed: "
      << fileProblemText(FileProblem::system(problem.leftoverError)) << '\n';
  return true;
}

int warn(std::ostream& err, StatusCode code) {
  const std::string text = statusText(code);
  err << "WARNING: " << (text.empty() ? "Error " + std::to_string(int(code)) : text) << '\n';
  return kExitRefused;
}

// The warning, then for a file that could not be read, written or read back the reason on a
// line of its own, and a temporary file that could not be removed on one more.
int warn(std::ostream& err, StatusCode status, const FileProblem& problem,
         const std::string& path) {
  warn(err, status);
  const bool fileFailed = status == StatusCode::FileNotOpened ||
                          status == StatusCode::FileWriteError || status == StatusCode::VerifyError;
  if (fileFailed && problem) {
    err << "tavufe: " << visibleText(problem.where.empty() ? path : problem.where) << ": "
        << fileProblemText(problem) << '\n';
  }
  reportLeftover(err, problem);
  return kExitRefused;
}

int notify(std::ostream& err, const std::string& text) {
  err << "NOTICE: " << text << '\n';
  return kExitRefused;
}

// The open command, as the window has it: the extension (or --input-type) picks the reader,
// the file is read and checked in one walk, the table is reduced to RAMDLD and Flex and the
// folder records are listed. Returns an exit status, or kExitSuccess when the file is loaded.
int openFile(EditorState& state, const Arguments& arguments, OpenedSuperfile& opened,
             std::ostream& err, LaidDataWatch* watch) {
  // Without an image the load reports the buffer error itself.
  state.image.allocate();
  initialiseEditor(state);
  Progress progress;
  OpenOptions options;
  options.encoding = arguments.inputType;
  options.repeatedFolders = arguments.keepRepeated ? RepeatedFolders::Keep : RepeatedFolders::Erase;
  options.laidWatch = watch;
  opened = openForEditing(state, arguments.file, options, progress);
  if (opened.notice != NoticeCode::None) return notify(err, noticeText(opened.notice));
  if (!opened.loaded()) return warn(err, opened.status, opened.problem, arguments.file);
  return kExitSuccess;
}

int runInfo(const EditorState& state, const Arguments& arguments, const OpenedSuperfile& opened,
            std::ostream& out) {
  if (arguments.json) {
    printInfoJson(out, arguments.file, state, opened.report, opened.header);
    return kExitSuccess;
  }
  for (const std::string& line : opened.report) out << visibleText(line) << '\n';
  out << '\n';
  printRow(out, kCodeGroupGridTitles);
  for (const CodeGroupGridRow& row : opened.codeGroups) printRow(out, row);
  return kExitSuccess;
}

int runFolders(const EditorState& state, const Arguments& arguments, const OpenedSuperfile& opened,
               std::ostream& out) {
  if (arguments.json) {
    printFoldersJson(out, arguments.file, state);
    return kExitSuccess;
  }
  printRow(out, kFolderGridTitles);
  for (const FolderGridRow& row : opened.folders) printRow(out, row);
  return kExitSuccess;
}

// Every row is checked against one listing before any record is erased, so that each number
// means what `folders` showed, whatever the order the rows are given in.
int eraseRequestedRows(EditorState& state, const std::vector<int>& rows, std::ostream& err) {
  std::vector<std::uint32_t> offsets;
  for (int row : rows) {
    // Rows are numbered from 1, as `folders` lists them.
    const int index = row - 1;
    if (!isFolderListed(state, index)) {
      err << "tavufe: row " << row << " is not in the folder list\n" << usageText();
      return kExitUsage;
    }
    const FolderEntry& entry = state.folders[std::size_t(index)];
    if (!canDeleteFolder(state, index)) {
      err << "tavufe: row " << row << " (\"" << visibleText(entry.folderName)
          << "\") cannot be erased: its record is not inside the Flex code group\n"
          << usageText();
      return kExitUsage;
    }
    offsets.push_back(entry.recordOffset);
  }
  for (std::uint32_t offset : offsets) eraseFolderRecord(state, offset);
  return kExitSuccess;
}

// A save over the file it opened writes only what the table keeps: unless forced, it stops
// before the file loses its other code groups. Returns an exit status.
int checkOwnInput(const EditorState& state, const Arguments& arguments,
                  const OpenedSuperfile& opened, const std::string& destination,
                  std::ostream& err) {
  if (arguments.force || !namesFile(destination, opened.device, opened.inode)) {
    return kExitSuccess;
  }
  const std::vector<std::string> dropped =
      groupsASaveDrops(state, opened.heldGroups, arguments.saveType);
  if (dropped.empty()) return kExitSuccess;
  notify(err, noticeText(NoticeCode::SaveWouldDropCodeGroups));
  err << "tavufe: " << visibleText(arguments.output) << " holds "
      << visibleText(joinedNames(dropped)) << "; --force replaces it anyway\n";
  return kExitRefused;
}

void reportOtherLinks(const std::string& output, std::uint64_t links, std::ostream& err) {
  if (links == 0) return;
  err << "tavufe: " << visibleText(output) << ": " << links
      << (links == 1 ? " other hard link keeps" : " other hard links keep")
      << " the old contents\n";
}

int runSave(EditorState& state, const Arguments& arguments, const OpenedSuperfile& opened,
            EarlyExport* early, std::ostream& err) {
  // "-" is standard output, written through the descriptor the shell gave; a terminal would
  // only show the bytes as noise.
  const bool toStandardOutput = arguments.output == "-";
  const std::string destination = toStandardOutput ? "/dev/stdout" : arguments.output;
  if (toStandardOutput && ::isatty(STDOUT_FILENO) == 1) {
    return warn(err, StatusCode::FileNotOpened, {FileProblem::Kind::Terminal}, arguments.output);
  }
  // Without the Flex's bytes there is nothing of it to save or export.
  if (!hasFlexBytes(state)) return notify(err, noticeText(NoticeCode::NoFlexCodeGroup));
  if (const int status = eraseRequestedRows(state, arguments.deleteRows, err);
      status != kExitSuccess) {
    return status;
  }
  if (const NoticeCode notice = checkSaveable(state); notice != NoticeCode::None) {
    return notify(err, noticeText(notice));
  }
  // A save writes fresh checksums: over damaged bytes they would hide the damage from the
  // flashing tool, so damage is saved only when asked for.
  if (const std::uint64_t problems = opened.check.problems; problems > 0 && !arguments.force) {
    warn(err, StatusCode::ChecksumError);
    err << "tavufe: " << visibleText(arguments.file) << ": " << problems
        << (problems == 1 ? " checksum problem" : " checksum problems") << "; tavufe verify "
        << visibleText(arguments.file) << " lists them; --force saves anyway\n";
    return kExitRefused;
  }
  if (const int status = checkOwnInput(state, arguments, opened, destination, err);
      status != kExitSuccess) {
    return status;
  }
  // Nothing is written on any failure, so a slot that no longer matches its bytes stops an
  // export before it writes.
  SaveOptions options;
  options.staleSlots = StaleSlots::Refuse;
  options.early = early;
  options.lostMetadata = arguments.force ? LostMetadata::SaveWithout : LostMetadata::Refuse;
  if (isSuperfile(arguments.saveType)) {
    // The header's date falls back to the clock; say why the fixed one was not taken.
    SaveDate date = saveDate();
    if (date.ignoredBecause) {
      err << "tavufe: SOURCE_DATE_EPOCH ignored: " << visibleText(*date.ignoredBecause) << '\n';
    }
    options.dateText = std::move(date.text);
  }
  Progress progress;
  FileProblem why;
  const std::uint64_t links = otherHardLinks(destination);
  const StatusCode saved =
      saveToFile(state, destination, arguments.saveType, options, progress, &why);
  if (saved != StatusCode::None) return warn(err, saved, why, arguments.output);
  // Saved as forced, without what could not be kept: said all the same.
  if (why) {
    err << "tavufe: " << visibleText(arguments.output) << ": " << fileProblemText(why) << '\n';
  }
  reportOtherLinks(arguments.output, links, err);
  return kExitSuccess;
}

// Checks the file's bytes as they are; nothing is laid into an image.
int runVerify(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const auto type = arguments.inputType ? arguments.inputType : encodingForPath(arguments.file);
  if (!type) return notify(err, noticeText(NoticeCode::FileTypeNotSupported));
  const VerifyResult verified = verifySuperfile(arguments.file, *type);
  if (!verified.read()) return warn(err, verified.status, verified.problem, arguments.file);
  if (arguments.json) {
    printVerifyJson(out, arguments.file, *type, verified.check);
  } else {
    for (const std::string& line : verifyLines(arguments.file, verified.check)) {
      out << visibleText(line) << '\n';
    }
  }
  return verified.check.ok() ? kExitSuccess : kExitRefused;
}

// Compares two files as the editor reads them; 0 when they are the same, 1 when they differ, 2
// when either cannot be compared, as cmp and diff do.
int runDiff(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const DiffOutcome outcome =
      diffSuperfileFiles(arguments.file, arguments.newFile, arguments.inputType);
  if (outcome.failed) {
    const std::string& path = *outcome.failed == DiffFile::Old ? arguments.file : arguments.newFile;
    const OpenedSuperfile& opened = outcome.failedOpen;
    if (opened.notice != NoticeCode::None) {
      notify(err, noticeText(opened.notice));
    } else {
      warn(err, opened.status, opened.problem, path);
    }
    // Which of the two it was, unless the reason named it already.
    if (opened.notice != NoticeCode::None || !opened.problem) {
      err << "tavufe: " << visibleText(path) << ": not compared\n";
    }
    return kExitUsage;
  }
  if (!outcome.compared()) {
    warn(err, outcome.status);
    return kExitUsage;
  }
  if (arguments.json) {
    printDiffJson(out, arguments.file, arguments.newFile, outcome.diff);
  } else {
    for (const std::string& line : diffLines(outcome.diff)) out << visibleText(line) << '\n';
  }
  return outcome.diff.same() ? kExitSuccess : kExitRefused;
}

}  // namespace

int runCommand(EditorState& state, const Arguments& arguments, std::ostream& out,
               std::ostream& err) {
  if (arguments.command == Command::Verify) return runVerify(arguments, out, err);
  if (arguments.command == Command::Diff) return runDiff(arguments, out, err);
  // An export's file is written while the superfile is read; any refusal before the save
  // drops it unseen.
  EarlyExport early;
  const bool exports = arguments.saveType == SaveType::Smg || arguments.saveType == SaveType::Bin;
  if (arguments.command == Command::Save && exports && arguments.output != "-") {
    // A temporary file the begin could not remove is told before anything else happens.
    if (!early.begin(arguments.output) && reportLeftover(err, early.file().problem())) {
      return kExitRefused;
    }
  }
  OpenedSuperfile opened;
  if (const int status = openFile(state, arguments, opened, err, early.active() ? &early : nullptr);
      status != kExitSuccess) {
    return status;
  }
  switch (arguments.command) {
    case Command::Info: return runInfo(state, arguments, opened, out);
    case Command::Folders: return runFolders(state, arguments, opened, out);
    case Command::Save:
      return runSave(state, arguments, opened, early.active() ? &early : nullptr, err);
    case Command::Verify:
    case Command::Diff:
    case Command::Help:
    case Command::Version: break;
  }
  return kExitUsage;
}

}  // namespace tavufe::cli
