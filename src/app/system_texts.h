#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <span>

#include "model/codes.h"

namespace tavufe {

// The core speaks English, which is what tavufe prints; the window shows the texts the system
// owns in the user's language from the same catalogue as its own. Values read from a file
// (names, versions, dates, hex digits) pass through untouched.
inline constexpr const char* kSystemTextContext = "tavufe::SystemTexts";

QString translatedStatus(StatusCode code);
QString translatedNotice(NoticeCode code);
// Grid headings, in their order.
QStringList translatedTitles(std::span<const char* const> titles);
// Report line `index` of buildReport's nine, with its label and a "Not Found", "Unknown" or
// "Bytes" translated; a line that does not carry its label is shown as it is.
QString translatedReportLine(std::size_t index, const QString& line);

}  // namespace tavufe
