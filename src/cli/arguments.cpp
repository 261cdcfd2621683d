#include "cli/arguments.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "cli/visible_text.h"
#include "model/editor_state.h"

namespace tavufe::cli {

namespace {

constexpr char kUsage[] =
    "usage: tavufe info FILE [--json] [--input-type sbf|shx]\n"
    "       tavufe folders FILE [--json] [--keep-repeated] [--input-type sbf|shx]\n"
    "       tavufe save FILE -o OUT [--type shx|sbf|smg|bin] [--delete-row K]... [--keep-repeated]"
    " [--force] [--input-type sbf|shx]\n"
    "       tavufe verify FILE [--json] [--input-type sbf|shx]\n"
    "       tavufe diff OLD NEW [--json] [--input-type sbf|shx]\n"
    "       tavufe -h | --help | --version\n";

constexpr char kHelpDetails[] =
    "\n"
    "Commands:\n"
    "  info      print the report and the code-group list of FILE\n"
    "  folders   list the folder records of FILE's Flex code group\n"
    "  save      erase the folder records of the rows K, then write OUT\n"
    "  verify    check FILE's framing, line sums, code-group checksums and RAMDLD table;\n"
    "            one line per problem (FILE:LINE for SHX text, FILE:OFFSET in 8 hex\n"
    "            digits for SBF and the header block), at most 1,000 of them and then\n"
    "            '... and N more not listed'; last '1 problem', 'N problems' or 'OK';\n"
    "            notes ('FILE:LINE: note: ...') are not problems\n"
    "  diff      compare OLD with NEW as the editor reads them: header texts, code\n"
    "            groups only in one file or with another range, differing byte ranges\n"
    "            (folder records and RAMDLD table entries named), then 'N differences'\n"
    "            or 'same'; lines starting 'note:' are sums that disagree with their\n"
    "            header entry and are not differences\n"
    "\n"
    "Options:\n"
    "  --input-type sbf|shx   read FILE (diff: OLD and NEW) as this type whatever its\n"
    "                         extension (otherwise \".sbf\" or \".shx\", in any case)\n"
    "  --keep-repeated        keep folder records that repeat the name of the one before\n"
    "  --delete-row K         erase the record of row K as 'folders' numbers it for the same\n"
    "                         FILE and options; may be given more than once\n"
    "  -o OUT                 the file to write; it may be FILE itself; '-' for standard\n"
    "                         output (not a terminal)\n"

    "  --type shx|sbf|smg|bin the format of OUT; without it OUT's extension decides\n"
    "  --force                save even when FILE has checksum problems ('verify' lists\n"
    "                         them; the save writes fresh checksums over those bytes), or\n"
    "                         when OUT is FILE itself and holds code groups the save does\n"
    "                         not write, or when OUT's owner, group, ACL or attributes\n"
    "                         cannot be kept (its mode then gives no one more access)\n"
    "  --json                 info, folders, verify, diff: print one JSON document;\n"
    "                         bytes that are not UTF-8 show as the characters U+0080\n"
    "                         to U+00FF\n"
    "  -h, --help             print this help, then exit\n"
    "  --version              print the program's version, then exit\n"
    "\n"
    "Exit status: 0 done, 1 warning or notice, 2 usage error.\n"
    "verify exits with 1 when it finds a problem. A SOURCE_DATE_EPOCH that is ignored\n"
    "is a warning on standard error; the save goes on and exits with 0.\n"
    "diff exits with 0 when the files are the same, 1 when they differ, 2 when one\n"
    "cannot be opened.\n";

enum class Option { InputType, KeepRepeated, Json, Force, Type, DeleteRow, Output };

struct OptionRule {
  std::string_view name;
  Option option;
  bool takesValue;
  std::array<bool, 5> appliesTo;  // info, folders, save, verify, diff
};

constexpr std::array<OptionRule, 7> kOptions = {{
    {"--input-type", Option::InputType, true, {true, true, true, true, true}},
    {"--keep-repeated", Option::KeepRepeated, false, {false, true, true, false, false}},
    {"--json", Option::Json, false, {true, true, false, true, true}},
    {"--force", Option::Force, false, {false, false, true, false, false}},
    {"--type", Option::Type, true, {false, false, true, false, false}},
    {"--delete-row", Option::DeleteRow, true, {false, false, true, false, false}},
    {"-o", Option::Output, true, {false, false, true, false, false}},
}};

constexpr std::array<std::string_view, 5> kCommandNames = {"info", "folders", "save", "verify",
                                                           "diff"};

// What the user typed, echoed with the same escapes as text from a file.
std::string quoted(std::string_view text) { return "'" + visibleText(text) + "'"; }

std::string lowerCase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return out;
}

// A following argument that looks like an option is not taken as a value: `-o --type sbf`
// is far more likely a forgotten name than a file called "--type". No option starts with a
// digit, so "-1" stays a value and is refused as a row number.
bool looksLikeOption(std::string_view arg) {
  return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

std::optional<SuperfileEncoding> parseInputType(std::string_view value) {
  const std::string v = lowerCase(value);
  if (v == "sbf") return SuperfileEncoding::Sbf;
  if (v == "shx") return SuperfileEncoding::Shx;
  return std::nullopt;
}

std::optional<SaveType> parseSaveType(std::string_view value) {
  const std::string v = lowerCase(value);
  for (SaveType type : {SaveType::Shx, SaveType::Sbf, SaveType::Smg, SaveType::Bin}) {
    if ("." + v == extensionFor(type)) return type;
  }
  return std::nullopt;
}

// Decimal digits only, at least 1. Values are capped just past the longest list, which keeps
// the sum from overflowing; the cap itself is refused as a row beyond the list.
std::optional<int> parseRowNumber(std::string_view value) {
  if (value.empty()) return std::nullopt;
  int n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    n = std::min(n * 10 + (c - '0'), kMaxFolders + 1);
  }
  if (n < 1) return std::nullopt;
  return n;
}

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : args_(args) {}

  ParseOutcome run() {
    if (args_.empty()) return fail("no command given");
    const std::string& first = args_[0];
    if (first == "--help" || first == "-h" || first == "--version") {
      if (args_.size() > 1) return fail(quoted(first) + " takes no other arguments");
      result_.command = first == "--version" ? Command::Version : Command::Help;
      return done();
    }
    const auto name = std::find(kCommandNames.begin(), kCommandNames.end(), first);
    if (name == kCommandNames.end()) {
      return fail(looksLikeOption(first) ? "unknown option " + quoted(first)
                                         : "unknown command " + quoted(first));
    }
    commandIndex_ = std::size_t(name - kCommandNames.begin());
    result_.command = std::array{Command::Info, Command::Folders, Command::Save, Command::Verify,
                                 Command::Diff}[commandIndex_];

    const bool diff = result_.command == Command::Diff;
    bool optionsEnded = false;
    bool haveFile = false;
    bool haveNewFile = false;
    for (std::size_t i = 1; i < args_.size(); ++i) {
      const std::string& arg = args_[i];
      if (!optionsEnded && arg == "--") {
        optionsEnded = true;
        continue;
      }
      if (optionsEnded || !looksLikeOption(arg)) {
        if (diff && haveFile && !haveNewFile) {
          result_.newFile = arg;
          haveNewFile = true;
          continue;
        }
        if (haveFile) return fail("unexpected argument " + quoted(arg));
        result_.file = arg;
        haveFile = true;
        continue;
      }
      if (!takeOption(arg, i)) return fail(error_);
    }

    if (diff) {
      if (!haveFile) return fail("missing OLD");
      if (!haveNewFile) return fail("missing NEW");
      if (result_.file.empty()) return fail("OLD is empty");
      if (result_.newFile.empty()) return fail("NEW is empty");
      return done();
    }
    if (!haveFile) return fail("missing FILE");
    if (result_.file.empty()) return fail("FILE is empty");
    if (result_.command == Command::Save) {
      if (!haveOutput_) return fail("missing -o OUT");
      if (!haveSaveType_) {
        const auto type = saveTypeForPath(result_.output);
        if (!type) {
          return fail("cannot tell the type of " + quoted(result_.output) +
                      " from its extension; give --type shx|sbf|smg|bin");
        }
        result_.saveType = *type;
      }
    }
    return done();
  }

 private:
  bool takeOption(const std::string& arg, std::size_t& i) {
    // Long options also take their value as --name=value.
    std::string_view name = arg;
    std::optional<std::string> inlineValue;
    if (arg.starts_with("--")) {
      const auto eq = arg.find('=');
      if (eq != std::string::npos) {
        name = std::string_view(arg).substr(0, eq);
        inlineValue = arg.substr(eq + 1);
      }
    }
    const auto known = std::find_if(kOptions.begin(), kOptions.end(),
                                    [&](const OptionRule& s) { return s.name == name; });
    if (known == kOptions.end()) return refuse("unknown option " + quoted(name));
    if (!known->appliesTo[commandIndex_]) {
      return refuse("option " + quoted(name) + " does not apply to " +
                    quoted(kCommandNames[commandIndex_]));
    }

    if (!known->takesValue) {
      if (inlineValue) return refuse("option " + quoted(name) + " takes no value");
      // Giving a flag twice changes nothing.
      if (known->option == Option::Json) {
        result_.json = true;
      } else if (known->option == Option::Force) {
        result_.force = true;
      } else {
        result_.keepRepeated = true;
      }
      return true;
    }

    std::string value;
    if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < args_.size() && !looksLikeOption(args_[i + 1])) {
      value = args_[++i];
    }
    if (value.empty()) return refuse("option " + quoted(name) + " needs a value");

    switch (known->option) {
      case Option::InputType: {
        if (result_.inputType) return given(name);
        result_.inputType = parseInputType(value);
        if (!result_.inputType) return badValue(name, value, "sbf or shx");
        return true;
      }
      case Option::Type: {
        if (haveSaveType_) return given(name);
        const auto type = parseSaveType(value);
        if (!type) return badValue(name, value, "shx, sbf, smg or bin");
        result_.saveType = *type;
        haveSaveType_ = true;
        return true;
      }
      case Option::DeleteRow: {
        const auto row = parseRowNumber(value);
        if (!row) return refuse("row " + quoted(value) + " is not a positive number");
        if (*row > kMaxFolders) {
          return refuse("row " + quoted(value) + " is beyond the folder list (at most " +
                        std::to_string(kMaxFolders) + " rows)");
        }
        result_.deleteRows.push_back(*row);
        return true;
      }
      case Option::Output: {
        if (haveOutput_) return given(name);
        result_.output = value;
        haveOutput_ = true;
        return true;
      }
      case Option::KeepRepeated:
      case Option::Json:
      case Option::Force: break;
    }
    return true;
  }

  bool refuse(std::string message) {
    error_ = std::move(message);
    return false;
  }
  bool given(std::string_view name) {
    return refuse("option " + quoted(name) + " given more than once");
  }
  bool badValue(std::string_view name, std::string_view value, std::string_view allowed) {
    return refuse("invalid value " + quoted(value) + " for " + quoted(name) + " (" +
                  std::string(allowed) + ")");
  }

  ParseOutcome fail(std::string message) { return {std::nullopt, std::move(message)}; }
  ParseOutcome done() { return {std::move(result_), {}}; }

  const std::vector<std::string>& args_;
  Arguments result_;
  std::size_t commandIndex_ = 0;
  bool haveOutput_ = false;
  bool haveSaveType_ = false;
  std::string error_;
};

}  // namespace

ParseOutcome parseArguments(const std::vector<std::string>& args) { return Parser(args).run(); }

const char* usageText() { return kUsage; }

std::string helpText() { return std::string(kUsage) + kHelpDetails; }

}  // namespace tavufe::cli
