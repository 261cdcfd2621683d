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
  ReadAndCheck result;
  result.read = loader.finish(encoding == SuperfileEncoding::Shx);
  // The catalogue as the header refreshed it from the profile.
  result.check = checker.finish(state.catalogue);
  if (result.read.status != StatusCode::None) result.cause = causeOf(result.check, loader.stop());
  return result;
}

}  // namespace tavufe
