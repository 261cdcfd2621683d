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
#include "superfile/sbf_reader.h"

namespace tavufe {

namespace {

// The first bytes of each code group are kept: its 16 header bytes, the firmware's second
// header copy at 196 and the RAMDLD's address table up to byte 415.
constexpr std::size_t kKeptPrefix = kRamdldTableWindowEnd + 1;
constexpr int kTableEntries = kRamdldTableLastEntry + 1;
constexpr std::uint32_t kLastFlashAddress = kFlashEnd - 1;
// The checksum line's address field starts with the characters "CS".
constexpr std::uint32_t kTrailerTag = 0x4353;

// One code group as the header's table lists it.
struct Listed {
  int cgNumber = 0;
  int entry = 0;  // table index; CG1 also has entry 3
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::uint32_t length() const { return end - start + 1u; }
};

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
    std::uint32_t s = 0;
    for (const std::uint8_t b : data) s += b;
    take(data, firstAt, perLine, s);
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

class Collector {
 public:
  explicit Collector(std::size_t maxKept) : maxKept_(maxKept) {}

  // The texts are built only for a finding that is kept: past the cap a file of garbage costs
  // a count per fault, not three strings.
  template <std::invocable MakeTexts>
  void add(FindingKind kind, FindingPlace place, std::uint64_t at, MakeTexts&& makeTexts) {
    ++result_.problems;
    if (result_.findings.size() >= maxKept_) return;
    FindingTexts texts = std::forward<MakeTexts>(makeTexts)();
    result_.findings.push_back({kind, place, at, std::move(texts.what), std::move(texts.expected),
                                std::move(texts.found)});
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

std::string cgName(int cgNumber) {
  if (cgNumber == kCgRamdld) return "RAMDLD";
  return catalogueLabel(cgNumber);
}

// The header's code groups in the order the data carries them, as the readers walk it.
std::vector<Listed> listedGroups(std::span<const std::uint8_t> header) {
  auto field32 = [&](int entry, std::size_t field) {
    return read32le(header.data() + cgEntryOffset(entry) + field);
  };
  std::vector<Listed> out;
  auto add = [&](int cg, int entry, std::uint32_t start, std::uint32_t end) {
    if (start != 0) out.push_back({cg, entry, start, end});
  };
  add(kCgRamdld, kEntryRamdld, field32(kEntryRamdld, kEntryStartField),
      field32(kEntryRamdld, kEntryEndField));
  add(kCgFbl, kEntryFbl, field32(kEntryFbl, kEntryStartField), field32(kEntryFbl, kEntryEndField));
  add(kCgFirmware, kEntryFirmwareFirst, field32(kEntryFirmwareFirst, kEntryStartField),
      field32(kEntryFirmwareRest, kEntryEndField));
  for (int c = 2; c <= 255; ++c) {
    add(c, c + 2, field32(c + 2, kEntryStartField), field32(c + 2, kEntryEndField));
  }
  return out;
}

// ---- SHX text ----

class ShxCheck {
 public:
  ShxCheck(std::span<const std::uint8_t> file, std::size_t listed, Collector& out)
      : file_(file), listed_(listed), out_(out) {}

  std::vector<Carried> run() {
    groups_.reserve(listed_);
    runningSum_ += byteSum(file_.first(kHeaderSize));
    std::size_t pos = kHeaderSize;
    std::uint64_t line = 0;
    while (pos < file_.size()) {
      ++line;
      const std::uint8_t* begin = file_.data() + pos;
      const auto* lf =
          static_cast<const std::uint8_t*>(std::memchr(begin, '\n', file_.size() - pos));
      const std::size_t end = lf != nullptr ? std::size_t(lf - file_.data()) : file_.size();
      const std::size_t next = lf != nullptr ? end + 1 : end;
      std::size_t contentEnd = end;
      if (contentEnd > pos && file_[contentEnd - 1] == '\r') --contentEnd;
      runningSum_ += checkLine(file_.subspan(pos, contentEnd - pos), line);
      for (std::size_t k = contentEnd; k < next; ++k) runningSum_ += file_[k];
      pos = next;
    }
    lastLine_ = line;
    if (open_) {
      out_.add(FindingKind::GroupNotClosed, FindingPlace::Line, std::max<std::uint64_t>(line, 1),
               [&] {
                 return FindingTexts{"code group not closed", "S7", "end of file"};
               });
    }
    if (trailerLine_ == 0 || trailerLine_ != lastLine_) {
      out_.add(
          FindingKind::TrailerMissing, FindingPlace::Line, std::max<std::uint64_t>(line, 1), [&] {
            return FindingTexts{"last line", "the checksum line (S7 with address 4353xxxx)",
                                trailerLine_ != 0
                                    ? "the checksum line at line " + std::to_string(trailerLine_)
                                    : lastKind_};
          });
    }
    return std::move(groups_);
  }

 private:
  // The pairs of a line decoded by the vector unit, for a line made of hex digits only: false,
  // with nothing added, when a pair is not two hex digits (the careful loop then finds it). The
  // vector decoder gives such a pair as 0xFF, so only the 0xFF bytes need a second look. The
  // characters' sum is kept to 16 bits, as the checksum line is.
  bool decodeAllHex(std::span<const std::uint8_t> digits, std::uint32_t& byteSum,
                    std::uint32_t& textSum) {
    const std::size_t count = bytes_.size();
    if (count == 0) return false;
    const std::uint32_t sum = hex_.decode(digits.data(), count, bytes_.data());
    const std::uint8_t* const first = bytes_.data();
    const std::uint8_t* const end = first + count;
    const std::uint8_t* at = first;
    while ((at = static_cast<const std::uint8_t*>(
                std::memchr(at, kErased, std::size_t(end - at)))) != nullptr) {
      const auto k = std::size_t(at - first);
      if ((detail::kNibble[digits[2 * k]] | detail::kNibble[digits[2 * k + 1]]) & 0xF0) {
        return false;
      }
      if (++at == end) break;
    }
    byteSum += sum;
    textSum += tavufe::byteSum(digits.first(2 * count));
    return true;
  }

  // Returns the sum of the line's characters, for the checksum line.
  std::uint32_t checkLine(std::span<const std::uint8_t> text, std::uint64_t line) {
    if (text.size() < 2 || text[0] != 'S' || (text[1] != '0' && text[1] != '3' && text[1] != '7')) {
      // Only the sum's low 16 bits count, as the checksum line holds them.
      const std::uint32_t textSum = byteSum(text);
      out_.add(FindingKind::RecordType, FindingPlace::Line, line, [&] {
        std::string found = text.empty() ? "an empty line" : "";
        for (std::size_t k = 0; k < std::min<std::size_t>(2, text.size()); ++k) {
          found += (k > 0 ? " " : "") + describeChar(text[k]);
        }
        return FindingTexts{"record type", "S0, S3 or S7", found};
      });
      lastKind_ = "a line that is not a record";
      return textSum;
    }
    const char type = char(text[1]);
    lastKind_ = std::string("an S") + type + " line";
    const std::span<const std::uint8_t> digits = text.subspan(2);

    // Decode every pair; a character that is not a hex digit leaves its bytes unknown.
    // One pass: the bytes, their sum and the characters' sum.
    bytes_.resize(digits.size() / 2);
    std::uint8_t bad = 0;
    std::uint32_t byteSum = 0;
    std::uint32_t textSum = std::uint32_t(text[0]) + text[1];
    if (!decodeAllHex(digits, byteSum, textSum)) {
      for (std::size_t k = 0; k < bytes_.size(); ++k) {
        const std::uint8_t hc = digits[2 * k];
        const std::uint8_t lc = digits[2 * k + 1];
        const std::uint8_t h = detail::kNibble[hc];
        const std::uint8_t l = detail::kNibble[lc];
        bad |= std::uint8_t(h | l);
        const auto b = std::uint8_t((h << 4) | (l & 0x0F));
        bytes_[k] = b;
        byteSum += b;
        textSum += std::uint32_t(hc) + lc;
      }
    }
    if (digits.size() % 2 != 0) {
      bad |= detail::kNibble[digits.back()];
      textSum += digits.back();
    }
    bool certain = true;
    if (bad & 0xF0) {
      certain = false;
      for (std::size_t k = 0; k < digits.size(); ++k) {
        if (detail::kNibble[digits[k]] & 0xF0) {
          out_.add(FindingKind::NotHexDigit, FindingPlace::Line, line, [&] {
            return FindingTexts{"not a hex digit", "0-9 or A-F",
                                describeChar(digits[k]) + " in column " + std::to_string(k + 3)};
          });
          break;
        }
      }
    }

    const std::size_t addressBytes = type == '0' ? 2 : 4;
    const std::size_t minimum = 1 + addressBytes + 1;
    bool framed = certain;
    if (certain) {
      if (digits.size() % 2 != 0 || bytes_.size() < minimum) {
        out_.add(FindingKind::LineLength, FindingPlace::Line, line, [&] {
          return FindingTexts{
              "line length",
              "at least " + std::to_string(2 * minimum) + " hex digits in byte pairs",
              std::to_string(digits.size()) + " hex digits"};
        });
        framed = false;
      } else if (bytes_[0] != bytes_.size() - 1) {
        const std::size_t carried = bytes_.size() - 1;
        out_.add(FindingKind::LineLength, FindingPlace::Line, line, [&] {
          return FindingTexts{"length field",
                              carried <= 0xFF ? hex2(std::uint8_t(carried)) : byteCount(carried),
                              hex2(bytes_[0])};
        });
        framed = false;  // the checksum is not where the count says: one fault, one finding
      } else {
        const std::uint32_t sum = byteSum - bytes_.back();
        const auto expected = std::uint8_t(0xFF - (sum & 0xFF));
        if (bytes_.back() != expected) {
          out_.add(FindingKind::LineChecksum, FindingPlace::Line, line, [&] {
            return FindingTexts{"line checksum", hex2(expected), hex2(bytes_.back())};
          });
        }
      }
    }

    switch (type) {
      case '0':
        if (open_) {
          out_.add(FindingKind::GroupNotClosed, FindingPlace::Line, line, [&] {
            return FindingTexts{"code group not closed", "S7", "S0"};
          });
        }
        openGroup(line);
        break;
      case '3':
        if (!open_) {
          out_.add(FindingKind::LineOutsideGroup, FindingPlace::Line, line, [&] {
            return FindingTexts{"S3 line outside a code group", "an S0 line before it", "none"};
          });
          break;
        }
        if (current_ != nullptr) {
          if (!certain) current_->uncertain = true;
          if (bytes_.size() >= minimum) takeData(line, framed, byteSum);
        }
        break;
      case '7': {
        const bool trailer = framed && bytes_.size() >= minimum &&
                             (read32be(bytes_.data() + 1) >> 16) == kTrailerTag;
        if (trailer) {
          trailerLine_ = line;
          const auto stated = std::uint16_t(read32be(bytes_.data() + 1));
          const auto sum = std::uint16_t(runningSum_);
          if (stated != sum) {
            out_.add(FindingKind::TrailerChecksum, FindingPlace::Line, line, [&] {
              return FindingTexts{"checksum line", hex4(sum), hex4(stated)};
            });
          }
        }
        if (!open_) {
          out_.add(FindingKind::LineOutsideGroup, FindingPlace::Line, line, [&] {
            return FindingTexts{"S7 line outside a code group", "an S0 line before it", "none"};
          });
        }
        open_ = false;
        current_ = nullptr;
        break;
      }
      default: break;
    }
    return textSum;
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

  // The data of an S3 line, taken from its text even when its count field disagrees.
  void takeData(std::uint64_t line, bool framed, std::uint32_t byteSum) {
    const std::uint32_t address = read32be(bytes_.data() + 1);
    const std::size_t dataEnd = bytes_.size() - 1;
    const std::span<const std::uint8_t> data =
        std::span<const std::uint8_t>(bytes_).subspan(5, dataEnd - 5);
    Carried& g = *current_;
    if (!g.hasData) {
      g.hasData = true;
      g.firstAddress = address;
      g.startAt = line;
    } else if (framed && address != g.nextAddress) {
      out_.add(FindingKind::AddressContinuity, FindingPlace::Line, line, [&] {
        return FindingTexts{"address continuity", hex8(g.nextAddress), hex8(address)};
      });
    }
    g.nextAddress = address + std::uint32_t(data.size());
    std::uint32_t fixed = bytes_.back();
    for (std::size_t k = 0; k < 5; ++k) fixed += bytes_[k];
    g.take(data, line, true, byteSum - fixed);
  }

  std::span<const std::uint8_t> file_;
  std::size_t listed_;
  Collector& out_;
  std::vector<Carried> groups_;
  Carried* current_ = nullptr;
  bool open_ = false;
  std::uint64_t extraGroups_ = 0;
  std::uint64_t runningSum_ = 0;
  const HexKernels& hex_ = hexKernels();
  std::uint64_t trailerLine_ = 0;
  std::uint64_t lastLine_ = 0;
  std::string lastKind_ = "no text";
  std::vector<std::uint8_t> bytes_;
};

// ---- SBF records ----

std::optional<std::size_t> findStartMarker(std::span<const std::uint8_t> file, std::size_t from) {
  if (from >= file.size()) return std::nullopt;
  const auto at = std::search(file.begin() + std::ptrdiff_t(from), file.end(),
                              kSbfStartMarker.begin(), kSbfStartMarker.end());
  if (at == file.end()) return std::nullopt;
  return std::size_t(at - file.begin());
}

std::vector<Carried> checkSbfRecords(std::span<const std::uint8_t> file, std::size_t listed,
                                     Collector& out) {
  std::vector<Carried> groups;
  std::uint64_t extra = 0;
  ByteCursor cursor(file, kHeaderSize);
  while (!cursor.atEnd()) {
    const std::size_t recordAt = cursor.position();
    if (!cursor.takeMarker(kSbfStartMarker)) {
      // Framing is lost: go on from the next start marker, if there is one.
      const auto next = findStartMarker(file, recordAt + 1);
      if (!next) {
        out.add(FindingKind::BytesAfterLastRecord, FindingPlace::Offset, recordAt, [&] {
          return FindingTexts{"bytes after the last record", "end of file",
                              byteCount(cursor.remaining())};
        });
        break;
      }
      out.add(FindingKind::StartMarker, FindingPlace::Offset, recordAt, [&] {
        return FindingTexts{
            "record start marker", hexBytes(kSbfStartMarker),
            hexBytes(cursor.peek(std::min(cursor.remaining(), kSbfStartMarker.size())))};
      });
      cursor = ByteCursor(file, *next);
      continue;
    }
    std::uint32_t length = 0;
    std::uint32_t address = 0;
    if (!cursor.takeU32be(length) || !cursor.takeU32be(address)) {
      out.add(FindingKind::RecordCutOff, FindingPlace::Offset, recordAt, [&] {
        return FindingTexts{"record cut off", "at least " + byteCount(kSbfRecordOverhead),
                            byteCount(file.size() - recordAt)};
      });
      break;
    }
    Carried* g = nullptr;
    if (groups.size() < listed) {
      g = &groups.emplace_back();
      g->place = FindingPlace::Offset;
      g->at = recordAt;
      g->sizeAt = recordAt + kSbfStartMarker.size();
      g->startAt = g->sizeAt + 4;
      g->hasData = true;
      g->firstAddress = address;
    } else {
      const std::uint64_t number = listed + ++extra;
      out.add(FindingKind::DataWithoutEntry, FindingPlace::Offset, recordAt, [&] {
        return FindingTexts{"record with no header entry", std::to_string(listed) + " records",
                            "record " + std::to_string(number)};
      });
    }
    const std::uint64_t whole = std::uint64_t(length) + kSbfRecordOverhead;
    if (!cursor.has(std::size_t(length) + kSbfReservedSize + kSbfEndMarker.size())) {
      out.add(FindingKind::RecordCutOff, FindingPlace::Offset, recordAt, [&] {
        return FindingTexts{"record cut off", byteCount(whole), byteCount(file.size() - recordAt)};
      });
      if (g != nullptr) g->uncertain = true;
      break;
    }
    const std::size_t dataAt = cursor.position();
    const std::span<const std::uint8_t> data = cursor.take(length);
    if (g != nullptr) g->take(data, dataAt, false);
    cursor.skip(kSbfReservedSize);
    const std::size_t endAt = cursor.position();
    if (!cursor.takeMarker(kSbfEndMarker)) {
      out.add(FindingKind::EndMarker, FindingPlace::Offset, endAt, [&] {
        return FindingTexts{"record end marker", hexBytes(kSbfEndMarker),
                            hexBytes(cursor.peek(kSbfEndMarker.size()))};
      });
      cursor.skip(kSbfEndMarker.size());
    }
  }
  return groups;
}

// ---- What both encodings share ----

struct Catalogue {
  Catalogue() : state(std::make_unique<EditorState>()) {
    buildDeviceProfile(*state);
    copyProfileToCatalogue(*state);
  }
  const CatalogueEntry& operator[](int cg) const { return state->catalogue[std::size_t(cg)]; }
  std::unique_ptr<EditorState> state;
};

std::uint16_t prefixSum(const Carried& g, std::size_t from, std::size_t to) {
  std::uint32_t s = 0;
  for (std::size_t k = from; k < std::min(to, g.prefix.size()); ++k) s += g.prefix[k];
  return std::uint16_t(s);
}

class GroupCheck {
 public:
  GroupCheck(std::span<const std::uint8_t> header, const std::vector<Listed>& listed,
             const std::vector<Carried>& carried, Collector& out)
      : header_(header), listed_(listed), carried_(carried), out_(out) {}

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
    const Catalogue catalogue;
    std::array<std::optional<std::pair<std::uint32_t, std::uint32_t>>, kTableEntries> expected{};
    if (listed_.size() > 1 && listed_[1].cgNumber == kCgFbl) {
      expected[0] = {catalogue[kCgFbu].startAddress, catalogue[kCgFbu].endAddress};
    } else {
      for (std::size_t i = 1; i < listed_.size(); ++i) {
        const Listed& l = listed_[i];
        if (l.cgNumber > kRamdldTableLastEntry) continue;
        const CatalogueEntry& known = catalogue[l.cgNumber];
        expected[std::size_t(l.cgNumber)] = {
            l.start, l.start == known.startAddress ? known.endAddress : l.end};
      }
    }
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
      const auto& x = expected[std::size_t(n)];
      if (!x) continue;
      std::array<std::uint8_t, kRamdldTableEntrySize> want;
      write32be(want.data(), x->first);
      write32be(want.data() + 4, x->second);
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
  Collector& out_;
};

}  // namespace

CheckResult checkSuperfile(std::span<const std::uint8_t> file, SuperfileEncoding encoding,
                           std::size_t maxKept) {
  Collector out(maxKept);
  const std::span<const std::uint8_t> header = ByteCursor(file).peek(kHeaderSize);
  if (header.empty()) {
    out.add(FindingKind::HeaderTooShort, FindingPlace::Offset, 0, [&] {
      return FindingTexts{"file shorter than its header block", byteCount(kHeaderSize),
                          byteCount(file.size())};
    });
    return out.finish();
  }
  const std::vector<Listed> listed = listedGroups(header);
  const std::vector<Carried> carried = encoding == SuperfileEncoding::Shx
                                           ? ShxCheck(file, listed.size(), out).run()
                                           : checkSbfRecords(file, listed.size(), out);
  GroupCheck(header, listed, carried, out).run();
  return out.finish();
}

const char* findingKindName(FindingKind kind) {
  switch (kind) {
    case FindingKind::HeaderTooShort: return "header-too-short";
    case FindingKind::RecordType: return "record-type";
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
