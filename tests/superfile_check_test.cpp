// The whole-file check on superfiles laid out byte by byte: clean files of both encodings pass,
// and each single fault gives exactly its own finding, at its line or offset.

#include "superfile/superfile_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "editor/verify_flow.h"
#include "reader_seams.h"
#include "save_setup.h"
#include "superfile/image_loader.h"
#include "superfile/read_and_check.h"
#include "superfile_fixture.h"

using namespace tavufe;
using fixture::Bytes;

namespace {

struct Group {
  int cgNumber;
  std::uint32_t start;
  Bytes data;
  bool carried = true;  // false: listed in the header only
  std::uint32_t end() const { return start + std::uint32_t(data.size()) - 1; }
};

std::string hex(std::uint64_t value, int digits) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%0*llX", digits, static_cast<unsigned long long>(value));
  return buf;
}

// Where the device profile puts each code group the tests use, and where its region ends.
std::uint32_t catalogueEnd(int cg, std::uint32_t start) {
  if (cg == 1 && start == 0x10160000) return 0x10EBF7FF;
  if (cg == 2 && start == 0x11280000) return 0x11F3FFFF;
  if (cg == 4 && start == 0x11100000) return 0x1127FFFF;
  return 0;
}

// RAMDLD bytes 240 to 415 as a save leaves them: erased, with one 8-byte big-endian entry
// (start, end) at 248 + 8n for each code group n from 1 to 20 in the file.
void patchTable(std::vector<Group>& groups) {
  Bytes& rdl = groups[0].data;
  std::fill(rdl.begin() + 240, rdl.begin() + 416, 0xFF);
  for (std::size_t i = 1; i < groups.size(); ++i) {
    const Group& g = groups[i];
    if (g.cgNumber > 20) continue;
    const std::uint32_t known = catalogueEnd(g.cgNumber, g.start);
    const std::uint32_t end = known != 0 ? known : g.end();
    Bytes entry;
    fixture::appendBe32(entry, g.start);
    fixture::appendBe32(entry, end);
    std::copy(entry.begin(), entry.end(), rdl.begin() + 248 + 8 * g.cgNumber);
  }
}

std::array<std::uint8_t, 16> sixteen(const Bytes& data, std::size_t from) {
  std::array<std::uint8_t, 16> out{};
  for (std::size_t k = 0; k < 16 && from + k < data.size(); ++k) out[k] = data[from + k];
  return out;
}

// Each entry with its range, its first 16 bytes and its byte sum; the firmware as its first
// 200 bytes (entry 2) and the rest (entry 3, header bytes from 196).
fixture::Header headerFor(const std::vector<Group>& groups) {
  fixture::Header h;
  h.standardTexts();
  for (const Group& g : groups) {
    if (g.cgNumber == 1) {
      const std::uint16_t first = fixture::sum16(std::span(g.data).first(200));
      h.entry(2, {g.start, g.start + 199, sixteen(g.data, 0), first, 8});
      h.entry(3, {g.start + 200, g.end(), sixteen(g.data, 196),
                  std::uint16_t(fixture::sum16(g.data) - first), 8});
    } else {
      h.entry(fixture::Header::indexOf(g.cgNumber),
              {g.start, g.end(), sixteen(g.data, 0), fixture::sum16(g.data),
               std::uint16_t(g.cgNumber == 0 ? 0 : 8)});
    }
  }
  return h;
}

// RAMDLD (8 S3 lines, lines 2-9), firmware (6, lines 12-17), Flex (5, lines 20-24, the last
// of 48 bytes); the checksum line is line 25.
std::vector<Group> cleanGroups() {
  std::vector<Group> groups = {{0, 0x03FC8000, fixture::pattern(0x200, 21)},
                               {1, 0x10160000, fixture::pattern(0x180, 22)},
                               {2, 0x11280000, fixture::pattern(0x130, 23)}};
  patchTable(groups);
  return groups;
}

using Lines = std::vector<std::string>;

// The text lines (without line ends) of the groups carried: S0, S3 lines, S7 after each but
// the last, which the checksum line closes.
Lines shxLines(const std::vector<Group>& groups) {
  Lines lines;
  std::vector<const Group*> carried;
  for (const Group& g : groups) {
    if (g.carried) carried.push_back(&g);
  }
  for (std::size_t i = 0; i < carried.size(); ++i) {
    lines.push_back("S00600004844521B");
    const std::string text = fixture::s3Lines(carried[i]->start, carried[i]->data);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find("\r\n", at);
      lines.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    if (i + 1 < carried.size()) lines.push_back("S70500000000FA");
  }
  return lines;
}

// Header, lines joined by CR LF, then the checksum line over every byte before it (plus
// `trailerError`), with no line end.
Bytes shxFile(const fixture::Header& header, const Lines& lines, std::uint16_t trailerError = 0) {
  Bytes file = header.bytes();
  for (const std::string& line : lines) fixture::append(file, line + "\r\n");
  const auto sum = std::uint16_t(fixture::sum16(file) + trailerError);
  fixture::append(file, fixture::srecord('7', 0x43530000u | sum, {}));
  return file;
}

Bytes sbfFile(const fixture::Header& header, const std::vector<Group>& groups) {
  Bytes file = header.bytes();
  for (const Group& g : groups) {
    if (g.carried) fixture::append(file, fixture::sbfRecord(g.start, g.data));
  }
  return file;
}

// 948 + 28 × entry, then the field: 24 for the checksum.
constexpr std::uint64_t kFlexChecksumAt = 948 + 28 * 4 + 24;

// An S3 line with one field replaced, its checksum redone unless `keepChecksum`.
std::string withByte(const std::string& line, std::size_t byteIndex, std::uint8_t value,
                     bool keepChecksum = false) {
  std::string out = line;
  const std::string pair = hex(value, 2);
  out.replace(2 + 2 * byteIndex, 2, pair);
  if (!keepChecksum) {
    unsigned sum = 0;
    for (std::size_t k = 2; k + 2 < out.size(); k += 2)
      sum += unsigned(std::stoul(out.substr(k, 2), nullptr, 16));
    out.replace(out.size() - 2, 2, hex(0xFF - (sum & 0xFF), 2));
  }
  return out;
}

std::uint8_t byteOf(const std::string& line, std::size_t byteIndex) {
  return std::uint8_t(std::stoul(line.substr(2 + 2 * byteIndex, 2), nullptr, 16));
}

struct Expected {
  FindingKind kind;
  FindingPlace place;
  std::uint64_t at;
  std::string what;
  std::string expected;
  std::string found;
  FindingSeverity severity = FindingSeverity::Problem;
};

void expectOnly(const CheckResult& result, const Expected& e) {
  const bool note = e.severity == FindingSeverity::Note;
  ASSERT_EQ(result.problems, note ? 0u : 1u);
  ASSERT_EQ(result.notes, note ? 1u : 0u);
  ASSERT_EQ(result.findings.size(), 1u);
  const Finding& f = result.findings[0];
  EXPECT_EQ(f.severity, e.severity);
  EXPECT_EQ(findingKindName(f.kind), std::string(findingKindName(e.kind)));
  EXPECT_EQ(f.place, e.place);
  EXPECT_EQ(f.at, e.at);
  EXPECT_EQ(f.what, e.what);
  EXPECT_EQ(f.expected, e.expected);
  EXPECT_EQ(f.found, e.found);
}

}  // namespace

TEST(SuperfileCheckTest, CleanFilesOfBothEncodingsPass) {
  const std::vector<Group> groups = cleanGroups();
  const fixture::Header header = headerFor(groups);
  const Bytes shx = shxFile(header, shxLines(groups));
  const Bytes sbf = sbfFile(header, groups);
  for (const auto& [name, bytes, encoding] :
       {std::tuple{"shx", shx, SuperfileEncoding::Shx}, {"sbf", sbf, SuperfileEncoding::Sbf}}) {
    SCOPED_TRACE(name);
    const CheckResult result = checkSuperfile(bytes, encoding);
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.findings.empty());
  }
  // The other encoding's reading of the same bytes is anything but clean.
  EXPECT_FALSE(checkSuperfile(shx, SuperfileEncoding::Sbf).ok());
  EXPECT_FALSE(checkSuperfile(sbf, SuperfileEncoding::Shx).ok());
}

TEST(SuperfileCheckTest, TheLineOfTheFormatsExampleIsCheckedByItsSum) {
  // S3091128000001020304B3: four bytes 01 02 03 04 at 11280000, checksum B3.
  std::vector<Group> groups = cleanGroups();
  groups[2].data = {0x01, 0x02, 0x03, 0x04};
  Lines lines = shxLines(groups);
  ASSERT_EQ(lines.back(), "S3091128000001020304B3");
  const fixture::Header header = headerFor(groups);
  EXPECT_TRUE(checkSuperfile(shxFile(header, lines), SuperfileEncoding::Shx).ok());
  lines.back() = "S3091128000001020304B4";
  expectOnly(checkSuperfile(shxFile(header, lines), SuperfileEncoding::Shx),
             {FindingKind::LineChecksum, FindingPlace::Line, 20, "line checksum", "B3", "B4"});
}

// Layouts the reader takes as it takes CR LF lines: records wherever "S" and a type stand, the
// text between them passed over. The check finds no problem in them, only notes of what it
// passed over, and the read lays what it lays from the clean file.
TEST(SuperfileCheckTest, LayoutsTheReaderTakesAreNotedNotProblems) {
  const std::vector<Group> groups = cleanGroups();
  const fixture::Header header = headerFor(groups);
  const Lines clean = shxLines(groups);
  // The lines joined by `end`, then the checksum line over everything before it, or a plain S7.
  const auto layout = [&](const Lines& lines, const std::string& end, bool plainLast = false) {
    Bytes file = header.bytes();
    for (const std::string& line : lines) fixture::append(file, line + end);
    fixture::append(file, plainLast
                              ? fixture::srecord('7', 0, {})
                              : fixture::srecord('7', 0x43530000u | fixture::sum16(file), {}));
    return file;
  };
  const auto with = [&](std::size_t line, const std::string& text) {
    Lines lines = clean;
    lines[line - 1] = text;
    return lines;
  };
  struct Case {
    const char* name;
    Bytes file;
    std::vector<std::string> notes;  // line: kind, found
  };
  const Case cases[] = {
      {"LF only", layout(clean, "\n"), {}},
      {"CR only", layout(clean, "\r"), {}},
      {"no line ends", layout(clean, ""), {}},
      {"an empty line",
       layout(with(11, clean[10] + "\r\n"), "\r\n"),
       {"12: text-outside-record, an empty line"}},
      {"spaces after a record",
       layout(with(21, clean[20] + "  "), "\r\n"),
       {"21: text-outside-record, ' ' in column " + std::to_string(clean[20].size() + 1)}},
      {"text before a record",
       layout(with(21, "# " + clean[20]), "\r\n"),
       {"21: text-outside-record, '#' in column 1"}},
      {"a plain S7 last", layout(clean, "\r\n", true), {"25: trailer-missing, an S7 line"}},
  };
  Progress progress;
  auto expected = freshEditor();
  ASSERT_EQ(readShx(*expected, shxFile(header, clean), progress).status, StatusCode::None);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CheckResult check = checkSuperfile(c.file, SuperfileEncoding::Shx);
    EXPECT_EQ(check.problems, 0u);
    std::vector<std::string> notes;
    for (const Finding& f : check.findings) {
      notes.push_back(std::to_string(f.at) + ": " + findingKindName(f.kind) + ", " + f.found);
    }
    EXPECT_EQ(notes, c.notes);
    auto read = freshEditor();
    ASSERT_EQ(readAndCheck(*read, c.file, SuperfileEncoding::Shx, progress).read.status,
              StatusCode::None);
    EXPECT_EQ(read->slots, expected->slots);
    EXPECT_TRUE(std::ranges::equal(read->image.read(0x1280000, 0x200),
                                   expected->image.read(0x1280000, 0x200)));
  }
  // Text that holds no record at all is not a layout but a problem.
  Bytes noise = header.bytes();
  fixture::append(noise, std::string_view("xyz\r\n"));
  const CheckResult none = checkSuperfile(noise, SuperfileEncoding::Shx);
  EXPECT_TRUE(std::ranges::any_of(none.findings, [](const Finding& f) {
    return f.kind == FindingKind::NoRecords && f.severity == FindingSeverity::Problem;
  }));
  // Nor is an "S" that ends the file, where the read stops.
  Bytes endsInS = shxFile(header, clean);
  endsInS.push_back('S');
  auto read = freshEditor();
  const ReadAndCheck cut = readAndCheck(*read, endsInS, SuperfileEncoding::Shx, progress);
  EXPECT_EQ(cut.read.status, StatusCode::RecordError);
  EXPECT_EQ(cut.check.problems, 1u);
}

// One fault at a time in SHX text; the checksum line is always made over the faulty text, so
// that only the fault itself shows.
TEST(SuperfileCheckTest, EachShxFaultGivesExactlyItsFinding) {
  const std::vector<Group> clean = cleanGroups();
  const std::uint16_t flexSum = fixture::sum16(clean[2].data);
  const Lines cleanLines = shxLines(clean);
  const std::string line21 = cleanLines[20];  // the Flex code group's second line
  const std::uint8_t firstData = byteOf(line21, 5);
  const std::uint8_t lineSum = byteOf(line21, 69);

  struct Case {
    const char* name;
    std::function<void(std::vector<Group>&, Lines&, std::uint16_t&)> fault;
    Expected finding;
  };
  const std::vector<Case> cases = {
      {"flipped line checksum",
       [&](auto&, Lines& l, auto&) { l[20] = withByte(line21, 69, lineSum ^ 0x10, true); },
       {FindingKind::LineChecksum, FindingPlace::Line, 21, "line checksum", hex(lineSum, 2),
        hex(lineSum ^ 0x10, 2)}},
      {"flipped data byte, line sum kept",
       [&](auto&, Lines& l, auto&) { l[20] = withByte(line21, 5, firstData ^ 0x01); },
       {FindingKind::CodeGroupChecksum, FindingPlace::Offset, kFlexChecksumAt, "CG2 checksum",
        hex(flexSum, 4), hex(std::uint16_t(flexSum - firstData + (firstData ^ 0x01)), 4)}},
      {"wrong checksum line",
       [](auto&, auto&, std::uint16_t& error) { error = 1; },
       {FindingKind::TrailerChecksum, FindingPlace::Line, 25, "checksum line", "", ""}},
      {"short length field",
       [&](auto&, Lines& l, auto&) { l[20] = withByte(line21, 0, 0x44, true); },
       {FindingKind::LineLength, FindingPlace::Line, 21, "length field", "45", "44"}},
      {"gap in addresses",
       [&](std::vector<Group>& g, Lines& l, auto&) {
         // Lines 22 on start 16 bytes further on: one hole, then contiguous again.
         const std::string rest = fixture::s3Lines(0x11280090, std::span(g[2].data).subspan(0x80));
         l.resize(21);
         for (std::size_t at = 0; at < rest.size(); at = rest.find("\r\n", at) + 2) {
           l.push_back(rest.substr(at, rest.find("\r\n", at) - at));
         }
       },
       {FindingKind::AddressContinuity, FindingPlace::Line, 22, "address continuity", "11280080",
        "11280090"}},
      {"not a hex digit",
       [&](auto&, Lines& l, auto&) { l[20][20] = 'G'; },
       {FindingKind::NotHexDigit, FindingPlace::Line, 21, "not a hex digit", "0-9 or A-F",
        "'G' in column 21"}},
      {"not a hex digit after a byte FF on the same line",
       [&](auto&, Lines& l, auto&) {
         l[20] = withByte(line21, 5, 0xFF);
         l[20][20] = 'G';
       },
       {FindingKind::NotHexDigit, FindingPlace::Line, 21, "not a hex digit", "0-9 or A-F",
        "'G' in column 21"}},
      {"record that is not S0, S3 or S7",
       [](auto&, Lines& l, auto&) { l.insert(l.begin() + 10, "S5030003F9"); },
       {FindingKind::RecordType, FindingPlace::Line, 11, "record type", "S0, S3 or S7", "'S' '5'"}},
      {"group not closed",
       [](auto&, Lines& l, auto&) { l.erase(l.begin() + 17); },  // the firmware's S7
       {FindingKind::GroupNotClosed, FindingPlace::Line, 18, "code group not closed", "S7", "S0"}},
      {"RAMDLD table entry",
       [](std::vector<Group>& g, Lines& l, auto&) {
         g[0].data[271] = 0xFE;  // the Flex entry's end: 11F3FFFE
         l = shxLines(g);
       },
       {FindingKind::RamdldTable, FindingPlace::Line, 6, "RAMDLD table entry for CG2",
        "11280000-11F3FFFF", "11280000-11F3FFFE", FindingSeverity::Note}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Group> groups = clean;
    Lines lines = cleanLines;
    std::uint16_t trailerError = 0;
    c.fault(groups, lines, trailerError);
    const Bytes file = shxFile(headerFor(groups), lines, trailerError);
    Expected e = c.finding;
    if (e.kind == FindingKind::TrailerChecksum) {
      const std::uint16_t sum = fixture::sum16(std::span(file).first(file.size() - 14));
      e.expected = hex(sum, 4);
      e.found = hex(std::uint16_t(sum + 1), 4);
    }
    expectOnly(checkSuperfile(file, SuperfileEncoding::Shx), e);
  }
}

// Faults of the header's table and of the code groups, in both encodings, and the SBF
// framing. Offsets: entry e at 948 + 28e; records from 8172, data 17 bytes into each.
TEST(SuperfileCheckTest, EachTableAndFramingFaultGivesExactlyItsFinding) {
  const std::vector<Group> clean = cleanGroups();
  const std::uint16_t flexSum = fixture::sum16(clean[2].data);
  constexpr std::uint64_t kFlexRecordAt = 8172 + (0x200 + 29) + (0x180 + 29);
  struct Case {
    const char* name;
    std::vector<SuperfileEncoding> encodings;
    std::function<void(std::vector<Group>&, fixture::Header&)> fault;
    std::function<void(Bytes&)> fileFault;  // on the finished file
    Expected finding;
  };
  const auto none = [](auto&, auto&) {};
  const std::vector<SuperfileEncoding> both = {SuperfileEncoding::Shx, SuperfileEncoding::Sbf};
  const std::vector<Case> cases = {
      {"header checksum off by one",
       both,
       [&](auto& g, fixture::Header& h) {
         h.entry(4, {g[2].start, g[2].end(), sixteen(g[2].data, 0), std::uint16_t(flexSum + 1), 8});
       },
       {},
       {FindingKind::CodeGroupChecksum, FindingPlace::Offset, kFlexChecksumAt, "CG2 checksum",
        hex(std::uint16_t(flexSum + 1), 4), hex(flexSum, 4)}},
      {"firmware's second entry checksum",
       both,
       [&](auto& g, fixture::Header& h) {
         const std::uint16_t rest =
             fixture::sum16(std::span(g[1].data).subspan(200)) ^ std::uint16_t(0x0100);
         h.entry(3, {g[1].start + 200, g[1].end(), sixteen(g[1].data, 196), rest, 8});
       },
       {},
       {FindingKind::CodeGroupChecksum, FindingPlace::Offset, 948 + 28 * 3 + 24,
        "CG1 checksum (from byte 200)",
        hex(fixture::sum16(std::span(clean[1].data).subspan(200)) ^ 0x0100, 4),
        hex(fixture::sum16(std::span(clean[1].data).subspan(200)), 4)}},
      {"overlapping code group",
       both,
       [](std::vector<Group>& g, fixture::Header& h) {
         g.push_back({4, 0x11280100, fixture::pattern(0x40, 24)});
         patchTable(g);
         h = headerFor(g);
       },
       {},
       {FindingKind::Overlap, FindingPlace::Offset, 948 + 28 * 6, "CG4 overlaps CG2",
        "no shared addresses", "11280100-1128012F"}},
      {"entry with no data",
       both,
       [](std::vector<Group>& g, fixture::Header& h) {
         g.push_back({4, 0x11100000, fixture::pattern(0x40, 24), false});
         patchTable(g);
         h = headerFor(g);
       },
       {},
       {FindingKind::EntryWithoutData, FindingPlace::Offset, 948 + 28 * 6, "CG4 has no data",
        "its code group in the file", "none"}},
      {"code group outside the image",
       both,
       [](std::vector<Group>& g, fixture::Header& h) {
         g.push_back({7, 0x13FFFFF0, fixture::pattern(0x20, 25)});
         patchTable(g);
         h = headerFor(g);
       },
       {},
       {FindingKind::OutsideImage, FindingPlace::Offset, 948 + 28 * 9, "CG7 outside the image",
        "10000000-13FFFFFF", "13FFFFF0-1400000F"}},
      {"truncated SBF record",
       {SuperfileEncoding::Sbf},
       none,
       [](Bytes& sbf) { sbf.resize(sbf.size() - 10); },
       {FindingKind::RecordCutOff, FindingPlace::Offset, kFlexRecordAt, "record cut off",
        "333 bytes", "323 bytes"}},
      {"stray byte after the last record",
       {SuperfileEncoding::Sbf},
       none,
       [](Bytes& sbf) { sbf.push_back(0x00); },
       {FindingKind::BytesAfterLastRecord, FindingPlace::Offset, kFlexRecordAt + 333,
        "bytes after the last record", "end of file", "1 byte"}},
      {"wrong end marker",
       {SuperfileEncoding::Sbf},
       none,
       [](Bytes& sbf) { sbf[8172 + 0x200 + 21 + 7] = 0x04; },
       {FindingKind::EndMarker, FindingPlace::Offset, 8172 + 0x200 + 21, "record end marker",
        "03 02 02 00 00 00 00 03", "03 02 02 00 00 00 00 04"}},
      {"RAMDLD table in an SBF file",
       {SuperfileEncoding::Sbf},
       [](std::vector<Group>& g, fixture::Header& h) {
         g[0].data[256] = 0x11;  // the firmware entry's start: 11160000
         h = headerFor(g);
       },
       {},
       {FindingKind::RamdldTable, FindingPlace::Offset, 8172 + 17 + 256,
        "RAMDLD table entry for CG1", "10160000-10EBF7FF", "11160000-10EBF7FF",
        FindingSeverity::Note}},
  };
  for (const Case& c : cases) {
    for (const SuperfileEncoding encoding : c.encodings) {
      SCOPED_TRACE(std::string(c.name) + (encoding == SuperfileEncoding::Shx ? " shx" : " sbf"));
      std::vector<Group> groups = clean;
      fixture::Header header = headerFor(groups);
      c.fault(groups, header);
      Bytes file = encoding == SuperfileEncoding::Shx ? shxFile(header, shxLines(groups))
                                                      : sbfFile(header, groups);
      if (c.fileFault) c.fileFault(file);
      expectOnly(checkSuperfile(file, encoding), c.finding);
    }
  }
}

// The check goes on past every problem, lists them in file order (header offsets before the
// text's lines), and keeps at most the cap while counting all.
TEST(SuperfileCheckTest, EveryProblemIsCountedAndTheListIsCapped) {
  std::vector<Group> groups = cleanGroups();
  fixture::Header header = headerFor(groups);
  header.entry(4, {groups[2].start, groups[2].end(), sixteen(groups[2].data, 0), 0x0000, 8});
  Lines lines = shxLines(groups);
  for (const std::size_t i : {2u, 12u, 21u}) lines[i][lines[i].size() - 1] ^= 0x01;
  const Bytes file = shxFile(header, lines);

  const CheckResult all = checkSuperfile(file, SuperfileEncoding::Shx);
  ASSERT_EQ(all.problems, 4u);
  ASSERT_EQ(all.findings.size(), 4u);
  EXPECT_EQ(all.findings[0].place, FindingPlace::Offset);
  EXPECT_EQ(all.findings[0].at, kFlexChecksumAt);
  const std::vector<std::uint64_t> lineNumbers = {all.findings[1].at, all.findings[2].at,
                                                  all.findings[3].at};
  EXPECT_EQ(lineNumbers, (std::vector<std::uint64_t>{3, 13, 22}));

  const CheckResult capped = checkSuperfile(file, SuperfileEncoding::Shx, 2);
  EXPECT_EQ(capped.problems, 4u);
  EXPECT_EQ(capped.findings.size(), 2u);
  EXPECT_EQ(capped.notKept(), 2u);

  // Garbage costs a finding a line, never more than the cap in memory.
  Bytes garbage = header.bytes();
  for (int k = 0; k < 5000; ++k) fixture::append(garbage, std::string_view("xyz\n"));
  const CheckResult noise = checkSuperfile(garbage, SuperfileEncoding::Shx);
  EXPECT_GT(noise.notes, 5000u);
  EXPECT_EQ(noise.findings.size(), kMaxKeptFindings);
}

// Code groups the header does not list are numbered in file order; a cap keeps the first.
TEST(SuperfileCheckTest, GroupsBeyondTheHeaderAreNumberedInFileOrder) {
  const std::vector<Group> groups = cleanGroups();
  const fixture::Header header = headerFor({groups[0]});
  const auto extra = [](const CheckResult& result) {
    std::vector<std::string> found;
    for (const Finding& f : result.findings) {
      if (f.kind == FindingKind::DataWithoutEntry) found.push_back(f.found);
    }
    return found;
  };
  const Bytes shx = shxFile(header, shxLines(groups));
  EXPECT_EQ(extra(checkSuperfile(shx, SuperfileEncoding::Shx)),
            (std::vector<std::string>{"code group 2", "code group 3"}));
  const CheckResult capped = checkSuperfile(shx, SuperfileEncoding::Shx, 1);
  EXPECT_EQ(extra(capped), std::vector<std::string>{"code group 2"});
  EXPECT_EQ(capped.problems, 2u);
  EXPECT_EQ(extra(checkSuperfile(sbfFile(header, groups), SuperfileEncoding::Sbf)),
            (std::vector<std::string>{"record 2", "record 3"}));
}

TEST(SuperfileCheckTest, FilesThatEndTooSoon) {
  const std::vector<Group> groups = cleanGroups();
  const fixture::Header header = headerFor(groups);
  // One byte short of the header block: that is all there is to say.
  const Bytes shortFile(header.bytes().begin(), header.bytes().end() - 1);
  for (const SuperfileEncoding encoding : {SuperfileEncoding::Shx, SuperfileEncoding::Sbf}) {
    expectOnly(checkSuperfile(shortFile, encoding),
               {FindingKind::HeaderTooShort, FindingPlace::Offset, 0,
                "file shorter than its header block", "8172 bytes", "8171 bytes"});
  }
  // The header alone: every listed code group lacks its data.
  const CheckResult sbf = checkSuperfile(header.bytes(), SuperfileEncoding::Sbf);
  ASSERT_EQ(sbf.problems, 3u);
  for (const Finding& f : sbf.findings) EXPECT_EQ(f.kind, FindingKind::EntryWithoutData);
  // SHX text cut inside a code group: not closed, and no checksum line.
  Lines lines = shxLines(groups);
  Bytes cut = header.bytes();
  for (std::size_t i = 0; i < 5; ++i) fixture::append(cut, lines[i] + "\r\n");
  const CheckResult shx = checkSuperfile(cut, SuperfileEncoding::Shx);
  std::vector<FindingKind> kinds;
  for (const Finding& f : shx.findings) kinds.push_back(f.kind);
  EXPECT_EQ(kinds,
            (std::vector<FindingKind>{FindingKind::EntryWithoutData, FindingKind::EntryWithoutData,
                                      FindingKind::CodeGroupSize, FindingKind::GroupNotClosed,
                                      FindingKind::TrailerMissing}));
}

// What the editor's own writers produce passes the check: patched RAMDLD table, header
// entries, line sums and the checksum line agree with the checker's reading of the format.
TEST(SuperfileCheckTest, WhatASaveWritesVerifiesClean) {
  for (const bool shx : {true, false}) {
    SCOPED_TRACE(shx ? "shx" : "sbf");
    auto r = save_setup::ramdldAndFlex(0x800, 0x3001);
    Progress progress;
    StatusCode status = StatusCode::None;
    const Bytes written = save_setup::writeSuperfile(*r.state, shx, status, progress);
    ASSERT_EQ(status, StatusCode::None);
    const CheckResult result =
        checkSuperfile(written, shx ? SuperfileEncoding::Shx : SuperfileEncoding::Sbf);
    EXPECT_TRUE(result.ok()) << (result.findings.empty() ? "" : result.findings[0].what);
  }
}

// ---- One walk for the read and the check ----

namespace {

// What the SHX tokenizer hands a sink, one line of text each.
struct ShxRecorder : ShxTokenSink {
  void record(const ShxRecord& r) override {
    static const char* const kFaults[] = {"ok",     "not hex",  "too short",
                                          "length", "checksum", "cut short"};
    seen.push_back(
        "record " + std::to_string(r.line) + ":" + std::to_string(r.column) + " @" +
        std::to_string(r.offset) + " S" +
        (r.type == 0 ? std::string("-") : std::string(1, r.type)) + " " + kFaults[int(r.fault)] +
        (r.fault == ShxRecordFault::NotHexDigit ? " at " + std::to_string(r.badAt) : "") +
        (r.wholeLine ? " whole" : ""));
  }
  void passedOver(std::uint64_t line, std::size_t column, std::uint8_t c) override {
    seen.push_back("passed " + std::to_string(line) + ":" + std::to_string(column) + " " +
                   std::string(1, char(c)));
  }
  void lineEnd(std::uint64_t line, bool empty) override {
    seen.push_back("end " + std::to_string(line) + (empty ? " empty" : ""));
  }
  std::vector<std::string> seen;
};

struct RecordRecorder : SbfTokenSink {
  void record(const SbfRecordToken& r) override {
    seen.push_back("record " + std::to_string(r.offset) + " " + std::to_string(r.length) + " " +
                   hex(r.address, 8) + (r.hasData ? " data " + std::to_string(r.dataOffset) : "") +
                   (r.whole ? (r.endMarkerMatches ? " end" : " bad end") : " cut"));
  }
  void lostFraming(std::size_t offset, std::size_t next) override {
    seen.push_back("lost " + std::to_string(offset) + " " + std::to_string(next));
  }
  std::vector<std::string> seen;
};

}  // namespace

TEST(TokenizerTest, ShxRecordsCarryTheirPlaceAndFirstFault) {
  const std::string good = "S3091128000001020304B3";  // the format's example line
  const std::vector<std::string> lines = {
      "S00600004844521B",       good,       "hello",
      "S3091128000001020G04B3", "S3091128", "S30A1128000001020304B3",
      "S3091128000001020304B4", ""};
  Bytes file = fixture::Header().bytes();
  for (const std::string& l : lines) fixture::append(file, l + "\r\n");
  fixture::append(file, "S705");  // the last line has no line end
  ShxRecorder recorder;
  tokenizeShx(file, recorder);
  EXPECT_EQ(recorder.seen, (std::vector<std::string>{
                               "record 1:1 @8172 S0 ok whole",
                               "record 2:1 @8190 S3 ok whole",
                               "passed 3:1 h",
                               "end 3",
                               "record 4:1 @8221 S3 not hex at 17",
                               "end 4",
                               "record 5:1 @8245 S3 too short whole",
                               "record 6:1 @8255 S3 length whole",
                               "record 7:1 @8279 S3 checksum whole",
                               "end 8 empty",
                               "record 9:1 @8305 S7 too short whole",
                           }));
}

// A line of a record type and nothing else: no pair, nothing decoded yet.
TEST(TokenizerTest, ABareRecordTypeIsATooShortRecord) {
  for (const std::string_view text : {"S3", "S3\r\n", "S0"}) {
    Bytes file = fixture::Header().bytes();
    fixture::append(file, text);
    ShxRecorder recorder;
    tokenizeShx(file, recorder);
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{std::string("record 1:1 @8172 S") + text[1] +
                                                       " too short whole"}))
        << text;
  }
}

// One rule frames a record wherever it stands: from "S" and its type over its count's pairs (or
// its digits, where they run on), never into the next "S"; what lies between is passed over.
TEST(TokenizerTest, RecordsAreFramedAlikeInMixedText) {
  const std::string good = "S3091128000001020304B3";
  struct Case {
    std::string line;
    std::vector<std::string> seen;
  };
  const Case cases[] = {
      {good + good, {"record 1:1 @8172 S3 ok", "record 1:23 @8194 S3 ok", "end 1"}},
      {good + " " + good,
       {"record 1:1 @8172 S3 ok", "passed 1:23  ", "record 1:24 @8195 S3 ok", "end 1"}},
      {"x" + good, {"passed 1:1 x", "record 1:2 @8173 S3 ok", "end 1"}},
      {"S" + good, {"passed 1:1 S", "record 1:2 @8173 S3 ok", "end 1"}},
      {good + "  ", {"record 1:1 @8172 S3 ok", "passed 1:23  ", "end 1"}},
      {"S3091128\t000001020304B3", {"record 1:1 @8172 S3 not hex at 8", "passed 1:23 3", "end 1"}},
      {good + "00", {"record 1:1 @8172 S3 length whole"}},
      {"S30C1128000001020304B3" + good,
       {"record 1:1 @8172 S3 length", "record 1:23 @8194 S3 ok", "end 1"}},
      {"S509" + good, {"record 1:1 @8172 S5 ok", "record 1:5 @8176 S3 ok", "end 1"}},
      {good + "\r" + good, {"record 1:1 @8172 S3 ok", "record 1:24 @8195 S3 ok", "end 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Bytes file = fixture::Header().bytes();
    fixture::append(file, c.line + "\r\n");
    ShxRecorder recorder;
    tokenizeShx(file, recorder);
    EXPECT_EQ(recorder.seen, c.seen);
  }
}

TEST(TokenizerTest, SbfRecordsAndLostFramingCarryTheirOffsets) {
  const Bytes four = {1, 2, 3, 4};
  Bytes file = fixture::Header().bytes();
  fixture::append(file, fixture::sbfRecord(0x03FC8000, four));
  Bytes second = fixture::sbfRecord(0x11280000, four);
  second.back() = 0x04;  // its end marker's last byte
  fixture::append(file, second);
  fixture::append(file, "junk");
  fixture::append(file, fixture::sbfRecord(0x11280004, four));
  fixture::append(file, "tail");
  const Bytes cut(file.begin(), file.end() - 4 - 6);
  RecordRecorder whole, shortened;
  tokenizeSbf(file, whole);
  tokenizeSbf(cut, shortened);
  // 33 bytes a record of four: marker 9, length 4, address 4, data 4, reserved 4, marker 8.
  EXPECT_EQ(whole.seen, (std::vector<std::string>{
                            "record 8172 4 03FC8000 data 8189 end",
                            "record 8205 4 11280000 data 8222 bad end",
                            "lost 8238 8242",
                            "record 8242 4 11280004 data 8259 end",
                            "lost 8275 0",
                        }));
  // Cut inside the last record's end marker: its data is there, its marker is not.
  EXPECT_EQ(shortened.seen.back(), "record 8242 4 11280004 data 8259 cut");
}

// The one walk gives what the reader and the check gave on their own walks, damaged files
// included; where the read stops, its cause is the check's finding there.
TEST(OneWalkTest, ReadAndCheckAgreeWithTheirOwnWalks) {
  const std::vector<Group> clean = cleanGroups();
  const fixture::Header header = headerFor(clean);
  const Lines lines = shxLines(clean);
  auto shxWith = [&](std::size_t line, const std::string& text, bool insert = false) {
    Lines l = lines;
    if (insert) {
      l.insert(l.begin() + std::ptrdiff_t(line - 1), text);
    } else {
      l[line - 1] = text;
    }
    return shxFile(header, l);
  };
  const std::string flexLine = lines[20];  // line 21, the Flex's second
  std::string badSum = flexLine;
  badSum.back() = badSum.back() == '0' ? '1' : '0';
  std::string badDigit = flexLine;
  badDigit[20] = 'G';
  const Bytes sbf = sbfFile(header, clean);
  Bytes flexFlipped = sbf;
  flexFlipped[flexFlipped.size() - 40] ^= 0x01;
  Bytes endMarker = sbf;
  endMarker.back() ^= 0x01;
  const Bytes shx = shxFile(header, lines);

  struct Case {
    const char* what;
    Bytes file;
    SuperfileEncoding encoding;
    StatusCode status;
    FindingKind kind;  // the cause of a failed read, or a finding of a good one
  };
  const Case cases[] = {
      {"line checksum", shxWith(21, badSum), SuperfileEncoding::Shx, StatusCode::ChecksumError,
       FindingKind::LineChecksum},
      {"not a hex digit", shxWith(21, badDigit), SuperfileEncoding::Shx, StatusCode::ChecksumError,
       FindingKind::NotHexDigit},
      {"stray text, passed over by the read", shxWith(21, "hello", true), SuperfileEncoding::Shx,
       StatusCode::None, FindingKind::TextOutsideRecord},
      {"digits after the checksum", shxWith(21, flexLine + "00"), SuperfileEncoding::Shx,
       StatusCode::None, FindingKind::LineLength},
      {"cut in a line", Bytes(shx.begin(), shx.end() - 200), SuperfileEncoding::Shx,
       StatusCode::RecordError, FindingKind::LineLength},
      {"a Flex byte changed", flexFlipped, SuperfileEncoding::Sbf, StatusCode::None,
       FindingKind::CodeGroupChecksum},
      {"end marker", endMarker, SuperfileEncoding::Sbf, StatusCode::RecordError,
       FindingKind::EndMarker},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto alone = freshEditor();
    auto both = freshEditor();
    Progress progress;
    const ReadResult read = c.encoding == SuperfileEncoding::Shx
                                ? readShx(*alone, c.file, progress)
                                : readSbf(*alone, c.file, progress);
    const CheckResult check = checkSuperfile(c.file, c.encoding);
    const ReadAndCheck once = readAndCheck(*both, c.file, c.encoding, progress);
    EXPECT_EQ(once.read.status, c.status);
    EXPECT_EQ(read.status, c.status);
    EXPECT_EQ(once.read.complete, read.complete);
    EXPECT_EQ(both->slots, alone->slots);
    EXPECT_TRUE(std::ranges::equal(both->image.read(0x1280000, 0x200),
                                   alone->image.read(0x1280000, 0x200)));
    ASSERT_FALSE(check.findings.empty());
    ASSERT_EQ(once.check.findings.size(), check.findings.size());
    for (std::size_t k = 0; k < check.findings.size(); ++k) {
      EXPECT_EQ(findingLine("f", once.check.findings[k]), findingLine("f", check.findings[k]));
    }
    EXPECT_EQ(once.cause.has_value(), c.status != StatusCode::None);
    if (once.cause) {
      EXPECT_EQ(once.cause->kind, c.kind);
    } else {
      EXPECT_TRUE(
          std::ranges::any_of(check.findings, [&](const Finding& f) { return f.kind == c.kind; }));
    }
  }
}

// Odd SHX text: the open's status and where it stopped, the check's problems and so whether a
// save refuses all come from the one framing, so they agree: a read that stops names a problem
// of the check at its line, and a file that opens with problems is refused by a save.
TEST(OneWalkTest, OddTextGivesOneAccountInReadAndCheck) {
  const std::vector<Group> clean = cleanGroups();
  const fixture::Header header = headerFor(clean);
  const Lines lines = shxLines(clean);
  const std::string line21 = lines[20];  // the Flex's second line
  const std::string line22 = lines[21];
  // The lines with line 21 (and 22 where `join`) replaced by `text`.
  const auto shx = [&](const std::string& text, bool join = false) {
    Lines l = lines;
    l[20] = text;
    if (join) l.erase(l.begin() + 21);
    return shxFile(header, l);
  };
  const auto ends = [&](const std::string& end) {
    Bytes file = header.bytes();
    for (const std::string& line : lines) fixture::append(file, line + end);
    fixture::append(file, std::string_view("S70500000000FA"));
    return file;
  };
  std::string lower = line21;
  std::transform(lower.begin() + 2, lower.end(), lower.begin() + 2,
                 [](char c) { return char(std::tolower(c)); });
  // A digit of a pair that reads FF replaced: the pair still reads FF, so the sum holds.
  std::string overFF = withByte(line21, 7, 0xFF);
  overFF[2 + 2 * 7 + 1] = 'G';
  std::string overOther = withByte(line21, 7, 0x12);
  overOther[2 + 2 * 7 + 1] = 'G';
  std::string countPast = line21;
  countPast.replace(2, 2, "FF");
  Lines repeated = lines;
  repeated.insert(repeated.begin() + 21, line21);
  struct Case {
    const char* what;
    Bytes file;
    StatusCode status;
    std::string cause;                  // kind@line of a read that stops
    std::vector<std::string> problems;  // kind@line
  };
  const Case cases[] = {
      {"two records on a line", shx(line21 + line22, true), StatusCode::None, "", {}},
      {"a space between them", shx(line21 + " " + line22, true), StatusCode::None, "", {}},
      {"text before a record", shx("xx" + line21), StatusCode::None, "", {}},
      {"an S before a record", shx("S" + line21), StatusCode::None, "", {}},
      {"spaces after a record", shx(line21 + "  "), StatusCode::None, "", {}},
      {"an empty line", shx(line21 + "\r\n"), StatusCode::None, "", {}},
      {"a tab inside a record",
       shx(line21.substr(0, 12) + "\t" + line21.substr(12)),
       StatusCode::ChecksumError,
       "not-hex-digit@21",
       {"not-hex-digit@21"}},
      {"lower-case digits", shx(lower), StatusCode::None, "", {}},
      {"a record cut over two lines",
       shx(line21.substr(0, 20) + "\r\n" + line21.substr(20)),
       StatusCode::ChecksumError,
       "line-length@21",
       {"line-length@21"}},
      {"LF alone", ends("\n"), StatusCode::None, "", {}},
      {"CR alone", ends("\r"), StatusCode::None, "", {}},
      {"digits after the checksum", shx(line21 + "00"), StatusCode::None, "", {"line-length@21"}},
      {"a non-hex digit over FF", shx(overFF), StatusCode::None, "", {"not-hex-digit@21"}},
      {"a non-hex digit over another pair",
       shx(overOther),
       StatusCode::ChecksumError,
       "not-hex-digit@21",
       {"not-hex-digit@21"}},
      {"a count past its record",
       shx(countPast),
       StatusCode::ChecksumError,
       "line-length@21",
       {"line-length@21"}},
      {"a record repeated",
       shxFile(header, repeated),
       StatusCode::AddressRange,
       "code-group-size@19",
       {"code-group-size@19", "address-continuity@22"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto state = freshEditor();
    Progress progress;
    const ReadAndCheck once = readAndCheck(*state, c.file, SuperfileEncoding::Shx, progress);
    EXPECT_EQ(once.read.status, c.status);
    std::vector<std::string> problems;
    for (const Finding& f : once.check.findings) {
      if (f.severity == FindingSeverity::Problem)
        problems.push_back(std::string(findingKindName(f.kind)) + "@" + std::to_string(f.at));
    }
    EXPECT_EQ(problems, c.problems);
    // A save refuses exactly the files with problems, and every failed read is one of them.
    EXPECT_EQ(once.check.problems, c.problems.size());
    if (c.status != StatusCode::None) {
      EXPECT_GT(once.check.problems, 0u);
    }
    if (!c.cause.empty()) {
      ASSERT_TRUE(once.cause.has_value());
      EXPECT_EQ(
          std::string(findingKindName(once.cause->kind)) + "@" + std::to_string(once.cause->at),
          c.cause);
    }
  }
}

namespace {

// A file whose Flex is long enough for a run: 96 lines of 64 bytes after its first 416.
Bytes longShx(std::uint16_t trailerError = 0) {
  std::vector<Group> groups = {{0, 0x03FC8000, fixture::pattern(0x200, 31)},
                               {2, 0x11280000, fixture::pattern(0x1800, 32)}};
  patchTable(groups);
  return shxFile(headerFor(groups), shxLines(groups), trailerError);
}

// Everything a read and check leave behind, for comparing two of them.
struct Outcome {
  std::unique_ptr<EditorState> state = freshEditor();
  ReadAndCheck result;
};

// With `erased`, the image is erased first, as an open does, and the walk's runs may decode
// into it; otherwise they decode into memory of their own.
Outcome readPlanned(const Bytes& file, bool runs, std::size_t secondHalf, bool erased = false) {
  Outcome o;
  if (erased) o.state->image.fill();
  Progress progress;
  o.result = readAndCheckShxPlanned(*o.state, file, progress, runs, secondHalf);
  return o;
}

// The text fed in pieces of `piece` bytes once the header block has come, as a page reads a
// picked file.
Outcome readStreamed(const Bytes& file, std::size_t piece) {
  Outcome o;
  o.state->image.fill();
  Progress progress;
  ReadAndCheckSinks sinks(*o.state, file, SuperfileEncoding::Shx, progress, kMaxKeptFindings);
  ShxTokenizer tokenizer(file, sinks.shx());
  for (std::size_t got = fixture::kHeaderBlockSize; got < file.size(); got += piece) {
    tokenizer.received(got);
  }
  tokenizer.finish();
  o.result = sinks.finish();
  return o;
}

// Each finalised slot's sum is that of its bytes in the image, however the read came by it.
void expectSumsOfTheImage(const Outcome& o) {
  if (o.result.read.status != StatusCode::None) return;
  for (int i = 0; i <= o.state->lastSlot; ++i) {
    const CodeGroupSlot& slot = o.state->slots[std::size_t(i)];
    std::span<const std::uint8_t> bytes;
    ASSERT_EQ(finalisedBytes(o.state->image, slot, FinaliseFrom::Slot, bytes), StatusCode::None);
    EXPECT_EQ(slot.bufferChecksum, byteSum(bytes)) << "slot " << i;
  }
}

void expectSameOutcome(const Outcome& a, const Outcome& b) {
  expectSumsOfTheImage(a);
  EXPECT_EQ(a.result.read.status, b.result.read.status);
  EXPECT_EQ(a.result.read.complete, b.result.read.complete);
  EXPECT_EQ(a.state->slots, b.state->slots);
  EXPECT_EQ(a.state->lastSlot, b.state->lastSlot);
  const auto lines = [](const ReadAndCheck& r) {
    std::vector<std::string> out;
    for (const Finding& f : r.check.findings) out.push_back(findingLine("f", f));
    if (r.cause) out.push_back("cause " + findingLine("f", *r.cause));
    return out;
  };
  EXPECT_EQ(lines(a.result), lines(b.result));
  EXPECT_EQ(a.result.check.problems, b.result.check.problems);
  // Every part of either image that a read may have written.
  constexpr std::uint64_t kStep = 1 << 16;
  for (std::uint64_t at = 0; at < kImageSize; at += kStep) {
    if (a.state->image.nextWritten(at) >= at + kStep &&
        b.state->image.nextWritten(at) >= at + kStep)
      continue;
    ASSERT_TRUE(std::ranges::equal(a.state->image.read(at, kStep), b.state->image.read(at, kStep)))
        << "image bytes from " << at;
  }
}

}  // namespace

// Wherever the second thread starts, the image, slots, status and findings are those of one
// thread: on clean, damaged and randomly changed text.
TEST(SplitWalkTest, SplitGivesTheOneThreadOutcome) {
  const Bytes clean = longShx();
  const std::size_t textBegin = fixture::kHeaderBlockSize;
  const auto lineAt = [&](const Bytes& file, std::size_t number) {
    std::size_t at = textBegin;
    for (std::size_t n = 1; n < number; ++n)
      at = std::size_t(std::find(file.begin() + std::ptrdiff_t(at), file.end(), '\n') -
                       file.begin()) +
           1;
    return at;
  };
  const auto changed = [&](std::size_t line, std::size_t column, char c) {
    Bytes f = clean;
    f[lineAt(f, line) + column] = std::uint8_t(c);
    return f;
  };
  Bytes lfOnly;
  for (std::size_t k = 0; k < clean.size(); ++k) {
    if (!(k >= textBegin && clean[k] == '\r')) lfOnly.push_back(clean[k]);
  }
  Bytes cut(clean.begin(), clean.end() - 300);
  // The Flex's lines with a gap of 0x100 after its first 0x400 bytes: the run's place in the
  // image is not where its address says.
  const auto withFlexLines = [&](const std::string& flexLines, bool listsThree = false) {
    std::vector<Group> groups = {{0, 0x03FC8000, fixture::pattern(0x200, 31)},
                                 {2, 0x11280000, fixture::pattern(0x1800, 32)}};
    if (listsThree) groups.push_back({5, 0x11281400, fixture::pattern(0x100, 33)});
    patchTable(groups);
    Lines lines = shxLines({groups[0]});
    lines.push_back("S70500000000FA");
    lines.push_back("S00600004844521B");
    for (std::size_t at = 0; at < flexLines.size();) {
      const std::size_t end = flexLines.find("\r\n", at);
      lines.push_back(flexLines.substr(at, end - at));
      at = end + 2;
    }
    return shxFile(headerFor(groups), lines);
  };
  const Bytes flex = fixture::pattern(0x1800, 32);
  const std::span<const std::uint8_t> flexBytes(flex);
  const Bytes gap = withFlexLines(fixture::s3Lines(0x11280000, flexBytes.first(0x400)) +
                                  fixture::s3Lines(0x11280500, flexBytes.subspan(0x400)));
  // An earlier group that writes where a run would lie.
  const Bytes overlap = withFlexLines(fixture::s3Lines(0x11281400, fixture::pattern(0x100, 33)) +
                                          "S70500000000FA\r\nS00600004844521B\r\n" +
                                          fixture::s3Lines(0x11280000, flexBytes),
                                      true);
  // A later group that writes over the Flex: the Flex's sum is of what the image then holds.
  const Bytes overwritten = withFlexLines(
      fixture::s3Lines(0x11280000, flexBytes) + "S70500000000FA\r\nS00600004844521B\r\n" +
          fixture::s3Lines(0x11281400, fixture::pattern(0x100, 33)),
      true);
  std::vector<std::pair<std::string, Bytes>> files = {
      {"clean", clean},
      {"trailer sum", longShx(1)},
      {"line checksum before the run", changed(20, 30, 'A')},
      {"line checksum in the run", changed(100, 30, 'A')},
      {"not a hex digit in the run", changed(100, 30, 'g')},
      {"address jump in the run", changed(100, 8, 'F')},
      {"LF line ends", lfOnly},
      {"cut", cut},
      {"gap before the run", gap},
      {"earlier group where the run lies", overlap},
      {"later group over the Flex", overwritten},
  };
  // Random changes: a character replaced, dropped or doubled, one to three times a file.
  std::uint32_t seed = 12345;
  const auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  const std::string alphabet = "0123456789ABCDEFabS37\r\n\x00G ";
  for (int n = 0; n < 24; ++n) {
    Bytes f = clean;
    for (std::uint32_t changes = 1 + next() % 3; changes > 0; --changes) {
      const std::size_t at = textBegin + next() % (f.size() - textBegin);
      const std::uint32_t how = next() % 3;
      if (how == 0) f[at] = std::uint8_t(alphabet[next() % alphabet.size()]);
      if (how == 1) f.erase(f.begin() + std::ptrdiff_t(at));
      if (how == 2) f.insert(f.begin() + std::ptrdiff_t(at), f[at]);
    }
    files.emplace_back("random " + std::to_string(n), std::move(f));
  }

  for (const auto& [what, file] : files) {
    SCOPED_TRACE(what);
    const Outcome one = readPlanned(file, false, 0);
    expectSumsOfTheImage(one);
    // Runs of the walk's own alone, one a group, as where there is no second thread; and so on
    // text that comes in pieces, a piece ending anywhere in a line.
    expectSameOutcome(readPlanned(file, true, 0, true), one);
    for (const std::size_t piece : {1, 61, 1000}) {
      SCOPED_TRACE("pieces of " + std::to_string(piece));
      expectSameOutcome(readStreamed(file, piece), one);
    }
    const std::size_t text = file.size() - textBegin;
    for (const std::size_t at :
         {textBegin, textBegin + text / 7, textBegin + text / 2, textBegin + text * 5 / 6,
          file.size() - 20, textBegin + next() % text}) {
      SCOPED_TRACE("split at " + std::to_string(at));
      expectSameOutcome(readPlanned(file, true, at), one);
      expectSameOutcome(readPlanned(file, true, at, true), one);
      expectSameOutcome(readPlanned(file, false, at, true), one);
    }
  }
}
