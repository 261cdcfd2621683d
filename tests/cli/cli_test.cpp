// Runs the built tavufe as a separate process on superfiles laid out byte by byte, and checks
// its standard output, standard error, exit status and the files it writes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "superfile_fixture.h"

extern char** environ;

namespace {

using fixture::Bytes;


struct Outcome {
  int status = -1;  // exit status; -1 when the process did not exit by itself
  std::string out;
  std::string err;
};

std::string readText(const std::string& path) {
  const Bytes bytes = fixture::readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

// Standard output and error go to files, so a large output cannot block the child. The
// environment is the test's own without SOURCE_DATE_EPOCH, plus `env`.
Outcome runTavufe(const fixture::TempDir& dir, const std::vector<std::string>& args,
                  const std::vector<std::string>& env = {}, std::string outPath = {}) {
  const bool captureOut = outPath.empty();
  if (captureOut) outPath = dir.file("stdout.txt");
  const std::string errPath = dir.file("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);

  std::vector<std::string> argStrings = {TAVUFE_CLI_PATH};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  std::vector<std::string> envStrings;
  for (char** e = environ; *e != nullptr; ++e) {
    if (!std::string_view(*e).starts_with("SOURCE_DATE_EPOCH=")) envStrings.emplace_back(*e);
  }
  envStrings.insert(envStrings.end(), env.begin(), env.end());
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);

  Outcome run;
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, TAVUFE_CLI_PATH, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    ADD_FAILURE() << "cannot start " << TAVUFE_CLI_PATH << ": " << std::strerror(rc);
    return run;
  }
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wstatus)) run.status = WEXITSTATUS(wstatus);
  if (captureOut) run.out = readText(outPath);
  run.err = readText(errPath);
  return run;
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }


constexpr std::uint32_t kRamdldAddress = 0x03FC8000;
constexpr std::uint32_t kFlexAddress = 0x11280000;  // where the device profile expects it
constexpr std::size_t kFlexSize = 0x1000;

struct Group {
  int cgNumber;
  std::uint32_t start;
  Bytes data;
  std::optional<std::uint16_t> headerChecksum;  // the true sum unless given
};

Bytes makeRamdld() {
  Bytes b = fixture::pattern(64, 7);
  b[9] = 0x0C;  // platform code 0x0C02
  b[10] = 0x02;
  b[14] = 0x0A;  // version word
  b[15] = 0x1B;
  return b;
}

// 00 00 04 05 | 02 04 00 07 | FF FF FF FF | 14 bytes | name as 00 c pairs | 00 00
void putFolderRecord(Bytes& flex, std::size_t at, std::string_view name) {
  const std::uint8_t head[12] = {0x00, 0x00, 0x04, 0x05, 0x02, 0x04,
                                 0x00, 0x07, 0xFF, 0xFF, 0xFF, 0xFF};
  std::copy(std::begin(head), std::end(head), flex.begin() + std::ptrdiff_t(at));
  std::fill_n(flex.begin() + std::ptrdiff_t(at + 12), 14, 0x00);
  std::size_t p = at + 26;
  for (char c : name) {
    flex[p++] = 0x00;
    flex[p++] = std::uint8_t(c);
  }
  flex[p++] = 0x00;
  flex[p] = 0x00;
}

// 55 55 .. .. | 01 00 01 00 | 00 00 01 01 | 20 bytes | text from +32, zero-terminated
void putFlexVersion(Bytes& flex, std::size_t at, std::string_view text) {
  const std::uint8_t head[12] = {0x55, 0x55, 0x00, 0x00, 0x01, 0x00,
                                 0x01, 0x00, 0x00, 0x00, 0x01, 0x01};
  std::copy(std::begin(head), std::end(head), flex.begin() + std::ptrdiff_t(at));
  std::fill_n(flex.begin() + std::ptrdiff_t(at + 12), 20, 0x00);
  std::copy(text.begin(), text.end(), flex.begin() + std::ptrdiff_t(at + 32));
  flex[at + 32 + text.size()] = 0x00;
}

// Records at 0x200 and 0x400 share a name: an open erases the second one.
Bytes makeFlex() {
  Bytes b = fixture::pattern(kFlexSize, 3);
  putFolderRecord(b, 0x200, "Skins");
  putFolderRecord(b, 0x400, "Skins");
  putFolderRecord(b, 0x600, "Themes");
  putFolderRecord(b, 0x800, "Wallpaper");
  putFlexVersion(b, 0xC00, "R34X_FLEX_01");
  return b;
}

// What the erase of the record at `at` does: 5 bytes from 261 before it, then 4 before it to
// 163 after it, all set to 0xFF.
void eraseRecord(Bytes& flex, std::size_t at) {
  std::fill(flex.begin() + std::ptrdiff_t(at - 261), flex.begin() + std::ptrdiff_t(at - 256), 0xFF);
  std::fill(flex.begin() + std::ptrdiff_t(at - 4), flex.begin() + std::ptrdiff_t(at + 164), 0xFF);
}

std::vector<Group> standardGroups() {
  return {{0, kRamdldAddress, makeRamdld(), 0x1234}, {2, kFlexAddress, makeFlex(), std::nullopt}};
}

fixture::Header headerFor(const std::vector<Group>& groups) {
  fixture::Header header;
  header.standardTexts();
  for (const Group& g : groups) {
    fixture::Entry e;
    e.start = g.start;
    e.end = g.start + std::uint32_t(g.data.size()) - 1;
    std::copy_n(g.data.begin(), 16, e.headerBytes.begin());
    e.checksum = g.headerChecksum.value_or(fixture::sum16(g.data));
    e.code = (g.cgNumber == 0 || g.cgNumber == 256) ? 0 : 8;
    header.entry(fixture::Header::indexOf(g.cgNumber), e);
  }
  return header;
}

Bytes makeSbf(const std::vector<Group>& groups) {
  Bytes file = headerFor(groups).bytes();
  for (const Group& g : groups) fixture::append(file, fixture::sbfRecord(g.start, g.data));
  return file;
}

Bytes makeShx(const std::vector<Group>& groups) {
  Bytes file = headerFor(groups).bytes();
  for (const Group& g : groups) {
    fixture::append(file, fixture::kS0Line);
    fixture::append(file, fixture::s3Lines(g.start, g.data));
    fixture::append(file, fixture::kS7Line);
  }
  return file;
}

std::string hex(std::uint32_t value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, value);
  return buf;
}

// The "CG Header Info" cell: 16 bytes in four groups of four, two spaces between groups.
std::string headerInfo(const Bytes& data) {
  std::string text;
  for (std::size_t k = 0; k < 16; ++k) {
    if (k > 0 && k % 4 == 0) text += "  ";
    text += hex(data[k], 2);
  }
  return text;
}

Bytes slice(const Bytes& b, std::size_t at, std::size_t size) {
  return Bytes(b.begin() + std::ptrdiff_t(at), b.begin() + std::ptrdiff_t(at + size));
}

const std::string kUsage =
    "usage: tavufe info FILE [--input-type sbf|shx]\n"
    "       tavufe folders FILE [--keep-repeated] [--input-type sbf|shx]\n"
    "       tavufe save FILE -o OUT [--type shx|sbf|smg|bin] [--delete-row K]... "
    "[--keep-repeated] [--input-type sbf|shx]\n"
    "       tavufe --help | --version\n";

const std::string kFolderTitles = "#\tSkin Folder\tCG2 Location\n";

class CliTest : public ::testing::Test {
 protected:
  std::string write(std::string_view name, const Bytes& bytes) {
    const std::string path = dir.file(name);
    fixture::writeFile(path, bytes);
    return path;
  }
  std::string standardSbf(std::string_view name = "in.sbf") {
    return write(name, makeSbf(standardGroups()));
  }
  Outcome run(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
    return runTavufe(dir, args, env);
  }

  fixture::TempDir dir;
};


TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
  const Outcome help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out.substr(0, kUsage.size()), kUsage);
  EXPECT_TRUE(help.out.ends_with("2 usage error.\n")) << help.out;

  const Outcome version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tavufe 1.00\n");
  EXPECT_EQ(version.err, "");
}

TEST_F(CliTest, UsageErrorsNameTheProblemAndExitWithTwo) {
  // None of these files exists: usage is checked before anything is opened.
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "no command given"},
      {{"list", "a.sbf"}, "unknown command 'list'"},
      {{"--frob"}, "unknown option '--frob'"},
      {{"--version", "x"}, "'--version' takes no other arguments"},
      {{"info"}, "missing FILE"},
      {{"info", "a.sbf", "b.sbf"}, "unexpected argument 'b.sbf'"},
      {{"info", "a.sbf", "--frob"}, "unknown option '--frob'"},
      {{"info", "a.sbf", "-x"}, "unknown option '-x'"},
      {{"info", "a.sbf", "--keep-repeated"}, "option '--keep-repeated' does not apply to 'info'"},
      {{"folders", "a.sbf", "--type", "sbf"}, "option '--type' does not apply to 'folders'"},
      {{"folders", "a.sbf", "-o", "x.sbf"}, "option '-o' does not apply to 'folders'"},
      {{"info", "a.sbf", "--input-type"}, "option '--input-type' needs a value"},
      {{"info", "a.sbf", "--input-type="}, "option '--input-type' needs a value"},
      {{"info", "a.sbf", "--input-type", "txt"},
       "invalid value 'txt' for '--input-type' (sbf or shx)"},
      {{"info", "a.sbf", "--input-type", "sbf", "--input-type=shx"},
       "option '--input-type' given more than once"},
      {{"folders", "a.sbf", "--keep-repeated=yes"}, "option '--keep-repeated' takes no value"},
      {{"save", "a.sbf"}, "missing -o OUT"},
      {{"save", "a.sbf", "-o"}, "option '-o' needs a value"},
      {{"save", "a.sbf", "-o", "--type", "sbf"}, "option '-o' needs a value"},
      {{"save", "a.sbf", "-o", "x.sbf", "-o", "y.sbf"}, "option '-o' given more than once"},
      {{"save", "a.sbf", "-o", "x.sbf", "--type", "sbf", "--type", "shx"},
       "option '--type' given more than once"},
      {{"save", "a.sbf", "-o", "x.sbf", "--type", "exe"},
       "invalid value 'exe' for '--type' (shx, sbf, smg or bin)"},
      {{"save", "a.sbf", "-o", "out.dat"},
       "cannot tell the type of 'out.dat' from its extension; give --type shx|sbf|smg|bin"},
      {{"save", "a.sbf", "-o", "out"},
       "cannot tell the type of 'out' from its extension; give --type shx|sbf|smg|bin"},
      {{"save", "a.sbf", "-o", "x.sbf", "--delete-row", "0"}, "row '0' is not a positive number"},
      {{"save", "a.sbf", "-o", "x.sbf", "--delete-row", "-1"}, "row '-1' is not a positive number"},
      {{"save", "a.sbf", "-o", "x.sbf", "--delete-row=1x"}, "row '1x' is not a positive number"},
      {{"save", "a.sbf", "-o", "x.sbf", "--delete-row", "+2"}, "row '+2' is not a positive number"},
      {{"save", "a.sbf", "-o", "x.sbf", "--delete-row"}, "option '--delete-row' needs a value"},
      {{"save", "a.sbf", "-o", "x.sbf", "--delete-row", "99999999999999999999"},
       "row '99999999999999999999' is beyond the folder list (at most 200 rows)"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tavufe: " + message + "\n" + kUsage);
  }
}

TEST_F(CliTest, DoubleDashEndsTheOptions) {
  const Outcome r = run({"info", "--", "-weird.sbf"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "WARNING: File Not Opened\n");
}


TEST_F(CliTest, FilesThatCannotBeReadGiveFileNotOpened) {
  write("empty.shx", {});
  std::filesystem::create_directory(dir.file("folder.sbf"));
  for (const std::string& path :
       {dir.file("missing.sbf"), dir.file("empty.shx"), dir.file("folder.sbf")}) {
    SCOPED_TRACE(path);
    for (const char* command : {"info", "folders"}) {
      const Outcome r = run({command, path});
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "WARNING: File Not Opened\n");
    }
  }
}

TEST_F(CliTest, OnlyExactLowerCaseExtensionsChooseAReader) {
  const Bytes sbf = makeSbf(standardGroups());
  for (const char* name : {"in.SBF", "in.Shx", "in.txt", "in", "in.sbf.bak"}) {
    SCOPED_TRACE(name);
    const std::string path = write(name, sbf);
    const Outcome r = run({"info", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "NOTICE: File Type Not Supported\n");
    // The refusal comes before the file is read, as in the window: a missing file too.
    const Outcome save = run({"save", path + ".none", "-o", dir.file("out.sbf")});
    EXPECT_EQ(save.err, "NOTICE: File Type Not Supported\n");
    EXPECT_FALSE(exists(dir.file("out.sbf")));
  }
}

TEST_F(CliTest, InputTypeOverridesTheExtension) {
  const std::string sbf = write("backup.bin", makeSbf(standardGroups()));
  const std::string shx = write("backup.SHX", makeShx(standardGroups()));
  const Outcome a = run({"folders", sbf, "--input-type", "sbf"});
  EXPECT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out,
            kFolderTitles + "1\tSkins\t00000200\n2\tThemes\t00000600\n3\tWallpaper\t00000800\n");
  const Outcome b = run({"folders", "--input-type=shx", shx});
  EXPECT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(b.out, a.out);
  // The type named wins over an extension that names the other one.
  const std::string wrong = write("really-sbf.shx", makeSbf(standardGroups()));
  EXPECT_EQ(run({"folders", wrong, "--input-type", "sbf"}).out, a.out);
}

TEST_F(CliTest, DamagedSuperfilesGiveTheReadersWarnings) {
  auto groups = standardGroups();
  const Bytes good = makeSbf(groups);

  Bytes stray = good;
  stray.push_back(0x00);

  Bytes badStart = good;
  badStart[8172] = 0x07;

  // The Flex record carries one byte less than the header's range.
  Bytes shortFile = headerFor(groups).bytes();
  fixture::append(shortFile, fixture::sbfRecord(kRamdldAddress, groups[0].data));
  fixture::append(shortFile, fixture::sbfRecord(kFlexAddress, slice(groups[1].data, 0, 0xFFF)));

  // A Flex record below the flash window.
  Bytes lowAddress = headerFor(groups).bytes();
  fixture::append(lowAddress, fixture::sbfRecord(kRamdldAddress, groups[0].data));
  fixture::append(lowAddress, fixture::sbfRecord(0x0FFF0000, groups[1].data));

  // A RAMDLD range of 0x30001 bytes in the header.
  fixture::Header longRamdld = headerFor(groups);
  fixture::Entry e;
  e.start = kRamdldAddress;
  e.end = kRamdldAddress + 0x30000;
  longRamdld.entry(0, e);
  Bytes longRamdldFile = longRamdld.bytes();
  fixture::append(longRamdldFile, fixture::sbfRecord(kRamdldAddress, groups[0].data));

  // A record that would end one byte past the image.
  Bytes pastImage = headerFor(groups).bytes();
  fixture::append(pastImage, fixture::sbfRecord(kRamdldAddress, groups[0].data));
  fixture::append(pastImage, fixture::sbfRecord(0x13FFFFF0, fixture::pattern(0x30011, 5)));

  const std::vector<std::pair<std::string, Bytes>> cases = {
      {"Record Error", stray},
      {"Record Error", badStart},
      {"Address Range", shortFile},
      {"Address Range", lowAddress},
      {"Buffer Address Overflow", longRamdldFile},
      {"Buffer Address Overflow", pastImage},
  };
  for (const auto& [text, bytes] : cases) {
    SCOPED_TRACE(text);
    const std::string path = write("bad.sbf", bytes);
    for (const char* command : {"info", "folders"}) {
      const Outcome r = run({command, path});
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "WARNING: " + text + "\n");
    }
    const Outcome save = run({"save", path, "-o", dir.file("out.sbf")});
    EXPECT_EQ(save.status, 1);
    EXPECT_EQ(save.err, "WARNING: " + text + "\n");
    EXPECT_FALSE(exists(dir.file("out.sbf")));
  }
}

TEST_F(CliTest, DamagedShxFilesGiveTheReadersWarnings) {
  const auto groups = standardGroups();
  const Bytes header = headerFor(groups).bytes();
  const std::string ramdldLines = fixture::s3Lines(kRamdldAddress, groups[0].data);
  std::string flexLines = fixture::s3Lines(kFlexAddress, groups[1].data);

  std::string badSum = flexLines;
  const std::size_t lineEnd = badSum.find("\r\n", 144);  // end of the second line
  badSum[lineEnd - 1] = badSum[lineEnd - 1] == '0' ? '1' : '0';

  auto shx = [&](const std::string& text) {
    Bytes b = header;
    fixture::append(b, text);
    return b;
  };
  const std::string s0(fixture::kS0Line), s7(fixture::kS7Line);
  const std::vector<std::pair<std::string, Bytes>> cases = {
      {"Checksum Error", shx(s0 + ramdldLines + s7 + s0 + badSum + s7)},
      {"Record Error", shx(s0 + ramdldLines + s7 + s0 + flexLines)},
      {"Address Range",
       shx(s0 + ramdldLines + s7 + s0 + fixture::s3Lines(0x14000000, groups[1].data) + s7)},
  };
  for (const auto& [text, bytes] : cases) {
    SCOPED_TRACE(text);
    const std::string path = write("bad.shx", bytes);
    const Outcome r = run({"info", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "WARNING: " + text + "\n");
  }
}


std::string gridRows(const std::vector<Group>& groups) {
  const Group& rdl = groups[0];
  const Group& flex = groups[1];
  return "CG\tName\tStart Addr\tEnd Addr\tCG Header Info\tSize\tCkbuf\tCkhdr\tCode\n"
         "RDL\tRAMDLD\t03FC8000\t03FC803F\t" +
         headerInfo(rdl.data) + "\t64\t" + hex(fixture::sum16(rdl.data), 4) +
         "\t1234\t0000\n"
         "2\tFlex\t11280000\t11280FFF\t" +
         headerInfo(flex.data) + "\t4,096\t" + hex(fixture::sum16(flex.data), 4) + "\t" +
         hex(fixture::sum16(flex.data), 4) + "\t0008\n";
}

std::string reportLines(const std::string& fileLine) {
  return "HEADER INFO: P2K Superfile\n"
         "CSF Protected Superfile Generated by TavuFE 1.00\n"
         "Date: Mon December 07 10:00:00 2026\n" +
         fileLine +
         "\n"
         "Platform: GSM Neptune LTE\n"
         "Firmware: Not Found\n"
         "Flex: R34X_FLEX_01\n"
         "RDL: 0A1B\n"
         "Language: Not Found\n"
         "\n";
}

TEST_F(CliTest, InfoPrintsTheReportAndTheReducedGrid) {
  // A language pack between the RAMDLD and the Flex is read, then dropped from the grid.
  auto groups = standardGroups();
  Bytes language = fixture::pattern(32, 9);
  language[18] = 0x12;
  language[19] = 0x34;
  auto withLanguage = groups;
  withLanguage.push_back({4, 0x11100000, language, std::nullopt});
  const Bytes sbf = makeSbf(withLanguage);
  ASSERT_EQ(sbf.size(), 12451u);
  const Outcome r = run({"info", write("in.sbf", sbf)});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::string expected = reportLines("File: 12,451 Bytes") + gridRows(groups);
  const std::string language0 = "Language: Not Found\n";
  expected.replace(expected.find(language0), language0.size(), "Language: 1234\n");
  EXPECT_EQ(r.out, expected);
}

TEST_F(CliTest, InfoReadsShxLikeSbf) {
  const Bytes shx = makeShx(standardGroups());
  ASSERT_EQ(shx.size(), 17600u);
  const Outcome r = run({"info", write("in.shx", shx)});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, reportLines("File: 17,600 Bytes") + gridRows(standardGroups()));
}


TEST_F(CliTest, FoldersEraseARepeatedNameUnlessKept) {
  const std::string path = standardSbf();
  const Outcome erased = run({"folders", path});
  EXPECT_EQ(erased.status, 0);
  EXPECT_EQ(erased.err, "");
  EXPECT_EQ(erased.out,
            kFolderTitles + "1\tSkins\t00000200\n2\tThemes\t00000600\n3\tWallpaper\t00000800\n");

  const Outcome kept = run({"folders", path, "--keep-repeated", "--keep-repeated"});
  EXPECT_EQ(kept.status, 0);
  EXPECT_EQ(kept.out, kFolderTitles +
                          "1\tSkins\t00000200\n2\tSkins\t00000400\n3\tThemes\t00000600\n"
                          "4\tWallpaper\t00000800\n");
}

TEST_F(CliTest, RepeatedNamesStayWhenTheFlexIsNotAtItsUsualAddress) {
  auto groups = standardGroups();
  groups[1].start = 0x11300000;
  const Outcome r = run({"folders", write("moved.sbf", makeSbf(groups))});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kFolderTitles +
                       "1\tSkins\t00000200\n2\tSkins\t00000400\n3\tThemes\t00000600\n"
                       "4\tWallpaper\t00000800\n");
}


TEST_F(CliTest, SaveErasesTheRowsAsFoldersNumbersThem) {
  const std::string in = standardSbf();
  const Bytes flex = makeFlex();

  // Row 2 of the default list is Themes; the repeated Skins record goes as well.
  const std::string out = dir.file("out.smg");
  const Outcome r = run({"save", in, "-o", out, "--delete-row", "2"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  Bytes expected = flex;
  eraseRecord(expected, 0x400);
  eraseRecord(expected, 0x600);
  const Bytes saved = fixture::readFile(out);
  EXPECT_EQ(saved, expected);
  // Around the Themes record only its four FF marker bytes were 0xFF before.
  auto erasedAroundThemes = [](const Bytes& b) {
    return std::count(b.begin() + 0x600 - 261, b.begin() + 0x600 + 164, 0xFF);
  };
  EXPECT_EQ(erasedAroundThemes(flex), 4);
  ASSERT_EQ(saved.size(), kFlexSize);
  EXPECT_EQ(erasedAroundThemes(saved), 173);

  // With the repeat kept, row 2 is the second Skins record and Themes stays.
  const Outcome kept = run({"save", in, "-o", out, "--keep-repeated", "--delete-row", "2"});
  EXPECT_EQ(kept.status, 0) << kept.err;
  expected = flex;
  eraseRecord(expected, 0x400);
  EXPECT_EQ(fixture::readFile(out), expected);
}

TEST_F(CliTest, AllRowsReferToOneListing) {
  const std::string in = standardSbf();
  const std::string out = dir.file("out.bin");
  // Erased one after the other with a rescan, row 3 would no longer be Wallpaper.
  const Outcome r = run({"save", in, "-o", out, "--delete-row", "1", "--delete-row=3"});
  EXPECT_EQ(r.status, 0) << r.err;
  Bytes expected = makeFlex();
  eraseRecord(expected, 0x200);
  eraseRecord(expected, 0x400);
  eraseRecord(expected, 0x800);
  EXPECT_EQ(fixture::readFile(out), expected);

  const Outcome again =
      run({"save", in, "-o", out, "--delete-row", "3", "--delete-row", "1", "--delete-row", "3"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(fixture::readFile(out), expected);
}

TEST_F(CliTest, SavedSuperfilesReadBackWithoutTheErasedRecords) {
  const std::string in = standardSbf();
  const Bytes ramdld = makeRamdld();
  Bytes flex = makeFlex();
  eraseRecord(flex, 0x400);
  eraseRecord(flex, 0x600);

  const std::string sbf = dir.file("out.sbf");
  const Outcome r = run({"save", in, "-o", sbf, "--delete-row", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  const Bytes saved = fixture::readFile(sbf);
  ASSERT_EQ(saved.size(), 8172u + (64 + 29) + (kFlexSize + 29));
  const std::size_t flexRecord = 8172 + 64 + 29;
  EXPECT_EQ(slice(saved, flexRecord, 17), slice(fixture::sbfRecord(kFlexAddress, flex), 0, 17));
  EXPECT_EQ(slice(saved, flexRecord + 17, kFlexSize), flex);
  EXPECT_EQ(slice(saved, 8172, 17), slice(fixture::sbfRecord(kRamdldAddress, ramdld), 0, 17));
  EXPECT_EQ(slice(saved, 8172 + 17, 64), ramdld);

  const std::string listing = kFolderTitles + "1\tSkins\t00000200\n2\tWallpaper\t00000800\n";
  EXPECT_EQ(run({"folders", sbf, "--keep-repeated"}).out, listing);

  // The type follows OUT's extension whatever its case; reading it back needs the type named.
  const std::string shx = dir.file("out.SHX");
  const Outcome s = run({"save", in, "-o", shx, "--delete-row", "2"});
  EXPECT_EQ(s.status, 0) << s.err;
  const Bytes shxBytes = fixture::readFile(shx);
  ASSERT_GT(shxBytes.size(), 8172u + 18);
  EXPECT_EQ(std::string(shxBytes.begin() + 8172, shxBytes.begin() + 8172 + 18), fixture::kS0Line);
  EXPECT_EQ(run({"folders", shx, "--keep-repeated", "--input-type", "shx"}).out, listing);
}

TEST_F(CliTest, TypeOptionWinsOverTheOutputExtension) {
  const std::string in = standardSbf();
  const std::string out = dir.file("named.shx");
  const Outcome r = run({"save", in, "-o", out, "--type", "sbf"});
  EXPECT_EQ(r.status, 0) << r.err;
  const Bytes saved = fixture::readFile(out);
  ASSERT_EQ(saved.size(), 8172u + (64 + 29) + (kFlexSize + 29));
  EXPECT_EQ(slice(saved, 8172, 9), (Bytes{0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x02, 0x01}));

  // SMG and BIN are the same bytes.
  const std::string smg = dir.file("flex.smg");
  const std::string bin = dir.file("flex.dat");
  EXPECT_EQ(run({"save", in, "-o", smg}).status, 0);
  EXPECT_EQ(run({"save", in, "-o", bin, "--type", "BIN"}).status, 0);
  EXPECT_EQ(fixture::readFile(smg), fixture::readFile(bin));
}

TEST_F(CliTest, SavingOverTheInputFileReplacesIt) {
  const std::string in = standardSbf();
  const Outcome r = run({"save", in, "-o", in, "--delete-row", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(run({"folders", in, "--keep-repeated"}).out,
            kFolderTitles + "1\tThemes\t00000600\n2\tWallpaper\t00000800\n");
}

TEST_F(CliTest, SourceDateEpochMakesSavesRepeatable) {
  const std::string in = standardSbf();
  const std::vector<std::string> env = {"SOURCE_DATE_EPOCH=1700000000"};
  for (const char* ext : {".sbf", ".shx"}) {
    SCOPED_TRACE(ext);
    const std::string first = dir.file(std::string("first") + ext);
    const std::string second = dir.file(std::string("second") + ext);
    ASSERT_EQ(run({"save", in, "-o", first}, env).status, 0);
    ASSERT_EQ(run({"save", in, "-o", second}, env).status, 0);
    const Bytes a = fixture::readFile(first);
    EXPECT_EQ(a, fixture::readFile(second));
    const std::string date = "Tue November 14 22:13:20 2023";
    ASSERT_GT(a.size(), 8172u);
    EXPECT_EQ(std::string(a.begin() + 320, a.begin() + 320 + std::ptrdiff_t(date.size() + 1)),
              date + '\0');
  }
}

TEST_F(CliTest, RowsThatDeleteSkinFolderWouldNotEraseAreRefused) {
  auto groups = standardGroups();
  putFolderRecord(groups[1].data, 0x000, "Root");  // the Flex's first byte
  const std::string in = write("root.sbf", makeSbf(groups));
  EXPECT_EQ(run({"folders", in}).out, kFolderTitles +
                                          "1\tRoot\t00000000\n2\tSkins\t00000200\n"
                                          "3\tThemes\t00000600\n4\tWallpaper\t00000800\n");
  const std::string out = dir.file("out.sbf");
  fixture::writeFile(out, std::string_view("old"));

  const Outcome root = run({"save", in, "-o", out, "--delete-row", "2", "--delete-row", "1"});
  EXPECT_EQ(root.status, 2);
  EXPECT_EQ(root.out, "");
  EXPECT_EQ(root.err,
            "tavufe: row 1 (\"Root\") cannot be erased: its record is not inside the Flex code "
            "group\n" + kUsage);
  EXPECT_EQ(readText(out), "old");

  const Outcome beyond = run({"save", in, "-o", out, "--delete-row", "5"});
  EXPECT_EQ(beyond.status, 2);
  EXPECT_EQ(beyond.err, "tavufe: row 5 is not in the folder list\n" + kUsage);
  EXPECT_EQ(readText(out), "old");

  // Row 5 exists only while the repeated record is kept.
  const Outcome kept = run({"save", in, "-o", out, "--keep-repeated", "--delete-row", "5"});
  EXPECT_EQ(kept.status, 0) << kept.err;
}

TEST_F(CliTest, WithoutFlexTheFileIsShownButNotSaved) {
  const Group rdl = standardGroups()[0];
  const std::string in = write("rdl.sbf", makeSbf({rdl}));
  const Outcome info = run({"info", in});
  EXPECT_EQ(info.status, 0);
  EXPECT_NE(info.out.find("Flex: Not Found\n"), std::string::npos) << info.out;
  EXPECT_TRUE(info.out.ends_with("\nRDL\tRAMDLD\t03FC8000\t03FC803F\t" + headerInfo(rdl.data) +
                                 "\t64\t" + hex(fixture::sum16(rdl.data), 4) + "\t1234\t0000\n"))
      << info.out;
  EXPECT_EQ(run({"folders", in}).out, kFolderTitles);

  for (const char* name : {"out.sbf", "out.smg"}) {
    const Outcome r = run({"save", in, "-o", dir.file(name)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "NOTICE: No Flex Code Group\n");
    EXPECT_FALSE(exists(dir.file(name)));
  }
}

TEST_F(CliTest, SuperfileSavesRefuseABlankOrMissingRamdld) {
  auto blank = standardGroups();
  blank[0].data[14] = 0xFF;
  blank[0].data[15] = 0xFF;
  // Without a RAMDLD the FBL comes first and the Flex still lands in slot 1.
  auto missing = standardGroups();
  missing[0] = {256, 0x10000000, fixture::pattern(64, 11), std::nullopt};

  for (const auto& groups : {blank, missing}) {
    const std::string in = write("in.sbf", makeSbf(groups));
    const std::string out = dir.file("out.shx");
    fixture::writeFile(out, std::string_view("old"));
    for (const char* type : {"shx", "sbf"}) {
      SCOPED_TRACE(type);
      const Outcome r = run({"save", in, "-o", out, "--type", type});
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "WARNING: RDL Blank or Missing\n");
      EXPECT_EQ(readText(out), "old");
    }
    // The Flex alone needs no RAMDLD.
    const Outcome smg = run({"save", in, "-o", dir.file("flex.smg")});
    EXPECT_EQ(smg.status, 0) << smg.err;
    Bytes flex = makeFlex();
    eraseRecord(flex, 0x400);
    EXPECT_EQ(fixture::readFile(dir.file("flex.smg")), flex);
  }
}

TEST_F(CliTest, AnExportWhoseSlotsNoLongerMatchTheirBytesWritesNothing) {
  // No RAMDLD: the firmware comes first. A DSP laid over the firmware's range ends in erased
  // bytes, so the firmware is trimmed when read, and refreshing it before a save finds its
  // range changed. The window would export and then warn; the tool writes nothing.
  Bytes dsp(0x1000, 0xFF);
  std::fill_n(dsp.begin(), 0x100, 0x11);
  const std::vector<Group> groups = {{1, 0x10160000, Bytes(0x1000, 0x22), std::nullopt},
                                     {2, kFlexAddress, makeFlex(), std::nullopt},
                                     {3, 0x10160000, dsp, std::nullopt}};
  fixture::Header header = headerFor(groups);
  header.entry(3, {0x101600C8, 0x10160FFF, {}, 0, 8});  // the firmware's second entry
  Bytes file = header.bytes();
  for (const Group& g : groups) fixture::append(file, fixture::sbfRecord(g.start, g.data));
  const std::string in = write("stale.sbf", file);
  const std::string out = dir.file("flex.smg");
  fixture::writeFile(out, std::string_view("old"));

  const Outcome r = run({"save", in, "-o", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "WARNING: Address Range\n");
  EXPECT_EQ(readText(out), "old");
}

TEST_F(CliTest, AnOutputThatCannotBeCreatedGivesFileNotOpened) {
  const std::string in = standardSbf();
  for (const char* name : {"no/such/folder/out.sbf", "no/such/folder/out.smg"}) {
    const Outcome r = run({"save", in, "-o", dir.file(name)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "WARNING: File Not Opened\n");
  }
}

TEST_F(CliTest, AFailedWriteToStandardOutputIsNotASuccess) {
  if (!exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // Every write to /dev/full fails.
  const Outcome r = runTavufe(dir, {"info", standardSbf()}, {}, "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "tavufe: cannot write to standard output\n");
}

}  // namespace
