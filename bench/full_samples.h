#pragma once

// The full-size sample superfiles, written once into a scratch folder, and one editor for a
// whole benchmark run.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/editor_state.h"
#include "sample_content.h"
#include "superfile_fixture.h"

namespace bench {

struct FullSamples {
  FullSamples() {
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

}  // namespace bench
