#include "superfile/superfile_check.h"

#include <algorithm>
#include <array>
#include <concepts>
#include <cstring>
#include <memory>
#include <numeric>
#include <optional>
#include <utility>

#include "model/byte_order.h"
#include "model/catalogue.h"
#include "model/finalise.h"
#include "model/hex.h"
#include "superfile/byte_cursor.h"
#include "superfile/header_block.h"
#include "superfile/hex_pairs.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_tokenizer.h"
#include "superfile/shx_tokenizer.h"

namespace tavufe {

namespace {

// The first bytes of each code group are kept: its 16 header bytes, the firmware's second
// header copy at 196 and the RAMDLD's address table up to byte 415.
constexpr std::size_t kKeptPrefix = kRamdldTableWindowEnd + 1;
constexpr int kTableEntries = kRamdldTableLastEntry + 1;
constexpr std::uint32_t kLastFlashAddress = kFlashEnd - 1;
// The checksum line's address field starts with the characters "CS".
constexpr std::uint32_t kTrailerTag = 0x4353;

using Listed = ListedGroup;

// One code group as the file's data carries it.
struct Carried {
  FindingPlace place = FindingPlace::Offset;
  std::uint64_t at = 0;       // its S0 line or its record's first byte
  std::uint64_t startAt = 0;  // where its first address is stated
  std::uint64_t sizeAt = 0;   // where its size shows
  bool hasData = false;
  bool uncertain = false;  // some of its bytes could not be read
  std::uint32_t firstAddress = 0;
  std::uint32_t nextAddress = 0;
  std::uint64_t length = 0;
  std::uint32_t sum = 0;
  std::vector<std::uint8_t> prefix;
  // Where each entry of the RAMDLD's address table was found (SHX lines; SBF offsets).
  std::array<std::uint64_t, kTableEntries> tableAt{};

  void take(std::span<const std::uint8_t> data, std::uint64_t firstAt, bool perLine) {
    // Sums are compared in 16 bits: the vector sum's 16 bits are all that count.
    take(data, firstAt, perLine, byteSum(data));
  }
  // The same with the bytes' sum already taken.
  void take(std::span<const std::uint8_t> data, std::uint64_t firstAt, bool perLine,
            std::uint32_t dataSum) {
    if (length < kKeptPrefix) {
      const std::size_t n = std::min<std::size_t>(kKeptPrefix - std::size_t(length), data.size());
      for (int e = 0; e < kTableEntries; ++e) {
        const std::uint64_t k = kRamdldTableFirstEntry + kRamdldTableEntrySize * std::uint64_t(e);
        if (k >= length && k < length + n)
          tableAt[std::size_t(e)] = perLine ? firstAt : firstAt + (k - length);
      }
      prefix.insert(prefix.end(), data.begin(), data.begin() + std::ptrdiff_t(n));
    }
    sum += dataSum;
    length += data.size();
  }
};

std::string hexBytes(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    if (k > 0) out += ' ';
    out += hex2(bytes[k]);
  }
  return out;
}

std::string byteCount(std::uint64_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

// A character for a message: itself when printable ASCII, otherwise its value.
std::string describeChar(std::uint8_t c) {
  if (c >= 0x20 && c < 0x7F) return std::string("'") + char(c) + "'";
  return "byte " + hex2(c);
}

std::string rangeText(std::uint32_t start, std::uint32_t end) {
  return hex8(start) + "-" + hex8(end);
}

struct FindingTexts {
  std::string what;
  std::string expected;
  std::string found;
};

}  // namespace

class FindingCollector {
 public:
  explicit FindingCollector(std::size_t maxKept) : maxKept_(maxKept) {}

  // The texts are built only for a finding that is kept: past the cap a file of garbage costs
  // a count per fault, not three strings.
  template <std::invocable MakeTexts>
  void add(FindingKind kind, FindingPlace place, std::uint64_t at, MakeTexts&& makeTexts) {
    const FindingSeverity severity = severityOf(kind);
    ++(severity == FindingSeverity::Note ? result_.notes : result_.problems);
    if (result_.findings.size() >= maxKept_) return;
    FindingTexts texts = std::forward<MakeTexts>(makeTexts)();
    result_.findings.push_back({kind, place, at, std::move(texts.what), std::move(texts.expected),
                                std::move(texts.found), severity});
  }

  CheckResult finish() {
    // Header-block offsets come before the text's lines; within each, file order. Findings
    // mostly arrive in that order already; when not, their indexes are sorted and each finding,
    // texts and all, is moved once.
    std::vector<Finding>& found = result_.findings;
    const auto before = [](const Finding& a, const Finding& b) {
      return std::pair(a.place == FindingPlace::Line, a.at) <
             std::pair(b.place == FindingPlace::Line, b.at);
    };
    if (std::is_sorted(found.begin(), found.end(), before)) return std::move(result_);
    std::vector<std::size_t> order(found.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return before(found[a], found[b]); });
    std::vector<Finding> sorted;
    sorted.reserve(found.size());
    for (const std::size_t k : order) sorted.push_back(std::move(found[k]));
    found = std::move(sorted);
    return std::move(result_);
  }

 private:
  std::size_t maxKept_;
  CheckResult result_;
};

namespace {

std::string cgName(int cgNumber) {
  if (cgNumber == kCgRamdld) return "RAMDLD";
  return catalogueLabel(cgNumber);
}

// ---- SHX text ----

class ShxCheck {
 public:
  ShxCheck(std::span<const std::uint8_t> file, std::size_t listed, FindingCollector& out)
      : file_(file), listed_(listed), out_(out) {
    groups_.reserve(listed_);
  }

  void record(const ShxRecord& r) {
    lastLine_ = r.line;
    if (r.fault == ShxRecordFault::CutShort) {
      // An "S" that ends the file is a record cut short, and the read stops there.
      out_.add(FindingKind::RecordType, FindingPlace::Line, r.line, [&] {
        return FindingTexts{"record type", "S0, S3 or S7", "'S' and the end of the file"};
      });
      lastType_ = 'x';
      return;
    }
    if (!r.known()) {
      out_.add(FindingKind::RecordType, FindingPlace::Line, r.line, [&] {
        return FindingTexts{"record type", "S0, S3 or S7",
                            describeChar('S') + " " + describeChar(std::uint8_t(r.type))};
      });
      lastType_ = 'x';
      return;
    }
    lastType_ = r.type;
    lastRecordType_ = r.type;
    reportFault(r);
    switch (r.type) {
      case '0':
        if (open_) {
          out_.add(FindingKind::GroupNotClosed, FindingPlace::Line, r.line, [&] {
            return FindingTexts{"code group not closed", "S7", "S0"};
          });
        }
        openGroup(r.line);
        break;
      case '3':
        if (!open_) {
          out_.add(FindingKind::LineOutsideGroup, FindingPlace::Line, r.line, [&] {
            return FindingTexts{"S3 line outside a code group", "an S0 line before it", "none"};
          });
          break;
        }
        if (current_ != nullptr) {
          if (!r.certain()) current_->uncertain = true;
          if (r.hasFields()) takeData(r);
        }
        break;
      default: closeGroup(r); break;
    }
  }

  // Text the reader passes over is noted once a line, at its first character.
  void passedOver(std::uint64_t line, std::size_t column, std::uint8_t c) {
    lastLine_ = line;
    lastType_ = 'x';
    if (outsideLine_ != line) {
      outsideLine_ = line;
      outsideColumn_ = column;
      outsideChar_ = c;
    }
  }

  void lineEnd(std::uint64_t line, bool empty) {
    lastLine_ = line;
    if (outsideLine_ != line && !empty) return;
    out_.add(FindingKind::TextOutsideRecord, FindingPlace::Line, line, [&] {
      return FindingTexts{
          "text outside a record", "S0, S3 or S7 records",
          empty ? "an empty line"
                : describeChar(outsideChar_) + " in column " + std::to_string(outsideColumn_)};
    });
  }

  // A run continues the open group's data, as its lines would; the group's first bytes, which
  // are kept one by one, must be behind it.
  bool takesRunFrom(std::uint32_t address) const {
    return open_ && current_ != nullptr && current_->hasData && current_->nextAddress == address &&
           current_->length >= kKeptPrefix;
  }

  void run(const ShxDataRun& run, std::uint64_t first) {
    lastLine_ = first + run.lines - 1;
    lastType_ = '3';
    lastRecordType_ = '3';
    current_->nextAddress = run.nextAddress;
    current_->sum += run.dataSum;
    current_->length += run.data.size();
    // The run's characters were summed by the thread that decoded them.
    runningSum_ += byteSum(file_.subspan(summedTo_, run.begin - summedTo_)) + run.charSum;
    summedTo_ = run.end;
  }

  std::vector<Carried> finish() {
    const std::uint64_t last = std::max<std::uint64_t>(lastLine_, 1);
    // Text with no record at all is not what the notes on passed-over text are about.
    if (lastRecordType_ == 0) {
      out_.add(FindingKind::NoRecords, FindingPlace::Line, last, [&] {
        return FindingTexts{"S-record text", "S0, S3 and S7 records", "none"};
      });
    }
    if (open_) {
      out_.add(FindingKind::GroupNotClosed, FindingPlace::Line, last, [&] {
        return FindingTexts{"code group not closed", "S7", "end of file"};
      });
    }
    if (trailerLine_ == 0 || trailerLine_ != lastLine_) {
      out_.add(FindingKind::TrailerMissing, FindingPlace::Line, last, [&] {
        return FindingTexts{"last line", "the checksum line (S7 with address 4353xxxx)",
                            trailerLine_ != 0
                                ? "the checksum line at line " + std::to_string(trailerLine_)
                                : lastKind()};
      });
    }
    return std::move(groups_);
  }

 private:
  std::string lastKind() const {
    if (lastType_ == 0) return "no text";
    if (lastType_ == 'x') return "a line that is not a record";
    return std::string("an S") + lastType_ + " line";
  }

  void reportFault(const ShxRecord& l) {
    switch (l.fault) {
      case ShxRecordFault::None:
      case ShxRecordFault::CutShort: break;
      case ShxRecordFault::NotHexDigit:
        out_.add(FindingKind::NotHexDigit, FindingPlace::Line, l.line, [&] {
          return FindingTexts{
              "not a hex digit", "0-9 or A-F",
              describeChar(l.text[l.badAt]) + " in column " + std::to_string(l.column + l.badAt)};
        });
        break;
      case ShxRecordFault::TooShort:
        out_.add(FindingKind::LineLength, FindingPlace::Line, l.line, [&] {
          return FindingTexts{
              "line length",
              "at least " + std::to_string(2 * (l.fixedBytes() + 1)) + " hex digits in byte pairs",
              std::to_string(l.text.size() - 2) + " hex digits"};
        });
        break;
      case ShxRecordFault::LengthField: {
        const std::size_t carried = l.bytes.size() - 1;
        out_.add(FindingKind::LineLength, FindingPlace::Line, l.line, [&] {
          return FindingTexts{"length field",
                              carried <= 0xFF ? hex2(std::uint8_t(carried)) : byteCount(carried),
                              hex2(l.bytes[0])};
        });
        break;
      }
      case ShxRecordFault::Checksum:
        out_.add(FindingKind::LineChecksum, FindingPlace::Line, l.line, [&] {
          const std::uint32_t sum = l.byteSum - l.bytes.back();
          return FindingTexts{"line checksum", hex2(std::uint8_t(0xFF - (sum & 0xFF))),
                              hex2(l.bytes.back())};
        });
        break;
    }
  }

  void closeGroup(const ShxRecord& l) {
    const bool trailer = l.framed() && l.hasFields() && (l.address() >> 16) == kTrailerTag;
    if (trailer) {
      trailerLine_ = l.line;
      // Every byte before the checksum line counts, the header block's included; summed only
      // here, so the text is summed once however many such lines there are.
      runningSum_ += byteSum(file_.subspan(summedTo_, l.offset - summedTo_));
      summedTo_ = l.offset;
      const auto stated = std::uint16_t(l.address());
      const auto sum = std::uint16_t(runningSum_);
      if (stated != sum) {
        out_.add(FindingKind::TrailerChecksum, FindingPlace::Line, l.line, [&] {
          return FindingTexts{"checksum line", hex4(sum), hex4(stated)};
        });
      }
    }
    if (!open_) {
      out_.add(FindingKind::LineOutsideGroup, FindingPlace::Line, l.line, [&] {
        return FindingTexts{"S7 line outside a code group", "an S0 line before it", "none"};
      });
    }
    open_ = false;
    current_ = nullptr;
  }

  void openGroup(std::uint64_t line) {
    open_ = true;
    current_ = nullptr;
    if (groups_.size() >= listed_) {
      // Not kept: more groups than the header lists cost nothing beyond their finding.
      const std::uint64_t number = listed_ + ++extraGroups_;
      out_.add(FindingKind::DataWithoutEntry, FindingPlace::Line, line, [&] {
        return FindingTexts{"code group with no header entry",
                            std::to_string(listed_) + " code groups",
                            "code group " + std::to_string(number)};
      });
      return;
    }
    groups_.emplace_back();
    current_ = &groups_.back();
    current_->place = FindingPlace::Line;
    current_->at = line;
    current_->sizeAt = line;
    current_->startAt = line;
  }

  // The data of an S3 record as the read lays it: the pairs its count gives. A record the read
  // stops at (its count runs past it, or the count's checksum fails) leaves the group's bytes
  // proving nothing, and the next line's address is not held to it: its fault is reported.
  void takeData(const ShxRecord& l) {
    Carried& g = *current_;
    const ShxCountedData counted = countedData(l);
    // A count that agrees with the pairs leaves a wrong checksum to its own finding.
    const bool countAgrees = counted.data.size() + kS3FixedBytes + 1 == l.bytes.size();
    if (!counted.whole || (!countAgrees && !counted.checksumHolds)) {
      g.uncertain = true;
      resync_ = true;
      return;
    }
    const std::uint32_t address = l.address();
    const std::span<const std::uint8_t> data = counted.data;
    if (!g.hasData) {
      g.hasData = true;
      g.firstAddress = address;
      g.startAt = l.line;
    } else if (l.framed() && !resync_ && address != g.nextAddress) {
      out_.add(FindingKind::AddressContinuity, FindingPlace::Line, l.line, [&] {
        return FindingTexts{"address continuity", hex8(g.nextAddress), hex8(address)};
      });
    }
    resync_ = false;
    g.nextAddress = address + std::uint32_t(data.size());
    g.take(data, l.line, true, counted.dataSum);
  }

  std::span<const std::uint8_t> file_;
  std::size_t listed_;
  FindingCollector& out_;
  std::vector<Carried> groups_;
  Carried* current_ = nullptr;
  bool open_ = false;
  bool resync_ = false;  // the last data record was not taken
  // The first text passed over in the last line that had any.
  std::uint64_t outsideLine_ = 0;
  std::size_t outsideColumn_ = 0;
  std::uint8_t outsideChar_ = 0;
  std::uint64_t extraGroups_ = 0;
  std::uint32_t runningSum_ = 0;
  std::size_t summedTo_ = 0;
  std::uint64_t trailerLine_ = 0;
  std::uint64_t lastLine_ = 0;
  // The last line's record type; 'x' for a line that is not a record, 0 before any line.
  // Kept as a character: the text is wanted once, for a file without its checksum line.
  char lastType_ = 0;
  char lastRecordType_ = 0;  // of the last S0, S3 or S7 record; 0 before any
};

// ---- SBF records ----

class SbfCheck {
 public:
  SbfCheck(std::span<const std::uint8_t> file, std::size_t listed, FindingCollector& out)
      : file_(file), listed_(listed), out_(out) {}

  void lostFraming(std::size_t at, std::size_t next) {
    const std::size_t left = file_.size() - at;
    if (next == 0) {
      out_.add(FindingKind::BytesAfterLastRecord, FindingPlace::Offset, at, [&] {
        return FindingTexts{"bytes after the last record", "end of file", byteCount(left)};
      });
      return;
    }
    out_.add(FindingKind::StartMarker, FindingPlace::Offset, at, [&] {
      return FindingTexts{"record start marker", hexBytes(kSbfStartMarker),
                          hexBytes(file_.subspan(at, std::min(left, kSbfStartMarker.size())))};
    });
  }

  void record(const SbfRecordToken& r) {
    const std::size_t left = file_.size() - r.offset;
    if (!r.hasFields) {
      out_.add(FindingKind::RecordCutOff, FindingPlace::Offset, r.offset, [&] {
        return FindingTexts{"record cut off", "at least " + byteCount(kSbfRecordOverhead),
                            byteCount(left)};
      });
      return;
    }
    Carried* g = nullptr;
    if (groups_.size() < listed_) {
      g = &groups_.emplace_back();
      g->place = FindingPlace::Offset;
      g->at = r.offset;
      g->sizeAt = r.offset + kSbfStartMarker.size();
      g->startAt = g->sizeAt + 4;
      g->hasData = true;
      g->firstAddress = r.address;
    } else {
      const std::uint64_t number = listed_ + ++extra_;
      out_.add(FindingKind::DataWithoutEntry, FindingPlace::Offset, r.offset, [&] {
        return FindingTexts{"record with no header entry", std::to_string(listed_) + " records",
                            "record " + std::to_string(number)};
      });
    }
    if (!r.whole) {
      out_.add(FindingKind::RecordCutOff, FindingPlace::Offset, r.offset, [&] {
        return FindingTexts{"record cut off",
                            byteCount(std::uint64_t(r.length) + kSbfRecordOverhead),
                            byteCount(left)};
      });
      if (g != nullptr) g->uncertain = true;
      return;
    }
    if (g != nullptr) g->take(r.data, r.dataOffset, false);
    if (!r.endMarkerMatches) {
      out_.add(FindingKind::EndMarker, FindingPlace::Offset, r.endMarkerOffset, [&] {
        return FindingTexts{"record end marker", hexBytes(kSbfEndMarker),
                            hexBytes(file_.subspan(r.endMarkerOffset, kSbfEndMarker.size()))};
      });
    }
  }

  std::vector<Carried> finish() { return std::move(groups_); }

 private:
  std::span<const std::uint8_t> file_;
  std::size_t listed_;
  FindingCollector& out_;
  std::vector<Carried> groups_;
  std::uint64_t extra_ = 0;
};

// ---- What both encodings share ----

std::uint16_t prefixSum(const Carried& g, std::size_t from, std::size_t to) {
  std::uint32_t s = 0;
  for (std::size_t k = from; k < std::min(to, g.prefix.size()); ++k) s += g.prefix[k];
  return std::uint16_t(s);
}

class GroupCheck {
 public:
  GroupCheck(std::span<const std::uint8_t> header, const std::vector<Listed>& listed,
             const std::vector<Carried>& carried, const CodeGroupCatalogue& catalogue,
             FindingCollector& out)
      : header_(header), listed_(listed), carried_(carried), catalogue_(catalogue), out_(out) {}

  void run() {
    for (std::size_t i = 0; i < listed_.size(); ++i) {
      const Listed& l = listed_[i];
      const bool fits = checkFits(l);
      if (fits) checkOverlap(i);
      if (i >= carried_.size()) {
        out_.add(FindingKind::EntryWithoutData, FindingPlace::Offset, cgEntryOffset(l.entry), [&] {
          return FindingTexts{cgName(l.cgNumber) + " has no data", "its code group in the file",
                              "none"};
        });
        continue;
      }
      checkCarried(l, carried_[i]);
    }
    checkRamdldTable();
  }

 private:
  std::uint16_t entryChecksum(int entry) const {
    return read16le(header_.data() + cgEntryOffset(entry) + kEntryChecksumField);
  }
  std::span<const std::uint8_t> entryHeaderBytes(int entry) const {
    return header_.subspan(cgEntryOffset(entry) + kEntryHeaderBytesField, 16);
  }

  bool checkFits(const Listed& l) {
    const std::size_t at = cgEntryOffset(l.entry);
    if (l.cgNumber == kCgRamdld) {
      if (l.end < l.start || l.length() > kRamdldAreaSize) {
        out_.add(FindingKind::OutsideImage, FindingPlace::Offset, at, [&] {
          return FindingTexts{"RAMDLD longer than its area",
                              "at most " + byteCount(kRamdldAreaSize), rangeText(l.start, l.end)};
        });
        return false;
      }
      return true;
    }
    if (!isFlashAddressValid(l.start) || !isFlashAddressValid(l.end) || l.end < l.start) {
      out_.add(FindingKind::OutsideImage, FindingPlace::Offset, at, [&] {
        return FindingTexts{cgName(l.cgNumber) + " outside the image",
                            rangeText(kFlashFirst, kLastFlashAddress), rangeText(l.start, l.end)};
      });
      return false;
    }
    return true;
  }

  void checkOverlap(std::size_t i) {
    const Listed& l = listed_[i];
    if (l.cgNumber == kCgRamdld) return;  // the RAMDLD has its own area
    for (std::size_t j = 0; j < i; ++j) {
      const Listed& other = listed_[j];
      if (other.cgNumber == kCgRamdld || other.end < other.start) continue;
      if (!isFlashAddressValid(other.start) || !isFlashAddressValid(other.end)) continue;
      if (l.start <= other.end && other.start <= l.end) {
        out_.add(FindingKind::Overlap, FindingPlace::Offset, cgEntryOffset(l.entry), [&] {
          return FindingTexts{
              cgName(l.cgNumber) + " overlaps " + cgName(other.cgNumber), "no shared addresses",
              rangeText(std::max(l.start, other.start), std::min(l.end, other.end))};
        });
      }
    }
  }

  void checkCarried(const Listed& l, const Carried& g) {
    if (g.uncertain) return;  // its fault is already reported; its bytes prove nothing
    const auto name = [&] { return cgName(l.cgNumber); };
    if (!g.hasData) {
      out_.add(FindingKind::CodeGroupSize, g.place, g.sizeAt, [&] {
        return FindingTexts{name() + " size", byteCount(l.length()), byteCount(0)};
      });
      return;
    }
    bool placed = true;
    if (g.firstAddress != l.start) {
      out_.add(FindingKind::CodeGroupStart, g.place, g.startAt, [&] {
        return FindingTexts{name() + " start address", hex8(l.start), hex8(g.firstAddress)};
      });
      placed = false;
    }
    if (g.length != l.length()) {
      out_.add(FindingKind::CodeGroupSize, g.place, g.sizeAt, [&] {
        return FindingTexts{name() + " size", byteCount(l.length()), byteCount(g.length)};
      });
      placed = false;
    }
    // A misplaced group's sums would repeat the same fault.
    if (!placed) return;

    if (l.cgNumber == kCgFirmware) {
      const std::uint16_t first = prefixSum(g, 0, kFirmwareFirstHalfSize);
      checkSum(l.cgNumber, " checksum (first 200 bytes)", kEntryFirmwareFirst, first);
      checkSum(l.cgNumber, " checksum (from byte 200)", kEntryFirmwareRest,
               std::uint16_t(g.sum - first));
      checkHeaderBytes(l.cgNumber, " header bytes", kEntryFirmwareFirst, g, 0);
      checkHeaderBytes(l.cgNumber, " header bytes (from byte 196)", kEntryFirmwareRest, g,
                       kFirmwareRestHeaderAt);
    } else {
      checkSum(l.cgNumber, " checksum", l.entry, std::uint16_t(g.sum));
      checkHeaderBytes(l.cgNumber, " header bytes", l.entry, g, 0);
    }
  }

  void checkSum(int cgNumber, const char* what, int entry, std::uint16_t sum) {
    const std::uint16_t stated = entryChecksum(entry);
    if (stated != sum) {
      out_.add(FindingKind::CodeGroupChecksum, FindingPlace::Offset,
               cgEntryOffset(entry) + kEntryChecksumField, [&] {
                 return FindingTexts{cgName(cgNumber) + what, hex4(stated), hex4(sum)};
               });
    }
  }

  // Only the bytes the code group has are compared: past its end a writer copies whatever
  // followed it in memory.
  void checkHeaderBytes(int cgNumber, const char* what, int entry, const Carried& g,
                        std::size_t from) {
    const std::span<const std::uint8_t> stated = entryHeaderBytes(entry);
    if (from >= g.prefix.size()) return;
    const std::size_t n = std::min<std::size_t>(16, g.prefix.size() - from);
    const std::span<const std::uint8_t> actual =
        std::span<const std::uint8_t>(g.prefix).subspan(from, n);
    if (!std::equal(actual.begin(), actual.end(), stated.begin())) {
      out_.add(FindingKind::CodeGroupHeaderBytes, FindingPlace::Offset,
               cgEntryOffset(entry) + kEntryHeaderBytesField, [&] {
                 return FindingTexts{cgName(cgNumber) + what, hexBytes(stated.first(n)),
                                     hexBytes(actual)};
               });
    }
  }

  // The entries of the code groups the file carries, as a save writes them: for a boot-loader
  // file the FBU region, otherwise each code group 1 to 20 with its whole catalogue region when
  // it starts there. Entries of code groups the file does not carry are not looked at: the
  // table may describe the whole handset while a backup holds only some of it.
  void checkRamdldTable() {
    if (listed_.empty() || carried_.empty() || listed_[0].cgNumber != kCgRamdld) return;
    const Carried& rdl = carried_[0];
    // A RAMDLD that does not match its entry is reported already.
    if (rdl.uncertain || !rdl.hasData || rdl.length != listed_[0].length()) return;
    if (rdl.prefix.size() < kKeptPrefix) {
      out_.add(FindingKind::RamdldTable, rdl.place, rdl.sizeAt, [&] {
        return FindingTexts{"RAMDLD too short for its address table",
                            "at least " + byteCount(kKeptPrefix), byteCount(rdl.length)};
      });
      return;
    }
    std::vector<TableGroup> groups;
    for (std::size_t i = 1; i < listed_.size(); ++i) {
      groups.push_back({listed_[i].cgNumber, listed_[i].start, listed_[i].end});
    }
    const bool bootLoader = listed_.size() > 1 && listed_[1].cgNumber == kCgFbl;
    const RamdldTable expected = ramdldTableFor(catalogue_, groups, bootLoader);
    auto entryText = [](std::span<const std::uint8_t> e) {
      if (std::all_of(e.begin(), e.end(), [](std::uint8_t b) { return b == kErased; })) {
        return std::string("erased");
      }
      return rangeText(read32be(e.data()), read32be(e.data() + 4));
    };
    for (int n = 0; n < kTableEntries; ++n) {
      const std::span<const std::uint8_t> e =
          std::span<const std::uint8_t>(rdl.prefix)
              .subspan(kRamdldTableFirstEntry + kRamdldTableEntrySize * std::size_t(n),
                       kRamdldTableEntrySize);
      const RamdldTableEntry& x = expected[std::size_t(n)];
      if (!x.written) continue;
      std::array<std::uint8_t, kRamdldTableEntrySize> want;
      write32be(want.data(), x.start);
      write32be(want.data() + 4, x.end);
      if (!std::equal(want.begin(), want.end(), e.begin())) {
        out_.add(FindingKind::RamdldTable, rdl.place, rdl.tableAt[std::size_t(n)], [&] {
          return FindingTexts{
              "RAMDLD table entry for " + (n == 0 ? std::string("FBU") : catalogueLabel(n)),
              entryText(want), entryText(e)};
        });
      }
    }
  }

  std::span<const std::uint8_t> header_;
  const std::vector<Listed>& listed_;
  const std::vector<Carried>& carried_;
  const CodeGroupCatalogue& catalogue_;
  FindingCollector& out_;
};

}  // namespace

struct SuperfileChecker::Walk {
  Walk(std::span<const std::uint8_t> file, std::size_t listed, FindingCollector& out)
      : shx(file, listed, out), sbf(file, listed, out) {}
  ShxCheck shx;
  SbfCheck sbf;
};

SuperfileChecker::SuperfileChecker(std::span<const std::uint8_t> file, SuperfileEncoding encoding,
                                   std::size_t maxKept)
    : file_(file), encoding_(encoding), out_(std::make_unique<FindingCollector>(maxKept)) {
  const std::span<const std::uint8_t> header = ByteCursor(file).peek(kHeaderSize);
  if (header.empty()) {
    out_->add(FindingKind::HeaderTooShort, FindingPlace::Offset, 0, [&] {
      return FindingTexts{"file shorter than its header block", byteCount(kHeaderSize),
                          byteCount(file.size())};
    });
    return;
  }
  listed_ = listedGroups(header);
  walk_ = std::make_unique<Walk>(file, listed_.size(), *out_);
}

SuperfileChecker::~SuperfileChecker() = default;

void SuperfileChecker::record(const ShxRecord& record) {
  if (walk_) walk_->shx.record(record);
}
void SuperfileChecker::passedOver(std::uint64_t line, std::size_t column, std::uint8_t c) {
  if (walk_) walk_->shx.passedOver(line, column, c);
}
void SuperfileChecker::lineEnd(std::uint64_t line, bool empty) {
  if (walk_) walk_->shx.lineEnd(line, empty);
}
bool SuperfileChecker::takesRun(const ShxDataRun& run) const {
  return walk_ && walk_->shx.takesRunFrom(run.firstAddress);
}
bool SuperfileChecker::takesRunFrom(std::uint32_t address) const {
  return walk_ && walk_->shx.takesRunFrom(address);
}
void SuperfileChecker::run(ShxDataRun& run, std::uint64_t first) {
  if (walk_) walk_->shx.run(run, first);
}
void SuperfileChecker::record(const SbfRecordToken& record) {
  if (walk_) walk_->sbf.record(record);
}
void SuperfileChecker::lostFraming(std::size_t offset, std::size_t next) {
  if (walk_) walk_->sbf.lostFraming(offset, next);
}

CheckResult SuperfileChecker::finish(const CodeGroupCatalogue& catalogue) {
  if (walk_) {
    const std::vector<Carried> carried =
        encoding_ == SuperfileEncoding::Shx ? walk_->shx.finish() : walk_->sbf.finish();
    GroupCheck(file_.first(kHeaderSize), listed_, carried, catalogue, *out_).run();
    walk_.reset();
  }
  return out_->finish();
}

CodeGroupCatalogue builtInCatalogue() {
  const auto state = std::make_unique<EditorState>();
  buildDeviceProfile(*state);
  copyProfileToCatalogue(*state);
  return state->catalogue;
}

CheckResult checkSuperfile(std::span<const std::uint8_t> file, SuperfileEncoding encoding,
                           std::size_t maxKept) {
  SuperfileChecker checker(file, encoding, maxKept);
  if (checker.walks()) {
    if (encoding == SuperfileEncoding::Shx) {
      tokenizeShx(file, checker);
    } else {
      tokenizeSbf(file, checker);
    }
  }
  return checker.finish(builtInCatalogue());
}

FindingSeverity severityOf(FindingKind kind) {
  switch (kind) {
    // The RAMDLD's table is rewritten by every save, and a backup's RAMDLD may hold any table.
    case FindingKind::RamdldTable:
    // The reader passes over text between records, and a save lays the text out afresh; a
    // record that went missing in it shows in its group's checks.
    case FindingKind::TextOutsideRecord:
    // S-record tools end a file with a plain S7 line; every line still carries its own sum.
    case FindingKind::TrailerMissing: return FindingSeverity::Note;
    default: return FindingSeverity::Problem;
  }
}

const char* findingKindName(FindingKind kind) {
  switch (kind) {
    case FindingKind::HeaderTooShort: return "header-too-short";
    case FindingKind::RecordType: return "record-type";
    case FindingKind::TextOutsideRecord: return "text-outside-record";
    case FindingKind::NoRecords: return "no-records";
    case FindingKind::NotHexDigit: return "not-hex-digit";
    case FindingKind::LineLength: return "line-length";
    case FindingKind::LineChecksum: return "line-checksum";
    case FindingKind::AddressContinuity: return "address-continuity";
    case FindingKind::LineOutsideGroup: return "line-outside-group";
    case FindingKind::GroupNotClosed: return "group-not-closed";
    case FindingKind::TrailerChecksum: return "trailer-checksum";
    case FindingKind::TrailerMissing: return "trailer-missing";
    case FindingKind::StartMarker: return "start-marker";
    case FindingKind::EndMarker: return "end-marker";
    case FindingKind::RecordCutOff: return "record-cut-off";
    case FindingKind::BytesAfterLastRecord: return "bytes-after-last-record";
    case FindingKind::CodeGroupChecksum: return "code-group-checksum";
    case FindingKind::CodeGroupHeaderBytes: return "code-group-header-bytes";
    case FindingKind::CodeGroupStart: return "code-group-start";
    case FindingKind::CodeGroupSize: return "code-group-size";
    case FindingKind::OutsideImage: return "outside-image";
    case FindingKind::Overlap: return "overlap";
    case FindingKind::EntryWithoutData: return "entry-without-data";
    case FindingKind::DataWithoutEntry: return "data-without-entry";
    case FindingKind::RamdldTable: return "ramdld-table";
  }
  return "unknown";
}

}  // namespace tavufe
