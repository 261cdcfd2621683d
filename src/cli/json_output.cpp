#include "cli/json_output.h"

#include <nlohmann/json.hpp>

#include "cli/visible_text.h"
#include "inspect/code_group_table.h"
#include "model/hex.h"

namespace tavufe::cli {

namespace {

using json = Json;

std::string text(std::string_view bytes) { return utf8Text(bytes); }

std::string headerBytesHex(const HeaderBytes& bytes) {
  std::string out;
  for (const std::uint8_t b : bytes) out += hex2(b);
  return out;
}

const char* diffKindName(DiffKind kind) {
  switch (kind) {
    case DiffKind::HeaderText: return "header-text";
    case DiffKind::OnlyInOld: return "only-in-old";
    case DiffKind::OnlyInNew: return "only-in-new";
    case DiffKind::GroupRange: return "range";
    case DiffKind::Bytes: return "bytes";
    case DiffKind::Folder: return "folder";
    case DiffKind::RamdldEntry: return "ramdld-entry";
    case DiffKind::SumMismatch: return "checksum-note";
  }
  return "";
}

json rangeJson(const FlashRange& range) {
  if (!range.present) return nullptr;
  return {{"first", range.first}, {"last", range.last}};
}

json diffItemJson(const DiffItem& item) {
  json j = {{"kind", diffKindName(item.kind)}};
  if (item.cgNumber >= 0) {
    j["cgNumber"] = item.cgNumber;
    j["codeGroup"] = text(item.group);
  }
  switch (item.kind) {
    case DiffKind::HeaderText:
      j["field"] = item.field;
      j["old"] = text(item.oldText);
      j["new"] = text(item.newText);
      break;
    case DiffKind::OnlyInOld: j["old"] = rangeJson(item.oldRange); break;
    case DiffKind::OnlyInNew: j["new"] = rangeJson(item.newRange); break;
    case DiffKind::GroupRange:
    case DiffKind::RamdldEntry:
      if (item.kind == DiffKind::RamdldEntry) j["entry"] = item.entry;
      j["old"] = rangeJson(item.oldRange);
      j["new"] = rangeJson(item.newRange);
      break;
    case DiffKind::Bytes:
      j["first"] = item.first;
      j["last"] = item.last;
      j["count"] = item.count;
      break;
    case DiffKind::Folder:
      j["folder"] = text(item.folder);
      j["address"] = item.record;
      j["count"] = item.count;
      j["erased"] = item.erased;
      j["eraseSize"] = item.eraseSize;
      break;
    case DiffKind::SumMismatch:
      j["file"] = item.file == DiffFile::Old ? "old" : "new";
      j["what"] = text(item.field);
      j["stated"] = item.oldText;
      j["found"] = item.newText;
      break;
  }
  j["text"] = text(diffItemText(item));
  return j;
}

}  // namespace

std::string utf8Text(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    if (const std::size_t n = decodeUtf8(bytes, i).length; n > 0) {
      out.append(bytes.substr(i, n));
      i += n;
      continue;
    }
    const auto c = static_cast<unsigned char>(bytes[i++]);
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  }
  return out;
}

std::string inertJson(std::string_view document) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(document.size());
  for (std::size_t i = 0; i < document.size();) {
    const Utf8Char c = decodeUtf8(document, i);
    const std::size_t length = std::max<std::size_t>(c.length, 1);
    // Outside strings a document holds ASCII alone: whatever matches here is string content.
    if (c.length > 0 && (c.codePoint == 0x7F || (c.codePoint >= 0x80 && c.codePoint <= 0x9F) ||
                         isHiddenOrLayoutControl(c.codePoint))) {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c.codePoint >> shift) & 0x0F];
    } else {
      out.append(document.substr(i, length));
    }
    i += length;
  }
  return out;
}

void printJson(std::ostream& out, const Json& document) {
  // Every string has been made valid UTF-8 already; the handler is only a backstop.
  out << inertJson(document.dump(2, ' ', false, json::error_handler_t::replace)) << '\n';
}

Json infoJson(const std::string& file, const EditorState& state,
              const std::vector<std::string>& reportLines, const HeaderTexts& h,
              const CheckResult& check) {
  json report = json::array();
  for (const std::string& line : reportLines) report.push_back(text(line));
  json header = {{"magic", text(h.magic)},         {"version1", text(h.version1)},
                 {"version2", text(h.version2)},   {"date", text(h.date)},
                 {"generator", text(h.generator)}, {"version3", text(h.version3)},
                 {"habState", h.habState},         {"entryCount", h.entryCount}};
  json groups = json::array();
  const int last = std::min<std::int32_t>(state.lastSlot, kLastLoadableSlot);
  for (int i = 0; i <= last; ++i) {
    const CodeGroupSlot& slot = state.slots[std::size_t(i)];
    groups.push_back({{"cgNumber", slot.cgNumber},
                      {"label", text(slot.label)},
                      {"name", text(slot.description)},
                      {"startAddress", slot.startAddress},
                      {"endAddress", slot.endAddress},
                      {"headerBytes", headerBytesHex(slot.headerBytes)},
                      {"size", slot.length},
                      {"bufferChecksum", slot.bufferChecksum},
                      {"headerChecksum", slot.headerChecksum},
                      {"code", slot.headerCode}});
  }
  return {{"file", text(file)}, {"problems", check.problems}, {"notes", check.notes},
          {"report", report},   {"header", header},           {"codeGroups", groups}};
}

Json foldersJson(const std::string& file, const EditorState& state, const CheckResult& check) {
  json rows = json::array();
  for (int k = 0; k < kMaxFolders; ++k) {
    const FolderEntry& entry = state.folders[std::size_t(k)];
    if (entry.recordOffset == 0) break;
    rows.push_back({{"row", k + 1},
                    {"name", text(entry.folderName)},
                    {"location", std::uint32_t(entry.recordOffset - state.bounds.flexStart)},
                    {"imageOffset", entry.recordOffset}});
  }
  return {{"file", text(file)},
          {"problems", check.problems},
          {"notes", check.notes},
          {"flexStart", state.bounds.flexStart},
          {"folders", rows}};
}

Json verifyJson(const std::string& file, SuperfileEncoding type, const CheckResult& check) {
  json findings = json::array();
  for (const Finding& f : check.findings) {
    json item = {{"kind", findingKindName(f.kind)}};
    item[f.place == FindingPlace::Line ? "line" : "offset"] = f.at;
    item["what"] = text(f.what);
    item["expected"] = text(f.expected);
    item["found"] = text(f.found);
    item["severity"] = f.severity == FindingSeverity::Note ? "note" : "problem";
    findings.push_back(std::move(item));
  }
  return {{"file", text(file)},   {"type", type == SuperfileEncoding::Shx ? "shx" : "sbf"},
          {"ok", check.ok()},     {"problems", check.problems},
          {"notes", check.notes}, {"notListed", check.notKept()},
          {"findings", findings}};
}

Json diffJson(const std::string& oldFile, const std::string& newFile, const SuperfileDiff& diff,
              bool flexOnly) {
  json items = json::array();
  for (const DiffItem& item : diff.items) items.push_back(diffItemJson(item));
  const std::uint64_t differences = diff.differences();
  return {{"old", text(oldFile)},
          {"new", text(newFile)},
          {"flexOnly", flexOnly},
          {"same", differences == 0},
          {"differences", differences},
          {"notes", diff.items.size() - differences},
          {"items", items}};
}

}  // namespace tavufe::cli
