#pragma once

// Realistic sample superfiles: a RAMDLD with platform code and version word, optional
// firmware with its version marker, a Flex code group with a version block and folder
// records, optional DSP and language pack. Laid out from the format tables, independent of
// the editor's writers.

#include <cstdint>
#include <string>
#include <vector>

#include "superfile_fixture.h"

namespace sample {

struct Options {
  bool firmware = true;
  // Without it the sample is one that the editor opens but refuses to save.
  bool flex = true;
  bool dsp = true;
  bool languagePack = true;
  bool fbl = false;
  // Flex size in bytes, up to the full 0xCC0000.
  std::uint32_t flexSize = 0x40000;
  std::uint32_t seed = 1;
};

inline constexpr std::uint32_t kFullFlexSize = 0xCC0000;

// One code group as laid into the superfile.
struct CodeGroup {
  int cgNumber;
  std::uint32_t start;
  fixture::Bytes data;
};

// The code groups of a sample, in superfile order (RAMDLD, FBL, firmware, Flex, DSP, ...).
std::vector<CodeGroup> codeGroups(const Options& options);
// The header block that lists them, with their header bytes and checksums.
fixture::Header headerFor(const std::vector<CodeGroup>& groups);

fixture::Bytes makeSbf(const Options& options);
fixture::Bytes makeShx(const Options& options);

// The folder names the sample's Flex holds, in order (repeats included).
std::vector<std::string> folderNames();

}  // namespace sample
