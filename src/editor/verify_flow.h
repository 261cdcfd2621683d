#pragma once

#include <string>
#include <vector>

#include "editor/open_flow.h"
#include "model/codes.h"
#include "superfile/superfile_check.h"

namespace tavufe {

struct VerifyResult {
  StatusCode status = StatusCode::None;  // FileNotOpened or BufferError when it was not read
  FileProblem problem;                   // why the file itself could not be read
  CheckResult check;
  bool read() const { return status == StatusCode::None; }
};

// Reads the file at `path` whole and checks it, without touching the editor's image: what
// File > Verify and the status bar after an open show.
VerifyResult verifySuperfile(const std::string& path, SuperfileEncoding encoding);

// "NAME:LINE", or "NAME:OFFSET" with the offset as 8 hex digits (more only past 4 GiB).
std::string placeText(const std::string& name, bool atLine, std::uint64_t at);
// Where a rescue found a group's first damage; the name alone for a group only missing.
std::string damagePlace(const std::string& name, const GroupDamage& damage);
// "NAME:LINE: what: expected X, found Y", or NAME:OFFSET with the offset as 8 hex digits; a
// note says so after the place ("NAME:LINE: note: what: …").
std::string findingLine(const std::string& name, const Finding& finding);
// "OK", "OK (N notes)", "1 problem" or "N problems": notes are not problems.
std::string problemsLine(const CheckResult& check);
// Everything a verify shows: one line per kept finding, a line for those not kept, and
// problemsLine last.
std::vector<std::string> verifyLines(const std::string& name, const CheckResult& check);
// The question before a save of a file with problems: the file, the count and the first three
// problems, and what a save does to them. Empty when there is no problem.
std::string damagedSaveQuestion(const std::string& name, const CheckResult& check);

}  // namespace tavufe
