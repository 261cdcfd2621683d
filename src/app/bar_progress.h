#pragma once

#include "model/progress.h"

class QProgressBar;

namespace tavufe {

// The core's progress reports shown on the window's progress bar.
class BarProgress final : public Progress {
 public:
  explicit BarProgress(QProgressBar& bar) : bar_(bar) {}
  void setMaximum(int maximum) override;
  void step() override;
  void setPosition(int position) override;

 private:
  QProgressBar& bar_;
};

}  // namespace tavufe
