// Speed of opening a full-size sample superfile (Flex of 0xCC0000 bytes plus RAMDLD, firmware,
// DSP and language pack), against its unavoidable parts: erasing the image, reading the file
// into memory and turning its hex pairs into bytes. BM_OpenShxLimit does all three as plainly
// and as fast as they go; the goal is BM_OpenShx within twice its time.

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

#include "editor/input_file.h"
#include "editor/open_flow.h"
#include "full_samples.h"
#include "model/progress.h"
#include "reader_seams.h"
#include "sample_content.h"
#include "superfile/hex_pairs.h"
#include "superfile_fixture.h"

namespace {

using namespace tavufe;

using bench::finish;
using bench::runOpen;
using bench::setup;

std::int64_t fileSize(const std::string& path) {
  return std::int64_t(std::filesystem::file_size(path));
}

// The reader alone, on bytes already in memory: the image is not erased between runs.
template <typename Reader>
void runReader(benchmark::State& bench, const std::string& path, Reader read) {
  EditorState& s = setup().state;
  const InputFile file = readWholeFile(path);
  Progress progress;
  for (auto _ : bench) {
    resetSlots(s);
    if (read(s, file.view(), progress).status != StatusCode::None) {
      bench.SkipWithError("read failed");
      return;
    }
  }
  finish(bench, path);
}

void BM_ReadSbf(benchmark::State& bench) { runReader(bench, setup().sbfPath, readSbf); }
void BM_ReadShx(benchmark::State& bench) { runReader(bench, setup().shxPath, readShx); }

void BM_OpenSbf(benchmark::State& bench) {
  runOpen(bench, setup().sbfPath, SuperfileEncoding::Sbf);
}
void BM_OpenShx(benchmark::State& bench) {
  runOpen(bench, setup().shxPath, SuperfileEncoding::Shx);
}

// Yardsticks: erasing the whole image with one plain memset, and one plain fread of the same
// file into a fresh buffer. (An open erases only what the last one wrote.)
void BM_FillImage(benchmark::State& bench) {
  EditorState& s = setup().state;
  for (auto _ : bench) {
    const std::span<std::uint8_t> all = s.image.write(0, kImageSize);
    std::memset(all.data(), kErased, all.size());
    benchmark::ClobberMemory();
  }
  bench.SetBytesProcessed(std::int64_t(bench.iterations()) * kImageSize);
}

void plainRead(benchmark::State& bench, const std::string& path) {
  const auto size = std::size_t(fileSize(path));
  for (auto _ : bench) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
      bench.SkipWithError("cannot open");
      return;
    }
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
    const std::size_t got = std::fread(bytes.get(), 1, size, f);
    std::fclose(f);
    benchmark::DoNotOptimize(bytes.get());
    if (got != size) {
      bench.SkipWithError("short read");
      return;
    }
  }
  finish(bench, path);
}

void BM_PlainReadSbf(benchmark::State& bench) { plainRead(bench, setup().sbfPath); }
void BM_PlainReadShx(benchmark::State& bench) { plainRead(bench, setup().shxPath); }

bool readInto(const std::string& path, std::uint8_t* bytes, std::size_t size) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, bytes + done, size - done);
    if (n <= 0) break;
    done += std::size_t(n);
  }
  ::close(fd);
  return done == size;
}

// The limit of an SHX open: one read of the file into a buffer kept between runs, erasing what
// the last run wrote, and the whole file decoded as one run of pairs into the image where the
// Flex goes, with no line to parse.
void BM_OpenShxLimit(benchmark::State& bench) {
  EditorState& s = setup().state;
  const std::string& path = setup().shxPath;
  const auto size = std::size_t(fileSize(path));
  const std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
  const DecodePairsFn decode = hexKernels().decode;
  constexpr std::uint32_t kFlexOffset = 0x01280000;
  for (auto _ : bench) {
    if (!readInto(path, bytes.get(), size)) {
      bench.SkipWithError("short read");
      return;
    }
    s.image.fill();
    const std::span<std::uint8_t> target = s.image.write(kFlexOffset, size / 2);
    benchmark::DoNotOptimize(decode(bytes.get(), target.size(), target.data()));
    benchmark::ClobberMemory();
  }
  finish(bench, path);
}

// Each variant of the hex pair decoder this processor runs, on the Flex's worth of pairs.
void BM_DecodePairs(benchmark::State& bench) {
  const auto all = supportedHexKernels();
  if (std::size_t(bench.range(0)) >= all.size()) {
    bench.SkipWithError("not run by this processor");
    return;
  }
  const HexKernels& kernels = *all[std::size_t(bench.range(0))];
  constexpr std::size_t kCount = 0xCC0000;
  const std::vector<std::uint8_t> digits(2 * kCount, std::uint8_t('A'));
  std::vector<std::uint8_t> out(kCount);
  for (auto _ : bench) {
    benchmark::DoNotOptimize(kernels.decode(digits.data(), kCount, out.data()));
    benchmark::ClobberMemory();
  }
  bench.SetLabel(kernels.name);
  bench.SetBytesProcessed(std::int64_t(bench.iterations()) * std::int64_t(2 * kCount));
}

}  // namespace

BENCHMARK(BM_FillImage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainReadSbf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainReadShx)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenShxLimit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodePairs)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadSbf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadShx)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenSbf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenShx)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
