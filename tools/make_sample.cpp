// Writes a sample superfile for trying the editor, seeding fuzzers and benchmarking.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sample_content.h"

namespace {

int usage(std::FILE* to, int code) {
  std::fputs(
      "usage: tavufe-sample --format sbf|shx --output FILE [--full] [--flex-size BYTES]\n"
      "                     [--fbl] [--no-firmware] [--no-dsp] [--no-language] [--seed N]\n",
      to);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  sample::Options options;
  std::string format;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--format" && hasValue) {
      format = argv[++i];
    } else if (arg == "--output" && hasValue) {
      output = argv[++i];
    } else if (arg == "--full") {
      options.flexSize = sample::kFullFlexSize;
    } else if (arg == "--flex-size" && hasValue) {
      options.flexSize = std::uint32_t(std::strtoul(argv[++i], nullptr, 0));
    } else if (arg == "--fbl") {
      options.fbl = true;
    } else if (arg == "--no-firmware") {
      options.firmware = false;
    } else if (arg == "--no-dsp") {
      options.dsp = false;
    } else if (arg == "--no-language") {
      options.languagePack = false;
    } else if (arg == "--seed" && hasValue) {
      options.seed = std::uint32_t(std::strtoul(argv[++i], nullptr, 0));
    } else if (arg == "--help") {
      return usage(stdout, 0);
    } else {
      return usage(stderr, 2);
    }
  }
  if ((format != "sbf" && format != "shx") || output.empty()) return usage(stderr, 2);
  if (options.flexSize < 0x4000 || options.flexSize > sample::kFullFlexSize) {
    std::fputs("tavufe-sample: --flex-size must lie between 0x4000 and 0xCC0000\n", stderr);
    return 2;
  }
  const fixture::Bytes bytes =
      format == "sbf" ? sample::makeSbf(options) : sample::makeShx(options);
  std::FILE* f = std::fopen(output.c_str(), "wb");
  if (f == nullptr) {
    std::perror(output.c_str());
    return 1;
  }
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) {
    std::perror(output.c_str());
    return 1;
  }
  return 0;
}
