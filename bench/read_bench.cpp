// Speed of opening a full-size sample superfile (Flex of 0xCC0000 bytes plus RAMDLD, firmware,
// DSP and language pack), against its two unavoidable parts: erasing the image and reading the
// file into memory.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "editor/input_file.h"
#include "editor/open_flow.h"
#include "model/progress.h"
#include "sample_content.h"
#include "superfile/sbf_reader.h"
#include "superfile/shx_reader.h"
#include "superfile_fixture.h"

namespace {

using namespace tavufe;

// The two sample files, written once, and one editor for the whole run.
struct Setup {
  Setup() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavufe-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder = pattern;
    sample::Options options;
    options.flexSize = sample::kFullFlexSize;
    sbfPath = folder + "/full.sbf";
    shxPath = folder + "/full.shx";
    fixture::writeFile(sbfPath, sample::makeSbf(options));
    fixture::writeFile(shxPath, sample::makeShx(options));
    if (!state.image.allocate()) std::abort();
    initialiseEditor(state);
  }
  ~Setup() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  std::string folder;
  std::string sbfPath;
  std::string shxPath;
  EditorState state;
};

Setup& setup() {
  static Setup s;
  return s;
}

std::int64_t fileSize(const std::string& path) {
  return std::int64_t(std::filesystem::file_size(path));
}

void finish(benchmark::State& bench, const std::string& path) {
  bench.SetBytesProcessed(std::int64_t(bench.iterations()) * fileSize(path));
  bench.counters["file_MB"] = double(fileSize(path)) / 1e6;
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

// The whole model side of an open: erase, reset, read, reduce to RAMDLD and Flex.
void runOpen(benchmark::State& bench, const std::string& path, InputType type) {
  EditorState& s = setup().state;
  Progress progress;
  for (auto _ : bench) {
    if (!openSuperfile(s, path, type, progress).loaded()) {
      bench.SkipWithError("open failed");
      return;
    }
  }
  finish(bench, path);
}

void BM_OpenSbf(benchmark::State& bench) { runOpen(bench, setup().sbfPath, InputType::Sbf); }
void BM_OpenShx(benchmark::State& bench) { runOpen(bench, setup().shxPath, InputType::Shx); }

// Yardsticks: erasing the image, and one plain fread of the same file into a fresh buffer.
void BM_FillImage(benchmark::State& bench) {
  EditorState& s = setup().state;
  for (auto _ : bench) {
    s.image.fill();
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

}  // namespace

BENCHMARK(BM_FillImage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainReadSbf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainReadShx)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadSbf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadShx)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenSbf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenShx)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
