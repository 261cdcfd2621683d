#include "app/bar_progress.h"

#include <QProgressBar>
#include <algorithm>

namespace tavufe {

void BarProgress::setMaximum(int maximum) { bar_.setMaximum(std::max(maximum, 1)); }

// QProgressBar ignores a value outside its range; a reader that steps past the maximum
// should leave the bar full, not stuck.
void BarProgress::step() { setPosition(bar_.value() + 1); }

void BarProgress::setPosition(int position) {
  bar_.setValue(std::clamp(position, bar_.minimum(), bar_.maximum()));
}

}  // namespace tavufe
