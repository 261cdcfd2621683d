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
                                     std::size_t maxKept)
    : state_(state),
      encoding_(encoding),
      loader_(std::make_unique<ImageLoader>(state, file, progress)),
      checker_(file, encoding, maxKept),
      shxPair_(*loader_, checker_),
      sbfPair_(*loader_, checker_) {}

ReadAndCheckSinks::~ReadAndCheckSinks() = default;

ReadAndCheck ReadAndCheckSinks::finish() {
  ReadAndCheck result;
  result.read = loader_->finish(encoding_ == SuperfileEncoding::Shx);
  // The catalogue as the header refreshed it from the profile.
  result.check = checker_.finish(state_.catalogue);
  if (result.read.status != StatusCode::None) result.cause = causeOf(result.check, loader_->stop());
  return result;
}

ReadAndCheck readAndCheck(EditorState& state, std::span<const std::uint8_t> file,
                          SuperfileEncoding encoding, Progress& progress, std::size_t maxKept) {
  ReadAndCheckSinks sinks(state, file, encoding, progress, maxKept);
  if (sinks.walks()) {
    if (encoding == SuperfileEncoding::Shx) {
      tokenizeShx(file, sinks.shx());
    } else {
      tokenizeSbf(file, sinks.sbf());
    }
  }
  return sinks.finish();
}

}  // namespace tavufe
