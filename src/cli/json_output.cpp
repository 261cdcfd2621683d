#include "cli/json_output.h"

#include <nlohmann/json.hpp>

#include "inspect/code_group_table.h"
#include "model/hex.h"

namespace tavufe::cli {

namespace {

// Keys stay in the order they are written.
using json = nlohmann::ordered_json;

// Length of the valid UTF-8 sequence at the start of `s`, or 0. Overlong forms, surrogates
// and code points past U+10FFFF are not valid.
std::size_t validSequence(std::string_view s) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  std::size_t n = 0;
  unsigned lowest = 0;
  unsigned value = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    lowest = 0x80;
    value = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    lowest = 0x800;
    value = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    lowest = 0x10000;
    value = c & 0x07;
  } else {
    return 0;
  }
  if (s.size() < n) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (b(k) & 0x3F);
  }
  if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return n;
}

std::string text(std::string_view bytes) { return utf8Text(bytes); }

std::string headerBytesHex(const HeaderBytes& bytes) {
  std::string out;
  for (const std::uint8_t b : bytes) out += hex2(b);
  return out;
}

void print(std::ostream& out, const json& document) {
  // Every string has been made valid UTF-8 already; the handler is only a backstop.
  out << document.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

}  // namespace

std::string utf8Text(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t n = validSequence(bytes);
    if (n > 0) {
      out.append(bytes.substr(0, n));
      bytes.remove_prefix(n);
      continue;
    }
    const auto c = static_cast<unsigned char>(bytes[0]);
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
    bytes.remove_prefix(1);
  }
  return out;
}

void printInfoJson(std::ostream& out, const std::string& file, const EditorState& state,
                   const std::vector<std::string>& reportLines, const HeaderTexts& h) {
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
  print(out,
        {{"file", text(file)}, {"report", report}, {"header", header}, {"codeGroups", groups}});
}

void printFoldersJson(std::ostream& out, const std::string& file, const EditorState& state) {
  json rows = json::array();
  for (int k = 0; k < kMaxFolders; ++k) {
    const FolderEntry& entry = state.folders[std::size_t(k)];
    if (entry.recordOffset == 0) break;
    rows.push_back({{"row", k + 1},
                    {"name", text(entry.folderName)},
                    {"location", std::uint32_t(entry.recordOffset - state.bounds.flexStart)},
                    {"imageOffset", entry.recordOffset}});
  }
  print(out, {{"file", text(file)}, {"flexStart", state.bounds.flexStart}, {"folders", rows}});
}

void printVerifyJson(std::ostream& out, const std::string& file, SuperfileEncoding type,
                     const CheckResult& check) {
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
  print(out, {{"file", text(file)},
              {"type", type == SuperfileEncoding::Shx ? "shx" : "sbf"},
              {"ok", check.ok()},
              {"problems", check.problems},
              {"notes", check.notes},
              {"notListed", check.notKept()},
              {"findings", findings}});
}

}  // namespace tavufe::cli
