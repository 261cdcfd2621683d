// Writes small seed superfiles for the fuzz targets into <folder>/sbf and <folder>/shx, and
// one large SHX file into <folder>/shx-large.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "superfile_fixture.h"

namespace {

struct Group {
  int cgNumber;
  std::uint32_t start;
  fixture::Bytes data;
};

void putText(fixture::Bytes& d, std::size_t at, std::string_view text) {
  for (std::size_t k = 0; k < text.size(); ++k) d.at(at + k) = std::uint8_t(text[k]);
  d.at(at + text.size()) = 0;
}

// RAMDLD with platform and version word, firmware with its version marker, Flex with a
// version block, so that the report's searches have something to find.
std::vector<Group> fullGroups() {
  fixture::Bytes ramdld = fixture::pattern(0x100, 1);
  ramdld[9] = 0x0C;
  ramdld[10] = 0x02;
  fixture::Bytes firmware = fixture::pattern(0x200, 2);
  for (std::size_t k = 4; k < 7; ++k) firmware[k] = 0;
  firmware[7] = 0xB1;
  putText(firmware, 0x40, "@(#)R3443H1_G_0A.65.45R");
  fixture::Bytes flex = fixture::pattern(0x200, 3);
  const std::uint8_t block[] = {0x55, 0x55, 0, 0, 1, 0, 1, 0, 0, 0, 1, 1};
  std::copy(std::begin(block), std::end(block), flex.begin() + 0x20);
  putText(flex, 0x40, "FLEX_R4513_G_08.04.0FR");
  return {{0, 0x03FC8000, ramdld},
          {256, 0x10000000, fixture::pattern(0x40, 4)},
          {1, 0x10160000, firmware},
          {2, 0x11280000, flex},
          {4, 0x11100000, fixture::pattern(0x80, 5)}};
}

fixture::Header headerFor(const std::vector<Group>& groups) {
  fixture::Header h;
  h.standardTexts();
  for (const Group& g : groups) {
    const std::uint32_t end = g.start + std::uint32_t(g.data.size()) - 1;
    if (g.cgNumber == 1) {
      h.entry(2, {g.start, g.start + 199, {}, 0, 8});
      h.entry(3, {g.start + 200, end, {}, 0, 8});
    } else {
      h.entry(fixture::Header::indexOf(g.cgNumber), {g.start, end, {}, fixture::sum16(g.data), 8});
    }
  }
  return h;
}

void writeBoth(const std::string& folder, const std::string& name,
               const std::vector<Group>& groups) {
  const fixture::Header h = headerFor(groups);
  fixture::Bytes sbf = h.bytes();
  fixture::Bytes shx = h.bytes();
  for (const Group& g : groups) {
    fixture::append(sbf, fixture::sbfRecord(g.start, g.data));
    fixture::append(shx, fixture::kS0Line);
    fixture::append(shx, fixture::s3Lines(g.start, g.data));
    fixture::append(shx, fixture::kS7Line);
  }
  fixture::writeFile(folder + "/sbf/" + name + ".sbf", sbf);
  fixture::writeFile(folder + "/shx/" + name + ".shx", shx);
}

// A Flex at its usual address with folder records, two of them under one name, so that the
// folder scan and the erase of repeated folders have records to find in a small file.
std::vector<Group> folderGroups(const std::vector<Group>& full) {
  Group flex = full[3];
  flex.data = fixture::pattern(0x800, 8);
  const std::pair<std::size_t, std::string_view> records[] = {
      {0x200, "SKIN"}, {0x400, "SKIN"}, {0x600, "THEME"}};
  for (const auto& [at, name] : records) {
    const std::uint8_t head[] = {0x00, 0x00, 0x04, 0x05, 0x02, 0x04,
                                 0x00, 0x07, 0xFF, 0xFF, 0xFF, 0xFF};
    std::copy(std::begin(head), std::end(head), flex.data.begin() + std::ptrdiff_t(at));
    // One character every second byte from byte 27, then a zero.
    for (std::size_t k = 0; k <= name.size(); ++k) {
      flex.data.at(at + 27 + 2 * k) = k < name.size() ? std::uint8_t(name[k]) : 0;
    }
  }
  return {full[0], flex};
}

// A RAMDLD group longer than its area, listed in the header at a length that fits: the SHX
// reader's data runs past the image's end, where every further byte lands on the last one.
void writeRamdldPastEnd(const std::string& folder, const Group& flex) {
  const Group ramdld{0, 0x03FC8000, fixture::pattern(0x30000 + 0x100, 6)};
  fixture::Header h = headerFor({Group{0, 0x03FC8000, fixture::pattern(0x100, 6)}, flex});
  fixture::Bytes shx = h.bytes();
  for (const Group& g : {ramdld, flex}) {
    fixture::append(shx, fixture::kS0Line);
    fixture::append(shx, fixture::s3Lines(g.start, g.data));
    fixture::append(shx, fixture::kS7Line);
  }
  fixture::writeFile(folder + "/shx-large/ramdld-past-end.shx", shx);
}

// SBF files that stop where the reader's own checks stop them: a record cut inside its length
// or its address field, and records whose data would not fit the image.
void writeSbfEdges(const std::string& folder, const std::vector<Group>& full) {
  const std::vector<Group> groups = {full[0], full[3]};
  const fixture::Bytes header = headerFor(groups).bytes();
  const fixture::Bytes ramdld = fixture::sbfRecord(groups[0].start, groups[0].data);
  const fixture::Bytes flex = fixture::sbfRecord(groups[1].start, groups[1].data);
  // Marker 9 bytes, length 4, address 4.
  for (const auto& [name, keep] : {std::pair{"cut-in-length", 9 + 2}, {"cut-in-address", 13 + 2}}) {
    fixture::Bytes cut = header;
    fixture::append(cut, ramdld);
    cut.insert(cut.end(), flex.begin(), flex.begin() + keep);
    fixture::writeFile(folder + "/sbf/" + name + ".sbf", cut);
  }
  // Records whose length field alone puts their end past the image: a Flex record at the end
  // of the flash window, and a RAMDLD one byte longer than its area.
  const fixture::Bytes marker(ramdld.begin(), ramdld.begin() + 9);
  auto recordHead = [&](fixture::Bytes& b, std::uint32_t length, std::uint32_t address) {
    fixture::append(b, marker);
    fixture::appendBe32(b, length);
    fixture::appendBe32(b, address);
    fixture::append(b, fixture::pattern(0x20, 7));
  };
  fixture::Bytes pastEnd = header;
  fixture::append(pastEnd, ramdld);
  recordHead(pastEnd, 0x40000, 0x13FFFFF0);
  fixture::writeFile(folder + "/sbf/flex-past-end.sbf", pastEnd);
  fixture::Bytes longRamdld = header;
  recordHead(longRamdld, 0x30001, groups[0].start);
  fixture::writeFile(folder + "/sbf/ramdld-too-long.sbf", longRamdld);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const std::vector<Group> full = fullGroups();
  writeBoth(folder, "full", full);
  writeBoth(folder, "ramdld-flex", {full[0], full[3]});
  writeBoth(folder, "header-only", {});
  writeBoth(folder, "folders", folderGroups(full));
  writeRamdldPastEnd(folder, full[3]);
  writeSbfEdges(folder, full);
  return 0;
}
