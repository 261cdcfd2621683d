#include "editor/diff_flow.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "editor/flow_steps.h"
#include "editor/save_flow.h"
#include "inspect/folder_scan.h"
#include "model/header_layout.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"
#include "superfile/header_block.h"

namespace tavufe {

namespace {

// Each side needs an image of its own; it is released with the comparison.
std::unique_ptr<EditorState> freshState() {
  auto state = std::make_unique<EditorState>();
  if (!state->image.allocate()) return nullptr;
  initialiseEditor(*state);
  return state;
}

// The images of both sides; false, with the outcome saying so, when there is no memory for them.
bool freshStates(std::unique_ptr<EditorState>& oldState, std::unique_ptr<EditorState>& newState,
                 DiffOutcome& outcome) {
  oldState = freshState();
  newState = freshState();
  if (oldState && newState) return true;
  outcome.status = StatusCode::BufferError;
  return false;
}

OpenOptions keepEverything(std::optional<SuperfileEncoding> encoding) {
  OpenOptions options;
  options.encoding = encoding;
  // A comparison shows the files as they are: no folder record is erased on the way.
  options.repeatedFolders = RepeatedFolders::Keep;
  return options;
}

std::string groupName(const EditorState& state, std::int32_t cgNumber) {
  const std::string& name = state.catalogue[std::size_t(cgNumber)].name;
  return name.empty() ? catalogueLabel(cgNumber) : name;
}

// The listed group whose header entry holds the sum at `offset` in the header block.
const ListedGroup* groupOfSumAt(const std::vector<ListedGroup>& listed, std::uint64_t offset) {
  for (const ListedGroup& l : listed) {
    const int entries = l.cgNumber == kCgFirmware ? 2 : 1;
    for (int e = 0; e < entries; ++e) {
      if (cgEntryOffset(l.entry + e) + kEntryChecksumField == offset) return &l;
    }
  }
  return nullptr;
}

DiffSide sideOf(const EditorState& state, const OpenedSuperfile& opened) {
  DiffSide side;
  side.image = &state.image;
  for (const ListedGroup& l : opened.listed) {
    side.groups.push_back(
        {l.cgNumber, groupName(state, l.cgNumber), l.start, l.end, l.entry == kEntryRamdld});
  }
  const HeaderTexts& h = opened.header;
  side.header = {{"magic", h.magic}, {"version 1", h.version1},  {"version 2", h.version2},
                 {"date", h.date},   {"generator", h.generator}, {"version 3", h.version3}};
  side.folders.assign(state.folders.begin(), state.folders.end());
  for (const Finding& f : opened.check.findings) {
    if (f.kind != FindingKind::CodeGroupChecksum) continue;
    if (const ListedGroup* l = groupOfSumAt(opened.listed, f.at)) {
      // The check names a group by its label ("CG2 checksum"); the comparison by its name.
      const std::size_t space = f.what.find(' ');
      const std::string what = space == std::string::npos
                                   ? f.what
                                   : groupName(state, l->cgNumber) + f.what.substr(space);
      side.badSums.push_back({l->cgNumber, what, f.expected, f.found});
    }
  }
  return side;
}

// Opens one side; false, with the outcome saying why, when it cannot be read.
bool openSide(EditorState& state, const OpenDiffSide& open,
              std::optional<SuperfileEncoding> encoding, DiffFile file, OpenedSuperfile& opened,
              DiffOutcome& outcome) {
  Progress progress;
  opened = open(state, keepEverything(encoding), progress);
  if (opened.loaded()) return true;
  outcome.failed = file;
  outcome.failedOpen = std::move(opened);
  return false;
}

}  // namespace

namespace {

// The superfile's side cut down to what an export holds: the Flex, with no header.
DiffSide flexOnly(DiffSide side) {
  std::erase_if(side.groups, [](const DiffGroup& g) { return g.cgNumber != kCgFlex; });
  std::erase_if(side.badSums, [](const DiffSumMismatch& m) { return m.cgNumber != kCgFlex; });
  side.header.clear();
  return side;
}

DiffSide exportSide(const EditorState& state) {
  const CodeGroupSlot& flex = state.slots[kFlexSlot];
  DiffSide side;
  side.image = &state.image;
  side.groups.push_back({kCgFlex, flex.description, flex.startAddress, flex.endAddress, false});
  side.folders.assign(state.folders.begin(), state.folders.end());
  return side;
}

}  // namespace

DiffOutcome compareSides(const OpenDiffSide& openOld, const OpenDiffSide& openNew,
                         std::optional<SuperfileEncoding> encoding) {
  DiffOutcome outcome;
  std::unique_ptr<EditorState> oldState;
  std::unique_ptr<EditorState> newState;
  if (!freshStates(oldState, newState, outcome)) return outcome;
  OpenedSuperfile oldOpen;
  OpenedSuperfile newOpen;
  if (!openSide(*oldState, openOld, encoding, DiffFile::Old, oldOpen, outcome) ||
      !openSide(*newState, openNew, encoding, DiffFile::New, newOpen, outcome)) {
    return outcome;
  }
  outcome.diff = compareSuperfiles(sideOf(*oldState, oldOpen), sideOf(*newState, newOpen));
  return outcome;
}

DiffOutcome reviewSave(const EditorState& document, const OpenDiffSide& openOpened,
                       SuperfileEncoding encoding, const std::string& dateText) {
  // The save the document would get, written into memory, against the file it was opened from.
  SaveOptions options;
  options.dateText = dateText;
  MemorySink saved;
  Progress progress;
  const SaveType type = encoding == SuperfileEncoding::Shx ? SaveType::Shx : SaveType::Sbf;
  if (const StatusCode status = saveToBytes(document, type, options, progress, saved);
      status != StatusCode::None) {
    DiffOutcome outcome;
    outcome.status = status;
    return outcome;
  }
  return compareSides(openOpened, openBytes(saved.bytes), encoding);
}

bool isExportPath(const std::string& path) {
  const auto type = saveTypeForPath(path);
  return type == SaveType::Smg || type == SaveType::Bin;
}

bool layExport(EditorState& state, std::span<const std::uint8_t> bytes, std::uint32_t address,
               OpenedSuperfile& opened) {
  std::span<std::uint8_t> laid;
  if (bytes.size() <= kFlashEnd - address) {
    laid = state.image.write(imageOffsetFor(false, address), bytes.size());
  }
  if (laid.size() != bytes.size()) {
    opened.status = StatusCode::BufferAddressOverflow;
    return false;
  }
  std::copy(bytes.begin(), bytes.end(), laid.begin());
  CodeGroupSlot& flex = state.slots[kFlexSlot];
  flex.cgNumber = kCgFlex;
  flex.description = groupName(state, kCgFlex);
  flex.startAddress = address;
  flex.endAddress = address + std::uint32_t(bytes.size()) - 1;
  flex.length = std::uint32_t(bytes.size());
  state.lastSlot = std::max(state.lastSlot, kFlexSlot);
  computeRegionBounds(state);
  scanFlexFolders(state);
  return true;
}

DiffOutcome compareWithExports(DiffOutcome outcome, const OpenDiffSide& openSuperfile,
                               const LayDiffExport& layOld, const LayDiffExport& layNew,
                               std::optional<SuperfileEncoding> encoding) {
  std::unique_ptr<EditorState> oldState;
  std::unique_ptr<EditorState> newState;
  if (!freshStates(oldState, newState, outcome)) return outcome;
  // The superfile, if either side is one, is read first: its Flex places the export.
  std::uint32_t address = oldState->catalogue[kCgFlex].startAddress;
  OpenedSuperfile superfile;
  const bool oldIsSuperfile = !outcome.oldExport;
  if (oldIsSuperfile || !outcome.newExport) {
    EditorState& state = oldIsSuperfile ? *oldState : *newState;
    const DiffFile file = oldIsSuperfile ? DiffFile::Old : DiffFile::New;
    if (!openSide(state, openSuperfile, encoding, file, superfile, outcome)) return outcome;
    if (!hasFlexBytes(state)) {
      outcome.failed = file;
      outcome.failedOpen.notice = NoticeCode::NoFlexCodeGroup;
      return outcome;
    }
    address = state.slots[kFlexSlot].startAddress;
  }
  for (const DiffFile file : {DiffFile::Old, DiffFile::New}) {
    const bool isExport = file == DiffFile::Old ? outcome.oldExport : outcome.newExport;
    if (!isExport) continue;
    EditorState& state = file == DiffFile::Old ? *oldState : *newState;
    OpenedSuperfile opened;
    if (!(file == DiffFile::Old ? layOld : layNew)(state, address, opened)) {
      outcome.failed = file;
      outcome.failedOpen = std::move(opened);
      return outcome;
    }
  }
  const DiffSide oldSide =
      outcome.oldExport ? exportSide(*oldState) : flexOnly(sideOf(*oldState, superfile));
  const DiffSide newSide =
      outcome.newExport ? exportSide(*newState) : flexOnly(sideOf(*newState, superfile));
  outcome.diff = compareSuperfiles(oldSide, newSide);
  return outcome;
}

OpenDiffSide openBytes(std::span<const std::uint8_t> bytes) {
  return [bytes](EditorState& state, const OpenOptions& options, Progress& progress) {
    return openForEditing(state, bytes, options, progress);
  };
}

DiffOutcome reviewSave(const EditorState& document, std::span<const std::uint8_t> openedBytes,
                       SuperfileEncoding encoding, const std::string& dateText) {
  return reviewSave(document, openBytes(openedBytes), encoding, dateText);
}

}  // namespace tavufe
