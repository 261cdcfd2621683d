// Writes a sample superfile for trying the editor, seeding fuzzers and benchmarking.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "sample_content.h"

namespace {

const char* const kUsage =
    "usage: tavufe-sample --format sbf|shx --output FILE [--full] [--flex-size BYTES]\n"
    "                     [--fbl] [--no-firmware] [--no-flex] [--no-dsp] [--no-language]\n"
    "                     [--seed N]\n"
    "       tavufe-sample --help\n";

const char* const kOptions =
    "\n"
    "Writes a superfile with made-up contents; the same options and seed give the same file.\n"
    "\n"
    "Options (a value may also follow as --name=value; numbers are decimal, or hexadecimal\n"
    "with 0x):\n"
    "  --format sbf|shx    write SBF binary records or SHX S-record text\n"
    "  --output FILE       the file to write\n"
    "  --full              make the Flex code group its full size, 0xCC0000 bytes\n"
    "  --flex-size BYTES   the Flex code group's size, 0x4000 to 0xCC0000; 0x40000 without it\n"
    "  --fbl               add an FBL code group\n"
    "  --no-firmware       leave out the firmware code group\n"
    "  --no-flex           leave out the Flex code group\n"
    "  --no-dsp            leave out the DSP code group\n"
    "  --no-language       leave out the language pack code group\n"
    "  --seed N            start the made-up contents from N; 1 without it\n"
    "  -h, --help          print this help, then exit\n"
    "\n"
    "Example: tavufe-sample --format shx --output sample.shx --flex-size 0x100000\n";

// A usage error: why, then the usage, on standard error.
int usageError(const std::string& why) {
  std::fprintf(stderr, "tavufe-sample: %s\n%s", why.c_str(), kUsage);
  return 2;
}

// A whole number, decimal or hexadecimal with 0x, that fits 32 bits; nothing for anything else
// (signs, spaces, trailing characters), which strtoul would read in part.
std::optional<std::uint32_t> cleanNumber(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) {
    return std::nullopt;
  }
  errno = 0;
  const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno == ERANGE || value > 0xFFFFFFFFull) return std::nullopt;
  return std::uint32_t(value);
}

}  // namespace

int main(int argc, char** argv) {
  sample::Options options;
  std::string format;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    // Options that take a value also take it as --name=value, as tavufe's do.
    std::optional<std::string> value;
    if (const auto equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
      value = arg.substr(equals + 1);
      arg.resize(equals);
    }
    const bool takesValue =
        arg == "--format" || arg == "--output" || arg == "--flex-size" || arg == "--seed";
    if (takesValue && !value) {
      if (i + 1 >= argc) return usageError(arg + " needs a value");
      value = argv[++i];
    } else if (!takesValue && value) {
      return usageError(arg + " takes no value");
    }
    if (arg == "--format") {
      format = *value;
    } else if (arg == "--output") {
      output = *value;
    } else if (arg == "--full") {
      options.flexSize = sample::kFullFlexSize;
    } else if (arg == "--flex-size" || arg == "--seed") {
      const std::optional<std::uint32_t> number = cleanNumber(*value);
      if (!number) {
        return usageError(arg + " \"" + *value +
                          "\" is not a whole number (decimal, or hexadecimal with 0x)");
      }
      (arg == "--seed" ? options.seed : options.flexSize) = *number;
    } else if (arg == "--fbl") {
      options.fbl = true;
    } else if (arg == "--no-firmware") {
      options.firmware = false;
    } else if (arg == "--no-flex") {
      options.flex = false;
    } else if (arg == "--no-dsp") {
      options.dsp = false;
    } else if (arg == "--no-language") {
      options.languagePack = false;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::fputs(kOptions, stdout);
      return 0;
    } else {
      return usageError("unknown option \"" + arg + "\"");
    }
  }
  if (format.empty()) return usageError("--format is missing");
  if (format != "sbf" && format != "shx") {
    return usageError("--format \"" + format + "\" is neither sbf nor shx");
  }
  if (output.empty()) return usageError("--output is missing");
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
