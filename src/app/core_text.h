#pragma once

#include <QString>
#include <string>
#include <vector>

namespace tavufe {

// Paths are bytes in the file system's encoding; everything else the core returns is text from
// the file, which need not be UTF-8.
std::string toCorePath(const QString& path);
// The core's text as UTF-8 where it is valid, else as Latin-1, so that no byte is lost.
QString fromCoreText(const std::string& text);
// The core's lines, each decoded as fromCoreText does, one to a line.
QString fromCoreLines(const std::vector<std::string>& lines);

}  // namespace tavufe
