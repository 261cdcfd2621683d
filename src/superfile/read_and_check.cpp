#include "superfile/read_and_check.h"

#include <algorithm>

#include "superfile/image_loader.h"

namespace tavufe {

namespace {

std::optional<Finding> causeOf(const CheckResult& check, const ReadStop* stop) {
  const auto isProblem = [](const Finding& f) { return f.severity == FindingSeverity::Problem; };
  if (stop != nullptr) {
    const FindingPlace place = stop->atLine ? FindingPlace::Line : FindingPlace::Offset;
    const auto at = std::find_if(
        check.findings.begin(), check.findings.end(),
        [&](const Finding& f) { return isProblem(f) && f.place == place && f.at == stop->at; });
    if (at != check.findings.end()) return *at;
  }
  const auto first = std::find_if(check.findings.begin(), check.findings.end(), isProblem);
  if (first != check.findings.end()) return *first;
  return std::nullopt;
}

}  // namespace

ReadAndCheckSinks::ReadAndCheckSinks(EditorState& state, std::span<const std::uint8_t> file,
                                     SuperfileEncoding encoding, Progress& progress,
                                     std::size_t maxKept, bool rescue)
    : state_(state),
      file_(file),
      encoding_(encoding),
      rescue_(rescue),
      loader_(std::make_unique<ImageLoader>(state, file, progress, rescue)),
      checker_(file, encoding, maxKept),
      shxPair_(*loader_, checker_),
      sbfPair_(*loader_, checker_) {}

ReadAndCheckSinks::~ReadAndCheckSinks() = default;

void ReadAndCheckSinks::walk() {
  if (!walks()) return;
  if (encoding_ == SuperfileEncoding::Shx) {
    tokenizeShx(file_, shxPair_);
  } else if (rescue_) {
    tokenizeSbf(file_, checker_);
    tokenizeSbf(file_, *loader_, true);
  } else {
    tokenizeSbf(file_, sbfPair_);
  }
}

ReadAndCheck ReadAndCheckSinks::finish() {
  ReadAndCheck result;
  result.read = loader_->finish(encoding_ == SuperfileEncoding::Shx);
  // The catalogue as the header refreshed it from the profile.
  result.check = checker_.finish(state_.catalogue);
  if (result.read.status != StatusCode::None) result.cause = causeOf(result.check, loader_->stop());
  return result;
}

ReadAndCheck readAndCheck(EditorState& state, std::span<const std::uint8_t> file,
                          SuperfileEncoding encoding, Progress& progress, std::size_t maxKept,
                          bool rescue) {
  ReadAndCheckSinks sinks(state, file, encoding, progress, maxKept, rescue);
  sinks.walk();
  return sinks.finish();
}

}  // namespace tavufe
