#pragma once
#include <cstddef>

namespace xml {

enum class XmlStatus {
  Ok,
  FileModeActive,    // a piece-wise file mode bit is set on the document
  OpenFailed,        // the file (or the temporary file beside it) could not be opened
  ReadFailed,
  WriteFailed,
  SyncFailed,        // flushing the temporary file to disk failed
  CloseFailed,
  RenameFailed,      // the finished temporary file could not replace the target
  NoCurrentElement,  // an edit needs a current element and there is none
  InvalidArgument,   // e.g. data given together with NODEFLAG_NO_END_TAG
  TooLarge,          // the text would outgrow the 32-bit offsets of the index
};

// What an operation did. Converts to true only on success; on failure it says what failed,
// where (a byte offset into the file, or a UTF-16 offset into the text), and the system
// error code when there is one.
struct XmlOutcome {
  XmlStatus status = XmlStatus::Ok;
  std::size_t offset = 0;
  int systemError = 0;

  bool ok() const { return status == XmlStatus::Ok; }
  explicit operator bool() const { return ok(); }
};

const char* statusName(XmlStatus status);

}  // namespace xml
