// The page's view of the editor: plain JavaScript values in, plain values and texts out.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <ctime>
#include <limits>
#include <memory>

#include "inspect/code_group_table.h"
#include "inspect/folder_scan.h"
#include "inspect/report.h"
#include "model/codes.h"
#include "model/version.h"
#include "web/session.h"

namespace tavufe::web {

namespace {

using emscripten::val;

template <typename Rows>
val rowsToArray(const Rows& rows) {
  val array = val::array();
  for (const auto& row : rows) {
    val cells = val::array();
    for (const auto& cell : row) cells.call<void>("push", std::string(cell));
    array.call<void>("push", cells);
  }
  return array;
}

val linesToArray(const std::vector<std::string>& lines) {
  val array = val::array();
  for (const std::string& line : lines) array.call<void>("push", line);
  return array;
}

std::optional<SaveType> saveTypeNamed(const std::string& name) {
  for (SaveType type : {SaveType::Shx, SaveType::Sbf, SaveType::Smg, SaveType::Bin}) {
    if (name == extensionFor(type) + 1) return type;
  }
  return std::nullopt;
}

// The JavaScript side of a Session: the bytes come in as a Uint8Array, and a save's bytes go
// out as a view that the page copies into a download at once.
class PageSession {
 public:
  val open(const val& bytes, const std::string& name, bool rescue) {
    // Left uninitialised, as the copy fills every byte: a vector would first clear the whole
    // file's size in vain, a few milliseconds on a full-size file.
    const auto size = bytes["length"].as<std::size_t>();
    const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[size]);
    val(emscripten::typed_memory_view(size, data.get())).call<void>("set", bytes);
    return opened(session_.open({data.get(), size}, name, rescue));
  }

  // An open of a file read in pieces: each piece is copied into incoming() (a fresh view every
  // time, as the module's memory may have grown since the last), then received() is told how
  // many bytes have come in all. beginOpen gives the texts of a notice or a status that refuse
  // the file, both "" to go on, and of the reason beside a status; `rescue` asks for a read
  // past damaged lines and records.
  val beginOpen(double size, const std::string& name, bool rescue) {
    // A size past what the module can address is refused as larger than any superfile.
    constexpr auto kMost = std::numeric_limits<std::size_t>::max();
    const Session::Begun begun =
        session_.beginOpen(size < double(kMost) ? std::size_t(size) : kMost, name, rescue);
    val result = refusal(begun.notice, begun.status);
    result.set("reason", fileProblemText(begun.problem));
    return result;
  }
  // The notice that refuses a file by its name, or "": asked before anything else about it.
  std::string typeNotice(const std::string& name) const {
    return noticeText(Session::typeNotice(name));
  }
  val incoming() {
    const std::span<std::uint8_t> space = session_.incoming();
    return val(emscripten::typed_memory_view(space.size(), space.data()));
  }
  void received(double bytes) { session_.received(std::size_t(bytes)); }
  val finishOpen() { return opened(session_.finishOpen()); }
  // The file could not be read to its end; the text to show.
  std::string abandonOpen() {
    session_.abandonOpen();
    return statusText(StatusCode::FileNotOpened);
  }

  val folders() const { return rowsToArray(session_.folders()); }
  val preview(int index) const { return linesToArray(session_.preview(index)); }
  val findings() const { return linesToArray(session_.findingLines()); }
  bool canDelete(int index) const { return session_.canDelete(index); }
  bool deleteFolder(int index) { return session_.deleteFolder(index); }
  bool undo() { return session_.undo(); }
  bool redo() { return session_.redo(); }
  bool canUndo() const { return session_.canUndo(); }
  bool canRedo() const { return session_.canRedo(); }
  bool modified() const { return session_.modified(); }
  std::string saveNotice() const { return noticeText(session_.saveNotice()); }
  std::string damagedSaveQuestion() const { return session_.damagedSaveQuestion(); }

  // `type` is "shx", "sbf", "smg" or "bin"; `sourceDateEpoch` fixes the header's date as
  // SOURCE_DATE_EPOCH does for the command-line tool, when `hasDate`.
  val save(const std::string& type, bool hasDate, const std::string& sourceDateEpoch) {
    val result = val::object();
    const std::optional<SaveType> chosen = saveTypeNamed(type);
    if (!chosen) return result;
    const SaveDate date = dateOfSave(hasDate, sourceDateEpoch);
    const StatusCode status = session_.save(*chosen, date.text);
    const std::vector<std::uint8_t>& bytes = session_.saved();
    result.set("status", std::string(statusText(status)));
    result.set("dateIgnoredBecause", date.ignoredBecause.value_or(""));
    result.set("name", session_.proposedName(*chosen));
    result.set("bytes", val(emscripten::typed_memory_view(bytes.size(), bytes.data())));
    return result;
  }

  // Review Changes: the lines, or the notice's or status's text that stands in their place;
  // the date as for a save.
  val review(bool hasDate, const std::string& sourceDateEpoch) const {
    const Session::Review review = session_.review(dateOfSave(hasDate, sourceDateEpoch).text);
    val result = refusal(review.notice, review.status);
    result.set("lines", linesToArray(review.lines));
    return result;
  }

  std::string proposedName(const std::string& type) const {
    const std::optional<SaveType> chosen = saveTypeNamed(type);
    return chosen ? session_.proposedName(*chosen) : std::string();
  }

 private:
  static SaveDate dateOfSave(bool hasDate, const std::string& sourceDateEpoch) {
    return saveDate(hasDate ? sourceDateEpoch.c_str() : nullptr, std::time(nullptr));
  }

  // The texts of a notice and a status, "" for none, as every answer that may refuse carries.
  static val refusal(NoticeCode notice, StatusCode status) {
    val result = val::object();
    result.set("notice", std::string(noticeText(notice)));
    result.set("status", std::string(statusText(status)));
    return result;
  }

  // The code groups a rescue found damaged, in slot order: the name, the lines or records of it
  // that could not be read, whether a save writes it, and where its first damage lies.
  val damagedGroups(const OpenedSuperfile& opened) const {
    val array = val::array();
    for (const DamagedCodeGroup& group : opened.damaged) {
      val item = val::object();
      item.set("name", group.name);
      item.set("lines", double(group.damage.lines));
      item.set("written", group.written);
      item.set("place", session_.damagePlace(group.damage));
      array.call<void>("push", item);
    }
    return array;
  }

  // `cause` says where and why an open that failed stopped, and `rescuable` whether a rescue
  // read may open it all the same.
  val opened(const OpenedSuperfile& opened) const {
    val result = refusal(opened.notice, opened.status);
    result.set("cause", session_.failureCause(opened));
    result.set("rescuable", Session::rescueMayHelp(opened));
    result.set("rescued", opened.loaded() && opened.rescued);
    result.set("records", opened.encoding == SuperfileEncoding::Sbf);
    result.set("damaged", damagedGroups(opened));
    result.set("loaded", opened.loaded());
    result.set("report", linesToArray(opened.report));
    result.set("codeGroups", rowsToArray(opened.codeGroups));
    result.set("problems", double(opened.check.problems));
    return result;
  }

  Session session_;
};

std::string programVersion() { return kProgramVersion; }

template <std::size_t N>
val titlesToArray(const std::array<const char*, N>& titles) {
  val array = val::array();
  for (const char* title : titles) array.call<void>("push", std::string(title));
  return array;
}

val folderTitles() { return titlesToArray(kFolderGridTitles); }
val codeGroupTitles() { return titlesToArray(kCodeGroupGridTitles); }
// What the page translates in the report: what each line begins with, and the module's own
// values on the lines that carry them.
val reportTexts() {
  val texts = val::object();
  texts.set("labels", titlesToArray(kReportLabels));
  texts.set("fileLine", kReportFileLine);
  texts.set("platformLine", kReportPlatformLine);
  texts.set("notFound", std::string(kReportNotFound));
  texts.set("unknown", std::string(kReportUnknownPlatform));
  texts.set("bytes", std::string(kReportBytes));
  return texts;
}

}  // namespace

EMSCRIPTEN_BINDINGS(tavufe) {
  emscripten::class_<PageSession>("Session")
      .constructor<>()
      .function("open", &PageSession::open)
      .function("beginOpen", &PageSession::beginOpen)
      .function("typeNotice", &PageSession::typeNotice)
      .function("incoming", &PageSession::incoming)
      .function("received", &PageSession::received)
      .function("finishOpen", &PageSession::finishOpen)
      .function("abandonOpen", &PageSession::abandonOpen)
      .function("folders", &PageSession::folders)
      .function("preview", &PageSession::preview)
      .function("findings", &PageSession::findings)
      .function("canDelete", &PageSession::canDelete)
      .function("deleteFolder", &PageSession::deleteFolder)
      .function("undo", &PageSession::undo)
      .function("redo", &PageSession::redo)
      .function("canUndo", &PageSession::canUndo)
      .function("canRedo", &PageSession::canRedo)
      .function("modified", &PageSession::modified)
      .function("saveNotice", &PageSession::saveNotice)
      .function("damagedSaveQuestion", &PageSession::damagedSaveQuestion)
      .function("save", &PageSession::save)
      .function("review", &PageSession::review)
      .function("proposedName", &PageSession::proposedName);
  emscripten::function("programVersion", &programVersion);
  emscripten::function("folderTitles", &folderTitles);
  emscripten::function("codeGroupTitles", &codeGroupTitles);
  emscripten::function("reportTexts", &reportTexts);
}

}  // namespace tavufe::web
