#include "app/core_text.h"

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>
#include <QStringList>

namespace tavufe {

std::string toCorePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString fromCoreText(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString decoded = utf8.decode(QByteArray::fromStdString(text));
  return utf8.hasError() ? QString::fromLatin1(text.data(), qsizetype(text.size())) : decoded;
}

QString fromCoreLines(const std::vector<std::string>& lines) {
  QStringList decoded;
  decoded.reserve(qsizetype(lines.size()));
  for (const std::string& line : lines) decoded.append(fromCoreText(line));
  return decoded.join(QLatin1Char('\n'));
}

}  // namespace tavufe
