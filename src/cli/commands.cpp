#include "cli/commands.h"

#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "cli/json_output.h"
#include "cli/visible_text.h"
#include "editor/diff_flow.h"
#include "editor/held_groups.h"
#include "editor/open_flow.h"
#include "editor/output_file.h"
#include "editor/save_flow.h"
#include "editor/verify_flow.h"
#include "inspect/code_group_table.h"
#include "inspect/folder_scan.h"
#include "model/editor_state.h"
#include "model/hex.h"
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

// A file of another type is refused by its name alone; the option that reads it anyway is named.
int notSupported(std::ostream& err, const std::string& path) {
  notify(err, noticeText(NoticeCode::FileTypeNotSupported));
  err << "tavufe: " << visibleText(path)
      << ": not an .sbf or .shx file; --input-type sbf|shx reads it as one\n";
  return kExitRefused;
}

// An open that failed: its notice or warning, then where and why, as the window shows it. The
// cause is the finding `verify` lists for the same place.
int openFailed(std::ostream& err, const OpenedSuperfile& opened, const std::string& path) {
  if (opened.notice == NoticeCode::FileTypeNotSupported) return notSupported(err, path);
  if (opened.notice != NoticeCode::None) return notify(err, noticeText(opened.notice));
  warn(err, opened.status, opened.problem, path);
  if (!opened.problem && opened.cause) {
    err << "tavufe: " << visibleText(findingLine(path, *opened.cause)) << '\n';
  }
  return kExitRefused;
}

// "FILE: N problems; tavufe verify FILE lists them", for a file that opened with problems.
std::string problemsNote(const std::string& path, const CheckResult& check) {
  return "tavufe: " + visibleText(path) + ": " + problemsLine(check) + "; tavufe verify " +
         visibleText(path) + (check.problems == 1 ? " lists it" : " lists them");
}

// A file that opened with problems says so, and where to see them.
void reportProblems(std::ostream& err, const std::string& path, const CheckResult& check) {
  if (check.problems > 0) err << problemsNote(path, check) << '\n';
}

// What a rescue read found, as the last line on standard error: "FILE: rescued: 3 damaged
// lines in Firmware, DSP; the RAMDLD and the Flex are sound".
void reportRescue(std::ostream& err, const std::string& path, const OpenedSuperfile& opened) {
  if (!opened.rescued) return;
  const char* unit =
      opened.encoding == SuperfileEncoding::Shx ? " damaged line" : " damaged record";
  std::uint64_t lines = 0;
  std::vector<std::string> names;
  std::vector<std::string> written;
  for (const DamagedCodeGroup& d : opened.damaged) {
    lines += d.damage.lines;
    names.push_back(d.name);
    if (d.written) written.push_back(d.name == "RDL" ? "RAMDLD" : d.name);
  }
  err << "tavufe: " << visibleText(path) << ": rescued: ";
  if (names.empty()) {
    err << "nothing damaged";
  } else if (lines > 0) {
    err << lines << unit << (lines == 1 ? "" : "s") << " in " << visibleText(joinedNames(names));
  } else {
    err << visibleText(joinedNames(names)) << " damaged";
  }
  if (written.empty()) {
    err << "; the RAMDLD and the Flex are sound\n";
  } else {
    err << "; the " << joinedNames(written) << (written.size() == 1 ? " is" : " are")
        << " damaged, so nothing can be saved\n";
  }
}

// The open command, as the window has it: the extension (or --input-type) picks the reader,
// the file is read and checked in one walk, the table is reduced to RAMDLD and Flex and the
// folder records are listed. Returns an exit status, or kExitSuccess when the file is loaded.
int openFile(EditorState& state, const Arguments& arguments, const std::string& path,
             OpenedSuperfile& opened, std::ostream& err) {
  // Without an image the load reports the buffer error itself. Several files share one.
  if (!state.image.exists()) state.image.allocate();
  initialiseEditor(state);
  Progress progress;
  OpenOptions options;
  options.encoding = arguments.inputType;
  options.repeatedFolders = arguments.keepRepeated ? RepeatedFolders::Keep : RepeatedFolders::Erase;
  options.rescue = arguments.rescue;
  opened = openForEditing(state, path, options, progress);
  if (!opened.loaded()) return openFailed(err, opened, path);
  return kExitSuccess;
}

// The JSON of one file, printed as it comes, or of several, printed as one array at the end.
class JsonDocuments {
 public:
  explicit JsonDocuments(bool several) : several_(several) {}
  void add(std::ostream& out, Json document) {
    if (several_) {
      all_.push_back(std::move(document));
    } else {
      printJson(out, document);
    }
  }
  void finish(std::ostream& out) const {
    if (several_) printJson(out, all_);
  }

 private:
  bool several_;
  Json all_ = Json::array();
};

// Each file's report and code-group list; several files each under a heading, as `head` puts
// it, or as one JSON array. A file that cannot be opened is passed over and makes the exit 1.
int runInfo(EditorState& state, const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const bool several = arguments.files.size() > 1;
  JsonDocuments documents(several && arguments.json);
  int status = kExitSuccess;
  bool first = true;
  for (const std::string& file : arguments.files) {
    OpenedSuperfile opened;
    if (openFile(state, arguments, file, opened, err) != kExitSuccess) {
      status = kExitRefused;
      continue;
    }
    reportProblems(err, file, opened.check);
    reportRescue(err, file, opened);
    if (arguments.json) {
      documents.add(out, infoJson(file, state, opened.report, opened.header, opened.check));
      continue;
    }
    if (several) out << (first ? "" : "\n") << "==> " << visibleText(file) << " <==\n";
    first = false;
    for (const std::string& line : opened.report) out << visibleText(line) << '\n';
    out << '\n';
    printRow(out, kCodeGroupGridTitles);
    for (const CodeGroupGridRow& row : opened.codeGroups) printRow(out, row);
  }
  documents.finish(out);
  return status;
}

int runFolders(const EditorState& state, const Arguments& arguments, const OpenedSuperfile& opened,
               std::ostream& out) {
  if (arguments.json) {
    printJson(out, foldersJson(arguments.file, state, opened.check));
    return kExitSuccess;
  }
  printRow(out, kFolderGridTitles);
  for (const FolderGridRow& row : opened.folders) printRow(out, row);
  return kExitSuccess;
}

int saveUsageError(std::ostream& err, const std::string& error) {
  err << usageErrorText(error, Command::Save);
  return kExitUsage;
}

// The rows, numbered from 1 as `folders` lists them, whose name is `name` as read or as
// `folders` prints it.
std::vector<int> rowsNamed(const EditorState& state, const std::string& name) {
  std::vector<int> rows;
  for (int index = 0; isFolderListed(state, index); ++index) {
    const std::string& folder = state.folders[std::size_t(index)].folderName;
    if (folder == name || visibleText(folder) == name) rows.push_back(index + 1);
  }
  return rows;
}

std::string joinedRows(const std::vector<int>& rows) {
  std::string out;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    out += (i == 0 ? "" : i + 1 == rows.size() ? " and " : ", ") + std::to_string(rows[i]);
  }
  return out;
}

// Every row and name is checked against one listing before any record is erased, so that each
// means what `folders` showed, whatever the order they are given in.
int eraseRequestedFolders(EditorState& state, const Arguments& arguments, std::ostream& err) {
  std::vector<int> rows = arguments.deleteRows;
  for (const std::string& name : arguments.deleteFolders) {
    const std::vector<int> named = rowsNamed(state, name);
    if (named.empty()) {
      return saveUsageError(err, "folder " + cli::quoted(name) + " is not in the folder list");
    }
    if (named.size() > 1 && !arguments.allMatches) {
      return saveUsageError(err, "folder " + cli::quoted(name) + " is the name of rows " +
                                     joinedRows(named) +
                                     "; --all-matches erases them all, --delete-row K one");
    }
    rows.insert(rows.end(), named.begin(), named.end());
  }
  std::vector<std::uint32_t> offsets;
  for (int row : rows) {
    const int index = row - 1;
    if (!isFolderListed(state, index)) {
      return saveUsageError(err, "row " + std::to_string(row) + " is not in the folder list");
    }
    const FolderEntry& entry = state.folders[std::size_t(index)];
    if (!canDeleteFolder(state, index)) {
      return saveUsageError(err, "row " + std::to_string(row) + " (\"" +
                                     visibleText(entry.folderName) +
                                     "\") cannot be erased: its record is not inside the Flex "
                                     "code group");
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
            std::ostream& err) {
  // "-" is standard output, written through the descriptor the shell gave; a terminal would
  // only show the bytes as noise.
  const bool toStandardOutput = arguments.output == "-";
  const std::string destination = toStandardOutput ? "/dev/stdout" : arguments.output;
  if (toStandardOutput && ::isatty(STDOUT_FILENO) == 1) {
    return warn(err, StatusCode::FileNotOpened, {FileProblem::Kind::Terminal}, arguments.output);
  }
  // Without the Flex's bytes there is nothing of it to save or export.
  if (!hasFlexBytes(state)) return notify(err, noticeText(NoticeCode::NoFlexCodeGroup));
  if (const int status = eraseRequestedFolders(state, arguments, err); status != kExitSuccess) {
    return status;
  }
  if (const NoticeCode notice = checkSaveable(state); notice != NoticeCode::None) {
    notify(err, noticeText(notice));
    // Missing bytes cannot be forced: name the group and where its damage begins.
    for (const DamagedCodeGroup& d : opened.damaged) {
      if (!d.written) continue;
      err << "tavufe: " << visibleText(damagePlace(arguments.file, d.damage)) << ": "
          << visibleText(d.name)
          << " damaged; a rescue saves only a RAMDLD and a Flex read whole\n";
    }
    return kExitRefused;
  }
  // A rescue answers for the groups it writes itself: damage elsewhere is what it passes over.
  if (opened.rescued) reportRescue(err, arguments.file, opened);
  // A save writes fresh checksums: over damaged bytes they would hide the damage from the
  // flashing tool, so damage is saved only when asked for.
  if (opened.check.problems > 0 && !arguments.force && !opened.rescued) {
    warn(err, StatusCode::ChecksumError);
    err << problemsNote(arguments.file, opened.check) << "; --force saves anyway\n";
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

// Checks each file's bytes as they are; nothing is laid into an image. Of several files each
// one's last line names it, and one that cannot be read is passed over and makes the exit 1.
int runVerify(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const bool several = arguments.files.size() > 1;
  JsonDocuments documents(several && arguments.json);
  int status = kExitSuccess;
  for (const std::string& file : arguments.files) {
    const auto type = arguments.inputType ? arguments.inputType : encodingForPath(file);
    if (!type) {
      status = notSupported(err, file);
      continue;
    }
    const VerifyResult verified = verifySuperfile(file, *type);
    if (!verified.read()) {
      status = warn(err, verified.status, verified.problem, file);
      continue;
    }
    if (!verified.check.ok()) status = kExitRefused;
    if (arguments.json) {
      documents.add(out, verifyJson(file, *type, verified.check));
      continue;
    }
    std::vector<std::string> lines = verifyLines(file, verified.check);
    if (several) {
      // The count, and the line of those not listed, say which file they are of.
      const std::size_t unlisted = verified.check.notKept() > 0 ? 2 : 1;
      for (std::size_t i = lines.size() - unlisted; i < lines.size(); ++i) {
        lines[i] = file + ": " + lines[i];
      }
    }
    for (const std::string& line : lines) out << visibleText(line) << '\n';
  }
  documents.finish(out);
  return status;
}

// Compares two files as the editor reads them; 0 when they are the same, 1 when they differ, 2
// when either cannot be compared, as cmp and diff do.
int runDiff(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const DiffOutcome outcome = diffFiles(arguments.file, arguments.newFile, arguments.inputType);
  if (outcome.failed) {
    const std::string& path = *outcome.failed == DiffFile::Old ? arguments.file : arguments.newFile;
    const OpenedSuperfile& opened = outcome.failedOpen;
    openFailed(err, opened, path);
    // Which of the two it was, unless a reason named it already.
    const bool named = opened.notice == NoticeCode::FileTypeNotSupported ||
                       (opened.notice == NoticeCode::None && (opened.problem || opened.cause));
    if (!named) {
      err << "tavufe: " << visibleText(path) << ": not compared\n";
    }
    return kExitUsage;
  }
  if (!outcome.compared()) {
    warn(err, outcome.status);
    return kExitUsage;
  }
  if (arguments.json) {
    printJson(out, diffJson(arguments.file, arguments.newFile, outcome.diff, outcome.flexOnly()));
  } else {
    // An export holds the Flex alone: whatever else the superfile holds is not compared.
    if (outcome.flexOnly()) {
      out << "Flex only: "
          << (!outcome.newExport   ? "OLD is an export"
              : !outcome.oldExport ? "NEW is an export"
                                   : "both are exports")
          << '\n';
    }
    for (const std::string& line : diffLines(outcome.diff)) out << visibleText(line) << '\n';
  }
  return outcome.diff.same() ? kExitSuccess : kExitRefused;
}

}  // namespace

int runCommand(EditorState& state, const Arguments& arguments, std::ostream& out,
               std::ostream& err) {
  if (arguments.command == Command::Verify) return runVerify(arguments, out, err);
  if (arguments.command == Command::Diff) return runDiff(arguments, out, err);
  if (arguments.command == Command::Info) return runInfo(state, arguments, out, err);
  OpenedSuperfile opened;
  if (const int status = openFile(state, arguments, arguments.file, opened, err);
      status != kExitSuccess) {
    return status;
  }
  switch (arguments.command) {
    case Command::Folders:
      reportProblems(err, arguments.file, opened.check);
      reportRescue(err, arguments.file, opened);
      return runFolders(state, arguments, opened, out);
    case Command::Save: return runSave(state, arguments, opened, err);
    case Command::Info:
    case Command::Verify:
    case Command::Diff:
    case Command::Help:
    case Command::Version: break;
  }
  return kExitUsage;
}

}  // namespace tavufe::cli
