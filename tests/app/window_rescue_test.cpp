// A damaged backup in the window: the Rescue button of the failed-open box and File > Rescue,
// and what a rescued document shows and allows. The damage is laid into the sample byte by byte.

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QToolBar>
#include <algorithm>
#include <cstdlib>

#include "app_test_support.h"

using namespace apptest;
using tavufe::SaveType;

namespace {

constexpr std::size_t kHeaderSize = 8172;

// The sample's code groups in file order: 0 RAMDLD, 1 firmware, 2 Flex, 3 DSP, 4 language pack.
enum Group : std::size_t { kRamdld, kFirmware, kFlex, kDsp, kLanguagePack };

// A damaged sample and the place of its damage: a line of its text (the first after the
// header block is line 1) or a byte offset.
struct Damaged {
  fixture::Bytes file;
  std::uint64_t place = 0;
};

// The SHX sample with a hex digit of the second data line of `group` turned to 'G' (the first
// places the group, which is another kind of damage).
Damaged shxWithBadLine(std::size_t group) {
  const sample::CodeGroup g = sample::codeGroups({}).at(group);
  Damaged damaged{sample::makeShx({})};
  fixture::Bytes& file = damaged.file;
  const std::string lines = fixture::s3Lines(g.start, g.data);
  const std::size_t second = lines.find("\r\n") + 2;
  const std::string line = lines.substr(second, lines.find("\r\n", second) - second);
  const auto found = std::search(file.begin() + kHeaderSize, file.end(), line.begin(), line.end());
  EXPECT_NE(found, file.end());
  found[14] = 'G';  // a data digit: the line's sum cannot be read
  damaged.place = 1 + std::uint64_t(std::count(file.begin() + kHeaderSize, found, '\n'));
  return damaged;
}

// The SBF sample with the start marker of the record of `group` broken.
Damaged sbfWithBadRecord(std::size_t group) {
  const auto groups = sample::codeGroups({});
  Damaged damaged{sample::headerFor(groups).bytes()};
  for (std::size_t k = 0; k < groups.size(); ++k) {
    fixture::Bytes record = fixture::sbfRecord(groups[k].start, groups[k].data);
    if (k == group) {
      damaged.place = damaged.file.size();
      record[3] ^= 0x40;
    }
    fixture::append(damaged.file, record);
  }
  return damaged;
}

QString hex8(std::uint64_t value) {
  return QString("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

// SOURCE_DATE_EPOCH for one test, so that two saves write the same header date.
class FixedSaveDate {
 public:
  FixedSaveDate() { qputenv("SOURCE_DATE_EPOCH", "1800000000"); }
  ~FixedSaveDate() { qunsetenv("SOURCE_DATE_EPOCH"); }
};

}  // namespace

class RescueTest : public WindowTest {
 protected:
  QString saveButtonTip() const {
    const auto* bar = window->findChild<QToolBar*>("fileToolBar");
    return bar->widgetForAction(action("saveAction"))->toolTip();
  }
};

// The failed open offers Rescue; taking it opens the same file again with a rescue read. Damage
// in a group a save drops leaves Save on; damage in the Flex turns it off, and its tips say why.
TEST_F(RescueTest, RescueButtonOfTheFailedOpenBoxOpensTheRescuedDocument) {
  start();
  const QString saveTip = action("saveAction")->toolTip();
  struct Case {
    std::string name;
    Damaged damaged;
    QString status;
    QString refusal;  // empty where Save stays on
    int folders = int(kListedFolders.size());
  };
  const Damaged badFlexLine = shxWithBadLine(kFlex);
  const Damaged badFlexRecord = sbfWithBadRecord(kFlex);
  const Damaged badRamdldLine = shxWithBadLine(kRamdld);
  const std::vector<Case> cases = {
      {"firmware.shx",
       shxWithBadLine(kFirmware),
       "Rescued: 1 damaged line in Firmware; the RAMDLD and the Flex are sound",
       {}},
      {"flex.shx", badFlexLine,
       "Rescued: 1 damaged line in Flex; the Flex is damaged: nothing can be saved",
       "Nothing can be saved: the Flex is damaged, first at flex.shx:" +
           QString::number(badFlexLine.place)},
      {"flex.sbf", badFlexRecord,
       "Rescued: 1 damaged record in Flex; the Flex is damaged: nothing can be saved",
       "Nothing can be saved: the Flex is damaged, first at flex.sbf:" + hex8(badFlexRecord.place),
       0},  // the Flex's one record is lost whole
      {"ramdld.shx", badRamdldLine,
       "Rescued: 1 damaged line in RAMDLD; the RAMDLD is damaged: nothing can be saved",
       "Nothing can be saved: the RAMDLD is damaged, first at ramdld.shx:" +
           QString::number(badRamdldLine.place)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = writeFile(c.name, c.damaged.file);
    dialogs.messages.clear();
    dialogs.rescueOffers = 0;
    dialogs.rescueAnswer = true;
    openFromDialog(path);
    EXPECT_EQ(dialogs.rescueOffers, 1);
    // The plain open's box: a damaged line's sum cannot be read, a broken record not framed.
    EXPECT_EQ(dialogs.messages, QStringList({QString::fromStdString(c.name).endsWith(".shx")
                                                 ? "WARNING: Checksum Error"
                                                 : "WARNING: Record Error"}));
    EXPECT_EQ(pathEdit()->path(), path);
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(c.name) + "[*] [rescued]");
    EXPECT_EQ(statusLine(), c.status);
    EXPECT_EQ(folderTable()->rowCount(), c.folders);
    const bool saves = c.refusal.isEmpty();
    EXPECT_EQ(action("saveAction")->isEnabled(), saves);
    EXPECT_EQ(action("reviewAction")->isEnabled(), saves);
    EXPECT_EQ(folderTable()->isEnabled(), saves);
    EXPECT_EQ(action("saveAction")->toolTip(), saves ? saveTip : c.refusal);
    EXPECT_EQ(saveButtonTip(), saves ? saveTip : c.refusal);
    if (!saves) {
      EXPECT_EQ(action("saveAction")->statusTip(), c.refusal);
      QTest::keySequence(window.get(), QKeySequence::Save);
      EXPECT_TRUE(dialogs.saveRequests.isEmpty());
    }
  }
  // A sound file opened next is no longer marked, and Save has its own tips back.
  openFromDialog(writeSample("sound.shx"));
  EXPECT_EQ(window->windowTitle(), "sound.shx[*]");
  EXPECT_EQ(statusLine(), QString());
  EXPECT_EQ(action("saveAction")->toolTip(), saveTip);
  EXPECT_TRUE(action("saveAction")->isEnabled());
}

// OK in the box opens nothing; a header block that fails is not offered a rescue, which could
// not read it either; nor is a file the system would not give.
TEST_F(RescueTest, RescueIsOfferedOnlyWhereItCanGetFurther) {
  start();
  const fixture::Bytes sound = sample::makeShx({});
  const fixture::Bytes shortHeader(sound.begin(), sound.begin() + 5000);
  const std::vector<std::tuple<std::string, fixture::Bytes, int>> cases = {
      {"firmware.shx", shxWithBadLine(kFirmware).file, 1},
      {"short.shx", shortHeader, 0},
      {"empty.sbf", {}, 0},
  };
  for (const auto& [name, bytes, offers] : cases) {
    SCOPED_TRACE(name);
    dialogs.rescueOffers = 0;
    dialogs.messages.clear();
    openFromDialog(writeFile(name, bytes));
    EXPECT_EQ(dialogs.rescueOffers, offers);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(window->windowTitle(), "Tavu Flex Editor");
  }
}

// File > Rescue reads a file picked fresh: a damaged one without a box first, a sound one as a
// plain open reads it, and one whose header block fails with the plain box, not a second offer.
TEST_F(RescueTest, FileRescueReadsAFilePickedFresh) {
  start();
  const fixture::Bytes sound = sample::makeSbf({});
  const std::vector<std::tuple<std::string, fixture::Bytes, QString>> cases = {
      {"lang.shx", shxWithBadLine(kLanguagePack).file,
       "Rescued: 1 damaged line in Language Pack; the RAMDLD and the Flex are sound"},
      {"sound.sbf", sound, "Rescued: no damage found; the RAMDLD and the Flex are sound"},
      {"short.sbf", fixture::Bytes(sound.begin(), sound.begin() + 12), {}},
  };
  for (const auto& [name, bytes, status] : cases) {
    SCOPED_TRACE(name);
    dialogs.messages.clear();
    const QString path = writeFile(name, bytes);
    dialogs.openAnswer = path;
    action("rescueAction")->trigger();
    EXPECT_EQ(dialogs.rescueOffers, 0);
    if (status.isEmpty()) {
      EXPECT_EQ(dialogs.messages, QStringList({"WARNING: Record Error"}));
      EXPECT_EQ(window->windowTitle(), "Tavu Flex Editor");
      continue;
    }
    EXPECT_EQ(dialogs.messages, QStringList());
    EXPECT_EQ(statusLine(), status);
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(name) + "[*] [rescued]");
    EXPECT_EQ(column(*folderTable(), 1), kListedFolders);
    EXPECT_TRUE(action("saveAction")->isEnabled());
  }
}

// A rescued document is edited, reviewed and saved as the sound file is: the same bytes, and the
// saved file is then shown as a plain open reads it.
TEST_F(RescueTest, ARescuedDocumentReviewsAndSavesAsTheSoundFileDoes) {
  const FixedSaveDate fixedDate;
  start();
  openFromDialog(writeSample("sound.shx"));
  clickFolder(0);
  clickDelete();
  const QString soundSave = q(dir.file("sound-edited.shx"));
  save(soundSave, SaveType::Shx);

  dialogs.openAnswer = writeFile("damaged.shx", shxWithBadLine(kFirmware).file);
  action("rescueAction")->trigger();
  clickFolder(0);
  clickDelete();
  EXPECT_EQ(window->windowTitle(), "damaged.shx[*] [rescued]");
  EXPECT_TRUE(window->isWindowModified());
  dialogs.texts.clear();
  action("reviewAction")->trigger();
  ASSERT_EQ(dialogs.texts.size(), 1);
  EXPECT_TRUE(dialogs.texts[0].startsWith("Review Changes \u2014 damaged.shx\n"));
  EXPECT_TRUE(dialogs.texts[0].contains("audio")) << dialogs.texts[0].toStdString();
  // The firmware's damage lies in a group the save drops: it asks nothing, as the page and
  // tavufe --rescue do not.
  const QString rescuedSave = q(dir.file("damaged-edited.shx"));
  save(rescuedSave, SaveType::Shx);
  EXPECT_EQ(dialogs.damagedSaveQuestions.size(), 0);
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_EQ(fixture::readFile(rescuedSave.toStdString()),
            fixture::readFile(soundSave.toStdString()));
  EXPECT_EQ(window->windowTitle(), "damaged-edited.shx[*]");
  EXPECT_EQ(statusLine(), "Saved to " + rescuedSave);
}

TEST(RescueBoxTests, RescueSaysWhatItDoesBesideOk) {
  const auto box = tavufe::makeRescueBox(nullptr, "WARNING", "Record Error", "bad.shx:12: cause");
  EXPECT_EQ(box->informativeText(),
            "bad.shx:12: cause\n\nRescue reads past the damaged lines and keeps the code "
            "groups that are whole.");
  QStringList buttons;
  for (const QAbstractButton* button : box->buttons()) buttons.append(button->text());
  buttons.sort();
  EXPECT_EQ(buttons, QStringList({"&Rescue", "OK"}));
  EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
}
