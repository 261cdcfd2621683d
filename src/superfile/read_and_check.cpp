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

ReadAndCheck finishBoth(EditorState& state, ImageLoader& loader, SuperfileChecker& checker,
                        bool shx) {
  ReadAndCheck result;
  result.read = loader.finish(shx);
  // The catalogue as the header refreshed it from the profile.
  result.check = checker.finish(state.catalogue);
  if (result.read.status != StatusCode::None) result.cause = causeOf(result.check, loader.stop());
  return result;
}

}  // namespace

ReadAndCheck readAndCheck(EditorState& state, std::span<const std::uint8_t> file,
                          SuperfileEncoding encoding, Progress& progress, std::size_t maxKept,
                          ShxSplit split, LaidDataWatch* watch) {
  ImageLoader loader(state, file, progress);
  loader.setLaidWatch(watch);
  SuperfileChecker checker(file, encoding, maxKept);
  if (checker.walks()) {
    if (encoding == SuperfileEncoding::Shx) {
      ShxTokenPair both(loader, checker);
      tokenizeShx(file, both, split);
    } else {
      SbfTokenPair both(loader, checker);
      tokenizeSbf(file, both);
    }
  }
  return finishBoth(state, loader, checker, encoding == SuperfileEncoding::Shx);
}

struct ShxStreamRead::Parts {
  Parts(EditorState& state, std::span<const std::uint8_t> file, Progress& progress,
        std::size_t maxKept)
      : loader(state, file, progress),
        checker(file, SuperfileEncoding::Shx, maxKept),
        both(loader, checker),
        stream(file, both) {}
  ImageLoader loader;
  SuperfileChecker checker;
  ShxTokenPair both;
  ShxTextStream stream;
};

ShxStreamRead::ShxStreamRead(EditorState& state, std::span<const std::uint8_t> file,
                             Progress& progress, std::size_t maxKept)
    : state_(state), parts_(std::make_unique<Parts>(state, file, progress, maxKept)) {}

ShxStreamRead::~ShxStreamRead() = default;

void ShxStreamRead::received(std::size_t bytes) {
  if (parts_->checker.walks()) parts_->stream.received(bytes);
}

ReadAndCheck ShxStreamRead::finish() {
  if (parts_->checker.walks()) parts_->stream.finish();
  return finishBoth(state_, parts_->loader, parts_->checker, true);
}

}  // namespace tavufe
