// Speed of the three save paths on a full-size RAMDLD and Flex, each against one plain fwrite
// of the same number of bytes to the same folder.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/save_flow.h"
#include "model/catalogue.h"
#include "model/finalise.h"
#include "reader_seams.h"
#include "superfile/header_block.h"
#include "superfile/hex_pairs.h"
#include "superfile_fixture.h"

namespace {

using namespace tavufe;

constexpr std::uint32_t kRamdldStart = 0x03FC8000;
constexpr std::uint32_t kRamdldSize = 0x20000;
constexpr std::uint32_t kFlexStart = 0x11280000;
constexpr std::uint32_t kFlexSize = 0xCC0000;
const std::string kDateText = "Mon December 07 00:00:00 2026";

void layGroup(EditorState& s, int slot, int cg, std::uint32_t start, const fixture::Bytes& data) {
  const std::uint32_t offset = slot == 0 ? kRamdldOffset : (start & kAddressMask);
  const auto target = s.image.write(offset, data.size());
  std::copy(data.begin(), data.end(), target.begin());
  const auto length = std::uint32_t(data.size());
  if (placeInSlot(s, slot, cg, start, start + length - 1) != StatusCode::None) std::abort();
  s.slots[std::size_t(slot)].recordAddress = start;
  s.slots[std::size_t(slot)].recordLength = length;
  if (finaliseSlot(s, slot, FinaliseFrom::Record) != StatusCode::None) std::abort();
}

// One full-size editor and one scratch folder for the whole run.
struct Setup {
  Setup() {
    if (!state.image.allocate()) std::abort();
    state.image.fill();
    initialiseEditor(state);
    resetSlots(state);
    copyProfileToCatalogue(state);
    layGroup(state, 0, 0, kRamdldStart, fixture::pattern(kRamdldSize, 1));
    layGroup(state, 1, 2, kFlexStart, fixture::pattern(kFlexSize, 2));
    state.lastSlot = 1;
    std::string pattern = (std::filesystem::temp_directory_path() / "tavufe-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder = pattern;
  }
  ~Setup() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  EditorState state;
  std::string folder;
};

Setup& setup() {
  static Setup s;
  return s;
}

std::size_t fileSize(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : std::size_t(size);
}

void runSave(benchmark::State& bench, const char* name, SaveType type) {
  Setup& s = setup();
  const std::string path = s.folder + "/" + name;
  Progress progress;
  for (auto _ : bench) {
    const StatusCode status = type == SaveType::Smg
                                  ? exportFlex(s.state, path, progress)
                                  : saveSuperfile(s.state, path, type, kDateText, progress);
    if (status != StatusCode::None) {
      bench.SkipWithError("save failed");
      return;
    }
  }
  bench.SetBytesProcessed(std::int64_t(bench.iterations()) * std::int64_t(fileSize(path)));
}

void BM_SaveShx(benchmark::State& bench) { runSave(bench, "full.shx", SaveType::Shx); }
void BM_SaveSbf(benchmark::State& bench) { runSave(bench, "full.sbf", SaveType::Sbf); }
void BM_ExportFlex(benchmark::State& bench) { runSave(bench, "full.smg", SaveType::Smg); }

// The yardstick: the same number of bytes from memory in one fwrite; with fsync as well, since
// the saves make their file durable before renaming it.
void plainWrite(benchmark::State& bench, bool sync) {
  const auto size = std::size_t(bench.range(0));
  const std::vector<std::uint8_t> bytes(size, 0x5A);
  const std::string path = setup().folder + "/plain.bin";
  for (auto _ : bench) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
      bench.SkipWithError("cannot open");
      return;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    if (sync) {
      std::fflush(f);
      ::fsync(::fileno(f));
    }
    std::fclose(f);
  }
  bench.SetBytesProcessed(std::int64_t(bench.iterations()) * std::int64_t(size));
}

void BM_PlainFwrite(benchmark::State& bench) { plainWrite(bench, false); }
void BM_PlainFwriteFsync(benchmark::State& bench) { plainWrite(bench, true); }

// Each variant of the hex pair encoder this processor runs, on the Flex's worth of bytes: the
// limit for the SHX writer's own work.
void BM_EncodePairs(benchmark::State& bench) {
  const auto all = supportedHexKernels();
  if (std::size_t(bench.range(0)) >= all.size()) {
    bench.SkipWithError("not run by this processor");
    return;
  }
  const HexKernels& kernels = *all[std::size_t(bench.range(0))];
  const fixture::Bytes bytes = fixture::pattern(kFlexSize, 2);
  std::vector<char> out(2 * bytes.size());
  for (auto _ : bench) {
    HexSums sums;
    kernels.encode(bytes.data(), bytes.size(), out.data(), sums);
    benchmark::DoNotOptimize(sums);
    benchmark::ClobberMemory();
  }
  bench.SetLabel(kernels.name);
  bench.SetBytesProcessed(std::int64_t(bench.iterations()) * std::int64_t(bytes.size()));
}

// Byte counts of the three outputs for this setup: the SHX text is 144 characters per 64
// data bytes, the SBF adds 29 bytes a record, the export is the Flex alone.
constexpr std::int64_t kShxBytes =
    std::int64_t(kHeaderSize) + 2 * 18 + 16 + 14 + (kRamdldSize + kFlexSize) / 64 * 144;
constexpr std::int64_t kSbfBytes = std::int64_t(kHeaderSize) + kRamdldSize + 29 + kFlexSize + 29;
constexpr std::int64_t kFlexBytes = kFlexSize;

}  // namespace

BENCHMARK(BM_SaveShx)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveSbf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportFlex)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodePairs)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainFwrite)
    ->Arg(kShxBytes)
    ->Arg(kSbfBytes)
    ->Arg(kFlexBytes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PlainFwriteFsync)
    ->Arg(kShxBytes)
    ->Arg(kSbfBytes)
    ->Arg(kFlexBytes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
