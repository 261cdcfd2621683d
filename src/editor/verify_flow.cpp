#include "editor/verify_flow.h"

#include "model/hex.h"

namespace tavufe {

std::string placeText(const std::string& name, bool atLine, std::uint64_t at) {
  if (atLine) return name + ":" + std::to_string(at);
  // Eight digits, as the editor shows offsets; more only for a file past 4 GiB.
  std::string digits;
  if (at > 0xFFFFFFFFu) digits = hex8(std::uint32_t(at >> 32));
  return name + ":" + digits + hex8(std::uint32_t(at));
}

std::string damagePlace(const std::string& name, const GroupDamage& damage) {
  return damage.placed ? placeText(name, damage.atLine, damage.at) : name;
}

std::string findingLine(const std::string& name, const Finding& finding) {
  const char* note = finding.severity == FindingSeverity::Note ? "note: " : "";
  return placeText(name, finding.place == FindingPlace::Line, finding.at) + ": " + note +
         finding.what + ": expected " + finding.expected + ", found " + finding.found;
}

std::string problemsLine(const CheckResult& check) {
  if (check.ok()) {
    if (check.notes == 0) return "OK";
    return "OK (" + std::to_string(check.notes) + (check.notes == 1 ? " note)" : " notes)");
  }
  return std::to_string(check.problems) + (check.problems == 1 ? " problem" : " problems");
}

std::vector<std::string> verifyLines(const std::string& name, const CheckResult& check) {
  std::vector<std::string> lines;
  lines.reserve(check.findings.size() + 2);
  for (const Finding& f : check.findings) lines.push_back(findingLine(name, f));
  if (check.notKept() > 0) {
    lines.push_back("... and " + std::to_string(check.notKept()) + " more not listed");
  }
  lines.push_back(problemsLine(check));
  return lines;
}

std::string damagedSaveQuestion(const std::string& name, const CheckResult& check) {
  if (check.problems == 0) return {};
  constexpr int kShownProblems = 3;
  std::string first;
  int shown = 0;
  for (const Finding& f : check.findings) {
    if (f.severity != FindingSeverity::Problem) continue;
    if (shown == kShownProblems) {
      first += "\n\u2026";
      break;
    }
    first += (shown++ == 0 ? "" : "\n") + findingLine(name, f);
  }
  const char* plural = check.problems == 1 ? "" : "s";
  return name + " has " + std::to_string(check.problems) + " problem" + plural + ":\n\n" + first +
         "\n\nA save writes fresh checksums over these bytes, and the handset would then take "
         "them as sound.";
}

}  // namespace tavufe
