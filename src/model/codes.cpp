#include "model/codes.h"

namespace tavufe {

const char* statusText(StatusCode code) {
  switch (code) {
    case StatusCode::FileNotOpened: return "File Not Opened";
    case StatusCode::BufferError: return "Buffer Error";
    case StatusCode::ChecksumError: return "Checksum Error";
    case StatusCode::BufferAddressOverflow: return "Buffer Address Overflow";
    case StatusCode::RecordError: return "Record Error";
    case StatusCode::AddressRange: return "Address Range";
    case StatusCode::RdlBlankOrMissing: return "RDL Blank or Missing";
    case StatusCode::FileWriteError: return "File Write Error";
    case StatusCode::VerifyError: return "Verify Error";
    case StatusCode::None: break;
  }
  return "";
}

const char* noticeText(NoticeCode code) {
  switch (code) {
    case NoticeCode::FileTypeNotSupported: return "File Type Not Supported";
    case NoticeCode::DuplicateCg: return "Duplicate CG";
    case NoticeCode::NoFilesSelectedToSave: return "No File(s) Selected To Save";
    case NoticeCode::NoFlexCodeGroup: return "No Flex Code Group";
    case NoticeCode::SaveWouldDropCodeGroups: return "Save Would Drop Code Groups";
    case NoticeCode::DamagedCodeGroup: return "Damaged Code Group";
    case NoticeCode::None: break;
  }
  return "";
}

}  // namespace tavufe
