#include "editor/save_flow.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "editor/flow_steps.h"
#include "inspect/code_group_table.h"
#include "model/finalise.h"
#include "superfile/header_block.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_writer.h"
#include "superfile/shx_writer.h"

namespace tavufe {

const char* extensionFor(SaveType type) {
  switch (type) {
    case SaveType::Shx: return ".shx";
    case SaveType::Sbf: return ".sbf";
    case SaveType::Smg: return ".smg";
    case SaveType::Bin: return ".bin";
  }
  return "";
}

std::optional<SaveType> saveTypeForPath(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  for (SaveType type : {SaveType::Shx, SaveType::Sbf, SaveType::Smg, SaveType::Bin}) {
    if (extension == extensionFor(type)) return type;
  }
  return std::nullopt;
}

bool savesDamagedGroup(const EditorState& state) {
  const int last = std::min<std::int32_t>(state.lastSlot, kLastLoadableSlot);
  for (int i = 0; i <= last; ++i) {
    if (state.slots[std::size_t(i)].damaged) return true;
  }
  return false;
}

NoticeCode checkSaveable(const EditorState& state) {
  NoticeCode notice = NoticeCode::NoFilesSelectedToSave;
  for (int i = 0; i <= kLastBoundsSlot; ++i) {
    if (isSlotInUse(state, i)) {
      notice = NoticeCode::None;
      break;
    }
  }
  if (hasDuplicateCodeGroups(state)) notice = NoticeCode::DuplicateCg;
  // Missing bytes cannot be saved over: nothing forces this one.
  if (notice == NoticeCode::None && savesDamagedGroup(state)) notice = NoticeCode::DamagedCodeGroup;
  // A superfile or export without the Flex's bytes would flash nothing of it.
  if (notice == NoticeCode::None && !hasFlexBytes(state)) notice = NoticeCode::NoFlexCodeGroup;
  return notice;
}

namespace {

// SOURCE_DATE_EPOCH's seconds, or why they cannot be taken.
std::optional<std::string> rejectSourceDateEpoch(std::string_view text, std::uint64_t& seconds) {
  if (text.empty()) return "it is empty";
  const std::string quoted = "\"" + std::string(text) + "\"";
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const bool allDigits = std::all_of(text.begin(), text.end(), isDigit);
  // A negative count is a whole number too, only one the header's date cannot hold.
  if (text.size() > 1 && text[0] == '-' && std::all_of(text.begin() + 1, text.end(), isDigit)) {
    return quoted + " is before 1970-01-01 00:00:00";
  }
  if (!allDigits || end != text.data() + text.size()) {
    return quoted + " is not a whole number of seconds";
  }
  if (error == std::errc::result_out_of_range || seconds > kLastSourceDateEpoch) {
    return quoted + " is after 9999-12-31 23:59:59";
  }
  return std::nullopt;
}

}  // namespace

SaveDate saveDate(const char* sourceDateEpoch, std::time_t now) {
  SaveDate date;
  std::tm t{};
  if (sourceDateEpoch != nullptr) {
    std::uint64_t seconds = 0;
    date.ignoredBecause = rejectSourceDateEpoch(sourceDateEpoch, seconds);
    if (!date.ignoredBecause) {
      const auto when = std::time_t(seconds);
      gmtime_r(&when, &t);
      date.text = formatHeaderDate(t);
      return date;
    }
  }
  localtime_r(&now, &t);
  date.text = formatHeaderDate(t);
  return date;
}

SaveDate saveDate() { return saveDate(std::getenv("SOURCE_DATE_EPOCH"), std::time(nullptr)); }

StatusCode writeSuperfile(const EditorState& state, SavePlan& plan, SaveType type,
                          const std::string& dateText, ByteSink& sink, Progress& progress) {
  const StatusCode prepared = prepareSave(state, plan);
  if (prepared != StatusCode::None) return prepared;
  return type == SaveType::Shx ? writeShx(state.image, plan, dateText, sink, progress)
                               : writeSbf(state.image, plan, dateText, sink, progress);
}

StatusCode exportedFlexBytes(const EditorState& state, Progress& progress,
                             std::span<const std::uint8_t>& bytes) {
  progress.step();
  // An export carries no checksum: the range is all it needs, not the sum over it.
  const StatusCode finalised =
      finalisedBytes(state.image, state.slots[kFlexSlot], FinaliseFrom::Slot, bytes);
  progress.setPosition(kProgressSteps);
  return finalised;
}

StatusCode staleSlotStatus(const EditorState& state) {
  StatusCode stale = StatusCode::None;
  for (int i = 0; i <= state.lastSlot && i <= kLastLoadableSlot; ++i) {
    if (const StatusCode s = finaliseStatus(state, i, FinaliseFrom::Record);
        s != StatusCode::None) {
      stale = s;
    }
  }
  return stale;
}

StatusCode startSave(const EditorState& state, Progress& progress) {
  progress.setMaximum(kProgressSteps);
  progress.setPosition(1);
  return savesDamagedGroup(state) ? StatusCode::RecordError : StatusCode::None;
}

StatusCode saveToBytes(const EditorState& state, SaveType type, const SaveOptions& options,
                       Progress& progress, ByteSink& sink) {
  if (const StatusCode s = startSave(state, progress); s != StatusCode::None) return s;
  if (isSuperfile(type)) {
    SavePlan plan = planSave(state);
    if (const StatusCode s = checkRamdldForSave(state.image, plan); s != StatusCode::None) return s;
    return writeSuperfile(state, plan, type, options.dateText, sink, progress);
  }
  const StatusCode stale = staleSlotStatus(state);
  if (stale != StatusCode::None && options.staleSlots == StaleSlots::Refuse) return stale;
  std::span<const std::uint8_t> bytes;
  if (const StatusCode s = exportedFlexBytes(state, progress, bytes); s != StatusCode::None) {
    return s;
  }
  if (isSlotInUse(state, kFlexSlot)) sink.write(bytes.data(), bytes.size());
  return stale;
}

}  // namespace tavufe
