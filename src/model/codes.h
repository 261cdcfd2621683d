#pragma once

#include <cstdint>

namespace tavufe {

// The two condition codes share one numbering: a value belongs to one of them only.
enum class StatusCode : std::uint8_t {
  None = 0,
  FileNotOpened = 2,
  BufferError = 4,
  ChecksumError = 5,
  BufferAddressOverflow = 6,
  RecordError = 9,
  AddressRange = 11,
  RdlBlankOrMissing = 12,
  FileWriteError = 13,
  // A saved file read back from the disk differed from what was written.
  VerifyError = 14,
};

enum class NoticeCode : std::uint8_t {
  None = 0,
  FileTypeNotSupported = 3,
  DuplicateCg = 7,
  NoFilesSelectedToSave = 10,
  // The Flex code group holds no byte read from the file: a save would flash nothing of it.
  NoFlexCodeGroup = 15,
  // The save would replace a superfile holding code groups that it does not write.
  SaveWouldDropCodeGroups = 16,
  // A rescued document's RAMDLD or Flex was not read whole and soundly: no save can write it.
  DamagedCodeGroup = 17,
};

// Texts shown for a code; empty for 0 and for values without a text.
const char* statusText(StatusCode code);
const char* noticeText(NoticeCode code);

}  // namespace tavufe
