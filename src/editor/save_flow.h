#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "editor/file_problem.h"
#include "editor/output_file.h"
#include "model/codes.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"

namespace tavufe {

// What a save writes: a superfile in either encoding, or the Flex code group alone.
enum class SaveType { Shx, Sbf, Smg, Bin };
// Whether the type writes a whole superfile, not the Flex alone.
constexpr bool isSuperfile(SaveType type) { return type == SaveType::Shx || type == SaveType::Sbf; }

// Extension with its period (".shx" …) and type from an extension, case-insensitive.
const char* extensionFor(SaveType type);
std::optional<SaveType> saveTypeForPath(const std::string& path);

// The checks before the save dialog: NoFilesSelectedToSave, DuplicateCg, NoFlexCodeGroup when
// the Flex holds no byte read from the file, or DamagedCodeGroup when a rescue read could not
// read the RAMDLD or the Flex whole; None when the save may go on.
NoticeCode checkSaveable(const EditorState& state);

// Whether a save would write a code group that a rescue read found damaged: the RAMDLD or the
// Flex (an SMG or BIN export writes the Flex alone, but it is refused alike).
bool savesDamagedGroup(const EditorState& state);

// The header date of a save made now. SOURCE_DATE_EPOCH, when set, fixes it: a whole number of
// seconds up to the last second of the year 9999, taken as UTC. Anything else is ignored, the
// local time is taken, and `ignoredBecause` says why.
inline constexpr std::uint64_t kLastSourceDateEpoch = 253402300799;  // 9999-12-31 23:59:59 UTC
struct SaveDate {
  std::string text;  // as the header carries it
  std::optional<std::string> ignoredBecause;
};
// The one place that reads SOURCE_DATE_EPOCH and the clock for a save.
SaveDate saveDate();
// The same for a given value of SOURCE_DATE_EPOCH (nullptr when it is not set) and instant.
SaveDate saveDate(const char* sourceDateEpoch, std::time_t now);

// How an SMG or BIN export treats a slot that failed to refresh from the image: the window
// exports and then warns; a caller that promises to write nothing on failure refuses.
enum class StaleSlots { ExportAndWarn, Refuse };

// What the front end decides for a save.
struct SaveOptions {
  std::string dateText;  // the header's date for SHX and SBF, usually saveDate().text
  StaleSlots staleSlots = StaleSlots::ExportAndWarn;
  // Whether a file replaced whose owner, group, ACL or attributes cannot be kept stops the save
  // (FileWriteError, `why` saying which) or is replaced without them, its mode narrowed so that
  // nobody gains access it did not give, and `why` then telling what was left off.
  LostMetadata lostMetadata = LostMetadata::Refuse;
};

// A save only reads the document: what it finalises and patches goes into the output, and the
// state is left exactly as it was. Every save reads the written file back before it replaces
// the destination: VerifyError when it differs, and the destination stays as it was.

// An SHX or SBF superfile of slots 0 to lastSlot, each finalised from the image, written to
// `path` atomically. For FileNotOpened and FileWriteError, `why` (when given) says what the
// system refused.
[[nodiscard]] StatusCode saveSuperfile(const EditorState& state, const std::string& path,
                                       SaveType type, const std::string& dateText,
                                       Progress& progress, FileProblem* why = nullptr);

// The save itself: the chosen type written to `path`, atomically. An export first checks that
// every slot still fits the range its file gave, as options.staleSlots asks. Returns what went
// wrong, or None; `why` as for saveSuperfile.
[[nodiscard]] StatusCode saveToFile(const EditorState& state, const std::string& path,
                                    SaveType type, const SaveOptions& options, Progress& progress,
                                    FileProblem* why = nullptr);

// The same save into memory, for a front end without files that hands the bytes on itself:
// what saveToFile would write to the file goes to `sink`.
[[nodiscard]] StatusCode saveToBytes(const EditorState& state, SaveType type,
                                     const SaveOptions& options, Progress& progress,
                                     ByteSink& sink);

}  // namespace tavufe
