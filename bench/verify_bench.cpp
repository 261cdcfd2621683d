// Speed of verifying a full-size sample superfile (Flex of 0xCC0000 bytes plus RAMDLD,
// firmware, DSP and language pack) against opening the same file: a verify should take the
// same order of time as an open. Both read the file from disk; the pairs on bytes already in
// memory show the check against the reader alone.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "editor/input_file.h"
#include "editor/open_flow.h"
#include "editor/verify_flow.h"
#include "full_samples.h"
#include "model/progress.h"
#include "reader_seams.h"
#include "sample_content.h"
#include "superfile/superfile_check.h"
#include "superfile_fixture.h"

namespace {

using namespace tavufe;

using bench::finish;
using bench::runOpen;
using bench::setup;

// The whole of `tavufe verify` but the printing: read the file, check it.
void runVerify(benchmark::State& bench, const std::string& path, SuperfileEncoding type) {
  for (auto _ : bench) {
    const VerifyResult result = verifySuperfile(path, type);
    if (!result.read()) {
      bench.SkipWithError("read failed");
      return;
    }
    benchmark::DoNotOptimize(result.check.problems);
  }
  finish(bench, path);
}

void BM_VerifySbf(benchmark::State& b) { runVerify(b, setup().sbfPath, SuperfileEncoding::Sbf); }
void BM_OpenSbf(benchmark::State& b) { runOpen(b, setup().sbfPath, SuperfileEncoding::Sbf); }
void BM_VerifyShx(benchmark::State& b) { runVerify(b, setup().shxPath, SuperfileEncoding::Shx); }
void BM_OpenShx(benchmark::State& b) { runOpen(b, setup().shxPath, SuperfileEncoding::Shx); }

// On bytes in memory: the check against the reader alone (no image erase between runs).
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

void runCheck(benchmark::State& bench, const std::string& path, SuperfileEncoding encoding) {
  const InputFile file = readWholeFile(path);
  for (auto _ : bench) benchmark::DoNotOptimize(checkSuperfile(file.view(), encoding).problems);
  finish(bench, path);
}

void BM_CheckSbfBytes(benchmark::State& b) { runCheck(b, setup().sbfPath, SuperfileEncoding::Sbf); }
void BM_ReadSbfBytes(benchmark::State& b) { runReader(b, setup().sbfPath, readSbf); }
void BM_CheckShxBytes(benchmark::State& b) { runCheck(b, setup().shxPath, SuperfileEncoding::Shx); }
void BM_ReadShxBytes(benchmark::State& b) { runReader(b, setup().shxPath, readShx); }

}  // namespace

BENCHMARK(BM_VerifySbf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenSbf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VerifyShx)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenShx)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckSbfBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadSbfBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckShxBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadShxBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
