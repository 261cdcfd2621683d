#pragma once

// Superfiles for the reader tests, laid out byte by byte with the fixture builder, and the
// model side of an open (erase the image, reset the slots, clear the codes, read).

#include <cstring>
#include <cstdint>
#include <string>
#include <vector>

#include "model/editor_state.h"
#include "model/flash_image.h"
#include "model/progress.h"
#include "superfile/sbf_reader.h"
#include "superfile/shx_reader.h"
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
    const std::uint16_t code = (g.cgNumber == 0 || g.cgNumber == 256) ? 0 : 8;
    if (g.cgNumber == 1) {
      const std::span<const std::uint8_t> first(g.data.data(), 200);
      h.entry(2, {g.start, g.start + 199, {}, fixture::sum16(first), 8});
      h.entry(3, {g.start + 200, g.end(), {}, std::uint16_t(sum - fixture::sum16(first)), 8});
    } else {
      h.entry(fixture::Header::indexOf(g.cgNumber), {g.start, g.end(), {}, sum, code});
    }
  }
  return h;
}

inline fixture::Bytes sbfBody(const std::vector<Group>& groups) {
  fixture::Bytes out;
  for (const Group& g : groups) fixture::append(out, fixture::sbfRecord(g.start, g.data));
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

inline fixture::Bytes withHeader(const fixture::Header& h, const fixture::Bytes& body) {
  fixture::Bytes out = h.bytes();
  fixture::append(out, body);
  return out;
}

inline fixture::Bytes withHeader(const fixture::Header& h, std::string_view text) {
  fixture::Bytes out = h.bytes();
  fixture::append(out, text);
  return out;
}

inline fixture::Bytes makeSbf(const std::vector<Group>& groups) {
  return withHeader(headerFor(groups), sbfBody(groups));
}

inline fixture::Bytes makeShx(const std::vector<Group>& groups) {
  return withHeader(headerFor(groups), shxBody(groups));
}

// Records what a reader tells the progress bar.
struct CountingProgress : tavufe::Progress {
  int maximum = -1;
  int steps = 0;
  void setMaximum(int m) override { maximum = m; }
  void step() override { ++steps; }
};

// Writes the bytes to `path` and opens them as an open command would.
inline void openBytes(tavufe::EditorState& state, const std::string& path,
                      std::span<const std::uint8_t> bytes, tavufe::Progress& progress) {
  fixture::writeFile(path, bytes);
  state.currentPath = path;
  tavufe::fillImage(state);
  tavufe::resetSlots(state);
  state.report.clear();
  state.status = tavufe::StatusCode::None;
  const bool shx = path.size() >= 4 && path.compare(path.size() - 4, 4, ".shx") == 0;
  if (shx) {
    tavufe::readShx(state, progress);
  } else {
    tavufe::readSbf(state, progress);
  }
}

inline void openBytes(tavufe::EditorState& state, const std::string& path,
                      std::span<const std::uint8_t> bytes) {
  tavufe::Progress quiet;
  openBytes(state, path, bytes, quiet);
}

inline bool imageHolds(const tavufe::EditorState& s, std::uint32_t offset,
                       std::span<const std::uint8_t> bytes) {
  return std::memcmp(s.image.data() + offset, bytes.data(), bytes.size()) == 0;
}

// Header listing RAMDLD and Flex, four bytes each; records supplied by the test.
inline fixture::Header smallHeader() {
  fixture::Header h;
  h.standardTexts()
      .entry(0, {0x03FC8000, 0x03FC8003, {}, 0, 0})
      .entry(4, {0x11280000, 0x11280003, {}, 0, 8});
  return h;
}

// RAMDLD with platform code 0C 02 at bytes 9-10 and version word 0A 1B at 14-15.
inline fixture::Bytes ramdldData(std::size_t size = 0x400) {
  fixture::Bytes d = fixture::pattern(size, 10);
  d[9] = 0x0C;
  d[10] = 0x02;
  d[14] = 0x0A;
  d[15] = 0x1B;
  return d;
}

inline void putText(fixture::Bytes& d, std::size_t at, std::string_view text) {
  for (std::size_t k = 0; k < text.size(); ++k) d.at(at + k) = std::uint8_t(text[k]);
  d.at(at + text.size()) = 0;
}

// Firmware with the search tag 00 00 00 B1 at bytes 4-7 and "@(#)R..." on the 4-byte grid.
inline fixture::Bytes firmwareData(std::size_t size = 0x800) {
  fixture::Bytes d = fixture::pattern(size, 11);
  d[4] = 0x00;
  d[5] = 0x00;
  d[6] = 0x00;
  d[7] = 0xB1;
  putText(d, 0x100, "@(#)R3443H1_G_0A.65.45R");
  return d;
}

// Flex with a version block at byte 0x40: 55 55 .. .. 01 00 01 00 00 00 01 01, text at +32.
inline fixture::Bytes flexData(std::size_t size = 0x1000) {
  fixture::Bytes d = fixture::pattern(size, 12);
  const std::uint8_t block[] = {0x55, 0x55, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x01};
  std::copy(std::begin(block), std::end(block), d.begin() + 0x40);
  putText(d, 0x40 + 32, "FLEX_V3X_R4513_G_08.04.0FR");
  return d;
}

inline fixture::Bytes languageData(std::size_t size = 0x300) {
  fixture::Bytes d = fixture::pattern(size, 13);
  d[18] = 0x01;
  d[19] = 0x23;
  return d;
}

// RAMDLD, FBL, firmware, Flex, DSP and language pack, in superfile order.
inline std::vector<Group> fullSuperfile() {
  return {
      {0, 0x03FC8000, ramdldData()},
      {256, 0x10000000, fixture::pattern(0x100, 14)},
      {1, 0x10160000, firmwareData()},
      {2, 0x11280000, flexData()},
      {3, 0x10100000, fixture::pattern(0x200, 15)},
      {4, 0x11100000, languageData()},
  };
}

}  // namespace readers
