#pragma once

#include <QIcon>

namespace tavufe {

// The pictures of the tool buttons and the program. An empty icon when the SVG support of Qt
// is missing: the tool buttons then show their text instead.
QIcon programIcon();
QIcon openIcon();
QIcon saveIcon();
QIcon cutIcon();
QIcon undoIcon();

}  // namespace tavufe
