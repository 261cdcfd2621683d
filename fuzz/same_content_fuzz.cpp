// SHX and SBF of the same content: code groups chosen by the fuzzer are laid out in both
// encodings by the test fixture builder (not the editor's writers) under one header. Both
// files must open with the same outcome and, when they open, give the same slots, the same
// bytes and the same report but for its file-size line.

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "editor/open_flow.h"
#include "fuzz_support.h"
#include "superfile_fixture.h"

namespace {

using tavufe::EditorState;
using tavufe::SuperfileEncoding;

struct Group {
  int cgNumber = 0;
  std::uint32_t start = 0;
  fixture::Bytes data;
  fixture::Entry entry;
  bool listed = true;  // whether the header's table has an entry for it
};

// Code-group numbers with a row in the device profile, FBL among them.
constexpr std::array<int, 11> kKnownGroups = {0, 256, 1, 2, 3, 4, 7, 8, 11, 15, 18};
constexpr std::array<std::uint32_t, 11> kProfileStarts = {
    0x03FC8000, 0x10000000, 0x10160000, 0x11280000, 0x10100000, 0x11100000,
    0x11F80000, 0x10EC0000, 0x10EC0000, 0x10F00000, 0x10EBF800};
// Groups stay small so that each input runs fast. One that runs past the image's end (longer
// than the RAMDLD's area) is where the encodings part ways by design: the SBF read stops at
// the record, the SHX reader lays the rest on the last byte. The SHX target's large seed and
// the readers' tests cover that.
constexpr std::uint32_t kLargestGroup = 600;

Group chooseGroup(FuzzedDataProvider& in, bool first) {
  Group g;
  const std::size_t known = in.ConsumeIntegralInRange<std::size_t>(0, kKnownGroups.size());
  g.cgNumber =
      known < kKnownGroups.size() ? kKnownGroups[known] : in.ConsumeIntegralInRange<int>(2, 255);
  if (first && in.ConsumeBool()) g.cgNumber = 0;
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: g.start = known < kKnownGroups.size() ? kProfileStarts[known] : 0x10000000; break;
    case 1: g.start = 0x10000000 | (in.ConsumeIntegral<std::uint32_t>() & 0x03FFFFFF); break;
    case 2:
      // Close to the end of the flash window, so that a code group can run past it.
      g.start = 0x14000000 - in.ConsumeIntegralInRange<std::uint32_t>(1, 0x400);
      break;
    default: g.start = in.ConsumeIntegral<std::uint32_t>(); break;
  }
  // An S-record group without data has no address, unlike an empty SBF record: not the same
  // content, so every group holds at least one byte.
  const std::uint32_t size = in.ConsumeIntegralInRange<std::uint32_t>(1, kLargestGroup);
  const std::vector<std::uint8_t> chosen = in.ConsumeBytes<std::uint8_t>(size);
  g.data = fixture::pattern(size, in.ConsumeIntegral<std::uint8_t>());
  std::copy(chosen.begin(), chosen.end(), g.data.begin());
  if (in.ConsumeBool()) {
    // Erased padding at the end, for the trimming of code groups that are trimmed.
    const std::size_t erased = in.ConsumeIntegralInRange<std::size_t>(0, g.data.size());
    std::fill(g.data.end() - std::ptrdiff_t(erased), g.data.end(), std::uint8_t(0xFF));
  }

  g.entry.start = g.start;
  g.entry.end = in.ConsumeBool() ? g.start + size - 1 : in.ConsumeIntegral<std::uint32_t>();
  g.entry.checksum =
      in.ConsumeBool() ? fixture::sum16(g.data) : in.ConsumeIntegral<std::uint16_t>();
  g.entry.code = in.ConsumeBool() ? 8 : in.ConsumeIntegral<std::uint16_t>();
  g.listed = in.ConsumeIntegralInRange<int>(0, 7) != 0;
  return g;
}

void listInHeader(fixture::Header& h, const Group& g) {
  if (!g.listed || g.start == 0) return;
  if (g.cgNumber == 1) {
    // The firmware has two entries: its first 200 bytes and the rest.
    fixture::Entry first = g.entry;
    first.end = g.start + 199;
    fixture::Entry rest = g.entry;
    rest.start = g.start + 200;
    rest.checksum = 0;
    h.entry(2, first);
    h.entry(3, rest);
  } else {
    h.entry(fixture::Header::indexOf(g.cgNumber), g.entry);
  }
}

struct States {
  fuzzing::StartedEditor sbf;
  fuzzing::StartedEditor shx;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static States s;
  FuzzedDataProvider in(data, size);
  std::vector<Group> groups(in.ConsumeIntegralInRange<std::size_t>(0, 5));
  for (std::size_t k = 0; k < groups.size(); ++k) groups[k] = chooseGroup(in, k == 0);

  fixture::Header h;
  h.standardTexts();
  for (const Group& g : groups) listInHeader(h, g);
  fixture::Bytes sbf = h.bytes();
  fixture::Bytes shx = h.bytes();
  for (const Group& g : groups) {
    fixture::append(sbf, fixture::sbfRecord(g.start, g.data));
    fixture::append(shx, fixture::kS0Line);
    fixture::append(shx, fixture::s3Lines(g.start, g.data));
    fixture::append(shx, fixture::kS7Line);
  }

  const tavufe::OpenedSuperfile fromSbf = s.sbf.open(sbf, SuperfileEncoding::Sbf);
  const tavufe::OpenedSuperfile fromShx = s.shx.open(shx, SuperfileEncoding::Shx);
  if (fromSbf.status != fromShx.status) {
    std::fprintf(stderr, "SBF status %d, SHX status %d\n", int(fromSbf.status),
                 int(fromShx.status));
  }
  fuzzing::require(fromSbf.loaded() == fromShx.loaded(), "both encodings open or both fail");
  fuzzing::require(fromSbf.status == fromShx.status, "both encodings fail with the same warning");
  if (!fromSbf.loaded()) return 0;
  fuzzing::require(fuzzing::sameSavedContent(s.sbf.state, s.shx.state, fuzzing::SlotFields::All),
                   "both encodings give the same slots and bytes");
  fuzzing::require(fuzzing::sameReport(fromSbf.report, fromShx.report),
                   "both encodings give the same report");
  return 0;
}
