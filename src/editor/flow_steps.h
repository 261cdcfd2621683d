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

inline constexpr int kFlexSlot = 1;

}  // namespace tavufe
