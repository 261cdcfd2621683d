#include "editor/held_groups.h"

#include <algorithm>

namespace tavufe {

std::vector<HeldCodeGroup> heldCodeGroups(const EditorState& state) {
  std::vector<HeldCodeGroup> held;
  const int last = std::min<std::int32_t>(state.lastSlot, kLastLoadableSlot);
  for (int i = 0; i <= last; ++i) {
    const CodeGroupSlot& slot = state.slots[std::size_t(i)];
    if (slot.cgNumber == kCgEmpty) continue;
    held.push_back({slot.cgNumber, slot.description.empty() ? slot.label : slot.description});
  }
  return held;
}

std::vector<std::string> groupsASaveDrops(const EditorState& state,
                                          const std::vector<HeldCodeGroup>& held, SaveType type) {
  const bool superfile = isSuperfile(type);
  const std::vector<HeldCodeGroup> saved =
      superfile ? heldCodeGroups(state) : std::vector<HeldCodeGroup>{};
  std::vector<std::string> dropped;
  for (const HeldCodeGroup& group : held) {
    const bool written = std::any_of(saved.begin(), saved.end(), [&](const HeldCodeGroup& s) {
      return s.cgNumber == group.cgNumber;
    });
    if (!written) dropped.push_back(group.name);
  }
  return dropped;
}

std::string joinedNames(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

}  // namespace tavufe
