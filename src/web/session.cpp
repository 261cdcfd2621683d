// The page's session: the document, its deletes and the open of a file read in pieces.
//
// Its start touches the memory a first open uses, while the user picks a file: the browser
// hands the module fresh memory page by page as it is first touched, which cost a full-size
// first open a fifth of its time. What holds from then on: the image is allocated and erased
// once and kept for the session's life, and the room a file is read into is given back only
// for a larger one, so every open of a file of up to kIncomingRoom bytes finds its memory
// touched.
#include "web/session.h"

#include <algorithm>
#include <cstdlib>

#include "editor/diff_flow.h"
#include "editor/verify_flow.h"
#include "inspect/folder_scan.h"
#include "model/hex.h"
#include "model/slots.h"
#include "superfile/header_block.h"
#include "superfile/superfile_size.h"

namespace tavufe::web {

namespace {

// Room made ready for a file at the start: a full-size superfile is some 31 MB as SHX text.
constexpr std::size_t kIncomingRoom = std::size_t(32) << 20;

std::uint8_t* room(std::size_t size) {
  return static_cast<std::uint8_t*>(std::malloc(std::max<std::size_t>(size, 1)));
}

}  // namespace

Session::Session() {
  state_->image.allocate();
  initialiseEditor(*state_);
  state_->image.fill();
  (void)state_->image.all();
  incoming_.reset(room(kIncomingRoom));
  if (incoming_) {
    std::fill_n(incoming_.get(), kIncomingRoom, std::uint8_t(0));
    incomingCapacity_ = kIncomingRoom;
  }
}

OpenedSuperfile Session::open(std::span<const std::uint8_t> bytes, const std::string& name,
                              bool rescue) {
  // Through the room a picked file is read into, so that the bytes stay for a review.
  if (const Begun begun = beginOpen(bytes.size(), name, rescue); !begun.ok()) {
    // Refused before any byte was read.
    OpenedSuperfile refused;
    refused.notice = begun.notice;
    refused.status = begun.status;
    refused.problem = begun.problem;
    return refused;
  }
  std::copy(bytes.begin(), bytes.end(), incoming_.get());
  received(bytes.size());
  return finishOpen();
}

NoticeCode Session::typeNotice(const std::string& name) {
  return encodingForPath(name) ? NoticeCode::None : NoticeCode::FileTypeNotSupported;
}

Session::Begun Session::beginOpen(std::size_t size, const std::string& name, bool rescue) {
  abandonOpen();
  if (const NoticeCode notice = typeNotice(name); notice != NoticeCode::None) return {notice};
  closeDocument();
  OpenOptions options;
  options.encoding = encodingForPath(name);
  options.rescue = rescue;
  if (size == 0 || size > kMaxSuperfileSize) {
    using Kind = FileProblem::Kind;
    return {
        NoticeCode::None, StatusCode::FileNotOpened, {size == 0 ? Kind::Empty : Kind::TooLarge}};
  }
  if (size > incomingCapacity_) {
    // The room goes first, so that the larger one can take its place. Left uninitialised:
    // every byte is set from the file before it is read.
    incoming_.reset();
    incomingCapacity_ = 0;
    incoming_.reset(room(size));
    if (!incoming_) return {NoticeCode::None, StatusCode::BufferError};
    incomingCapacity_ = size;
  }
  name_ = name;
  incomingSize_ = size;
  streamed_ = std::make_unique<StreamedOpen>(*state_, incoming(), options, streamedProgress_);
  return {};
}

void Session::received(std::size_t bytes) {
  if (streamed_) streamed_->received(std::min(bytes, incomingSize_));
}

OpenedSuperfile Session::finishOpen() {
  if (!streamed_) return {};
  OpenedSuperfile opened = streamed_->finish();
  adopt(opened, name_);
  streamed_.reset();
  openedSize_ = opened.loaded() ? incomingSize_ : 0;
  incomingSize_ = 0;
  return opened;
}

void Session::abandonOpen() {
  if (!streamed_) return;
  streamed_.reset();
  incomingSize_ = 0;
  closeDocument();
}

std::string Session::failureCause(const OpenedSuperfile& opened) const {
  if (opened.problem) return fileProblemText(opened.problem);
  // The check's finding where the read stopped, or else its first problem.
  if (!opened.loaded() && opened.cause) return findingLine(name_, *opened.cause);
  return {};
}

bool Session::rescueMayHelp(const OpenedSuperfile& opened) {
  if (opened.loaded() || opened.rescued || opened.problem || !opened.cause) return false;
  return opened.cause->place == FindingPlace::Line || opened.cause->at >= kHeaderSize;
}

std::string Session::damagePlace(const GroupDamage& damage) const {
  return damage.placed ? tavufe::damagePlace(name_, damage) : std::string();
}

void Session::adopt(const OpenedSuperfile& opened, const std::string& name) {
  forgetDocument();
  loaded_ = opened.loaded();
  rescued_ = loaded_ && opened.rescued;
  name_ = name;
  check_ = opened.check;
}

void Session::closeDocument() {
  resetSlots(*state_);
  state_->folders = {};
  forgetDocument();
  openedSize_ = 0;
  name_.clear();
}

void Session::forgetDocument() {
  loaded_ = false;
  rescued_ = false;
  check_ = {};
  done_.clear();
  undone_.clear();
  cleanDepth_ = 0;
  lastSave_.bytes.clear();
}

std::vector<FolderGridRow> Session::folders() const { return folderGridRows(*state_); }

std::vector<std::string> Session::preview(int index) const {
  const std::uint32_t offset = folderRecordOffset(*state_, index);
  if (offset == 0) return {};
  return folderRecordDump(*state_, offset);
}

bool Session::canDelete(int index) const { return loaded_ && canDeleteFolder(*state_, index); }

bool Session::deleteFolder(int index) {
  if (!canDelete(index)) return false;
  FolderRecordBytes saved = captureFolderRecord(*state_, folderRecordOffset(*state_, index));
  eraseFolderRecord(*state_, saved.recordOffset);
  scanFlexFolders(*state_);
  // A redo past the clean point can no longer reach it.
  if (cleanDepth_ && *cleanDepth_ > done_.size()) cleanDepth_.reset();
  done_.push_back(std::move(saved));
  undone_.clear();
  return true;
}

bool Session::undo() {
  if (done_.empty() || streamed_) return false;
  restoreFolderRecord(*state_, done_.back());
  undone_.push_back(std::move(done_.back()));
  done_.pop_back();
  return true;
}

bool Session::redo() {
  if (undone_.empty() || streamed_) return false;
  eraseFolderRecord(*state_, undone_.back().recordOffset);
  scanFlexFolders(*state_);
  done_.push_back(std::move(undone_.back()));
  undone_.pop_back();
  return true;
}

NoticeCode Session::saveNotice() const {
  if (streamed_) return NoticeCode::NoFilesSelectedToSave;
  // After a failed open the slots are empty; say so rather than what two empty slots look like.
  if (!loaded_) return NoticeCode::NoFilesSelectedToSave;
  return checkSaveable(*state_);
}

std::string Session::damagedSaveQuestion() const {
  if (rescued_) return {};
  return tavufe::damagedSaveQuestion(name_, check_);
}

std::vector<std::string> Session::findingLines() const {
  if (!loaded_ && check_.findings.empty()) return {};
  return verifyLines(name_, check_);
}

Session::Review Session::review(const std::string& dateText) const {
  Review review;
  review.notice = saveNotice();
  const std::optional<SuperfileEncoding> encoding = encodingForPath(name_);
  if (review.notice == NoticeCode::None && (!encoding || openedSize_ == 0)) {
    review.notice = NoticeCode::NoFilesSelectedToSave;
  }
  if (review.notice != NoticeCode::None) return review;
  const DiffOutcome outcome =
      reviewSave(*state_, {incoming_.get(), openedSize_}, *encoding, dateText);
  // The file opened before, so only a save that cannot be made, or no memory, stops it.
  review.status = outcome.failed ? outcome.failedOpen.status : outcome.status;
  if (outcome.compared()) review.lines = diffLines(outcome.diff);
  return review;
}

StatusCode Session::save(SaveType type, const std::string& dateText) {
  lastSave_.bytes.clear();
  // The image is still being filled from a file.
  if (streamed_) return StatusCode::BufferError;
  SaveOptions options;
  options.dateText = dateText;
  options.staleSlots = StaleSlots::ExportAndWarn;
  Progress progress;
  const StatusCode status = saveToBytes(*state_, type, options, progress, lastSave_);
  if (status != StatusCode::None) return status;
  // Only a superfile holds the whole document, and it is the document as it now stands: its
  // checksums are fresh. After an export of the Flex alone the deletes are still to be saved.
  if (isSuperfile(type)) {
    cleanDepth_ = done_.size();
    check_ = {};
  }
  return status;
}

std::string Session::proposedName(SaveType type) const {
  const std::size_t dot = name_.rfind('.');
  const std::string base = dot == std::string::npos ? name_ : name_.substr(0, dot);
  return base + "-edited" + extensionFor(type);
}

}  // namespace tavufe::web
