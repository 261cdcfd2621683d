#include "sample_content.h"

#include <algorithm>
#include <cstring>

namespace sample {

namespace {

using fixture::Bytes;

void put(Bytes& b, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
  for (auto v : bytes) b.at(at++) = v;
}

void putText(Bytes& b, std::size_t at, std::string_view text) {
  for (char c : text) b.at(at++) = std::uint8_t(c);
  b.at(at) = 0;
}

Bytes ramdld(std::uint32_t seed) {
  Bytes b = fixture::pattern(0x8000, seed);
  put(b, 9, {0x0C, 0x02});   // platform code
  put(b, 14, {0x0A, 0x1B});  // version word
  return b;
}

Bytes firmware(std::uint32_t seed) {
  Bytes b = fixture::pattern(0x30000, seed);
  put(b, 4, {0x00, 0x00, 0x00, 0xB1});
  putText(b, 0x1F00, "@(#)R52_G_0E.41.9AR");
  return b;
}

Bytes languagePack(std::uint32_t seed) {
  Bytes b = fixture::pattern(0x20000, seed);
  put(b, 18, {0x03, 0x12});
  return b;
}

// One folder record: 00000405 02040007 FFFFFFFF, 14 bytes, then the name as 16-bit pairs.
void putFolder(Bytes& b, std::size_t at, const std::string& name) {
  put(b, at, {0x00, 0x00, 0x04, 0x05, 0x02, 0x04, 0x00, 0x07, 0xFF, 0xFF, 0xFF, 0xFF});
  std::size_t p = at + 26;
  for (char c : name) {
    b.at(p) = 0x00;
    b.at(p + 1) = std::uint8_t(c);
    p += 2;
  }
  b.at(p) = 0x00;
  b.at(p + 1) = 0x00;
}

Bytes flex(std::uint32_t size, std::uint32_t seed) {
  Bytes b = fixture::pattern(size, seed);
  // Version block: 55 55 .. .. 01 00 01 00 00 00 01 01, text at +32.
  const std::size_t v = 0x400;
  put(b, v, {0x55, 0x55, 0x12, 0x34, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x01});
  putText(b, v + 32, "R52_G_0E.41.9AR_FLEX_SAMPLE");
  // Folder records 0x200 bytes apart, on the 4-byte grid, clear of the Flex's first bytes.
  std::size_t at = 0x1000;
  for (const std::string& name : folderNames()) {
    if (at + 0x200 > b.size()) break;
    std::string stored;
    for (char c : name) stored += c;
    putFolder(b, at, stored);
    at += 0x200;
  }
  return b;
}

}  // namespace

std::vector<std::string> folderNames() {
  // "\xFF" stands for a name pair whose character byte is erased; the editor skips it.
  return {"audio",
          "picture",
          "skins",
          "skins",
          "skins",
          "themes",
          "my\xFF"
          "skin",
          "a_very_long_skin_folder_name_that_goes_on_and_on",
          "video"};
}

namespace {

// The RAMDLD's address table as a flashing tool leaves it (bytes 240 to 415, big-endian start
// and end pairs from byte 248, one per code group 0 to 20): the whole region of each code group
// the superfile carries, or for a boot-loader file the region the boot loader may write.
void putAddressTable(Bytes& ramdld, const std::vector<CodeGroup>& groups, bool fbl) {
  struct Region {
    int cgNumber;
    std::uint32_t start, end;
  };
  static constexpr Region kRegions[] = {{0, 0x10000000, 0x11FFFFFF},
                                        {1, 0x10160000, 0x10EBF7FF},
                                        {2, 0x11280000, 0x11F3FFFF},
                                        {3, 0x10100000, 0x1015FFFF},
                                        {4, 0x11100000, 0x1127FFFF}};
  std::fill(ramdld.begin() + 240, ramdld.begin() + 416, 0xFF);
  auto putEntry = [&ramdld](const Region& r) {
    const std::size_t at = 248 + 8 * std::size_t(r.cgNumber);
    for (std::size_t k = 0; k < 4; ++k) {
      ramdld.at(at + k) = std::uint8_t(r.start >> (24 - 8 * k));
      ramdld.at(at + 4 + k) = std::uint8_t(r.end >> (24 - 8 * k));
    }
  };
  for (const Region& r : kRegions) {
    const bool carried = std::any_of(groups.begin(), groups.end(), [&r](const CodeGroup& g) {
      return g.cgNumber == r.cgNumber && g.cgNumber != 0;
    });
    if (fbl ? r.cgNumber == 0 : carried) putEntry(r);
  }
}

}  // namespace

std::vector<CodeGroup> codeGroups(const Options& o) {
  std::vector<CodeGroup> groups;
  groups.push_back({0, 0x03FC8000, ramdld(o.seed)});
  if (o.fbl) groups.push_back({256, 0x10000000, fixture::pattern(0x8000, o.seed + 1)});
  if (o.firmware) groups.push_back({1, 0x10160000, firmware(o.seed + 2)});
  if (o.flex) groups.push_back({2, 0x11280000, flex(o.flexSize, o.seed + 3)});
  if (o.dsp) groups.push_back({3, 0x10100000, fixture::pattern(0x10000, o.seed + 4)});
  if (o.languagePack) groups.push_back({4, 0x11100000, languagePack(o.seed + 5)});
  putAddressTable(groups.front().data, groups, o.fbl);
  return groups;
}

fixture::Header headerFor(const std::vector<CodeGroup>& groups) {
  fixture::Header h;
  h.standardTexts("Mon December 07 10:00:00 2026");
  h.text(fixture::kGeneratorAt, std::string(fixture::kGeneratorWidth, '\0'));
  h.text(fixture::kGeneratorAt, "Sample superfile, Tavu Flex Editor test data");
  int entries = 0;
  for (const CodeGroup& g : groups) {
    const std::uint32_t end = g.start + std::uint32_t(g.data.size()) - 1;
    const std::uint16_t code = (g.cgNumber == 0 || g.cgNumber == 256) ? 0 : 8;
    auto first16 = [](const Bytes& d, std::size_t from) {
      std::array<std::uint8_t, 16> out{};
      out.fill(0xFF);
      for (std::size_t k = 0; k < 16 && from + k < d.size(); ++k) out[k] = d[from + k];
      return out;
    };
    if (g.cgNumber == 1) {
      const auto span = std::span<const std::uint8_t>(g.data);
      const std::uint16_t head = fixture::sum16(span.first(200));
      const std::uint16_t rest = fixture::sum16(span.subspan(200));
      h.entry(2, {g.start, g.start + 199, first16(g.data, 0), head, 8});
      h.entry(3, {g.start + 200, end, first16(g.data, 196), rest, 8});
      entries += 2;
      continue;
    }
    h.entry(fixture::Header::indexOf(g.cgNumber),
            {g.start, end, first16(g.data, 0), fixture::sum16(g.data), code});
    ++entries;
  }
  h.byte(fixture::kEntryCountAt, std::uint8_t(entries));
  return h;
}

fixture::Bytes makeSbf(const Options& options) {
  const auto groups = codeGroups(options);
  Bytes out = headerFor(groups).bytes();
  for (const CodeGroup& g : groups) fixture::append(out, fixture::sbfRecord(g.start, g.data));
  return out;
}

fixture::Bytes makeShx(const Options& options) {
  const auto groups = codeGroups(options);
  Bytes out = headerFor(groups).bytes();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    fixture::append(out, fixture::kS0Line);
    fixture::append(out, fixture::s3Lines(groups[i].start, groups[i].data));
    if (i + 1 < groups.size()) {
      fixture::append(out, fixture::kS7Line);
    } else {
      // The closing line carries "CS" and the 16-bit sum of everything before it.
      const std::uint16_t sum = fixture::sum16(out);
      fixture::append(out, fixture::srecord('7', 0x43530000u | sum, {}));
    }
  }
  return out;
}

}  // namespace sample
