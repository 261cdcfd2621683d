#pragma once

// The full-size sample superfiles, written once into a scratch folder, and one editor for a
// whole benchmark run.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "editor/input_file.h"
#include "editor/open_flow.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "sample_content.h"
#include "superfile_fixture.h"

namespace bench {

struct FullSamples {
  FullSamples() {
    // As the programs do, so that opens map their files as theirs do.
    tavufe::ignoreFileSignals();
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
    tavufe::initialiseEditor(state);
  }
  ~FullSamples() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  std::string folder;
  std::string sbfPath;
  std::string shxPath;
  tavufe::EditorState state;
};

inline FullSamples& setup() {
  static FullSamples s;
  return s;
}

// Bytes processed are the file's, so that each figure reads as a speed over the same input.
inline void finish(benchmark::State& state, const std::string& path) {
  const auto size = std::int64_t(std::filesystem::file_size(path));
  state.SetBytesProcessed(std::int64_t(state.iterations()) * size);
  state.counters["file_MB"] = double(size) / 1e6;
}

// The whole model side of an open: erase, reset, read, reduce to RAMDLD and Flex.
inline void runOpen(benchmark::State& state, const std::string& path, tavufe::InputType type) {
  tavufe::EditorState& editor = setup().state;
  tavufe::Progress progress;
  for (auto _ : state) {
    if (!tavufe::openSuperfile(editor, path, type, progress, {","}).loaded()) {
      state.SkipWithError("open failed");
      return;
    }
  }
  finish(state, path);
}

}  // namespace bench
