#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "editor/diff_flow.h"
#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"
#include "superfile/read_and_check.h"
#include "superfile/save_plan.h"

namespace tavufe {

// The steps that the flows on bytes and the flows on files share, so that both open and save
// alike; what is in between (reading or writing a file) is the file flows' own.

// The start of every open: empties the undo stack, erases the image and resets the slots.
bool startOpen(EditorState& state, Progress& progress, OpenedSuperfile& result);
// Reads and checks the bytes into the image and fills in what the front end shows.
void readBytes(EditorState& state, std::span<const std::uint8_t> bytes, const OpenOptions& options,
               Progress& progress, OpenedSuperfile& result);
// Fills in what the front end shows from a read and check of the bytes.
void completeRead(EditorState& state, std::span<const std::uint8_t> bytes,
                  const OpenOptions& options, ReadAndCheck read, OpenedSuperfile& result);
// What a failed read leaves is dropped.
void finishOpen(EditorState& state, const OpenedSuperfile& result);

// The start of every save: the progress set, and a damaged group refused (front ends ask
// checkSaveable first; a damaged group is never written all the same).
[[nodiscard]] StatusCode startSave(const EditorState& state, Progress& progress);
// The RAMDLD's patched bytes and a superfile of the plan written to `sink`.
[[nodiscard]] StatusCode writeSuperfile(const EditorState& state, SavePlan& plan, SaveType type,
                                        const std::string& dateText, ByteSink& sink,
                                        Progress& progress);
// The bytes of slot 1 as a finalisation from its own range covers them: what an export writes.
[[nodiscard]] StatusCode exportedFlexBytes(const EditorState& state, Progress& progress,
                                           std::span<const std::uint8_t>& bytes);
// Whether every slot still fits the range its file gave; the last failure, or None.
[[nodiscard]] StatusCode staleSlotStatus(const EditorState& state);

// How one side of a comparison is read: the one open, of a file or of bytes, into `state`.
using OpenDiffSide =
    std::function<OpenedSuperfile(EditorState& state, const OpenOptions&, Progress&)>;
OpenDiffSide openBytes(std::span<const std::uint8_t> bytes);
// Opens OLD and then NEW with every folder record kept, each into an image of its own, and
// compares them; a side that cannot be opened ends the comparison.
DiffOutcome compareSides(const OpenDiffSide& openOld, const OpenDiffSide& openNew,
                         std::optional<SuperfileEncoding> encoding);
// A review against the file the document was opened from, read by `openOpened`.
DiffOutcome reviewSave(const EditorState& document, const OpenDiffSide& openOpened,
                       SuperfileEncoding encoding, const std::string& dateText);

// How one side of a comparison that is an export is laid as the Flex from `address`: false,
// with `opened` saying why, when it cannot be read or does not fit.
using LayDiffExport =
    std::function<bool(EditorState& state, std::uint32_t address, OpenedSuperfile& opened)>;
// Lays an export's bytes as the Flex from `address` and lists its folder records, every one kept.
bool layExport(EditorState& state, std::span<const std::uint8_t> bytes, std::uint32_t address,
               OpenedSuperfile& opened);
// The comparison where either side is an export (as `outcome` says): the superfile, if either
// side is one, is opened first by `openSuperfile`, and its Flex places the exports.
DiffOutcome compareWithExports(DiffOutcome outcome, const OpenDiffSide& openSuperfile,
                               const LayDiffExport& layOld, const LayDiffExport& layNew,
                               std::optional<SuperfileEncoding> encoding);

inline constexpr int kFlexSlot = 1;

}  // namespace tavufe
