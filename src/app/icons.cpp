#include "app/icons.h"

#include <QImageReader>

// Resources compiled into a static library have to be registered by hand, outside any
// namespace.
static void registerIconResources() { Q_INIT_RESOURCE(icons); }

namespace tavufe {

namespace {

QIcon iconFrom(const char* path) {
  static const bool svgReadable = [] {
    registerIconResources();
    return QImageReader::supportedImageFormats().contains("svg");
  }();
  if (!svgReadable) return {};
  return QIcon(QString::fromLatin1(path));
}

}  // namespace

QIcon programIcon() { return iconFrom(":/icons/tavufe.svg"); }
QIcon openIcon() { return iconFrom(":/icons/open.svg"); }
QIcon saveIcon() { return iconFrom(":/icons/save.svg"); }
QIcon cutIcon() { return iconFrom(":/icons/cut.svg"); }
QIcon undoIcon() { return iconFrom(":/icons/undo.svg"); }

}  // namespace tavufe
