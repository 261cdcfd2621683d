#include "app/core_texts.h"

#include <QCoreApplication>

#include "inspect/report.h"

namespace tavufe {

namespace {

// The core's texts as the catalogue lists them: lupdate cannot see inside the core, so they
// are named here. A test holds this list to the core's own tables.
[[maybe_unused]] const char* const kCoreTexts[] = {
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "File Not Opened"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Buffer Error"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Checksum Error"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Buffer Address Overflow"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Record Error"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Address Range"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "RDL Blank or Missing"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "File Write Error"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Verify Error"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "File Type Not Supported"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Duplicate CG"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "No File(s) Selected To Save"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "No Flex Code Group"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Save Would Drop Code Groups"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "HEADER INFO: "),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Date: "),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "File: "),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Platform: "),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Firmware: "),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Flex: "),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "RDL: "),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Language: "),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Not Found"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Unknown"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", " Bytes"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "#"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Skin Folder"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "CG2 Location"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "CG"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Name"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Start Addr"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "End Addr"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "CG Header Info"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Size"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Ckbuf"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Ckhdr"),
    QT_TRANSLATE_NOOP("tavufe::CoreTexts", "Code"),
};

QString translated(const char* text) {
  if (text == nullptr || *text == '\0') return {};
  return QCoreApplication::translate(kCoreTextContext, text);
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
