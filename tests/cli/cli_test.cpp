// Runs the built tavufe as a separate process on superfiles laid out byte by byte, and checks
// its standard output, standard error, exit status and the files it writes.

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "superfile_fixture.h"

namespace {

using fixture::Bytes;
using Args = std::vector<std::string>;

struct Outcome {
  int status = -1;  // exit status; -1 when the process did not exit by itself
  std::string out;
  std::string err;
};

std::string readText(const std::string& path) {
  const Bytes bytes = fixture::readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Through the shell, output in files, with no SOURCE_DATE_EPOCH but one given in `env`. A run
// that hangs is ended after a minute and counts as one that did not exit by itself.
Outcome runTavufe(const fixture::TempDir& dir, const Args& args, const Args& env = {},
                  const std::string& outPath = {}, const char* program = TAVUFE_CLI_PATH) {
  std::string command = "timeout -s KILL 60 env -u SOURCE_DATE_EPOCH";
  for (const std::string& s : env) command += " " + quoted(s);
  command += " " + quoted(program);
  for (const std::string& s : args) command += " " + quoted(s);
  const std::string out = outPath.empty() ? dir.file("stdout.txt") : outPath;
  command += " </dev/null >" + quoted(out) + " 2>" + quoted(dir.file("stderr.txt"));
  const int wstatus = std::system(command.c_str());
  Outcome run;
  if (wstatus != -1 && WIFEXITED(wstatus) && WEXITSTATUS(wstatus) != 128 + SIGKILL) {
    run.status = WEXITSTATUS(wstatus);
  }
  if (outPath.empty()) run.out = readText(out);
  run.err = readText(dir.file("stderr.txt"));
  return run;
}

constexpr std::size_t kHeaderSize = 8172;
constexpr std::uint32_t kRamdldAddress = 0x03FC8000;
constexpr std::uint32_t kFlexAddress = 0x11280000;  // where the device profile expects it

struct Group {
  int cgNumber;
  std::uint32_t start;
  Bytes data;
};

void put(Bytes& b, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), b.begin() + std::ptrdiff_t(at));
}

Bytes makeRamdld() {
  Bytes b = fixture::pattern(64, 7);
  put(b, 9, {0x0C, 0x02});   // platform code
  put(b, 14, {0x0A, 0x1B});  // version word
  return b;
}

// 00 00 04 05 | 02 04 00 07 | FF FF FF FF | 14 zero bytes | name as 00 c pairs | 00 00
void putFolderRecord(Bytes& flex, std::size_t at, std::string_view name) {
  put(flex, at, {0x00, 0x00, 0x04, 0x05, 0x02, 0x04, 0x00, 0x07, 0xFF, 0xFF, 0xFF, 0xFF});
  std::fill_n(flex.begin() + std::ptrdiff_t(at + 12), 16 + 2 * name.size(), 0x00);
  for (std::size_t k = 0; k < name.size(); ++k) flex[at + 27 + 2 * k] = std::uint8_t(name[k]);
}

// Records at 0x200 and 0x400 share a name: an open erases the second one. The version block
// 55 55 .. .. 01 00 01 00 00 00 01 01 has its text at +32.
Bytes makeFlex() {
  Bytes b = fixture::pattern(0x1000, 3);
  putFolderRecord(b, 0x200, "Skins");
  putFolderRecord(b, 0x400, "Skins");
  putFolderRecord(b, 0x600, "Themes");
  putFolderRecord(b, 0x800, "Wallpaper");
  put(b, 0xC00, {0x55, 0x55, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x01});
  std::fill_n(b.begin() + 0xC0C, 20 + 13, 0x00);
  const std::string_view version = "R34X_FLEX_01";
  std::copy(version.begin(), version.end(), b.begin() + 0xC20);
  return b;
}

// The erase of a record at `at`: 5 bytes from 261 before it, then 4 before it to 163 after it
// set to 0xFF.
Bytes erasedFlex(std::initializer_list<std::size_t> records) {
  Bytes b = makeFlex();
  for (std::size_t at : records) {
    std::fill_n(b.begin() + std::ptrdiff_t(at - 261), 5, 0xFF);
    std::fill_n(b.begin() + std::ptrdiff_t(at - 4), 168, 0xFF);
  }
  return b;
}

std::vector<Group> standardGroups() {
  return {{0, kRamdldAddress, makeRamdld()}, {2, kFlexAddress, makeFlex()}};
}

// Each entry states its group's byte sum; `ramdldChecksum` makes the RAMDLD's differ (a damaged
// file), so that the grid's two checksum columns are told apart.
fixture::Header headerFor(const std::vector<Group>& groups,
                          std::optional<std::uint16_t> ramdldChecksum = std::nullopt) {
  fixture::Header header;
  header.standardTexts();
  for (const Group& g : groups) {
    fixture::Entry e{g.start, g.start + std::uint32_t(g.data.size()) - 1, {}, 0, 0};
    std::copy_n(g.data.begin(), 16, e.headerBytes.begin());
    e.checksum = g.cgNumber == 0 && ramdldChecksum ? *ramdldChecksum : fixture::sum16(g.data);
    if (g.cgNumber != 0 && g.cgNumber != 256) e.code = 8;
    header.entry(fixture::Header::indexOf(g.cgNumber), e);
  }
  return header;
}

// An SBF superfile: the groups' records after `file`, a header block.
Bytes withRecords(Bytes file, const std::vector<Group>& groups) {
  for (const Group& g : groups) fixture::append(file, fixture::sbfRecord(g.start, g.data));
  return file;
}

Bytes superfile(const std::vector<Group>& groups,
                std::optional<std::uint16_t> ramdldChecksum = std::nullopt) {
  return withRecords(headerFor(groups, ramdldChecksum).bytes(), groups);
}

std::string hex(unsigned value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, value);
  return buf;
}

// A code-group grid line; the "CG Header Info" cell shows 16 bytes in groups of four.
std::string gridLine(const std::string& cgAndName, const Group& g, const std::string& size,
                     std::uint16_t ckhdr, const std::string& code) {
  std::string info;
  for (std::size_t k = 0; k < 16; ++k)
    info += (k > 0 && k % 4 == 0 ? "  " : "") + hex(g.data[k], 2);
  const unsigned end = g.start + unsigned(g.data.size()) - 1;
  return cgAndName + "\t" + hex(g.start, 8) + "\t" + hex(end, 8) + "\t" + info + "\t" + size +
         "\t" + hex(fixture::sum16(g.data), 4) + "\t" + hex(ckhdr, 4) + "\t" + code + "\n";
}

const std::string kUsageLines[] = {
    "tavufe info FILE... [--json] [--rescue] [--input-type sbf|shx]\n",
    "tavufe folders FILE [--json] [--keep-repeated] [--rescue] [--input-type sbf|shx]\n",
    "tavufe save FILE -o OUT [--type shx|sbf|smg|bin] [--delete-row K]... [--delete-folder "
    "NAME]... [--all-matches] [--keep-repeated] [--force] [--rescue] [--input-type sbf|shx]\n",
    "tavufe verify FILE... [--json] [--input-type sbf|shx]\n",
    "tavufe diff OLD NEW [--json] [--input-type sbf|shx]\n",
};
const std::string kUsage = "usage: " + kUsageLines[0] + "       " + kUsageLines[1] + "       " +
                           kUsageLines[2] + "       " + kUsageLines[3] + "       " +
                           kUsageLines[4] + "       tavufe help [COMMAND]\n" +
                           "       tavufe -h | --help | --version\n";
// What follows a usage error of a command: its usage line alone, and where its help is.
std::string usageOf(const std::string& command) {
  const std::string names[] = {"info", "folders", "save", "verify", "diff"};
  const auto at = std::find(std::begin(names), std::end(names), command) - std::begin(names);
  return "usage: " + kUsageLines[at] + "Try 'tavufe " + command + " --help'.\n";
}
const std::string kSaveUsage = usageOf("save");

const std::string kFolderTitles = "#\tSkin Folder\tCG2 Location\n";
const std::string kRepeatErased =
    kFolderTitles + "1\tSkins\t00000200\n2\tThemes\t00000600\n3\tWallpaper\t00000800\n";
const std::string kRepeatKept = kFolderTitles +
                                "1\tSkins\t00000200\n2\tSkins\t00000400\n3\tThemes\t00000600\n"
                                "4\tWallpaper\t00000800\n";

class CliTest : public ::testing::Test {
 protected:
  std::string write(std::string_view name, const Bytes& bytes) {
    fixture::writeFile(dir.file(name), bytes);
    return dir.file(name);
  }
  Outcome run(const Args& args, const Args& env = {}) { return runTavufe(dir, args, env); }
  void expectRun(const Args& args, int status, const std::string& out, const std::string& err) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, err);
  }

  fixture::TempDir dir;
};

TEST_F(CliTest, UsageErrorsNameTheProblemAndExitWithTwo) {
  // None of these files exists: usage is checked before anything is opened. The command, when
  // known, gives its usage line alone; otherwise every line is shown.
  const std::string all = kUsage + "Try 'tavufe --help'.\n";
  const std::vector<std::tuple<Args, std::string, std::string>> cases = {
      {{}, "no command given", all},
      {{"list", "a"}, "unknown command 'list'", all},
      {{"--frob"}, "unknown option '--frob'", all},
      {{"--version", "x"}, "'--version' takes no other arguments", all},
      {{"help", "list"}, "unknown command 'list'", all},
      {{"help", "info", "save"}, "unexpected argument 'save'", all},
      {{"info"}, "missing FILE", usageOf("info")},
      {{"folders", "a", "b"}, "unexpected argument 'b'", usageOf("folders")},
      {{"info", "a", "--keep-repeated"},
       "option '--keep-repeated' does not apply to 'info'",
       usageOf("info")},
      {{"verify", "a", ""}, "FILE is empty", usageOf("verify")},
      {{"diff", "a"}, "missing NEW", usageOf("diff")},
      {{"diff", "a", "b", "c"}, "unexpected argument 'c'", usageOf("diff")},
      {{"info", "a", "--input-type="}, "option '--input-type' needs a value", usageOf("info")},
      {{"info", "a", "--input-type", "txt"},
       "invalid value 'txt' for '--input-type' (sbf or shx)",
       usageOf("info")},
      {{"verify", "a", "--input-type", "sbf", "--input-type=shx"},
       "option '--input-type' given more than once",
       usageOf("verify")},
      {{"folders", "a", "--keep-repeated=yes"},
       "option '--keep-repeated' takes no value",
       usageOf("folders")},
      {{"save", "a"}, "missing -o OUT", kSaveUsage},
      {{"save", "a", "-o", "--type", "sbf"}, "option '-o' needs a value", kSaveUsage},
      {{"save", "a", "-o", "out.dat"},
       "cannot tell the type of 'out.dat' from its extension; give --type shx|sbf|smg|bin",
       kSaveUsage},
      {{"save", "a", "-o", "x.sbf", "--delete-row", "-1"},
       "row '-1' is not a positive number",
       kSaveUsage},
      {{"save", "a", "-o", "x.sbf", "--delete-row", "0"},
       "row '0' is not a positive number",
       kSaveUsage},
      {{"save", "a", "-o", "x.sbf", "--delete-row", "99999999999999999999"},
       "row '99999999999999999999' is beyond the folder list (at most 200 rows)",
       kSaveUsage},
      {{"save", "a", "-o", "x.sbf", "--delete-folder="},
       "option '--delete-folder' needs a value",
       kSaveUsage},
      {{"save", "a", "-o", "x.sbf", "--all-matches"},
       "option '--all-matches' needs --delete-folder NAME",
       kSaveUsage},
      {{"diff", "a", "b", "--all-matches"},
       "option '--all-matches' does not apply to 'diff'",
       usageOf("diff")},
  };
  for (const auto& [args, message, usage] : cases) {
    SCOPED_TRACE(message);
    expectRun(args, 2, "", "tavufe: " + message + "\n" + usage);
  }
  // After "--" a name that looks like an option is the file.
  EXPECT_EQ(run({"info", "--", "-weird.sbf"}).err,
            "WARNING: File Not Opened\ntavufe: -weird.sbf: No such file or directory\n");

  expectRun({"--version"}, 0, "tavufe 1.00\n", "");
  EXPECT_TRUE(run({"--help"}).out.starts_with(kUsage));
  EXPECT_EQ(run({"-h"}).out, run({"--help"}).out);
  EXPECT_EQ(run({"help"}).out, run({"--help"}).out);
}

// Each command's help: its usage line, a line on each option its usage names, and an example
// that runs as the command; the same from `COMMAND --help`, `COMMAND -h` anywhere before "--",
// and `help COMMAND`.
TEST_F(CliTest, EachCommandHasItsOwnHelp) {
  for (const std::string command : {"info", "folders", "save", "verify", "diff"}) {
    SCOPED_TRACE(command);
    const Outcome help = run({"help", command});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    const std::string usage = usageOf(command);
    EXPECT_TRUE(help.out.starts_with(usage.substr(0, usage.find('\n') + 1) + "\n")) << help.out;
    EXPECT_EQ(run({command, "--help"}).out, help.out);
    // Help wins over whatever else is wrong with the line.
    EXPECT_EQ(run({command, "--bogus", "-h", "x"}).out, help.out);
    for (std::size_t at = usage.find("[-"); at < usage.find('\n'); at = usage.find("[-", at + 1)) {
      const std::string option = usage.substr(at + 1, usage.find_first_of(" ]", at) - at - 1);
      EXPECT_NE(help.out.find("\n  " + option + " "), std::string::npos) << option;
    }
    EXPECT_NE(help.out.find("\nExample: tavufe " + command + " "), std::string::npos);
    EXPECT_EQ(help.out.find("tavufe " + std::string(command == "info" ? "folders" : "info")),
              std::string::npos)
        << "another command's usage";
  }
  // After "--" it is a file name.
  EXPECT_EQ(run({"info", "--", "--help"}).err,
            "NOTICE: File Type Not Supported\ntavufe: --help: not an .sbf or .shx file; "
            "--input-type sbf|shx reads it as one\n");
}

// Every failed open stops info, folders, save (forced or not) and diff alike, says where and
// why on the line after its warning, and writes nothing; an existing OUT stays.
TEST_F(CliTest, FailedOpensSayWhereAndWhyAndWriteNothing) {
  const auto groups = standardGroups();
  const Group& rdl = groups[0];
  const Bytes header = headerFor(groups).bytes();
  const Bytes good = superfile(groups);
  Bytes stray = good;
  stray.push_back(0x00);
  Bytes badStart = good;
  badStart[kHeaderSize] = 0x07;
  const Bytes shortFlex(groups[1].data.begin(), groups[1].data.end() - 1);
  fixture::Header longRamdld = headerFor(groups);  // a RAMDLD range of 0x30001 bytes
  longRamdld.entry(0, {kRamdldAddress, kRamdldAddress + 0x30000, {}, 0, 0});

  // Lines are counted after the header block: 1 S0, 2 the RAMDLD, 3 S7, 4 S0, then the Flex's
  // 64 lines from 5, each "S3 45 address(8) data(128) sum(2)".
  const std::string s0(fixture::kS0Line), s7(fixture::kS7Line);
  const std::string flexLines = fixture::s3Lines(kFlexAddress, groups[1].data);
  const std::size_t line6 = flexLines.find("\r\n") + 2;
  const std::size_t line7 = flexLines.find("\r\n", line6) + 2;
  auto withLine6 = [&](const std::string& line) {
    return flexLines.substr(0, line6) + line + flexLines.substr(line7);
  };
  std::string badSum = flexLines;
  badSum[line7 - 3] = badSum[line7 - 3] == '0' ? '1' : '0';
  std::string nonHex = flexLines;
  nonHex[line6 + 20] = 'G';
  std::string countPast = flexLines;
  countPast[line6 + 3] = '6';  // 0x46: one byte more than the line holds
  const std::string shortLine = withLine6("S3051128\r\n");
  auto shx = [&](const std::string& flex) {
    Bytes b = header;
    fixture::append(b, s0 + fixture::s3Lines(kRamdldAddress, rdl.data) + s7 + s0 + flex);
    return b;
  };
  std::filesystem::create_directory(dir.file("folder.sbf"));

  const std::string notOpened = "WARNING: File Not Opened\n";
  const std::string notSupported = "NOTICE: File Type Not Supported\n";
  const std::string otherType = ": not an .sbf or .shx file; --input-type sbf|shx reads it as one";
  const std::string record = "WARNING: Record Error\n";
  const std::string sum = "WARNING: Checksum Error\n";
  const std::string range = "WARNING: Address Range\n";
  const std::string overflow = "WARNING: Buffer Address Overflow\n";
  const std::string shortHeader =
      ":00000000: file shorter than its header block: expected 8172 bytes, found 900 bytes";
  // The file name, its bytes (nothing written without), the warning or notice and the line
  // after it, less "tavufe: " and the file's path.
  const std::vector<std::tuple<std::string, std::optional<Bytes>, std::string, std::string>> cases =
      {
          {"missing.sbf", std::nullopt, notOpened, ": No such file or directory"},
          {"folder.sbf", std::nullopt, notOpened, ": Is a directory"},
          {"empty.shx", Bytes{}, notOpened, ": File is empty"},
          // The extension is checked, in any case, before the file is read.
          {"in.SBF.bak", good, notSupported, otherType},
          {"in", good, notSupported, otherType},
          {"missing.txt", std::nullopt, notSupported, otherType},
          {"short-header.sbf", Bytes(header.begin(), header.begin() + 900), record, shortHeader},
          {"short-header.shx", Bytes(header.begin(), header.begin() + 900), record, shortHeader},
          {"stray.sbf", stray, record,
           ":00003066: bytes after the last record: expected end of file, found 1 byte"},
          {"start.sbf", badStart, record,
           ":00001FEC: record start marker: expected 02 00 00 00 00 00 03 02 01, found 07 00 00 "
           "00 00 00 03 02 01"},
          {"short.sbf", withRecords(header, {rdl, {2, kFlexAddress, shortFlex}}), range,
           ":00002052: CG2 size: expected 4096 bytes, found 4095 bytes"},
          {"low.sbf", withRecords(header, {rdl, {2, 0x0FFF0000, groups[1].data}}), range,
           ":00002056: CG2 start address: expected 11280000, found 0FFF0000"},
          {"long.sbf", withRecords(longRamdld.bytes(), {rdl}), overflow,
           ":000003B4: RAMDLD longer than its area: expected at most 196608 bytes, found "
           "03FC8000-03FF8000"},
          // A record that would end one byte past the image.
          {"past.sbf", withRecords(header, {rdl, {2, 0x13FFFFF0, fixture::pattern(0x30011, 5)}}),
           overflow, ":00002052: CG2 size: expected 4096 bytes, found 196625 bytes"},
          {"sum.shx", shx(badSum + s7), sum,
           ":6: line checksum: expected " + flexLines.substr(line7 - 4, 2) + ", found " +
               badSum.substr(line7 - 4, 2)},
          {"digit.shx", shx(nonHex + s7), sum,
           ":6: not a hex digit: expected 0-9 or A-F, found 'G' in column 21"},
          {"count.shx", shx(countPast + s7), sum, ":6: length field: expected 45, found 46"},
          {"short-line.shx", shx(shortLine + s7), sum,
           ":6: line length: expected at least 12 hex digits in byte pairs, found 6 hex digits"},
          // 48 digits are 24 bytes: the count of 0x45 would need 69.
          {"cut.shx", shx(flexLines.substr(0, line6 + 50)), record,
           ":6: length field: expected 17, found 45"},
          {"no-s7.shx", shx(flexLines), record,
           ":68: code group not closed: expected S7, found end of file"},
          {"range.shx", shx(fixture::s3Lines(0x14000000, groups[1].data) + s7), range,
           ":5: CG2 start address: expected 11280000, found 14000000"},
      };
  const std::string sound = write("sound.sbf", good);
  const std::string out = dir.file("out.sbf");
  for (const auto& [name, bytes, warning, reason] : cases) {
    SCOPED_TRACE(name);
    if (bytes) write(name, *bytes);
    fixture::writeFile(out, std::string_view("old"));
    const std::string in = dir.file(name);
    const std::string expected = warning + "tavufe: " + in + reason + "\n";
    for (const Args& args : {Args{"info", in}, Args{"folders", in}, Args{"save", in, "-o", out},
                             Args{"save", in, "-o", out, "--force"}}) {
      SCOPED_TRACE(args.back());
      expectRun(args, 1, "", expected);
    }
    EXPECT_EQ(readText(out), "old");
    expectRun({"diff", in, sound}, 2, "", expected);
    expectRun({"diff", sound, in}, 2, "", expected);
    // The place and cause are those `verify` lists for the file.
    if (reason.size() > 1 && reason[1] >= '0' && reason[1] <= '9') {
      const std::string listed = run({"verify", in}).out;
      EXPECT_NE(listed.find(in + reason + "\n"), std::string::npos) << listed;
    }
  }
}

// What the window's report, code-group grid and folder grid show, as tab-separated lines.
TEST_F(CliTest, InfoAndFoldersPrintTheWindowsGrids) {
  // A language pack is reported, then dropped from the grid.
  auto groups = standardGroups();
  groups.push_back({4, 0x11100000, fixture::pattern(32, 9)});
  put(groups[2].data, 18, {0x12, 0x34});
  const std::string flexLine =
      gridLine("2\tFlex", groups[1], "4,096", fixture::sum16(groups[1].data), "0008");
  auto info = [&](const std::string& size, const std::string& flex, const std::string& lang) {
    return "HEADER INFO: P2K Superfile\nCSF Protected Superfile Generated by TavuFE 1.00\n"
           "Date: Mon December 07 10:00:00 2026\nFile: " +
           size + " Bytes\nPlatform: GSM Neptune LTE\nFirmware: Not Found\nFlex: " + flex +
           "\nRDL: 0A1B\nLanguage: " + lang +
           "\n\nCG\tName\tStart Addr\tEnd Addr\tCG Header Info\tSize\tCkbuf\tCkhdr\tCode\n" +
           gridLine("RDL\tRAMDLD", groups[0], "64", 0x1234, "0000");
  };
  const Bytes sbf = superfile(standardGroups());
  const std::string in = write("in.sbf", sbf);
  const std::string rdl = write("rdl.sbf", superfile({groups[0]}, 0x1234));
  auto moved = standardGroups();
  moved[1].start = 0x11300000;
  // The RAMDLD's stated sum 1234 is wrong: a problem the file opens with, said on standard error.
  const std::string lang = write("lang.sbf", superfile(groups, 0x1234));
  auto damaged = [](const std::string& path) {
    return "tavufe: " + path + ": 1 problem; tavufe verify " + path + " lists it\n";
  };
  const std::vector<std::tuple<Args, std::string, std::string>> cases = {
      {{"info", lang}, info("12,451", "R34X_FLEX_01", "1234") + flexLine, damaged(lang)},
      {{"info", rdl}, info("8,265", "Not Found", "Not Found"), damaged(rdl)},
      {{"folders", rdl}, kFolderTitles, damaged(rdl)},
      {{"folders", in}, kRepeatErased, ""},
      {{"folders", in, "--keep-repeated", "--keep-repeated"}, kRepeatKept, ""},
      {{"folders", "--input-type", "sbf", write("backup.bin", sbf)}, kRepeatErased, ""},
      {{"folders", write("really-sbf.shx", sbf), "--input-type", "sbf"}, kRepeatErased, ""},
      // Away from its usual address the Flex keeps its repeated names.
      {{"folders", write("moved.sbf", superfile(moved))}, kRepeatKept, ""},
  };
  for (const auto& [args, output, err] : cases) {
    SCOPED_TRACE(args.back());
    expectRun(args, 0, output, err);
  }
}

// Rows are numbered as `folders` lists them for the same options, all from that one listing:
// erased one after the other with a rescan, row 3 of "1 3" would no longer be Wallpaper.
TEST_F(CliTest, ExportsEraseTheRowsAsFoldersNumbersThem) {
  const std::string in = write("in.sbf", superfile(standardGroups()));
  auto blank = standardGroups();
  put(blank[0].data, 14, {0xFF, 0xFF});
  const std::string blankIn = write("blank.sbf", superfile(blank));
  const Bytes threeRows = erasedFlex({0x200, 0x400, 0x800});
  const std::vector<std::tuple<std::string, std::string, Args, Bytes>> cases = {
      {in, "themes.smg", {"--delete-row", "2"}, erasedFlex({0x400, 0x600})},
      {in, "skins.smg", {"--keep-repeated", "--delete-row", "2"}, erasedFlex({0x400})},
      {in, "a.bin", {"--delete-row", "1", "--delete-row=3"}, threeRows},
      {in, "b.bin", {"--delete-row", "3", "--delete-row", "1", "--delete-row", "3"}, threeRows},
      {in, "flex.dat", {"--type", "BIN"}, erasedFlex({0x400})},
      {blankIn, "blank.smg", {}, erasedFlex({0x400})},  // the Flex alone needs no RAMDLD
  };
  for (const auto& [file, out, options, expected] : cases) {
    SCOPED_TRACE(out);
    Args args = options;
    args.insert(args.begin(), {"save", file, "-o", dir.file(out)});
    expectRun(args, 0, "", "");
    EXPECT_EQ(fixture::readFile(dir.file(out)), expected);
  }
  // Around Themes only its four marker bytes were 0xFF; the erase leaves 173.
  auto ffAroundThemes = [](const Bytes& b) {
    return std::count(b.begin() + 0x600 - 261, b.begin() + 0x600 + 164, 0xFF);
  };
  EXPECT_EQ(ffAroundThemes(makeFlex()), 4);
  EXPECT_EQ(ffAroundThemes(fixture::readFile(dir.file("themes.smg"))), 173);
}

// A folder is named as `folders` lists it for the same options, raw or as it prints it, and
// erases what the same rows would; a name that matches nothing, or several records without
// --all-matches, is a usage error and nothing is written.
TEST_F(CliTest, FoldersAreErasedByName) {
  auto groups = standardGroups();
  putFolderRecord(groups[1].data, 0xA00, "Esc\x1B");
  const std::string in = write("in.sbf", superfile(groups));
  auto flexWithout = [&](std::initializer_list<std::size_t> records) {
    Bytes b = erasedFlex(records);
    putFolderRecord(b, 0xA00, "Esc\x1B");
    return b;
  };
  // Rows without --keep-repeated: 1 Skins, 2 Themes, 3 Wallpaper, 4 Esc\x1B.
  const std::vector<std::tuple<Args, Args, Bytes>> saved = {
      {{"--delete-folder", "Themes"}, {"--delete-row", "2"}, flexWithout({0x400, 0x600})},
      {{"--delete-folder=Wallpaper", "--delete-row", "2"},
       {"--delete-row", "2", "--delete-row", "3"},
       flexWithout({0x400, 0x600, 0x800})},
      {{"--delete-folder", "Esc\x1B"}, {"--delete-row", "4"}, erasedFlex({0x400, 0xA00})},
      {{"--delete-folder", "Esc\\x1B"}, {"--delete-row", "4"}, erasedFlex({0x400, 0xA00})},
      {{"--keep-repeated", "--delete-folder", "Skins", "--all-matches"},
       {"--keep-repeated", "--delete-row", "1", "--delete-row", "2"},
       flexWithout({0x200, 0x400})},
      // Without --keep-repeated the second Skins is gone as the file opens: one match.
      {{"--delete-folder", "Skins", "--delete-folder", "Skins"},
       {"--delete-row", "1"},
       flexWithout({0x200, 0x400})},
  };
  for (const auto& [byName, byRow, expected] : saved) {
    SCOPED_TRACE(byName[1]);
    Args args = byName;
    args.insert(args.begin(), {"save", in, "-o", dir.file("name.smg")});
    expectRun(args, 0, "", "");
    args = byRow;
    args.insert(args.begin(), {"save", in, "-o", dir.file("row.smg")});
    expectRun(args, 0, "", "");
    EXPECT_EQ(fixture::readFile(dir.file("name.smg")), expected);
    EXPECT_EQ(fixture::readFile(dir.file("row.smg")), expected);
  }

  const std::vector<std::pair<Args, std::string>> refused = {
      {{"--delete-folder", "Nope"}, "folder 'Nope' is not in the folder list"},
      {{"--delete-folder", "themes"}, "folder 'themes' is not in the folder list"},
      {{"--delete-folder", "Themes", "--delete-folder", "Nope\x07"},
       "folder 'Nope\\x07' is not in the folder list"},
      {{"--keep-repeated", "--delete-folder", "Skins"},
       "folder 'Skins' is the name of rows 1 and 2; --all-matches erases them all, --delete-row "
       "K one"},
  };
  const std::string out = dir.file("out.sbf");
  for (const auto& [options, message] : refused) {
    SCOPED_TRACE(message);
    fixture::writeFile(out, std::string_view("old"));
    Args args = options;
    args.insert(args.begin(), {"save", in, "-o", out});
    expectRun(args, 2, "", "tavufe: " + message + "\n" + kSaveUsage);
    EXPECT_EQ(readText(out), "old");
  }
}

TEST_F(CliTest, SuperfileSavesWriteTheRecordsAndReadBack) {
  const std::string in = write("in.sbf", superfile(standardGroups()));
  auto save = [&](const std::string& name, const std::string& type = {}) {
    Args args = {"save", in, "-o", dir.file(name), "--delete-row", "2"};
    if (!type.empty()) args.insert(args.end(), {"--type", type});
    EXPECT_EQ(run(args, {"SOURCE_DATE_EPOCH=1700000000"}).status, 0);
    return readText(dir.file(name));
  };
  const std::string date = std::string("Tue November 14 22:13:20 2023") + '\0';
  // SBF: the header, then each code group's record as laid out byte by byte.
  Bytes records = fixture::sbfRecord(kRamdldAddress, makeRamdld());
  fixture::append(records, fixture::sbfRecord(kFlexAddress, erasedFlex({0x400, 0x600})));
  const std::string sbf = save("out.sbf");
  EXPECT_EQ(sbf.substr(std::min(kHeaderSize, sbf.size())),
            std::string(records.begin(), records.end()));
  EXPECT_EQ(sbf.substr(320, 30), date);
  // SHX from OUT's extension whatever its case; it reads back only as SHX.
  const std::string shx = save("out.SHX");
  EXPECT_EQ(shx.substr(320, 30), date);
  // The same date gives the same bytes twice; --type wins over OUT's extension.
  EXPECT_EQ(save("again.shx"), shx);
  EXPECT_EQ(save("named.shx", "sbf"), sbf);

  const std::string listing = kFolderTitles + "1\tSkins\t00000200\n2\tWallpaper\t00000800\n";
  EXPECT_EQ(run({"folders", dir.file("out.sbf"), "--keep-repeated"}).out, listing);
  EXPECT_EQ(run({"folders", dir.file("out.SHX"), "--input-type=shx", "--keep-repeated"}).out,
            listing);
  // OUT may be FILE itself.
  ASSERT_EQ(run({"save", in, "-o", in, "--delete-row", "1"}).status, 0);
  EXPECT_EQ(run({"folders", in, "--keep-repeated"}).out,
            kFolderTitles + "1\tThemes\t00000600\n2\tWallpaper\t00000800\n");
}

// A refused save exits 1 for a notice or warning, 2 for a row it will not erase, and leaves an
// existing OUT as it was.
TEST_F(CliTest, RefusedSavesLeaveTheOutputAlone) {
  auto blank = standardGroups();
  put(blank[0].data, 14, {0xFF, 0xFF});
  auto fblFirst = standardGroups();  // no RAMDLD: the FBL comes first, the Flex stays in slot 1
  fblFirst[0] = {256, 0x10000000, fixture::pattern(64, 11)};
  auto root = standardGroups();
  putFolderRecord(root[1].data, 0x000, "Root");  // at the Flex's first byte
  // No RAMDLD, and a DSP laid over the firmware's range ends in erased bytes: the firmware is
  // trimmed when read, so its refresh before the save finds its range changed. The window
  // would export and then warn; the tool writes nothing.
  Bytes dsp(0x1000, 0xFF);
  std::fill_n(dsp.begin(), 0x100, 0x11);
  const std::vector<Group> stale = {
      {1, 0x10160000, Bytes(0x1000, 0x22)}, {2, kFlexAddress, makeFlex()}, {3, 0x10160000, dsp}};
  fixture::Header staleHeader = headerFor(stale);
  staleHeader.entry(3, {0x101600C8, 0x10160FFF, {}, 0, 8});  // the firmware's second entry
  const Bytes staleFile = withRecords(staleHeader.bytes(), stale);

  const Bytes noFlex = superfile({standardGroups()[0]});
  const std::string noFlexNotice = "NOTICE: No Flex Code Group\n";
  const std::string noRdl = "WARNING: RDL Blank or Missing\n";
  const std::string row5 = "tavufe: row 5 is not in the folder list\n";
  const std::string rootRow =
      "tavufe: row 1 (\"Root\") cannot be erased: its record is not inside the Flex code group\n";
  const std::vector<std::tuple<Bytes, Args, int, std::string>> cases = {
      {noFlex, {"--type", "sbf"}, 1, noFlexNotice},
      {noFlex, {"--type", "smg"}, 1, noFlexNotice},
      {superfile(blank), {"--type", "shx"}, 1, noRdl},
      {superfile(fblFirst), {"--type", "sbf"}, 1, noRdl},
      // Overlapping code groups are damage: only a forced save gets as far as the refresh.
      {staleFile, {"--force", "--type", "smg"}, 1, "WARNING: Address Range\n"},
      {superfile(root), {"--delete-row", "2", "--delete-row", "1"}, 2, rootRow + kSaveUsage},
      {superfile(root), {"--delete-row", "5"}, 2, row5 + kSaveUsage},
  };
  const std::string out = dir.file("out.sbf");
  for (const auto& [bytes, options, status, err] : cases) {
    SCOPED_TRACE(err + options.back());
    Args args = options;
    args.insert(args.begin(), {"save", write("in.sbf", bytes), "-o", out});
    fixture::writeFile(out, std::string_view("old"));
    expectRun(args, status, "", err);
    EXPECT_EQ(readText(out), "old");
  }

  const std::string in = write("in.sbf", superfile(standardGroups()));
  for (const char* name : {"no/such/folder/out.sbf", "no/such/folder/out.smg"}) {
    EXPECT_EQ(
        run({"save", in, "-o", dir.file(name)}).err,
        "WARNING: File Not Opened\ntavufe: " + dir.file(name) + ": No such file or directory\n");
  }
  // A listing that did not reach its reader is not a success.
  if (std::filesystem::exists("/dev/full")) {
    const Outcome full = runTavufe(dir, {"info", in}, {}, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "tavufe: cannot write to standard output\n");
  }
}

// Starts tavufe without a shell, so that nothing in between changes its signals or limits;
// standard output and error go to files in `logs`. `inChild` runs in the child just before it
// becomes tavufe.
pid_t startTavufe(const std::string& logs, const Args& args, void (*inChild)()) {
  std::vector<std::string> words = {TAVUFE_CLI_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const std::string out = logs + "/stdout.txt";
  const std::string err = logs + "/stderr.txt";
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (outFd < 0 || errFd < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0) ::_exit(126);
  inChild();
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

Outcome finishTavufe(const std::string& logs, pid_t pid) {
  int wstatus = 0;
  Outcome run;
  if (::waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) run.status = WEXITSTATUS(wstatus);
  run.out = readText(logs + "/stdout.txt");
  run.err = readText(logs + "/stderr.txt");
  return run;
}

std::size_t entriesIn(const std::string& folder) {
  return std::size_t(std::distance(std::filesystem::directory_iterator(folder),
                                   std::filesystem::directory_iterator()));
}

// Whether the process has a file open in `folder`, named or not: an anonymous file shows as
// "folder/#inode (deleted)".
bool hasFileOpenIn(pid_t pid, const std::string& folder) {
  std::error_code ec;
  std::filesystem::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::error_code linkError;
    const auto target = std::filesystem::read_symlink(it->path(), linkError);
    if (!linkError && target.string().starts_with(folder + "/")) return true;
  }
  return false;
}

// RAMDLD and a Flex of `flexSize` bytes, as an SBF superfile.
Bytes superfileWithFlexOf(std::size_t flexSize) {
  auto groups = standardGroups();
  fixture::append(groups[1].data, fixture::pattern(flexSize - groups[1].data.size(), 13));
  return superfile(groups);
}

// Nothing a name can point at makes tavufe wait for ever or read without end: each is refused
// at once, with the reason on the line after the warning, and nothing is written.
TEST_F(CliTest, HostileFilesAreRefusedAtOnceWithTheReason) {
  const std::string in = write("in.sbf", superfile(standardGroups()));
  const std::string pipe = dir.file("pipe.sbf");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  // One byte more than the header and the whole image as SHX text can take; no room on disk.
  const std::string big = write("big.shx", Bytes(kHeaderSize, 0x20));
  ASSERT_EQ(::truncate(big.c_str(), 151'446'535), 0);
  const std::string loop = dir.file("loop.sbf");
  ASSERT_EQ(::symlink("loop.sbf", loop.c_str()), 0);

  const std::vector<std::tuple<Args, std::string, std::string>> cases = {
      {{"info", pipe}, pipe, "Not a regular file"},
      {{"folders", "--input-type", "sbf", "/dev/zero"}, "/dev/zero", "Not a regular file"},
      {{"info", big}, big, "File is larger than any superfile can be"},
      {{"save", in, "-o", pipe}, pipe, "No process is reading from the pipe"},
      {{"save", in, "-o", loop}, loop, "Too many levels of symbolic links"},
  };
  for (const auto& [args, path, reason] : cases) {
    SCOPED_TRACE(args[0] + " " + path);
    expectRun(args, 1, "", "WARNING: File Not Opened\ntavufe: " + path + ": " + reason + "\n");
  }
  struct stat st {};
  ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(::lstat(loop.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// Past the file-size limit a save fails with "File Write Error" rather than by the signal that
// ends a process that has not ignored it, and nothing is left of it.
TEST_F(CliTest, SaveBeyondTheFileSizeLimitFailsCleanly) {
  const std::string in = write("in.sbf", superfileWithFlexOf(0x40000));
  const std::string outDir = dir.file("out");
  std::filesystem::create_directory(outDir);
  const std::string out = outDir + "/out.sbf";
  fixture::writeFile(out, std::string_view("old"));
  const pid_t pid = startTavufe(dir.path(), {"save", in, "-o", out}, [] {
    std::signal(SIGXFSZ, SIG_DFL);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGXFSZ);
    sigprocmask(SIG_UNBLOCK, &blocked, nullptr);
    const rlimit limit{64 * 1024, RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
  });
  const Outcome run = finishTavufe(dir.path(), pid);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "WARNING: File Write Error\ntavufe: " + out + ": File too large\n");
  EXPECT_EQ(readText(out), "old");
  EXPECT_EQ(entriesIn(outDir), 1u) << "temporary file left behind";
}

// A save killed while it writes leaves the destination as it was. Its anonymous file has no
// name until it is complete; where the file system refuses anonymous files, the named one it
// falls back to is hidden and has the destination's folder to itself.
TEST_F(CliTest, SaveKilledWhileWritingLeavesNoFile) {
  const std::string in = write("in.sbf", superfileWithFlexOf(8 << 20));
  const std::string outDir = dir.file("out");
  std::filesystem::create_directory(outDir);
  const std::string out = outDir + "/out.shx";
  using Setup = void (*)();
  const Setup anonymous = [] {};
  const Setup named = [] { ::setenv("TAVUFE_TEST_NAMED_TEMPORARY", "1", 1); };
  for (const Setup setup : {anonymous, named}) {
    SCOPED_TRACE(setup == named ? "named" : "anonymous");
    int kills = 0;
    for (int attempt = 0; attempt < 20 && kills < 3; ++attempt) {
      fixture::writeFile(out, std::string_view("old"));
      const pid_t pid = startTavufe(dir.path(), {"save", in, "-o", out}, setup);
      bool killed = false;
      int wstatus = 0;
      for (;;) {
        if (hasFileOpenIn(pid, outDir)) {
          ::kill(pid, SIGKILL);
          killed = true;
          break;
        }
        if (::waitpid(pid, &wstatus, WNOHANG) == pid) break;
      }
      if (killed) ::waitpid(pid, &wstatus, 0);
      if (!killed) continue;  // it finished before its file was seen open
      ++kills;
      EXPECT_TRUE(WIFSIGNALED(wstatus));
      EXPECT_EQ(readText(out), "old");
      for (const auto& entry : std::filesystem::directory_iterator(outDir)) {
        if (entry.path() == out) continue;
        EXPECT_TRUE(setup == named) << "file left behind by a killed save";
        EXPECT_EQ(entry.path().filename().string().front(), '.') << entry.path();
        std::filesystem::remove(entry.path());
      }
    }
    EXPECT_GT(kills, 0);
  }
}

// Text from the file reaches the terminal with its control characters and invalid bytes shown
// as escapes: a folder name cannot forge a row, a header text cannot clear the screen.
TEST_F(CliTest, ControlCharactersFromTheFileAreShownAsEscapes) {
  auto groups = standardGroups();
  putFolderRecord(groups[1].data, 0x600, "Th\r\n9\tForged");
  putFolderRecord(groups[1].data, 0x800, "\x1B]0;owned\x07\x7F");
  fixture::Header header = headerFor(groups);
  header.text(448, std::string("CSF\x1B[2J\x9B"
                               "caf\xC3\xA9") +
                       '\0');
  const std::string in = write("in.sbf", withRecords(header.bytes(), groups));

  expectRun({"folders", in}, 0,
            kFolderTitles +
                "1\tSkins\t00000200\n2\tTh\\x0D\\x0A9\\x09Forged\t00000600\n"
                "3\t\\x1B]0;owned\\x07\\x7F\t00000800\n",
            "");
  const Outcome info = run({"info", in});
  EXPECT_EQ(info.status, 0);
  EXPECT_NE(info.out.find("\nCSF\\x1B[2J\\x9Bcaf\xC3\xA9\n"), std::string::npos) << info.out;
  EXPECT_EQ(info.out.find('\x1B'), std::string::npos);
  // A row that cannot be erased names the folder the same way.
  putFolderRecord(groups[1].data, 0x000, "R\x1B");
  const std::string root = write("root.sbf", superfile(groups));
  expectRun({"save", root, "-o", dir.file("out.sbf"), "--delete-row", "1"}, 2, "",
            "tavufe: row 1 (\"R\\x1B\") cannot be erased: its record is not inside the Flex "
            "code group\n" +
                kSaveUsage);
}

// Files that open but hold no byte of the Flex to write: every output type gives the notice,
// exits 1 and leaves the destination as it was.
TEST_F(CliTest, SavesWithoutFlexBytesWriteNothing) {
  const Group rdl = standardGroups()[0];
  fixture::Header emptyFlex = headerFor({rdl});
  emptyFlex.entry(fixture::Header::indexOf(2), {kFlexAddress, kFlexAddress - 1, {}, 0, 8});
  fixture::Header both = headerFor({rdl});
  both.entry(fixture::Header::indexOf(2), {kFlexAddress, kFlexAddress + 0xFFF, {}, 0, 8});
  // S3 lines before the first S0 belong to no group and are passed over.
  const std::string skipped = fixture::s3Lines(kFlexAddress, makeFlex());
  Bytes skippedShx = both.bytes();
  fixture::append(skippedShx, skipped);
  Bytes headerOnlyShx = both.bytes();

  const std::vector<std::pair<std::string, Bytes>> inputs = {
      {"header.sbf", both.bytes()},
      {"header.shx", headerOnlyShx},
      {"skipped.shx", skippedShx},
      {"empty.sbf", withRecords(emptyFlex.bytes(), {rdl, {2, kFlexAddress, {}}})},
  };
  const std::string out = dir.file("out.file");
  for (const auto& [name, bytes] : inputs) {
    const std::string in = write(name, bytes);
    for (const char* type : {"shx", "sbf", "smg", "bin"}) {
      SCOPED_TRACE(name + " to " + type);
      fixture::writeFile(out, std::string_view("old"));
      expectRun({"save", in, "-o", out, "--type", type}, 1, "", "NOTICE: No Flex Code Group\n");
      EXPECT_EQ(readText(out), "old");
    }
  }
}

// SOURCE_DATE_EPOCH fixes the header's date only when saveDate takes it (its cases are in
// save_flow_test); anything else is said and the clock is used. An export has no date and
// says nothing.
TEST_F(CliTest, SourceDateEpochOutsideItsRangeIsIgnoredWithAWarning) {
  const std::string in = write("in.sbf", superfile(standardGroups()));
  const std::string out = dir.file("out.sbf");
  const struct {
    std::string value;
    std::string date;     // the header's date text when the value is taken
    std::string warning;  // what follows "SOURCE_DATE_EPOCH ignored: "
  } cases[] = {
      {"253402300799", "Fri December 31 23:59:59 9999", ""},
      {"253402300800", "", "\"253402300800\" is after 9999-12-31 23:59:59"},
      {"", "", "it is empty"},
      {"-1", "", "\"-1\" is before 1970-01-01 00:00:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const Outcome r = run({"save", in, "-o", out}, {"SOURCE_DATE_EPOCH=" + c.value});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              c.warning.empty() ? "" : "tavufe: SOURCE_DATE_EPOCH ignored: " + c.warning + "\n");
    const Bytes saved = fixture::readFile(out);
    ASSERT_GT(saved.size(), 320u + 60u);
    const std::string date(reinterpret_cast<const char*>(saved.data()) + 320);
    if (!c.date.empty()) {
      EXPECT_EQ(date, c.date);
    } else {
      // The clock's year, four digits: never the year 10000 or later.
      EXPECT_EQ(date.find_last_of(' '), date.size() - 5) << date;
    }
  }
  const Outcome exported =
      run({"save", in, "-o", dir.file("out.smg")}, {"SOURCE_DATE_EPOCH=253402300800"});
  EXPECT_EQ(exported.status, 0);
  EXPECT_EQ(exported.err, "");
}

// A superfile that verifies clean: a RAMDLD long enough for its address table, which names
// the Flex at bytes 264 to 271 (11 28 00 00, then the catalogue's end 11 F3 FF FF), and header
// entries whose checksums are the groups' byte sums.
std::vector<Group> verifiedGroups() {
  Bytes rdl = fixture::pattern(0x200, 7);
  put(rdl, 9, {0x0C, 0x02});
  put(rdl, 14, {0x0A, 0x1B});
  std::fill(rdl.begin() + 240, rdl.begin() + 416, 0xFF);
  put(rdl, 264, {0x11, 0x28, 0x00, 0x00, 0x11, 0xF3, 0xFF, 0xFF});
  return {{0, kRamdldAddress, rdl}, {2, kFlexAddress, makeFlex()}};
}

fixture::Header verifiedHeader(const std::vector<Group>& groups) {
  fixture::Header header = headerFor(groups);
  fixture::Entry rdl{kRamdldAddress, kRamdldAddress + 0x1FF, {}, fixture::sum16(groups[0].data), 0};
  std::copy_n(groups[0].data.begin(), 16, rdl.headerBytes.begin());
  return header.entry(0, rdl);
}

// SHX text: each group's S0 and S3 lines, an S7 line between groups, and the checksum line
// over every byte before it (plus `trailerError`).
Bytes verifiedShx(const fixture::Header& header, const std::vector<std::string>& groupLines,
                  std::uint16_t trailerError = 0) {
  Bytes file = header.bytes();
  for (std::size_t i = 0; i < groupLines.size(); ++i) {
    fixture::append(file, std::string(fixture::kS0Line) + groupLines[i]);
    if (i + 1 < groupLines.size()) fixture::append(file, fixture::kS7Line);
  }
  const auto sum = std::uint16_t(fixture::sum16(file) + trailerError);
  fixture::append(file, fixture::srecord('7', 0x43530000u | sum, {}));
  return file;
}

TEST_F(CliTest, VerifyListsEveryProblemThenTheCount) {
  const auto groups = verifiedGroups();
  const fixture::Header header = verifiedHeader(groups);
  const std::string rdlLines = fixture::s3Lines(kRamdldAddress, groups[0].data);
  const std::string flexLines = fixture::s3Lines(kFlexAddress, groups[1].data);
  // Line 1 is the RAMDLD's S0, its 8 lines follow, 10 is an S7, 11 the Flex's S0: the Flex's
  // second line is line 13. Its checksum 0x?? is made wrong by one in its low digit.
  std::string badSum = flexLines;
  const std::size_t lineEnd = badSum.find("\r\n", 144);
  const std::string stated = badSum.substr(lineEnd - 2, 2);
  badSum[lineEnd - 1] = badSum[lineEnd - 1] == '0' ? '1' : '0';
  const std::string flipped = badSum.substr(lineEnd - 2, 2);
  fixture::Header offByOne = verifiedHeader(groups);
  const std::uint16_t flexSum = fixture::sum16(groups[1].data);
  fixture::Entry flex{kFlexAddress, kFlexAddress + 0xFFF, {}, std::uint16_t(flexSum + 1), 8};
  std::copy_n(groups[1].data.begin(), 16, flex.headerBytes.begin());
  offByOne.entry(4, flex);

  const std::string clean = write("clean.sbf", withRecords(header.bytes(), groups));
  const std::string cleanShx = write("clean.shx", verifiedShx(header, {rdlLines, flexLines}));
  const std::string sum = write("sum.shx", verifiedShx(header, {rdlLines, badSum}));
  const Bytes bothBytes = verifiedShx(offByOne, {rdlLines, badSum}, 1);
  const std::uint16_t bothSum = fixture::sum16(std::span(bothBytes).first(bothBytes.size() - 14));
  const std::string both = write("both.shx", bothBytes);
  const std::string off = write("off.sbf", withRecords(offByOne.bytes(), groups));
  const std::string asBin = write("flash.bin", withRecords(header.bytes(), groups));
  const std::string flexHex = hex(std::uint16_t(flexSum + 1), 4);
  const std::string offLine =
      ":0000043C: CG2 checksum: expected " + flexHex + ", found " + hex(flexSum, 4) + "\n";
  const std::string sumLine =
      ":13: line checksum: expected " + stated + ", found " + flipped + "\n";
  const std::vector<std::tuple<Args, int, std::string>> cases = {
      {{"verify", clean}, 0, "OK\n"},
      {{"verify", cleanShx}, 0, "OK\n"},
      {{"verify", asBin, "--input-type", "sbf"}, 0, "OK\n"},
      {{"verify", sum}, 1, sum + sumLine + "1 problem\n"},
      {{"verify", off}, 1, off + offLine + "1 problem\n"},
      // Header offsets first, then lines; the checksum line follows the Flex's 64 lines.
      {{"verify", both},
       1,
       both + offLine + both + sumLine + both + ":76: checksum line: expected " + hex(bothSum, 4) +
           ", found " + hex(std::uint16_t(bothSum + 1), 4) + "\n3 problems\n"},
      // Read as the wrong encoding, an SHX file is one long run of problems.
      {{"verify", cleanShx, "--input-type", "sbf"},
       1,
       cleanShx + ":000003B4: RAMDLD has no data: expected its code group in the file, " +
           "found none\n" + cleanShx +
           ":00000424: CG2 has no data: expected its code group in the file, found none\n" +
           cleanShx + ":00001FEC: bytes after the last record: expected end of file, found " +
           std::to_string(fixture::readFile(cleanShx).size() - kHeaderSize) + " bytes\n" +
           "3 problems\n"},
  };
  for (const auto& [args, status, out] : cases) {
    SCOPED_TRACE(args[1]);
    expectRun(args, status, out, "");
  }
  expectRun({"verify", dir.file("missing.sbf")}, 1, "",
            "WARNING: File Not Opened\ntavufe: " + dir.file("missing.sbf") +
                ": No such file or directory\n");
  expectRun({"verify", asBin}, 1, "",
            "NOTICE: File Type Not Supported\ntavufe: " + asBin +
                ": not an .sbf or .shx file; --input-type sbf|shx reads it as one\n");
  expectRun({"verify", clean, "--keep-repeated"}, 2, "",
            "tavufe: option '--keep-repeated' does not apply to 'verify'\n" + usageOf("verify"));
  expectRun({"save", clean, "-o", dir.file("x.sbf"), "--json"}, 2, "",
            "tavufe: option '--json' does not apply to 'save'\n" + kSaveUsage);
}

// Damage is saved only when forced, in every type, and then as if the file had been sound: a
// save writes fresh checksums. A RAMDLD table that differs is a note, which blocks nothing.
TEST_F(CliTest, DamagedFilesAreSavedOnlyWhenForced) {
  auto groups = verifiedGroups();
  const fixture::Header header = verifiedHeader(groups);
  fixture::Header offByOne = verifiedHeader(groups);
  fixture::Entry flex{kFlexAddress, kFlexAddress + 0xFFF, {}, 0, 8};
  flex.checksum = std::uint16_t(fixture::sum16(groups[1].data) + 1);
  std::copy_n(groups[1].data.begin(), 16, flex.headerBytes.begin());
  offByOne.entry(4, flex);
  const std::string rdlLines = fixture::s3Lines(kRamdldAddress, groups[0].data);
  const std::string flexLines = fixture::s3Lines(kFlexAddress, groups[1].data);
  const std::string sound = write("sound.sbf", withRecords(header.bytes(), groups));
  const std::string damaged[] = {
      write("header.sbf", withRecords(offByOne.bytes(), groups)),
      write("trailer.shx", verifiedShx(header, {rdlLines, flexLines}, 1)),
  };
  const std::vector<std::string> epoch = {"SOURCE_DATE_EPOCH=1700000000"};
  for (const char* type : {"shx", "sbf", "smg", "bin"}) {
    const std::string want = dir.file(std::string("want.") + type);
    ASSERT_EQ(run({"save", sound, "-o", want}, epoch).status, 0);
    for (const std::string& in : damaged) {
      SCOPED_TRACE(in + " " + type);
      const std::string out = dir.file(std::string("out.") + type);
      std::filesystem::remove(out);
      const Outcome refused = run({"save", in, "-o", out}, epoch);
      EXPECT_EQ(refused.status, 1);
      EXPECT_EQ(refused.err, "WARNING: Checksum Error\ntavufe: " + in + ": 1 problem; " +
                                 "tavufe verify " + in + " lists it; --force saves anyway\n");
      EXPECT_FALSE(std::filesystem::exists(out));
      EXPECT_EQ(run({"save", in, "-o", out, "--force"}, epoch).status, 0);
      EXPECT_EQ(fixture::readFile(out), fixture::readFile(want));
    }
  }

  // The table's CG2 entry ends one byte short: a note, at the line that holds it.
  put(groups[0].data, 271, {0xFE});
  const fixture::Header noted = verifiedHeader(groups);
  const std::string notedShx =
      write("noted.shx",
            verifiedShx(noted, {fixture::s3Lines(kRamdldAddress, groups[0].data), flexLines}));
  expectRun({"verify", notedShx}, 0,
            notedShx +
                ":6: note: RAMDLD table entry for CG2: expected 11280000-11F3FFFF, found "
                "11280000-11F3FFFE\nOK (1 note)\n",
            "");
  const Outcome json = run({"verify", notedShx, "--json"});
  EXPECT_EQ(json.status, 0);
  const auto parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed["ok"], true);
  EXPECT_EQ(parsed["problems"], 0);
  EXPECT_EQ(parsed["notes"], 1);
  EXPECT_EQ(parsed["findings"][0]["severity"], "note");
  EXPECT_EQ(run({"save", notedShx, "-o", dir.file("noted-out.shx")}).status, 0);
}

// A rescue opens past a damaged line: the report and a save of the sound groups, byte for byte
// the sound file's; damage in the Flex writes nothing, forced or not, and names its place.
TEST_F(CliTest, RescueSavesOnlyWhatWasReadWhole) {
  auto groups = verifiedGroups();
  groups.push_back({3, 0x10100000, fixture::pattern(0x300, 9)});
  const fixture::Header header = verifiedHeader(groups);
  std::vector<std::string> lines;
  for (const Group& g : groups) lines.push_back(fixture::s3Lines(g.start, g.data));
  // The second S3 line of a group's text, its checksum's last digit changed.
  const auto damagedAt = [&](std::size_t group) {
    std::vector<std::string> l = lines;
    const std::size_t end = l[group].find("\r\n", l[group].find("\r\n") + 2);
    l[group][end - 1] = l[group][end - 1] == '0' ? '1' : '0';
    return verifiedShx(header, l);
  };
  const std::string sound = write("sound.shx", verifiedShx(header, lines));
  const std::string dsp = write("dsp.shx", damagedAt(2));
  const std::string flex = write("flex.shx", damagedAt(1));
  const Args epoch = {"SOURCE_DATE_EPOCH=1700000000"};

  // Line 1 is the RAMDLD's S0 and 8 lines follow; 10 is an S7, 11 the Flex's S0, so its
  // second line is 13.
  const Outcome info = run({"info", dsp, "--rescue"});
  EXPECT_EQ(info.status, 0);
  EXPECT_TRUE(info.err.ends_with("tavufe: " + dsp +
                                 ": rescued: 1 damaged line in DSP; the RAMDLD and the Flex "
                                 "are sound\n"))
      << info.err;
  EXPECT_EQ(run({"info", sound, "--rescue"}).err,
            "tavufe: " + sound + ": rescued: nothing damaged; the RAMDLD and the Flex are sound\n");
  for (const char* type : {"shx", "sbf", "smg"}) {
    SCOPED_TRACE(type);
    const std::string want = dir.file(std::string("want.") + type);
    const std::string out = dir.file(std::string("out.") + type);
    ASSERT_EQ(run({"save", sound, "-o", want, "--delete-row", "2"}, epoch).status, 0);
    EXPECT_EQ(run({"save", dsp, "-o", out, "--delete-row", "2"}, epoch).status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(run({"save", dsp, "-o", out, "--delete-row", "2", "--rescue"}, epoch).status, 0);
    EXPECT_EQ(fixture::readFile(out), fixture::readFile(want));

    fixture::writeFile(out, Bytes{'o', 'l', 'd'});
    for (const Args& force : {Args{}, Args{"--force"}}) {
      Args args = {"save", flex, "-o", out, "--rescue"};
      args.insert(args.end(), force.begin(), force.end());
      const Outcome refused = run(args, epoch);
      EXPECT_EQ(refused.status, 1);
      EXPECT_EQ(refused.err, "NOTICE: Damaged Code Group\ntavufe: " + flex +
                                 ":13: Flex damaged; a rescue saves only a RAMDLD and a Flex read "
                                 "whole\n");
      EXPECT_EQ(readText(out), "old");
    }
  }
}

// Several files are checked in turn: each finding keeps its file, each file ends with its own
// count, and the exit is 1 when any file has a problem or cannot be read.
TEST_F(CliTest, VerifyChecksEachOfSeveralFiles) {
  auto groups = verifiedGroups();
  const fixture::Header header = verifiedHeader(groups);
  const std::string rdlLines = fixture::s3Lines(kRamdldAddress, groups[0].data);
  const std::string flexLines = fixture::s3Lines(kFlexAddress, groups[1].data);
  const std::string clean = write("clean.sbf", withRecords(header.bytes(), groups));
  const Bytes trailerBytes = verifiedShx(header, {rdlLines, flexLines}, 1);
  const std::string trailer = write("trailer.shx", trailerBytes);
  const std::uint16_t sum = fixture::sum16(std::span(trailerBytes).first(trailerBytes.size() - 14));
  put(groups[0].data, 271, {0xFE});  // a note
  const std::string noted = write(
      "noted.shx", verifiedShx(verifiedHeader(groups),
                               {fixture::s3Lines(kRamdldAddress, groups[0].data), flexLines}));
  const std::string missing = dir.file("missing.sbf");
  const std::string other = write("other.txt", Bytes{1});

  const std::string cleanOut = clean + ": OK\n";
  const std::string notedOut =
      noted + ":6: note: RAMDLD table entry for CG2: expected 11280000-11F3FFFF, found " +
      "11280000-11F3FFFE\n" + noted + ": OK (1 note)\n";
  const std::string trailerOut = trailer + ":76: checksum line: expected " + hex(sum, 4) +
                                 ", found " + hex(std::uint16_t(sum + 1), 4) + "\n" + trailer +
                                 ": 1 problem\n";
  const std::string missingErr =
      "WARNING: File Not Opened\ntavufe: " + missing + ": No such file or directory\n";
  const std::string otherErr = "NOTICE: File Type Not Supported\ntavufe: " + other +
                               ": not an .sbf or .shx file; --input-type sbf|shx reads it as one\n";
  const std::vector<std::tuple<Args, int, std::string, std::string>> cases = {
      {{clean, noted}, 0, cleanOut + notedOut, ""},
      {{noted, trailer, clean}, 1, notedOut + trailerOut + cleanOut, ""},
      {{clean, missing, noted}, 1, cleanOut + notedOut, missingErr},
      {{other, clean}, 1, cleanOut, otherErr},
      // One file is as it always was.
      {{noted}, 0, notedOut.substr(0, notedOut.find('\n') + 1) + "OK (1 note)\n", ""},
  };
  for (const auto& [files, status, out, err] : cases) {
    SCOPED_TRACE(files.size());
    Args args = files;
    args.insert(args.begin(), "verify");
    expectRun(args, status, out, err);
    // JSON: an array of each read file's document, for more than one file.
    args.push_back("--json");
    const Outcome json = run(args);
    EXPECT_EQ(json.status, status);
    EXPECT_EQ(json.err, err);
    const auto doc = nlohmann::json::parse(json.out);
    if (files.size() == 1) {
      EXPECT_EQ(doc["file"], files[0]);
      continue;
    }
    std::string listed;
    for (const auto& file : doc) {
      listed += file["file"].get<std::string>() + " " + file["problems"].dump() + " " +
                file["notes"].dump() + "\n";
    }
    std::string expected;
    for (const std::string& file : files) {
      if (file == noted) expected += noted + " 0 1\n";
      if (file == clean) expected += clean + " 0 0\n";
      if (file == trailer) expected += trailer + " 1 0\n";
    }
    EXPECT_EQ(listed, expected);
  }
}

// Several files' reports, each under a heading as `head` gives it; one that cannot be opened is
// passed over with its reason and makes the exit 1.
TEST_F(CliTest, InfoReportsEachOfSeveralFiles) {
  const std::string a = write("a.sbf", superfile(standardGroups()));
  const std::string b = write("b.sbf", superfile({standardGroups()[0]}));
  const std::string missing = dir.file("missing.sbf");
  const std::string aOut = run({"info", a}).out;
  const std::string bOut = run({"info", b}).out;
  ASSERT_FALSE(aOut.empty());
  expectRun({"info", a, b}, 0, "==> " + a + " <==\n" + aOut + "\n==> " + b + " <==\n" + bOut, "");
  expectRun({"info", missing, b, a}, 1,
            "==> " + b + " <==\n" + bOut + "\n==> " + a + " <==\n" + aOut,
            "WARNING: File Not Opened\ntavufe: " + missing + ": No such file or directory\n");
  const Outcome json = run({"info", b, missing, a, "--json"});
  EXPECT_EQ(json.status, 1);
  const auto doc = nlohmann::json::parse(json.out);
  ASSERT_EQ(doc.size(), 2u);
  EXPECT_EQ(doc[0], nlohmann::json::parse(run({"info", b, "--json"}).out));
  EXPECT_EQ(doc[1], nlohmann::json::parse(run({"info", a, "--json"}).out));
}

// A file that opens with problems is listed and exits 0, but says so on standard error and in
// its JSON; notes are counted in the JSON and said nowhere else.
TEST_F(CliTest, ProblemsAFileOpensWithAreNeverSilent) {
  auto groups = verifiedGroups();
  const fixture::Header header = verifiedHeader(groups);
  const std::string rdlLines = fixture::s3Lines(kRamdldAddress, groups[0].data);
  const std::string flexLines = fixture::s3Lines(kFlexAddress, groups[1].data);
  // The Flex's second line 64 bytes further on: a hole, and a line that lies past the group.
  const std::size_t line2 = flexLines.find("\r\n") + 2;
  const std::size_t line3 = flexLines.find("\r\n", line2) + 2;
  const std::string jump =
      flexLines.substr(0, line2) +
      fixture::s3Line(kFlexAddress + 0x80, std::span(groups[1].data).subspan(64, 64)) +
      flexLines.substr(line3);
  const std::string sound = write("sound.shx", verifiedShx(header, {rdlLines, flexLines}));
  const std::string trailer = write("trailer.shx", verifiedShx(header, {rdlLines, flexLines}, 1));
  const std::string jumped = write("jump.shx", verifiedShx(header, {rdlLines, jump}));
  put(groups[0].data, 271, {0xFE});  // the RAMDLD table's CG2 entry ends one byte short
  const std::string noted = write(
      "noted.shx", verifiedShx(verifiedHeader(groups),
                               {fixture::s3Lines(kRamdldAddress, groups[0].data), flexLines}));

  const std::vector<std::tuple<std::string, int, int, std::string>> cases = {
      {sound, 0, 0, ""},
      {noted, 0, 1, ""},
      {trailer, 1, 0, ": 1 problem; tavufe verify " + trailer + " lists it"},
      {jumped, 2, 0, ": 2 problems; tavufe verify " + jumped + " lists them"},
  };
  for (const auto& [in, problems, notes, said] : cases) {
    SCOPED_TRACE(in);
    const std::string err = said.empty() ? "" : "tavufe: " + in + said + "\n";
    for (const char* command : {"info", "folders"}) {
      const Outcome text = run({command, in});
      EXPECT_EQ(text.status, 0);
      EXPECT_EQ(text.err, err);
      const Outcome json = run({command, in, "--json"});
      EXPECT_EQ(json.status, 0);
      EXPECT_EQ(json.err, err);
      const auto doc = nlohmann::json::parse(json.out);
      EXPECT_EQ(doc["problems"], problems);
      EXPECT_EQ(doc["notes"], notes);
    }
    const Outcome saved = run({"save", in, "-o", dir.file("out.smg")});
    EXPECT_EQ(saved.status, problems > 0 ? 1 : 0);
    EXPECT_EQ(saved.err, said.empty()
                             ? ""
                             : "WARNING: Checksum Error\n" + err.substr(0, err.size() - 1) +
                                   "; --force saves anyway\n");
  }
}

// Each --json output is one document that a JSON parser reads back, with numbers as numbers
// and a name byte that is not UTF-8 kept as the character of the same value.
TEST_F(CliTest, JsonOutputsReadBack) {
  auto groups = verifiedGroups();
  groups[1].data[0x600 + 27] = 0xE9;  // "Themes" becomes "\xE9hemes"
  const std::string in = write("in.sbf", withRecords(verifiedHeader(groups).bytes(), groups));

  const Outcome info = run({"info", in, "--json"});
  ASSERT_EQ(info.status, 0);
  const auto doc = nlohmann::json::parse(info.out);
  EXPECT_EQ(doc["file"], in);
  ASSERT_EQ(doc["report"].size(), 9u);
  const std::string plain = run({"info", in}).out;
  std::string lines;
  for (const auto& line : doc["report"]) lines += line.get<std::string>() + "\n";
  EXPECT_TRUE(plain.starts_with(lines));
  EXPECT_EQ(doc["header"]["magic"], "P2K Superfile");
  EXPECT_EQ(doc["header"]["date"], "Mon December 07 10:00:00 2026");
  EXPECT_EQ(doc["header"]["habState"], 2);
  ASSERT_EQ(doc["codeGroups"].size(), 2u);
  const auto& flex = doc["codeGroups"][1];
  EXPECT_EQ(flex["cgNumber"], 2);
  EXPECT_EQ(flex["name"], "Flex");
  EXPECT_EQ(flex["startAddress"], 0x11280000u);
  EXPECT_EQ(flex["endAddress"], 0x11280FFFu);
  EXPECT_EQ(flex["size"], 4096);
  EXPECT_EQ(flex["bufferChecksum"], fixture::sum16(groups[1].data));
  EXPECT_EQ(flex["code"], 8);

  const Outcome folders = run({"folders", in, "--json"});
  ASSERT_EQ(folders.status, 0);
  const auto list = nlohmann::json::parse(folders.out);
  EXPECT_EQ(list["flexStart"], 0x1280000u);
  std::vector<std::tuple<int, std::string, std::uint32_t>> rows;
  for (const auto& row : list["folders"]) {
    rows.emplace_back(row["row"], row["name"], row["location"]);
    EXPECT_EQ(row["imageOffset"], 0x1280000u + row["location"].get<std::uint32_t>());
  }
  const std::vector<std::tuple<int, std::string, std::uint32_t>> expected = {
      {1, "Skins", 0x200}, {2, "\xC3\xA9hemes", 0x600}, {3, "Wallpaper", 0x800}};
  EXPECT_EQ(rows, expected);

  Bytes broken = fixture::readFile(in);
  broken.resize(broken.size() - 3);
  const std::string cut = write("cut.sbf", broken);
  const Outcome verify = run({"verify", cut, "--json"});
  EXPECT_EQ(verify.status, 1);
  const auto report = nlohmann::json::parse(verify.out);
  EXPECT_EQ(report["type"], "sbf");
  EXPECT_EQ(report["ok"], false);
  EXPECT_EQ(report["problems"], 1);
  ASSERT_EQ(report["findings"].size(), 1u);
  const auto& finding = report["findings"][0];
  EXPECT_EQ(finding["kind"], "record-cut-off");
  EXPECT_EQ(finding["offset"], kHeaderSize + 0x200 + 29);
  EXPECT_FALSE(finding.contains("line"));
  EXPECT_EQ(finding["expected"], std::to_string(0x1000 + 29) + " bytes");
  EXPECT_EQ(nlohmann::json::parse(run({"verify", in, "--json"}).out)["ok"], true);
}

}  // namespace

// Runs a shell script in the test's folder with $T as tavufe; standard error goes to a file.
Outcome runScript(const fixture::TempDir& dir, const std::string& script) {
  const std::string command = "cd " + quoted(dir.path()) + " && T=" + quoted(TAVUFE_CLI_PATH) +
                              " && (" + script + ") 2>stderr.txt";
  const int wstatus = std::system(command.c_str());
  Outcome run;
  if (wstatus != -1 && WIFEXITED(wstatus)) run.status = WEXITSTATUS(wstatus);
  run.err = readText(dir.file("stderr.txt"));
  return run;
}

std::string text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Standard output and descriptors the shell set up are written through, where they point: an
// append appends, a group keeps the lines around the save, and nothing is renamed over them.
TEST_F(CliTest, StandardOutputAndDescriptorsAreWrittenWhereTheyPoint) {
  write("in.sbf", superfile(standardGroups()));
  const std::string flex = text(erasedFlex({0x400}));
  std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"$T save in.sbf -o - --type smg > f", "f", flex},
      {"echo H > f; $T save in.sbf -o /dev/stdout --type smg >> f", "f", "H\n" + flex},
      {"{ echo H; $T save in.sbf -o /dev/stdout --type smg; echo T; } > f", "f",
       "H\n" + flex + "T\n"},
      {"{ echo H; $T save in.sbf -o - --type smg; echo T; } > f", "f", "H\n" + flex + "T\n"},
      {"echo H > f; $T save in.sbf -o /dev/fd/3 --type smg 3>> f", "f", "H\n" + flex},
      {"$T save in.sbf -o /dev/stderr --type smg 2> f", "f", flex},
  };
  // Every other spelling of the same descriptors, and a link to one, append as well.
  for (const char* name :
       {"/dev//stdout", "//dev/stdout", "/dev/./stdout", "/dev/fd//1", "/proc/self/fd/1",
        "/proc/thread-self/fd/1", "/proc/self/../self/fd/1", "l"}) {
    cases.emplace_back(std::string("echo H > f; ln -s /dev/stdout l; exec $T save in.sbf -o ") +
                           name + " --type smg >> f",
                       "f", "H\n" + flex);
  }
  for (const auto& [script, file, content] : cases) {
    SCOPED_TRACE(script);
    const Outcome r = runScript(dir, script);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(dir.file(file)), content);
    std::filesystem::remove(dir.file("l"));
    EXPECT_EQ(entriesIn(dir.path()), 3u);  // in.sbf, f, stderr.txt
    std::filesystem::remove(dir.file(file));
  }
  // A terminal would only show the bytes as noise.
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    GTEST_SKIP() << "no pseudo-terminal";
  }
  const std::string pts = ::ptsname(master);
  const std::string toStdout = ": Standard output is a terminal: redirect it to a file or a pipe\n";
  const std::string named = ": Is a terminal: name a file or a pipe for the output\n";
  // Whatever names it: standard output, another descriptor, the terminal's own path, and the
  // controlling terminal of a session that has one.
  const std::vector<std::pair<std::string, std::string>> terminals = {
      {"$T save in.sbf -o - --type smg > " + quoted(pts), "-" + toStdout},
      {"$T save in.sbf -o /dev/stdout --type smg > " + quoted(pts), "/dev/stdout" + toStdout},
      {"$T save in.sbf -o /dev//fd/1 --type smg > " + quoted(pts), "/dev//fd/1" + toStdout},
      {"$T save in.sbf -o /dev/fd/3 --type smg 3> " + quoted(pts), "/dev/fd/3" + named},
      {"$T save in.sbf -o " + quoted(pts) + " --type smg", pts + named},
      {"setsid -w sh -c 'exec \"$0\" save in.sbf -o /dev/tty --type smg < \"$1\"' \"$T\" " +
           quoted(pts),
       "/dev/tty" + named},
  };
  for (const auto& [script, said] : terminals) {
    SCOPED_TRACE(script);
    const Outcome r = runScript(dir, script);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "WARNING: File Not Opened\ntavufe: " + said);
  }
  ::close(master);
  EXPECT_EQ(entriesIn(dir.path()), 2u);  // in.sbf, stderr.txt
}

// Another process's descriptor is opened and written in place, never renamed over: its file,
// though deleted, gets the bytes, and no file is made of its link's text.
TEST_F(CliTest, AnotherProcesssDescriptorIsWrittenInPlace) {
  write("in.sbf", superfile(standardGroups()));
  const std::string flex = text(erasedFlex({0x400}));
  const Outcome r = runScript(
      dir,
      "sleep 30 3>held < /dev/null & p=$!; sleep 0.2; rm held; "
      "$T save in.sbf -o /proc/$p/fd/3 --type smg; s=$?; cat /proc/$p/fd/3 > got; kill $p; "
      "exit $s");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readText(dir.file("got")), flex);
  EXPECT_EQ(entriesIn(dir.path()), 3u);  // in.sbf, got, stderr.txt
}

// A save over its own input writes only the RAMDLD and the Flex: unless forced it stops before
// the backup loses its other code groups. A file with no others, or another file, is saved.
TEST_F(CliTest, SaveOverItsOwnInputDoesNotDropCodeGroupsUnlessForced) {
  auto groups = standardGroups();
  groups.insert(groups.begin() + 1, {1, 0x10160000, fixture::pattern(0x400, 5)});
  groups.push_back({3, 0x10100000, fixture::pattern(0x100, 6)});
  groups.push_back({4, 0x11100000, fixture::pattern(0x100, 7)});
  // The firmware is listed as two entries: its first 200 bytes and the rest.
  fixture::Header header = headerFor(groups);
  const Group& fw = groups[1];
  fixture::Entry first{fw.start,
                       fw.start + 199,
                       {},
                       fixture::sum16(Bytes(fw.data.begin(), fw.data.begin() + 200)),
                       8};
  fixture::Entry rest{fw.start + 200,
                      fw.start + 0x3FF,
                      {},
                      fixture::sum16(Bytes(fw.data.begin() + 200, fw.data.end())),
                      8};
  std::copy_n(fw.data.begin(), 16, first.headerBytes.begin());
  std::copy_n(fw.data.begin() + 196, 16, rest.headerBytes.begin());
  header.entry(2, first);
  header.entry(3, rest);
  const Bytes full = withRecords(header.bytes(), groups);
  const std::string in = write("in.sbf", full);
  const std::string link = dir.file("link.sbf");
  std::filesystem::create_symlink("in.sbf", link);
  const std::string refusal = "NOTICE: Save Would Drop Code Groups\ntavufe: ";
  const std::string names = " holds Firmware, DSP, Language Pack; --force replaces it anyway\n";
  const std::vector<std::tuple<Args, int, std::string>> cases = {
      {{"save", in, "-o", in}, 1, refusal + in + names},
      {{"save", in, "-o", link}, 1, refusal + link + names},
      {{"save", in, "-o", in, "--type", "smg"},
       1,
       refusal + in +
           " holds RAMDLD, Firmware, Flex, DSP, Language Pack; --force replaces it anyway\n"},
  };
  for (const auto& [args, status, err] : cases) {
    SCOPED_TRACE(args.back());
    expectRun(args, status, "", err);
    EXPECT_EQ(fixture::readFile(in), full);
  }
  expectRun({"save", in, "-o", in, "--force"}, 0, "", "");
  EXPECT_LT(fixture::readFile(in).size(), full.size());
  // What is left holds only what a save writes: saving over it again needs no force.
  expectRun({"save", in, "-o", in}, 0, "", "");
}

// A file with other hard links gets a new file under the name; the other names keep the old
// bytes, and the save says so.
TEST_F(CliTest, OtherHardLinksAreNamed) {
  const std::string in = write("in.sbf", superfile(standardGroups()));
  const std::string out = write("out.smg", Bytes{'o', 'l', 'd'});
  for (const char* name : {"a.smg", "b.smg"}) {
    ASSERT_EQ(::link(out.c_str(), dir.file(name).c_str()), 0);
  }
  expectRun({"save", in, "-o", out}, 0, "",
            "tavufe: " + out + ": 2 other hard links keep the old contents\n");
  EXPECT_EQ(readText(dir.file("a.smg")), "old");
  std::filesystem::remove(dir.file("b.smg"));
  ASSERT_EQ(::link(dir.file("a.smg").c_str(), dir.file("c.smg").c_str()), 0);
  expectRun({"save", in, "-o", dir.file("a.smg")}, 0, "",
            "tavufe: " + dir.file("a.smg") + ": 1 other hard link keeps the old contents\n");
}

// Each class of character that could steer a terminal or a reader: shown as an escape in text,
// as a \u escape in JSON, and escaped where a usage error echoes an argument.
TEST_F(CliTest, EveryEscapeClassInTextJsonAndUsageErrors) {
  auto groups = standardGroups();
  putFolderRecord(groups[1].data, 0x600, "a\\x1B\x7F\x9B");
  fixture::Header header = headerFor(groups);
  header.text(448, std::string("G\xE2\x80\xAE"
                               "gpj.exe\xE2\x81\xA6\xE2\x80\xA8\\\x7F\xC2\x9B\xC3\xA9") +
                       '\0');
  const std::string in = write("in.sbf", withRecords(header.bytes(), groups));

  const Outcome folders = run({"folders", in});
  EXPECT_NE(folders.out.find("\ta\\\\x1B\\x7F\\x9B\t"), std::string::npos) << folders.out;
  const Outcome info = run({"info", in});
  EXPECT_NE(info.out.find("\nG\\u202Egpj.exe\\u2066\\u2028\\\\\\x7F\\xC2\\x9B\xC3\xA9\n"),
            std::string::npos)
      << info.out;

  const Outcome json = run({"info", in, "--json"});
  EXPECT_NE(
      json.out.find("\"generator\": \"G\\u202egpj.exe\\u2066\\u2028\\\\\\u007f\\u009b\xC3\xA9\""),
      std::string::npos)
      << json.out;
  const Outcome jsonFolders = run({"folders", in, "--json"});
  EXPECT_NE(jsonFolders.out.find("\"name\": \"a\\\\x1B\\u007f\\u009b\""), std::string::npos)
      << jsonFolders.out;
  for (const std::string& out : {json.out, jsonFolders.out}) {
    EXPECT_EQ(out.find('\x7F'), std::string::npos);
    EXPECT_EQ(out.find("\xC2\x9B"), std::string::npos);
    EXPECT_EQ(out.find("\xE2\x80\xAE"), std::string::npos);
  }

  expectRun({"info", in, "--input-type", "\x1B[31m\xE2\x80\xAE\\"}, 2, "",
            "tavufe: invalid value '\\x1B[31m\\u202E\\\\' for '--input-type' (sbf or shx)\n" +
                usageOf("info"));
}

// Every character that hides itself or turns the text around it, from a header text and a
// folder name: an escape in text and in JSON, so that two names never look the same.
TEST_F(CliTest, HiddenAndDirectionCharactersAreEscapedInTextAndJson) {
  const std::vector<std::pair<std::string, std::string>> characters = {
      {"\xD8\x9C", "061C"},     {"\xE2\x80\x8B", "200B"}, {"\xE2\x80\x8C", "200C"},
      {"\xE2\x80\x8D", "200D"}, {"\xE2\x80\x8E", "200E"}, {"\xE2\x80\x8F", "200F"},
      {"\xE2\x80\xA8", "2028"}, {"\xE2\x80\xA9", "2029"}, {"\xE2\x80\xAA", "202A"},
      {"\xE2\x80\xAB", "202B"}, {"\xE2\x80\xAC", "202C"}, {"\xE2\x80\xAD", "202D"},
      {"\xE2\x80\xAE", "202E"}, {"\xE2\x81\xA0", "2060"}, {"\xE2\x81\xA6", "2066"},
      {"\xE2\x81\xA7", "2067"}, {"\xE2\x81\xA8", "2068"}, {"\xE2\x81\xA9", "2069"},
      {"\xEF\xBB\xBF", "FEFF"},
  };
  std::string raw = "G";
  std::string shown = "G";
  std::string json = "G";
  for (const auto& [utf8, code] : characters) {
    raw += utf8 + "|";
    shown += "\\u" + code + "|";
    std::string lower = code;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    json += "\\u" + lower + "|";
  }
  auto groups = standardGroups();
  putFolderRecord(groups[1].data, 0x600, "Ski\xE2\x80\x8Bns");
  fixture::Header header = headerFor(groups);
  header.text(448, raw + '\0');
  const std::string in = write("in.sbf", withRecords(header.bytes(), groups));

  const Outcome info = run({"info", in});
  EXPECT_NE(info.out.find("\n" + shown + "\n"), std::string::npos) << info.out;
  const Outcome infoJson = run({"info", in, "--json"});
  EXPECT_NE(infoJson.out.find("\"generator\": \"" + json + "\""), std::string::npos)
      << infoJson.out;
  const Outcome folders = run({"folders", in});
  EXPECT_NE(folders.out.find("\tSki\\u200Bns\t"), std::string::npos) << folders.out;
  const Outcome foldersJson = run({"folders", in, "--json"});
  EXPECT_NE(foldersJson.out.find("\"name\": \"Ski\\u200bns\""), std::string::npos)
      << foldersJson.out;
  for (const std::string& out : {info.out, infoJson.out, folders.out, foldersJson.out}) {
    for (const auto& [utf8, code] : characters)
      EXPECT_EQ(out.find(utf8), std::string::npos) << code;
  }
}

// OLD holds a DSP the save drops, the RAMDLD's table lists it, and a repeated folder record.
TEST_F(CliTest, DiffNamesWhatASaveChanged) {
  auto groups = verifiedGroups();
  put(groups[0].data, 272, {0x10, 0x10, 0x00, 0x00, 0x10, 0x15, 0xFF, 0xFF});
  groups.push_back({3, 0x10100000, fixture::pattern(0x100, 9)});
  const std::string old = write("old.sbf", withRecords(verifiedHeader(groups).bytes(), groups));
  const std::string saved = dir.file("new.sbf");
  ASSERT_EQ(run({"save", old, "-o", saved, "--delete-row", "3"}, {"SOURCE_DATE_EPOCH=0"}).status,
            0);
  const std::string changes =
      "header date: \"Mon December 07 10:00:00 2026\" -> \"Thu January 01 00:00:00 1970\"\n"
      "RAMDLD table entry 3: 10100000-1015FFFF -> none\n"
      "folder \"Skins\" at 11280400 erased (173 bytes)\n"
      "folder \"Wallpaper\" at 11280800 erased (173 bytes)\n"
      "DSP 10100000-101000FF only in OLD\n"
      "5 differences\n";
  expectRun({"diff", old, old}, 0, "same\n", "");
  expectRun({"diff", old, saved}, 1, changes, "");

  // Both encodings of one content read the same.
  const auto plain = verifiedGroups();
  const std::string sbf = write("plain.sbf", withRecords(verifiedHeader(plain).bytes(), plain));
  const std::string shx =
      write("plain.shx",
            verifiedShx(verifiedHeader(plain), {fixture::s3Lines(kRamdldAddress, plain[0].data),
                                                fixture::s3Lines(kFlexAddress, plain[1].data)}));
  expectRun({"diff", sbf, shx}, 0, "same\n", "");

  // A sum that disagrees with its header entry is a note in each file, not a difference.
  fixture::Header offByOne = verifiedHeader(plain);
  const std::uint16_t flexSum = fixture::sum16(plain[1].data);
  fixture::Entry flex{kFlexAddress, kFlexAddress + 0xFFF, {}, std::uint16_t(flexSum + 1), 8};
  std::copy_n(plain[1].data.begin(), 16, flex.headerBytes.begin());
  const std::string bad = write("bad.sbf", withRecords(offByOne.entry(4, flex).bytes(), plain));
  const std::string note =
      ": the header says " + hex(flexSum + 1u, 4) + ", the bytes sum to " + hex(flexSum, 4) + "\n";
  expectRun({"diff", bad, bad}, 0,
            "note: Flex checksum in OLD" + note + "note: Flex checksum in NEW" + note + "same\n",
            "");

  // A file that cannot be opened, in either place, stops the comparison.
  Bytes stray = fixture::readFile(sbf);
  stray.push_back(0x00);
  const std::string damaged = write("stray.sbf", stray);
  const std::string missing = dir.file("missing.sbf");
  expectRun({"diff", damaged, sbf}, 2, "",
            "WARNING: Record Error\ntavufe: " + damaged +
                ":00003226: bytes after the last record: expected end of file, found 1 byte\n");
  expectRun({"diff", sbf, missing}, 2, "",
            "WARNING: File Not Opened\ntavufe: " + missing + ": No such file or directory\n");

  const Outcome json = run({"diff", old, saved, "--json"});
  EXPECT_EQ(json.status, 1);
  const auto doc = nlohmann::json::parse(json.out);
  EXPECT_EQ(doc["same"], false);
  EXPECT_EQ(doc["differences"], 5);
  ASSERT_EQ(doc["items"].size(), 5u);
  std::string texts;
  for (const auto& item : doc["items"]) texts += item["text"].get<std::string>() + "\n";
  EXPECT_EQ(texts + "5 differences\n", changes);
  EXPECT_EQ(doc["items"][2]["kind"], "folder");
  EXPECT_EQ(doc["items"][2]["folder"], "Skins");
  EXPECT_EQ(doc["items"][2]["address"], 0x11280400u);
  EXPECT_EQ(doc["items"][4]["old"]["first"], 0x10100000u);
}

// An export is the Flex alone: compared with a superfile it lies at that superfile's Flex
// address and only the Flex is compared; two exports compare as raw Flex images.
TEST_F(CliTest, DiffComparesExportsAsTheFlexAlone) {
  const auto groups = verifiedGroups();
  const fixture::Header header = verifiedHeader(groups);
  const std::string sbf = write("in.sbf", withRecords(header.bytes(), groups));
  const std::string shx =
      write("in.shx", verifiedShx(header, {fixture::s3Lines(kRamdldAddress, groups[0].data),
                                           fixture::s3Lines(kFlexAddress, groups[1].data)}));
  auto moved = verifiedGroups();
  moved[1].start = 0x11300000;
  const std::string away = write("away.sbf", withRecords(headerFor(moved).bytes(), moved));
  const std::string noFlex = write("no-flex.sbf", superfile({groups[0]}));
  // Exports written byte by byte: the Flex as it is, without the record at 0x600, one byte short.
  const std::string flex = write("flex.smg", makeFlex());
  const std::string flexBin = write("flex.BIN", makeFlex());
  Bytes themes = makeFlex();
  std::fill_n(themes.begin() + 0x600 - 261, 5, 0xFF);
  std::fill_n(themes.begin() + 0x600 - 4, 168, 0xFF);
  const std::string erased = write("themes.bin", themes);
  Bytes shorter = makeFlex();
  shorter.pop_back();
  const std::string cut = write("cut.smg", shorter);

  const std::string themesGone = "folder \"Themes\" at 11280600 erased (173 bytes)\n";
  const std::vector<std::tuple<Args, int, std::string>> cases = {
      {{sbf, flex}, 0, "Flex only: NEW is an export\nsame\n"},
      {{shx, flexBin}, 0, "Flex only: NEW is an export\nsame\n"},
      {{flex, sbf}, 0, "Flex only: OLD is an export\nsame\n"},
      {{flex, flexBin}, 0, "Flex only: both are exports\nsame\n"},
      {{away, flex}, 0, "Flex only: NEW is an export\nsame\n"},
      {{sbf, erased}, 1, "Flex only: NEW is an export\n" + themesGone + "1 difference\n"},
      {{flex, erased}, 1, "Flex only: both are exports\n" + themesGone + "1 difference\n"},
      {{away, erased},
       1,
       "Flex only: NEW is an export\nfolder \"Themes\" at 11300600 erased (173 bytes)\n"
       "1 difference\n"},
      {{cut, flex},
       1,
       "Flex only: both are exports\nFlex range 11280000-11280FFE -> 11280000-11280FFF\n"
       "1 difference\n"},
      // Told how to read both, a .bin is a superfile like any other.
      {{sbf, write("backup.bin", fixture::readFile(sbf)), "--input-type", "sbf"}, 0, "same\n"},
  };
  for (const auto& [files, status, out] : cases) {
    SCOPED_TRACE(files[0] + " " + files[1]);
    Args args = files;
    args.insert(args.begin(), "diff");
    expectRun(args, status, out, "");
  }
  // A save of the superfile and its export compare the same; after a delete, by its name.
  for (const Args& options : {Args{}, Args{"--delete-row", "2"}}) {
    const std::string saved = dir.file("saved.shx");
    const std::string exported = dir.file("exported.smg");
    ASSERT_EQ(run({"save", sbf, "-o", saved, "--keep-repeated"}).status, 0);
    Args save = {"save", sbf, "-o", exported, "--keep-repeated"};
    save.insert(save.end(), options.begin(), options.end());
    ASSERT_EQ(run(save).status, 0);
    expectRun({"diff", saved, exported}, options.empty() ? 0 : 1,
              std::string("Flex only: NEW is an export\n") +
                  (options.empty() ? "same\n"
                                   : "folder \"Skins\" at 11280400 erased (173 bytes)\n"
                                     "1 difference\n"),
              "");
  }

  expectRun({"diff", noFlex, flex}, 2, "",
            "NOTICE: No Flex Code Group\ntavufe: " + noFlex + ": not compared\n");
  const std::string missing = dir.file("missing.bin");
  expectRun({"diff", sbf, missing}, 2, "",
            "WARNING: File Not Opened\ntavufe: " + missing + ": No such file or directory\n");
  const Outcome json = run({"diff", sbf, erased, "--json"});
  EXPECT_EQ(json.status, 1);
  const auto doc = nlohmann::json::parse(json.out);
  EXPECT_EQ(doc["flexOnly"], true);
  EXPECT_EQ(doc["items"][0]["folder"], "Themes");
  EXPECT_EQ(nlohmann::json::parse(run({"diff", sbf, sbf, "--json"}).out)["flexOnly"], false);
}

// tavufe-sample's help gives each option its own line and what it does.
TEST(SampleToolTests, HelpListsEveryOptionOfTheUsage) {
  const fixture::TempDir dir;
  const Outcome help = runTavufe(dir, {"--help"}, {}, {}, TAVUFE_SAMPLE_PATH);
  ASSERT_EQ(help.status, 0);
  const std::string usage = help.out.substr(0, help.out.find("\n\n"));
  std::size_t options = 0;
  for (std::size_t at = usage.find("--"); at != std::string::npos; at = usage.find("--", at)) {
    const std::string option = usage.substr(at, usage.find_first_of(" ]|\n", at) - at);
    at += option.size();
    SCOPED_TRACE(option);
    ++options;
    // "  --name ..." or "  -h, --name ...", then a description.
    std::size_t line = help.out.find("\n  " + option + " ");
    if (const std::size_t alias = help.out.find(", " + option + " ");
        line == std::string::npos && alias != std::string::npos) {
      line = help.out.rfind("\n  -", alias);
    }
    ASSERT_NE(line, std::string::npos);
    const std::string described = help.out.substr(line + 1, help.out.find('\n', line + 1) - line);
    EXPECT_GT(described.find_last_of(' '), 20u) << described;
  }
  EXPECT_EQ(options, 11u);
}

// What tavufe prints is a contract for scripts: the same bytes whatever language or locale the
// environment asks for, the window's languages among them, and in a save the same file.
TEST_F(CliTest, PrintsAndWritesTheSameBytesUnderEveryLanguageSetting) {
  const auto groups = verifiedGroups();
  const std::string in = write("in.sbf", withRecords(verifiedHeader(groups).bytes(), groups));
  const std::string missing = dir.file("missing.sbf");
  const std::vector<Args> commands = {
      {"--help"},
      {"info", in},
      {"info", in, "--json"},
      {"folders", in},
      {"verify", in},
      {"info", missing},
      {"save", in, "-o", dir.file("out.sbf"), "--delete-row", "1"},
      {"save", in, "-o", dir.file("out.txt")},
  };
  const std::vector<Args> settings = {{"LANG=de_DE.UTF-8"},
                                      {"LC_ALL=ru_RU.UTF-8"},
                                      {"LANG=pt_BR.UTF-8", "LANGUAGE=pt_BR:es"},
                                      {"LC_ALL=pl_PL.UTF-8", "LC_NUMERIC=de_DE.UTF-8"},
                                      {"LC_MESSAGES=es_ES.UTF-8"},
                                      {"LC_ALL=C.UTF-8", "LANGUAGE=ru"}};
  // A save writes its date: the same one in every run.
  const auto written = [this] {
    const std::string out = dir.file("out.sbf");
    return std::filesystem::exists(out) ? fixture::readFile(out) : Bytes();
  };
  for (const Args& command : commands) {
    SCOPED_TRACE(command.front() + " " + command.back());
    const Outcome english = run(command, {"SOURCE_DATE_EPOCH=0", "LC_ALL=C", "LANG=C"});
    const Bytes englishFile = written();
    for (Args setting : settings) {
      SCOPED_TRACE(setting.front());
      setting.push_back("SOURCE_DATE_EPOCH=0");
      const Outcome other = run(command, setting);
      EXPECT_EQ(other.status, english.status);
      EXPECT_EQ(other.out, english.out);
      EXPECT_EQ(other.err, english.err);
      EXPECT_EQ(written(), englishFile);
    }
  }
}

// tavufe-sample takes clean numbers only, says why it refuses anything, and takes --name=value.
TEST(SampleToolTests, UsageErrorsSayWhyAndValuesMayFollowAnEqualsSign) {
  const fixture::TempDir dir;
  const std::string out = dir.file("s.shx");
  const std::string usage =
      "usage: tavufe-sample --format sbf|shx --output FILE [--full] [--flex-size BYTES]\n"
      "                     [--fbl] [--no-firmware] [--no-flex] [--no-dsp] [--no-language]\n"
      "                     [--seed N]\n"
      "       tavufe-sample --help\n";
  const std::vector<std::tuple<Args, int, std::string>> cases = {
      {{"--format", "shx", "--output", out, "--seed", "abc"},
       2,
       "--seed \"abc\" is not a whole number (decimal, or hexadecimal with 0x)"},
      {{"--format", "shx", "--output", out, "--flex-size", "20000xyz"},
       2,
       "--flex-size \"20000xyz\" is not a whole number (decimal, or hexadecimal with 0x)"},
      {{"--output", out}, 2, "--format is missing"},
      {{"--format", "sbf", "--output", out, "-x"}, 2, "unknown option \"-x\""},
      {{"--format=shx", "--output=" + out, "--seed=0x10", "--flex-size=16384"}, 0, ""}};
  for (const auto& [args, status, why] : cases) {
    SCOPED_TRACE(args.back());
    const Outcome run = runTavufe(dir, args, {}, {}, TAVUFE_SAMPLE_PATH);
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.err, why.empty() ? "" : "tavufe-sample: " + why + "\n" + usage);
    EXPECT_EQ(std::filesystem::exists(out), status == 0);
  }
}
