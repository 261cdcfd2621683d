#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/catalogue.h"
#include "superfile/encoding.h"
#include "superfile/header_block.h"
#include "superfile/sbf_tokenizer.h"
#include "superfile/shx_tokenizer.h"

namespace tavufe {

// What a check of a whole superfile can find. Each names one fault, so a file with one fault
// gives one finding.
enum class FindingKind : std::uint8_t {
  HeaderTooShort,     // the file ends inside the header block
  RecordType,         // SHX: a record that is not S0, S3 or S7
  TextOutsideRecord,  // SHX: text between records, which the reader passes over
  NoRecords,          // SHX: text after the header block that holds no record at all
  NotHexDigit,        // SHX: a character in a record that is not a hex digit
  LineLength,         // SHX: the count field disagrees with the line's text
  LineChecksum,       // SHX: the line's own checksum
  AddressContinuity,  // SHX: an S3 line that does not follow on from the one before
  LineOutsideGroup,   // SHX: an S3 or S7 line with no open code group
  GroupNotClosed,     // SHX: an S0 line or the end of the file while a group is open
  TrailerChecksum,    // SHX: the last line's sum of every byte before it
  TrailerMissing,     // SHX: the file does not end in its checksum line
  StartMarker,        // SBF: a record's start marker
  EndMarker,          // SBF: a record's end marker
  RecordCutOff,       // SBF: a record that runs past the end of the file
  BytesAfterLastRecord,
  CodeGroupChecksum,     // a header entry's checksum against its code group's byte sum
  CodeGroupHeaderBytes,  // a header entry's 16 bytes against its code group's first bytes
  CodeGroupStart,        // the data's first address against the header's start
  CodeGroupSize,         // the data's length against the header's range
  OutsideImage,          // a range outside the flash window, or a RAMDLD longer than its area
  Overlap,               // two code groups sharing flash addresses
  EntryWithoutData,
  DataWithoutEntry,
  RamdldTable,  // the RAMDLD's address table against the code groups the file carries
};

// Where a finding is: a line of an SHX file's text (the first line after the header block is
// line 1; a line ends at LF), or a byte offset in the file (SBF files and header blocks).
enum class FindingPlace : std::uint8_t { Line, Offset };

// A problem is damage that a save would write fresh checksums over; a note is worth knowing
// but harmless (a save rewrites what it describes).
enum class FindingSeverity : std::uint8_t { Problem, Note };
FindingSeverity severityOf(FindingKind kind);

struct Finding {
  FindingKind kind;
  FindingPlace place;
  std::uint64_t at;
  std::string what;
  std::string expected;
  std::string found;
  FindingSeverity severity = FindingSeverity::Problem;
};

// Findings past the cap are counted but not kept, so a file of garbage costs no more memory
// than a file with a thousand faults.
inline constexpr std::size_t kMaxKeptFindings = 1000;

struct CheckResult {
  std::vector<Finding> findings;  // in file order
  std::uint64_t problems = 0;     // every problem, kept or not
  std::uint64_t notes = 0;        // every note, kept or not
  bool ok() const { return problems == 0; }
  std::uint64_t notKept() const { return problems + notes - findings.size(); }
};

class FindingCollector;

// Builds the findings of a whole-file check from a tokenizer's walk, so that a read can feed
// it from the same walk. Without a whole header block there is nothing to walk (`walks()`).
class SuperfileChecker : public ShxTokenSink, public SbfTokenSink {
 public:
  SuperfileChecker(std::span<const std::uint8_t> file, SuperfileEncoding encoding,
                   std::size_t maxKept);
  ~SuperfileChecker() override;
  SuperfileChecker(const SuperfileChecker&) = delete;
  SuperfileChecker& operator=(const SuperfileChecker&) = delete;

  bool walks() const { return walk_ != nullptr; }
  void record(const ShxRecord& record) override;
  void passedOver(std::uint64_t line, std::size_t column, std::uint8_t c) override;
  void lineEnd(std::uint64_t line, bool empty) override;
  bool takesRun(const ShxDataRun& run) const override;
  bool takesRunFrom(std::uint32_t address) const override;
  void run(ShxDataRun& run, std::uint64_t first) override;
  void record(const SbfRecordToken& record) override;
  void lostFraming(std::size_t offset, std::size_t next) override;
  // After the walk: each code group against its header entry and the RAMDLD's table, whose
  // regions come from `catalogue`.
  CheckResult finish(const CodeGroupCatalogue& catalogue);

 private:
  struct Walk;
  std::span<const std::uint8_t> file_;
  SuperfileEncoding encoding_;
  std::unique_ptr<FindingCollector> out_;
  std::vector<ListedGroup> listed_;
  std::unique_ptr<Walk> walk_;
};

// The device profile's regions, as a check without an editor takes them.
CodeGroupCatalogue builtInCatalogue();

// Checks everything the format lets one check in a whole superfile's bytes, without an image:
// the header's table, the record framing (SBF) or every line (SHX), and each code group against
// its header entry and the RAMDLD's address table. Never stops at the first problem.
CheckResult checkSuperfile(std::span<const std::uint8_t> file, SuperfileEncoding encoding,
                           std::size_t maxKept = kMaxKeptFindings);

// A stable name for each kind ("line-checksum"), for scripts.
const char* findingKindName(FindingKind kind);

}  // namespace tavufe
