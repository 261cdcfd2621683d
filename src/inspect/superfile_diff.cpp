#include "inspect/superfile_diff.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "inspect/folder_scan.h"
#include "model/byte_order.h"
#include "model/hex.h"
#include "model/ramdld_table.h"
#include "model/slots.h"

namespace tavufe {

namespace {

// A stretch of the compared bytes that means something of its own: a folder record's erase or
// one entry of the RAMDLD's table. Offsets count from the first compared byte.
struct Zone {
  std::uint64_t first = 0;
  std::uint64_t end = 0;
  bool folder = false;
  std::size_t index = 0;  // into the folder list, or the table entry
};

struct FolderTally {
  std::string name;
  std::uint32_t record = 0;
  std::uint64_t count = 0;
  std::uint32_t size = 0;
  std::uint32_t first = 0;
  bool erased = true;
};

// Two equal-length runs of bytes, compared from one flash address on.
struct Compared {
  std::span<const std::uint8_t> a;
  std::span<const std::uint8_t> b;
  std::uint32_t flash = 0;
  const DiffGroup* group = nullptr;
};

DiffItem groupItem(DiffKind kind, const DiffGroup& g) {
  DiffItem item;
  item.kind = kind;
  item.cgNumber = g.cgNumber;
  item.group = g.name;
  return item;
}

// Differing bytes of [from, to) as ranges, merged where fewer than kDiffMergeGap equal bytes
// lie between them. Equal blocks are skipped whole: most of two full-size images agree.
void diffBytes(const Compared& c, std::uint64_t from, std::uint64_t to,
               std::vector<DiffItem>& out) {
  constexpr std::uint64_t kBlock = 4096;
  bool open = false;
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  std::uint64_t count = 0;
  auto flush = [&] {
    if (!open) return;
    DiffItem item = groupItem(DiffKind::Bytes, *c.group);
    item.first = c.flash + std::uint32_t(first);
    item.last = c.flash + std::uint32_t(last);
    item.count = count;
    out.push_back(std::move(item));
  };
  for (std::uint64_t at = from; at < to;) {
    const std::uint64_t n = std::min(kBlock, to - at);
    if (std::memcmp(c.a.data() + at, c.b.data() + at, std::size_t(n)) == 0) {
      at += n;
      continue;
    }
    for (const std::uint64_t end = at + n; at < end; ++at) {
      if (c.a[std::size_t(at)] == c.b[std::size_t(at)]) continue;
      if (open && at - last <= kDiffMergeGap) {
        last = at;
        ++count;
        continue;
      }
      flush();
      open = true;
      first = last = at;
      count = 1;
    }
  }
  flush();
}

FlashRange tableEntry(std::span<const std::uint8_t> bytes) {
  const std::uint32_t first = read32be(bytes.data());
  const std::uint32_t last = read32be(bytes.data() + 4);
  // An erased entry describes nothing.
  if (first == 0xFFFFFFFF && last == 0xFFFFFFFF) return {};
  return {true, first, last};
}

// The meaningful stretches inside the compared range, in order and not overlapping.
std::vector<Zone> zonesOf(const Compared& c, std::uint32_t imageBase,
                          const std::vector<FolderTally>& folders,
                          const std::vector<std::uint32_t>& recordOffsets) {
  std::vector<Zone> zones;
  const std::uint64_t size = c.a.size();
  const DiffGroup& g = *c.group;
  if (g.ramdldArea) {
    for (std::int32_t n = 0; n <= kRamdldTableLastEntry; ++n) {
      const std::uint64_t at = std::uint64_t(g.start) + kRamdldTableFirstEntry +
                               kRamdldTableEntrySize * std::uint64_t(n);
      if (at < c.flash || at + kRamdldTableEntrySize > c.flash + size) continue;
      const std::uint64_t first = at - c.flash;
      zones.push_back({first, first + kRamdldTableEntrySize, false, std::size_t(n)});
    }
    return zones;
  }
  for (std::size_t k = 0; k < folders.size(); ++k) {
    for (const ImageRange& r : folderEraseRanges(recordOffsets[k])) {
      const std::int64_t first = std::max<std::int64_t>(r.first - imageBase, 0);
      const std::int64_t end = std::min<std::int64_t>(r.end - imageBase, std::int64_t(size));
      if (first < end) zones.push_back({std::uint64_t(first), std::uint64_t(end), true, k});
    }
  }
  std::sort(zones.begin(), zones.end(),
            [](const Zone& x, const Zone& y) { return x.first < y.first; });
  // Records closer together than an erase are rare; the earlier one keeps the shared bytes.
  std::uint64_t taken = 0;
  std::vector<Zone> apart;
  for (Zone z : zones) {
    z.first = std::max(z.first, taken);
    if (z.first >= z.end) continue;
    taken = z.end;
    apart.push_back(z);
  }
  return apart;
}

void compareGroup(const DiffSide& oldSide, const DiffSide& newSide, const DiffGroup& og,
                  const DiffGroup& ng, std::vector<DiffItem>& out) {
  if (og.start != ng.start || og.end != ng.end) {
    DiffItem item = groupItem(DiffKind::GroupRange, og);
    item.oldRange = {true, og.start, og.end};
    item.newRange = {true, ng.start, ng.end};
    item.first = og.start;
    out.push_back(std::move(item));
  }
  const std::uint32_t first = std::max(og.start, ng.start);
  const std::uint32_t last = std::min(og.end, ng.end);
  if (first > last || og.end < og.start || ng.end < ng.start) return;
  const std::uint64_t size = std::uint64_t(last - first) + 1;
  const std::uint32_t oldBase = imageOffsetFor(og.ramdldArea, og.start) + (first - og.start);
  const std::uint32_t newBase = imageOffsetFor(ng.ramdldArea, ng.start) + (first - ng.start);
  Compared c{oldSide.image->read(oldBase, size), newSide.image->read(newBase, size), first, &og};
  // A range outside the image was refused by the open already.
  if (c.a.size() != size || c.b.size() != size) return;

  // Folder records of either file, each once, named as OLD has them where it has them.
  std::vector<FolderTally> folders;
  std::vector<std::uint32_t> recordOffsets;
  for (const std::vector<FolderEntry>* list : {&oldSide.folders, &newSide.folders}) {
    for (const FolderEntry& f : *list) {
      if (f.recordOffset == 0) break;
      if (std::find(recordOffsets.begin(), recordOffsets.end(), f.recordOffset) !=
          recordOffsets.end()) {
        continue;
      }
      recordOffsets.push_back(f.recordOffset);
      folders.push_back({f.folderName, first + (f.recordOffset - oldBase), 0, 0, 0, true});
    }
  }

  std::vector<DiffItem> found;
  std::uint64_t at = 0;
  for (const Zone& z : zonesOf(c, oldBase, folders, recordOffsets)) {
    diffBytes(c, at, z.first, found);
    at = z.end;
    if (!z.folder) {
      const auto a = c.a.subspan(std::size_t(z.first), kRamdldTableEntrySize);
      const auto b = c.b.subspan(std::size_t(z.first), kRamdldTableEntrySize);
      if (std::equal(a.begin(), a.end(), b.begin())) continue;
      DiffItem item = groupItem(DiffKind::RamdldEntry, og);
      item.entry = int(z.index);
      item.oldRange = tableEntry(a);
      item.newRange = tableEntry(b);
      item.first = first + std::uint32_t(z.first);
      found.push_back(std::move(item));
      continue;
    }
    FolderTally& f = folders[z.index];
    if (f.size == 0) f.first = first + std::uint32_t(z.first);
    f.size += std::uint32_t(z.end - z.first);
    for (auto k = std::size_t(z.first); k < z.end; ++k) {
      if (c.a[k] != c.b[k]) ++f.count;
      if (c.b[k] != kErased) f.erased = false;
    }
  }
  diffBytes(c, at, size, found);
  for (const FolderTally& f : folders) {
    if (f.count == 0) continue;
    DiffItem item = groupItem(DiffKind::Folder, og);
    item.folder = f.name;
    item.record = f.record;
    item.first = f.first;
    item.count = f.count;
    item.eraseSize = f.size;
    item.erased = f.erased;
    found.push_back(std::move(item));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const DiffItem& x, const DiffItem& y) { return x.first < y.first; });
  out.insert(out.end(), std::make_move_iterator(found.begin()),
             std::make_move_iterator(found.end()));
}

void addSumNotes(const DiffSide& side, DiffFile file, std::int32_t cgNumber,
                 const std::string& name, std::vector<DiffItem>& out) {
  for (const DiffSumMismatch& m : side.badSums) {
    if (m.cgNumber != cgNumber) continue;
    DiffItem item;
    item.kind = DiffKind::SumMismatch;
    item.cgNumber = cgNumber;
    item.group = name;
    item.field = m.what;
    item.oldText = m.stated;
    item.newText = m.found;
    item.file = file;
    out.push_back(std::move(item));
  }
}

const DiffGroup* findGroup(const DiffSide& side, std::int32_t cgNumber) {
  const auto it = std::find_if(side.groups.begin(), side.groups.end(),
                               [&](const DiffGroup& g) { return g.cgNumber == cgNumber; });
  return it == side.groups.end() ? nullptr : &*it;
}

std::string rangeText(const FlashRange& r) {
  return r.present ? hex8(r.first) + "-" + hex8(r.last) : "none";
}

std::string bytesText(std::uint64_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

}  // namespace

std::uint64_t SuperfileDiff::differences() const {
  return std::uint64_t(std::count_if(items.begin(), items.end(), [](const DiffItem& item) {
    return item.kind != DiffKind::SumMismatch;
  }));
}

SuperfileDiff compareSuperfiles(const DiffSide& oldSide, const DiffSide& newSide) {
  SuperfileDiff diff;
  for (const DiffHeaderText& o : oldSide.header) {
    const auto n = std::find_if(newSide.header.begin(), newSide.header.end(),
                                [&](const DiffHeaderText& t) { return t.field == o.field; });
    if (n == newSide.header.end() || n->value == o.value) continue;
    DiffItem item;
    item.kind = DiffKind::HeaderText;
    item.field = o.field;
    item.oldText = o.value;
    item.newText = n->value;
    diff.items.push_back(std::move(item));
  }
  for (const DiffGroup& og : oldSide.groups) {
    if (const DiffGroup* ng = findGroup(newSide, og.cgNumber)) {
      compareGroup(oldSide, newSide, og, *ng, diff.items);
    } else {
      DiffItem item = groupItem(DiffKind::OnlyInOld, og);
      item.oldRange = {true, og.start, og.end};
      diff.items.push_back(std::move(item));
    }
    addSumNotes(oldSide, DiffFile::Old, og.cgNumber, og.name, diff.items);
    addSumNotes(newSide, DiffFile::New, og.cgNumber, og.name, diff.items);
  }
  for (const DiffGroup& ng : newSide.groups) {
    if (findGroup(oldSide, ng.cgNumber) != nullptr) continue;
    DiffItem item = groupItem(DiffKind::OnlyInNew, ng);
    item.newRange = {true, ng.start, ng.end};
    diff.items.push_back(std::move(item));
    addSumNotes(newSide, DiffFile::New, ng.cgNumber, ng.name, diff.items);
  }
  return diff;
}

std::string diffItemText(const DiffItem& item) {
  switch (item.kind) {
    case DiffKind::HeaderText:
      return "header " + item.field + ": \"" + item.oldText + "\" -> \"" + item.newText + "\"";
    case DiffKind::OnlyInOld: return item.group + " " + rangeText(item.oldRange) + " only in OLD";
    case DiffKind::OnlyInNew: return item.group + " " + rangeText(item.newRange) + " only in NEW";
    case DiffKind::GroupRange:
      return item.group + " range " + rangeText(item.oldRange) + " -> " + rangeText(item.newRange);
    case DiffKind::Bytes: {
      const std::string where =
          item.first == item.last ? hex8(item.first) : hex8(item.first) + "-" + hex8(item.last);
      return item.group + " " + where + ": " + bytesText(item.count) +
             (item.count == 1 ? " differs" : " differ");
    }
    case DiffKind::Folder: {
      const std::string folder = "folder \"" + item.folder + "\" at " + hex8(item.record);
      if (item.erased) return folder + " erased (" + bytesText(item.eraseSize) + ")";
      return folder + ": " + bytesText(item.count) + (item.count == 1 ? " differs" : " differ");
    }
    case DiffKind::RamdldEntry:
      return "RAMDLD table entry " + std::to_string(item.entry) + ": " + rangeText(item.oldRange) +
             " -> " + rangeText(item.newRange);
    case DiffKind::SumMismatch:
      return "note: " + item.field + " in " + (item.file == DiffFile::Old ? "OLD" : "NEW") +
             ": the header says " + item.oldText + ", the bytes sum to " + item.newText;
  }
  return {};
}

std::string diffCountLine(const SuperfileDiff& diff) {
  const std::uint64_t n = diff.differences();
  if (n == 0) return "same";
  return std::to_string(n) + (n == 1 ? " difference" : " differences");
}

std::vector<std::string> diffLines(const SuperfileDiff& diff) {
  std::vector<std::string> lines;
  lines.reserve(diff.items.size() + 1);
  for (const DiffItem& item : diff.items) lines.push_back(diffItemText(item));
  lines.push_back(diffCountLine(diff));
  return lines;
}

}  // namespace tavufe
