#pragma once

namespace tavufe {

// The bar of an open or a save runs to this many steps, whichever front end shows it.
inline constexpr int kProgressSteps = 20;

// How the core reports progress to a front end; the default does nothing.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void setMaximum(int /*maximum*/) {}
  virtual void step() {}
  virtual void setPosition(int /*position*/) {}
};

}  // namespace tavufe
