#include "cli/arguments.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "cli/visible_text.h"
#include "model/editor_state.h"

namespace tavufe::cli {

namespace {

// One entry per command, in the order of kCommandNames: its usage line, what it does, its
// options with a line each, and an example.
struct CommandText {
  std::string_view usage;
  std::string_view about;
  std::string_view options;
  std::string_view example;
};

constexpr std::string_view kInputType =
    "  --input-type sbf|shx   read FILE as this type whatever its extension (otherwise\n"
    "                         \".sbf\" or \".shx\", in any case)\n";

constexpr std::array<CommandText, 5> kCommandTexts = {{
    {"tavufe info FILE... [--json] [--rescue] [--input-type sbf|shx]",
     "Print the report of FILE (what its header says, which versions its code groups carry)\n"
     "and the list of its code groups. Several files are printed one after the other, each\n"
     "under a '==> FILE <==' line. A file that opens with problems is shown, and standard\n"
     "error says 'FILE: N problems; tavufe verify FILE lists them'.\n",
     "  --json                 print one JSON document (for several files, an array of them)\n"
     "  --rescue               read past damaged lines and records; standard error ends with\n"
     "                         what was damaged and whether a save can write the file\n",
     "tavufe info backup.shx"},
    {"tavufe folders FILE [--json] [--keep-repeated] [--rescue] [--input-type sbf|shx]",
     "List the folder records of FILE's Flex code group, numbered from 1 as the rows that\n"
     "'save --delete-row' takes. A folder record that repeats the name of the one before it\n"
     "is erased as the file is read, unless kept.\n",
     "  --json                 print one JSON document\n"
     "  --keep-repeated        keep folder records that repeat the name of the one before\n"
     "  --rescue               read past damaged lines and records\n",
     "tavufe folders backup.shx"},
    {"tavufe save FILE -o OUT [--type shx|sbf|smg|bin] [--delete-row K]... [--delete-folder "
     "NAME]... [--all-matches] [--keep-repeated] [--force] [--rescue] [--input-type sbf|shx]",
     "Erase the folder records given by row or by name, all as 'folders' lists them for the\n"
     "same FILE and options, then write OUT. Nothing is written when anything is refused.\n",
     "  -o OUT                 the file to write; it may be FILE itself; '-' for standard\n"
     "                         output (not a terminal)\n"
     "  --type shx|sbf|smg|bin the format of OUT; without it OUT's extension decides\n"
     "  --delete-row K         erase the record of row K; may be given more than once\n"
     "  --delete-folder NAME   erase the record named NAME, as 'folders' prints it or raw;\n"
     "                         may be given more than once\n"
     "  --all-matches          erase every record a --delete-folder NAME matches (without\n"
     "                         it, a name that matches several records is refused)\n"
     "  --keep-repeated        keep folder records that repeat the name of the one before\n"
     "  --force                save even when FILE opens with problems ('verify' lists\n"
     "                         them; the save writes fresh checksums over those bytes), or\n"
     "                         when OUT is FILE itself and holds code groups the save does\n"
     "                         not write\n"
     "  --rescue               read past damaged lines and records; write OUT only when the\n"
     "                         RAMDLD and the Flex were read whole and sound (--force does\n"
     "                         not change that)\n",
     "tavufe save backup.shx -o flex_mod.shx --delete-folder Skins"},
    {"tavufe verify FILE... [--json] [--input-type sbf|shx]",
     "Check FILE's framing, line sums, code-group checksums and RAMDLD table: one line per\n"
     "problem (FILE:LINE for SHX text, FILE:OFFSET in 8 hex digits for SBF and the header\n"
     "block), at most 1,000 of them and then '... and N more not listed'; last '1 problem',\n"
     "'N problems' or 'OK'. Notes ('FILE:LINE: note: ...') are not problems. Of several\n"
     "files each ends with 'FILE: OK', 'FILE: OK (N notes)' or 'FILE: N problems'.\n",
     "  --json                 print one JSON document (for several files, an array of them)\n",
     "tavufe verify backup.shx flex_mod.shx"},
    {"tavufe diff OLD NEW [--json] [--input-type sbf|shx]",
     "Compare OLD with NEW as the editor reads them: header texts, code groups only in one\n"
     "file or with another range, differing byte ranges (folder records and RAMDLD table\n"
     "entries named), then 'N differences' or 'same'. Lines starting 'note:' are sums that\n"
     "disagree with their header entry and are not differences. An .smg or .bin export on\n"
     "either side is the Flex alone: only the Flex is compared, as the first line says.\n",
     "  --json                 print one JSON document\n", "tavufe diff backup.shx flex_mod.shx"},
}};

constexpr char kHelpDetails[] =
    "\n"
    "Commands:\n"
    "  info      print the report and the code-group list of each FILE\n"
    "  folders   list the folder records of FILE's Flex code group\n"
    "  save      erase the folder records of the rows K and the folders NAME, then write OUT\n"
    "  verify    check each FILE's framing, line sums, code-group checksums and RAMDLD table;\n"
    "            one line per problem (FILE:LINE for SHX text, FILE:OFFSET in 8 hex\n"
    "            digits for SBF and the header block), at most 1,000 of them and then\n"
    "            '... and N more not listed'; last '1 problem', 'N problems' or 'OK';\n"
    "            notes ('FILE:LINE: note: ...') are not problems\n"
    "  diff      compare OLD with NEW as the editor reads them: header texts, code\n"
    "            groups only in one file or with another range, differing byte ranges\n"
    "            (folder records and RAMDLD table entries named), then 'N differences'\n"
    "            or 'same'; lines starting 'note:' are sums that disagree with their\n"
    "            header entry and are not differences; an .smg or .bin export is\n"
    "            compared as the Flex alone\n"
    "  help      print this help, or with a COMMAND that command's help\n"
    "\n"
    "Options:\n"
    "  --input-type sbf|shx   read FILE (diff: OLD and NEW) as this type whatever its\n"
    "                         extension (otherwise \".sbf\" or \".shx\", in any case)\n"
    "  --keep-repeated        keep folder records that repeat the name of the one before\n"
    "  --delete-row K         erase the record of row K as 'folders' numbers it for the same\n"
    "                         FILE and options; may be given more than once\n"
    "  --delete-folder NAME   erase the record named NAME as 'folders' lists it (raw, or as\n"
    "                         it prints it); may be given more than once\n"
    "  --all-matches          erase every record a --delete-folder NAME matches\n"
    "  -o OUT                 the file to write; it may be FILE itself; '-' for standard\n"
    "                         output (not a terminal)\n"
    "  --type shx|sbf|smg|bin the format of OUT; without it OUT's extension decides\n"
    "  --force                save even when FILE opens with problems ('verify' lists\n"
    "                         them; the save writes fresh checksums over those bytes), or\n"
    "                         when OUT is FILE itself and holds code groups the save does\n"
    "                         not write, or when OUT's owner, group, ACL or attributes\n"
    "                         cannot be kept (its mode then gives no one more access)\n"
    "  --rescue               info, folders, save: read past damaged lines and records,\n"
    "                         keeping the code groups read whole; save writes only a sound\n"
    "                         RAMDLD and Flex\n"
    "  --json                 info, folders, verify, diff: print one JSON document (an\n"
    "                         array for several files); bytes that are not UTF-8 show as\n"
    "                         the characters U+0080 to U+00FF\n"
    "  -h, --help             print this help (after a COMMAND, its help), then exit\n"
    "  --version              print the program's version, then exit\n"
    "\n"
    "Exit status: 0 done, 1 warning or notice, 2 usage error.\n"
    "verify exits with 1 when it finds a problem in any FILE or cannot read one. A\n"
    "SOURCE_DATE_EPOCH that is ignored is a warning on standard error; the save goes on and\n"
    "exits with 0.\n"
    "diff exits with 0 when the files are the same, 1 when they differ, 2 when one\n"
    "cannot be opened.\n"
    "\n"
    "Run 'tavufe COMMAND --help' for one command's options and an example.\n";

enum class Option {
  InputType,
  KeepRepeated,
  Json,
  Force,
  Type,
  DeleteRow,
  DeleteFolder,
  AllMatches,
  Rescue,
  Output
};

struct OptionRule {
  std::string_view name;
  Option option;
  bool takesValue;
  std::array<bool, 5> appliesTo;  // info, folders, save, verify, diff
};

constexpr std::array<OptionRule, 10> kOptions = {{
    {"--input-type", Option::InputType, true, {true, true, true, true, true}},
    {"--keep-repeated", Option::KeepRepeated, false, {false, true, true, false, false}},
    {"--json", Option::Json, false, {true, true, false, true, true}},
    {"--force", Option::Force, false, {false, false, true, false, false}},
    {"--type", Option::Type, true, {false, false, true, false, false}},
    {"--delete-row", Option::DeleteRow, true, {false, false, true, false, false}},
    {"--delete-folder", Option::DeleteFolder, true, {false, false, true, false, false}},
    {"--all-matches", Option::AllMatches, false, {false, false, true, false, false}},
    {"--rescue", Option::Rescue, false, {true, true, true, false, false}},
    {"-o", Option::Output, true, {false, false, true, false, false}},
}};

constexpr std::array<std::string_view, 5> kCommandNames = {"info", "folders", "save", "verify",
                                                           "diff"};
constexpr std::array<Command, 5> kCommands = {Command::Info, Command::Folders, Command::Save,
                                              Command::Verify, Command::Diff};

std::size_t indexOf(Command command) {
  return std::size_t(std::find(kCommands.begin(), kCommands.end(), command) - kCommands.begin());
}

std::string usageLines() {
  std::string out;
  for (const CommandText& text : kCommandTexts) {
    out += (out.empty() ? "usage: " : "       ") + std::string(text.usage) + "\n";
  }
  return out + "       tavufe help [COMMAND]\n       tavufe -h | --help | --version\n";
}

bool isHelpOption(std::string_view arg) { return arg == "--help" || arg == "-h"; }

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
    if (isHelpOption(first) || first == "--version") {
      if (args_.size() > 1) return fail(quoted(first) + " takes no other arguments");
      result_.command = first == "--version" ? Command::Version : Command::Help;
      return done();
    }
    if (first == "help") return helpCommand();
    const auto name = std::find(kCommandNames.begin(), kCommandNames.end(), first);
    if (name == kCommandNames.end()) {
      return fail(looksLikeOption(first) ? "unknown option " + quoted(first)
                                         : "unknown command " + quoted(first));
    }
    commandIndex_ = std::size_t(name - kCommandNames.begin());
    result_.command = kCommands[commandIndex_];
    command_ = result_.command;
    // Help is given wherever it is asked for, whatever else is wrong.
    for (std::size_t i = 1; i < args_.size() && args_[i] != "--"; ++i) {
      if (isHelpOption(args_[i])) {
        result_.helpFor = result_.command;
        result_.command = Command::Help;
        return done();
      }
    }

    bool optionsEnded = false;
    for (std::size_t i = 1; i < args_.size(); ++i) {
      const std::string& arg = args_[i];
      if (!optionsEnded && arg == "--") {
        optionsEnded = true;
        continue;
      }
      if (optionsEnded || !looksLikeOption(arg)) {
        result_.files.push_back(arg);
        continue;
      }
      if (!takeOption(arg, i)) return fail(error_);
    }
    return checkFiles() ? finish() : fail(error_);
  }

 private:
  // `help` alone is the overview; `help COMMAND` that command's help.
  ParseOutcome helpCommand() {
    result_.command = Command::Help;
    if (args_.size() > 2) return fail("unexpected argument " + quoted(args_[2]));
    if (args_.size() == 2) {
      const auto name = std::find(kCommandNames.begin(), kCommandNames.end(), args_[1]);
      if (name == kCommandNames.end()) return fail("unknown command " + quoted(args_[1]));
      result_.helpFor = kCommands[std::size_t(name - kCommandNames.begin())];
    }
    return done();
  }

  // info and verify take one FILE or more, diff OLD and NEW, the others one FILE.
  bool checkFiles() {
    auto& files = result_.files;
    if (result_.command == Command::Diff) {
      if (files.empty()) return refuse("missing OLD");
      if (files.size() == 1) return refuse("missing NEW");
      if (files.size() > 2) return refuse("unexpected argument " + quoted(files[2]));
      if (files[0].empty()) return refuse("OLD is empty");
      if (files[1].empty()) return refuse("NEW is empty");
      result_.file = files[0];
      result_.newFile = files[1];
      return true;
    }
    if (files.empty()) return refuse("missing FILE");
    const bool several = result_.command == Command::Info || result_.command == Command::Verify;
    if (!several && files.size() > 1) return refuse("unexpected argument " + quoted(files[1]));
    if (std::find(files.begin(), files.end(), "") != files.end()) return refuse("FILE is empty");
    result_.file = files[0];
    return true;
  }

  ParseOutcome finish() {
    if (result_.command == Command::Save) {
      if (!haveOutput_) return fail("missing -o OUT");
      if (result_.allMatches && result_.deleteFolders.empty()) {
        return fail("option '--all-matches' needs --delete-folder NAME");
      }
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

  // The field a flag sets; giving a flag twice changes nothing.
  bool& flag(Option option) {
    switch (option) {
      case Option::Json: return result_.json;
      case Option::Force: return result_.force;
      case Option::AllMatches: return result_.allMatches;
      case Option::Rescue: return result_.rescue;
      default: return result_.keepRepeated;
    }
  }

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
      flag(known->option) = true;
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
      case Option::DeleteFolder: {
        result_.deleteFolders.push_back(value);
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
      case Option::AllMatches:
      case Option::Rescue:
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

  ParseOutcome fail(std::string message) { return {std::nullopt, std::move(message), command_}; }
  ParseOutcome done() { return {std::move(result_), {}, {}}; }

  const std::vector<std::string>& args_;
  Arguments result_;
  std::size_t commandIndex_ = 0;
  std::optional<Command> command_;
  bool haveOutput_ = false;
  bool haveSaveType_ = false;
  std::string error_;
};

}  // namespace

ParseOutcome parseArguments(const std::vector<std::string>& args) { return Parser(args).run(); }

std::string usageErrorText(const std::string& error, std::optional<Command> command) {
  std::string out = "tavufe: " + error + "\n";
  if (command && indexOf(*command) < kCommandTexts.size()) {
    const std::size_t index = indexOf(*command);
    out += "usage: " + std::string(kCommandTexts[index].usage) + "\nTry 'tavufe " +
           std::string(kCommandNames[index]) + " --help'.\n";
  } else {
    out += usageLines() + "Try 'tavufe --help'.\n";
  }
  return out;
}

std::string helpText() { return usageLines() + kHelpDetails; }

std::string commandHelpText(Command command) {
  const std::size_t index = indexOf(command);
  if (index >= kCommandTexts.size()) return helpText();
  const CommandText& text = kCommandTexts[index];
  return "usage: " + std::string(text.usage) + "\n\n" + std::string(text.about) + "\nOptions:\n" +
         std::string(text.options) + std::string(kInputType) +
         "  -h, --help             print this help, then exit\n\nExample: " +
         std::string(text.example) + "\n";
}

}  // namespace tavufe::cli
