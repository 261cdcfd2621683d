#pragma once

namespace tavufe {

// How the core reports progress to a front end; the default does nothing.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void setMaximum(int /*maximum*/) {}
  virtual void step() {}
  virtual void setPosition(int /*position*/) {}
};

}  // namespace tavufe
