#include "app/system_texts.h"

#include <QCoreApplication>

#include "inspect/report.h"

namespace tavufe {

namespace {

// The core's texts as the catalogue lists them: lupdate cannot see inside the core, so they
// are named here. A test holds this list to the core's own tables.
[[maybe_unused]] const char* const kSystemTexts[] = {
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "File Not Opened"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Buffer Error"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Checksum Error"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Buffer Address Overflow"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Record Error"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Address Range"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "RDL Blank or Missing"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "File Write Error"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Verify Error"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "File Type Not Supported"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Duplicate CG"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "No File(s) Selected To Save"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "No Flex Code Group"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Save Would Drop Code Groups"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Damaged Code Group"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "HEADER INFO: "),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Date: "),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "File: "),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Platform: "),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Firmware: "),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Flex: "),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "RDL: "),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Language: "),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Not Found"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Unknown"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", " Bytes"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "#"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Skin Folder"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "CG2 Location"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "CG"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Name"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Start Addr"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "End Addr"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "CG Header Info"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Size"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Ckbuf"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Ckhdr"),
    QT_TRANSLATE_NOOP("tavufe::SystemTexts", "Code"),
};

QString translated(const char* text) {
  if (text == nullptr || *text == '\0') return {};
  return QCoreApplication::translate(kSystemTextContext, text);
}

}  // namespace

QString translatedStatus(StatusCode code) { return translated(statusText(code)); }

QString translatedNotice(NoticeCode code) { return translated(noticeText(code)); }

QStringList translatedTitles(std::span<const char* const> titles) {
  QStringList labels;
  for (const char* title : titles) labels.append(translated(title));
  return labels;
}

QString translatedReportLine(std::size_t index, const QString& line) {
  if (index >= kReportLabels.size()) return line;
  const QString label = QString::fromLatin1(kReportLabels[index]);
  // The generator's line is the file's text alone.
  if (label.isEmpty() || !line.startsWith(label)) return line;
  QString value = line.mid(label.size());
  const QString bytes = QString::fromLatin1(kReportBytes);
  // The header's own texts (the lines before the platform's) are the file's, whatever they say.
  if (index >= kReportPlatformLine && value == QLatin1String(kReportNotFound)) {
    value = translated(kReportNotFound);
  } else if (index == kReportPlatformLine && value == QLatin1String(kReportUnknownPlatform)) {
    value = translated(kReportUnknownPlatform);
  } else if (index == kReportFileLine && value.endsWith(bytes)) {
    value = value.chopped(bytes.size()) + translated(kReportBytes);
  }
  return translated(kReportLabels[index]) + value;
}

}  // namespace tavufe
