#include "editor/diff_flow.h"

#include <memory>
#include <vector>

#include "editor/flow_steps.h"
#include "editor/save_flow.h"
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

DiffOutcome compareSides(const OpenDiffSide& openOld, const OpenDiffSide& openNew,
                         std::optional<SuperfileEncoding> encoding) {
  DiffOutcome outcome;
  const auto oldState = freshState();
  const auto newState = freshState();
  if (!oldState || !newState) {
    outcome.status = StatusCode::BufferError;
    return outcome;
  }
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
