#pragma once

// Readable failure messages for Qt's strings. Every test file includes this, so that all of
// them print QString and QStringList the same way.

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << "{";
  for (const QString& s : list) *os << " \"" << s.toStdString() << "\"";
  *os << " }";
}
