#include "editor/held_groups.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "superfile/header_block.h"

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

std::vector<HeldCodeGroup> codeGroupsListedIn(const std::string& path) {
  // Not blocking: a pipe or device of that name is no superfile and must not stall the check.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return {};
  struct stat st {};
  std::vector<std::uint8_t> header(kHeaderSize);
  std::size_t got = 0;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    while (got < header.size()) {
      const ssize_t n = ::read(fd, header.data() + got, header.size() - got);
      if (n <= 0) break;
      got += std::size_t(n);
    }
  }
  ::close(fd);
  // Only a superfile names its code groups; other bytes read as a table would be noise.
  constexpr std::string_view kMagic(kMagicText, kMagicTextWidth);
  if (got < header.size() || !std::equal(kMagic.begin(), kMagic.end(), header.begin())) return {};
  // The image is not needed for the table: the state stays small.
  const auto scratch = std::make_unique<EditorState>();
  initialiseEditor(*scratch);
  resetSlots(*scratch);
  const HeaderParse parse = parseHeaderBlock(*scratch, header);
  if (parse.codeGroups == 0) return {};
  scratch->lastSlot = parse.codeGroups - 1;
  return heldCodeGroups(*scratch);
}

std::vector<std::string> groupsASaveDrops(const EditorState& state,
                                          const std::vector<HeldCodeGroup>& held, SaveType type) {
  const bool superfile = type == SaveType::Shx || type == SaveType::Sbf;
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
