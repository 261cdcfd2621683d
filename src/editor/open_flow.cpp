#include "editor/open_flow.h"

#include <algorithm>
#include <cctype>

#include "editor/flow_steps.h"
#include "inspect/report.h"
#include "superfile/read_and_check.h"

namespace tavufe {

// The start of every open: empties the undo stack, erases the image and resets the slots.
bool startOpen(EditorState& state, Progress& progress, OpenedSuperfile& result) {
  state.undo.undoCount = 0;
  progress.setMaximum(kProgressSteps);
  progress.setPosition(1);
  if (!state.image.exists()) {
    result.status = StatusCode::BufferError;
    return false;
  }
  state.image.fill();
  progress.step();
  resetSlots(state);
  return true;
}

void readBytes(EditorState& state, std::span<const std::uint8_t> bytes, const OpenOptions& options,
               Progress& progress, OpenedSuperfile& result) {
  completeRead(
      state, bytes, options,
      readAndCheck(state, bytes, result.encoding, progress, options.keptFindings, options.rescue),
      result);
}

void completeRead(EditorState& state, std::span<const std::uint8_t> bytes,
                  const OpenOptions& options, ReadAndCheck read, OpenedSuperfile& result) {
  result.status = read.read.status;
  result.cause = std::move(read.cause);
  result.check = std::move(read.check);
  result.rescued = options.rescue;
  if (read.read.complete) {
    result.report = buildReport(state, bytes, options.numbers);
    result.header = readHeaderTexts(bytes);
    if (bytes.size() >= kHeaderSize) result.listed = listedGroups(bytes.first(kHeaderSize));
  }
  if (!result.loaded()) return;
  // What else it held is noted first, so that a save over the file can tell what it would drop.
  result.heldGroups = heldCodeGroups(state);
  for (const GroupDamage& d : read.read.damage) {
    const CodeGroupSlot& slot = state.slots[std::size_t(d.slot)];
    result.damaged.push_back({slot.description.empty() ? slot.label : slot.description, d,
                              d.cgNumber == kCgRamdld || d.cgNumber == kCgFlex});
  }
  reduceToRamdldAndFlex(state);
  result.saveAllowed = hasFlexInSlot1(state) && !savesDamagedGroup(state);
  result.codeGroups = codeGroupGridRows(state, options.numbers);
  if (options.repeatedFolders == RepeatedFolders::Erase) {
    eraseRepeatedFolders(state);
  } else {
    scanFlexFolders(state);
  }
  result.folders = folderGridRows(state);
}

// What a failed read leaves is dropped.
void finishOpen(EditorState& state, const OpenedSuperfile& result) {
  if (result.loaded()) return;
  resetSlots(state);
  state.folders = {};
}

std::optional<SuperfileEncoding> encodingForPath(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (extension == ".shx") return SuperfileEncoding::Shx;
  if (extension == ".sbf") return SuperfileEncoding::Sbf;
  return std::nullopt;
}

OpenedSuperfile openForEditing(EditorState& state, std::span<const std::uint8_t> bytes,
                               const OpenOptions& options, Progress& progress) {
  OpenedSuperfile result;
  if (!options.encoding) {
    result.notice = NoticeCode::FileTypeNotSupported;
    return result;
  }
  result.encoding = *options.encoding;
  if (!startOpen(state, progress, result)) return result;
  readBytes(state, bytes, options, progress, result);
  finishOpen(state, result);
  return result;
}

struct StreamedOpen::Read {
  Read(EditorState& state, std::span<const std::uint8_t> file, Progress& progress,
       std::size_t maxKept, bool rescue)
      : sinks(state, file, SuperfileEncoding::Shx, progress, maxKept, rescue),
        tokenizer(file, sinks.shx()) {}
  ReadAndCheckSinks sinks;
  ShxTokenizer tokenizer;
};

StreamedOpen::StreamedOpen(EditorState& state, std::span<const std::uint8_t> file,
                           const OpenOptions& options, Progress& progress)
    : state_(state), file_(file), options_(options), progress_(progress) {}

StreamedOpen::~StreamedOpen() = default;

void StreamedOpen::received(std::size_t bytes) {
  if (!read_ && !declined_) {
    // Only SHX text is read as it comes, once its header block has.
    if (options_.encoding != SuperfileEncoding::Shx ||
        bytes < std::min(file_.size(), kHeaderSize)) {
      declined_ = options_.encoding != SuperfileEncoding::Shx;
      return;
    }
    result_.encoding = SuperfileEncoding::Shx;
    if (!startOpen(state_, progress_, result_)) {
      declined_ = true;
      return;
    }
    read_ =
        std::make_unique<Read>(state_, file_, progress_, options_.keptFindings, options_.rescue);
  }
  if (read_ && read_->sinks.walks()) read_->tokenizer.received(bytes);
}

OpenedSuperfile StreamedOpen::finish() {
  if (!read_) {
    if (!declined_) received(file_.size());
    if (!read_) return openForEditing(state_, file_, options_, progress_);
  }
  if (read_->sinks.walks()) read_->tokenizer.finish();
  completeRead(state_, file_, options_, read_->sinks.finish(), result_);
  read_.reset();
  finishOpen(state_, result_);
  return std::move(result_);
}

bool hasFlexInSlot1(const EditorState& state) { return state.slots[1].cgNumber == kCgFlex; }

}  // namespace tavufe
