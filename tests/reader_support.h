#pragma once

// Superfiles for the reader tests, laid out byte by byte with the fixture builder, and the
// model side of an open (erase the image, reset the slots, clear the codes, read).

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "inspect/report.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "reader_seams.h"
#include "superfile_fixture.h"

namespace readers {

struct Group {
  int cgNumber;
  std::uint32_t start;
  fixture::Bytes data;
  std::uint32_t end() const { return start + std::uint32_t(data.size()) - 1; }
};

// The header that lists the groups with their ranges and checksums; CG1 as its two entries.
inline fixture::Header headerFor(const std::vector<Group>& groups) {
  fixture::Header h;
  h.standardTexts();
  for (const Group& g : groups) {
    const std::uint16_t sum = fixture::sum16(g.data);
    if (g.cgNumber == 1) {
      const std::uint16_t first = fixture::sum16(std::span(g.data).first(200));
      h.entry(2, {g.start, g.start + 199, {}, first, 8});
      h.entry(3, {g.start + 200, g.end(), {}, std::uint16_t(sum - first), 8});
    } else {
      const std::uint16_t code = (g.cgNumber == 0 || g.cgNumber == 256) ? 0 : 8;
      h.entry(fixture::Header::indexOf(g.cgNumber), {g.start, g.end(), {}, sum, code});
    }
  }
  return h;
}

// The header's bytes followed by a body of bytes or of text.
template <class Body>
fixture::Bytes withHeader(const fixture::Header& h, const Body& body) {
  fixture::Bytes out = h.bytes();
  fixture::append(out, body);
  return out;
}

inline std::string shxBody(const std::vector<Group>& groups) {
  std::string out;
  for (const Group& g : groups) {
    out += fixture::kS0Line;
    out += fixture::s3Lines(g.start, g.data);
    out += fixture::kS7Line;
  }
  return out;
}

inline fixture::Bytes makeSbf(const std::vector<Group>& groups) {
  fixture::Bytes body;
  for (const Group& g : groups) fixture::append(body, fixture::sbfRecord(g.start, g.data));
  return withHeader(headerFor(groups), body);
}

inline fixture::Bytes makeShx(const std::vector<Group>& groups) {
  return withHeader(headerFor(groups), shxBody(groups));
}

// The RAMDLD and 20 more four-byte code groups: every slot up to 20 filled.
inline std::vector<Group> twentyOneGroups(const fixture::Bytes& four) {
  std::vector<Group> groups = {{0, 0x03FC8000, four}};
  for (int c = 2; c <= 21; ++c)
    groups.push_back({c, 0x11000000u + std::uint32_t(c) * 0x100u, four});
  return groups;
}

enum class Encoding { Sbf, Shx };

// What reading a file gave: its status, and the report when the reader got through it.
struct Opened {
  tavufe::StatusCode status = tavufe::StatusCode::None;
  std::vector<std::string> report;
};

// Reads the bytes into a freshly erased image and reset slots, as an open command would.
inline Opened openBytes(tavufe::EditorState& state, Encoding encoding,
                        std::span<const std::uint8_t> bytes, tavufe::Progress& progress) {
  state.image.fill();
  tavufe::resetSlots(state);
  const tavufe::ReadResult read = encoding == Encoding::Shx
                                      ? tavufe::readShx(state, bytes, progress)
                                      : tavufe::readSbf(state, bytes, progress);
  Opened opened{read.status, {}};
  if (read.complete) opened.report = tavufe::buildReport(state, bytes, {","});
  return opened;
}

// Whether the image holds `bytes` from `offset`.
inline bool imageHolds(const tavufe::EditorState& s, std::uint32_t offset,
                       std::span<const std::uint8_t> bytes) {
  const auto at = s.image.read(offset, bytes.size());
  return at.size() == bytes.size() && std::equal(bytes.begin(), bytes.end(), at.begin());
}

// Header listing RAMDLD and Flex, four bytes each; records supplied by the test.
inline fixture::Header smallHeader() {
  fixture::Header h;
  h.standardTexts()
      .entry(0, {0x03FC8000, 0x03FC8003, {}, 0, 0})
      .entry(4, {0x11280000, 0x11280003, {}, 0, 8});
  return h;
}

inline fixture::Bytes patternWith(std::size_t size, std::uint32_t seed, std::size_t at,
                                  std::initializer_list<std::uint8_t> bytes) {
  fixture::Bytes d = fixture::pattern(size, seed);
  std::copy(bytes.begin(), bytes.end(), d.begin() + std::ptrdiff_t(at));
  return d;
}

inline void putText(fixture::Bytes& d, std::size_t at, std::string_view text) {
  std::copy(text.begin(), text.end(), d.begin() + std::ptrdiff_t(at));
  d.at(at + text.size()) = 0;
}

// RAMDLD, FBL, firmware, Flex, DSP and language pack, in superfile order, each carrying what
// the report looks for: RAMDLD platform 0C 02 at byte 9 and version 0A 1B at 14; firmware tag
// 00 00 00 B1 at 4 and "@(#)R..." on the 4-byte grid; a Flex version block at 0x40 with its
// text at +32; language version 01 23 at 18.
inline std::vector<Group> fullSuperfile() {
  fixture::Bytes ramdld = patternWith(0x400, 10, 9, {0x0C, 0x02, 0x33, 0x44, 0x55, 0x0A, 0x1B});
  fixture::Bytes firmware = patternWith(0x800, 11, 4, {0x00, 0x00, 0x00, 0xB1});
  putText(firmware, 0x100, "@(#)R3443H1_G_0A.65.45R");
  fixture::Bytes flex = patternWith(
      0x1000, 12, 0x40, {0x55, 0x55, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x01});
  putText(flex, 0x40 + 32, "FLEX_V3X_R4513_G_08.04.0FR");
  return {
      {0, 0x03FC8000, ramdld},
      {256, 0x10000000, fixture::pattern(0x100, 14)},
      {1, 0x10160000, firmware},
      {2, 0x11280000, flex},
      {3, 0x10100000, fixture::pattern(0x200, 15)},
      {4, 0x11100000, patternWith(0x300, 13, 18, {0x01, 0x23})},
  };
}

}  // namespace readers
