#include "cli/commands.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "cli/json_output.h"
#include "cli/visible_text.h"
#include "editor/open_flow.h"
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

int warn(std::ostream& err, StatusCode code) {
  const std::string text = statusText(code);
  err << "WARNING: " << (text.empty() ? "Error " + std::to_string(int(code)) : text) << '\n';
  return kExitRefused;
}

// The warning, then for a file that could not be read or written the reason on a line of its
// own.
int warn(std::ostream& err, StatusCode status, const FileProblem& problem,
         const std::string& path) {
  warn(err, status);
  const bool fileFailed =
      status == StatusCode::FileNotOpened || status == StatusCode::FileWriteError;
  if (fileFailed && problem) {
    err << "tavufe: " << visibleText(path) << ": " << fileProblemText(problem) << '\n';
  }
  return kExitRefused;
}

int notify(std::ostream& err, const std::string& text) {
  err << "NOTICE: " << text << '\n';
  return kExitRefused;
}

// The open command: the extension (or --input-type) picks the reader, then the model is
// refilled from the file and reduced to RAMDLD and Flex. Returns an exit status, or
// kExitSuccess when the file is loaded, with its report in `report`.
int openFile(EditorState& state, const Arguments& arguments, std::vector<std::string>& report,
             HeaderTexts& header, std::ostream& err) {
  const auto type = arguments.inputType ? arguments.inputType : inputTypeForPath(arguments.file);
  if (!type) return notify(err, noticeText(NoticeCode::FileTypeNotSupported));
  // Without an image the load reports the buffer error itself.
  state.image.allocate();
  initialiseEditor(state);
  Progress progress;
  OpenResult opened = openSuperfile(state, arguments.file, *type, progress);
  if (!opened.loaded()) return warn(err, opened.status, opened.problem, arguments.file);
  report = std::move(opened.report);
  header = std::move(opened.header);
  return kExitSuccess;
}

// The folder steps of an open from the dialog, leaving state.folders as the list shows it.
void listFolders(EditorState& state, bool keepRepeated) {
  if (keepRepeated) {
    scanFlexFolders(state);
  } else {
    eraseRepeatedFolders(state);
  }
}

int runInfo(const EditorState& state, const Arguments& arguments,
            const std::vector<std::string>& report, const HeaderTexts& header, std::ostream& out) {
  if (arguments.json) {
    printInfoJson(out, arguments.file, state, report, header);
    return kExitSuccess;
  }
  for (const std::string& line : report) out << visibleText(line) << '\n';
  out << '\n';
  printRow(out, kCodeGroupGridTitles);
  for (const CodeGroupGridRow& row : codeGroupGridRows(state)) printRow(out, row);
  return kExitSuccess;
}

int runFolders(EditorState& state, const Arguments& arguments, std::ostream& out) {
  listFolders(state, arguments.keepRepeated);
  if (arguments.json) {
    printFoldersJson(out, arguments.file, state);
    return kExitSuccess;
  }
  printRow(out, kFolderGridTitles);
  for (const FolderGridRow& row : folderGridRows(state)) printRow(out, row);
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

int runSave(EditorState& state, const Arguments& arguments, std::ostream& err) {
  // Without the Flex's bytes there is nothing of it to save or export.
  if (!hasFlexBytes(state)) return notify(err, noticeText(NoticeCode::NoFlexCodeGroup));
  listFolders(state, arguments.keepRepeated);
  if (const int status = eraseRequestedRows(state, arguments.deleteRows, err);
      status != kExitSuccess) {
    return status;
  }
  if (const NoticeCode notice = checkSaveable(state); notice != NoticeCode::None) {
    return notify(err, noticeText(notice));
  }
  // Nothing is written on any failure, so a slot that no longer matches its bytes stops an
  // export before it writes.
  SaveOptions options;
  options.staleSlots = StaleSlots::Refuse;
  if (arguments.saveType == SaveType::Shx || arguments.saveType == SaveType::Sbf) {
    // The header's date falls back to the clock; say why the fixed one was not taken.
    SaveDate date = saveDate();
    if (date.ignoredBecause) {
      err << "tavufe: SOURCE_DATE_EPOCH ignored: " << visibleText(*date.ignoredBecause) << '\n';
    }
    options.dateText = std::move(date.text);
  }
  Progress progress;
  FileProblem why;
  const StatusCode saved =
      saveToFile(state, arguments.output, arguments.saveType, options, progress, &why);
  if (saved != StatusCode::None) return warn(err, saved, why, arguments.output);
  return kExitSuccess;
}

// Checks the file's bytes as they are; nothing is laid into an image.
int runVerify(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const auto type = arguments.inputType ? arguments.inputType : inputTypeForPath(arguments.file);
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

}  // namespace

int runCommand(EditorState& state, const Arguments& arguments, std::ostream& out,
               std::ostream& err) {
  if (arguments.command == Command::Verify) return runVerify(arguments, out, err);
  std::vector<std::string> report;
  HeaderTexts header;
  if (const int status = openFile(state, arguments, report, header, err); status != kExitSuccess) {
    return status;
  }
  switch (arguments.command) {
    case Command::Info: return runInfo(state, arguments, report, header, out);
    case Command::Folders: return runFolders(state, arguments, out);
    case Command::Save: return runSave(state, arguments, err);
    case Command::Verify:
    case Command::Help:
    case Command::Version: break;
  }
  return kExitUsage;
}

}  // namespace tavufe::cli
