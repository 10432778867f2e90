// The one entry walk shared by both extractions and by the release tools:
// open the payload file, read N and the offset table, then for every entry
// check its span, read its 400-byte header and hand it to a visitor.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_io.h"

namespace ovsetup::payload {

// Why a walk stopped. The first block is found by the walk itself, in the
// order it checks; the second is reported by visitors.
enum class PayloadFault {
  kNone,
  kCannotOpen,       // the payload file cannot be opened or measured
  kTooShort,         // shorter than 4 bytes
  kBadCount,         // N is 0 or above 600
  kTableTooShort,    // shorter than 4*N + 4 bytes
  kTableRead,        // the offset table could not be read
  kEndBeyondFile,    // offset[i+1] at or beyond the file length
  kDescending,       // offset[i+1] below offset[i]
  kSpanTooSmall,     // entry of 400 bytes or less
  kHeaderRead,       // the path header could not be read
  kUnsafePath,       // absolute, drive or stream ":", or a ".." step
  kWindowsFolder,    // Windows folder lookup failed ("Contour" entry)
  kCannotCreate,     // output file cannot be created
  kBodyRead,         // short read of a body
  kBodyWrite,        // short write of a body, or the close failed
  kVisitorStop,      // a visitor's own reason (see its message)
};

// One-line English description of `fault`, for tools and logs.
const char* DescribeFault(PayloadFault fault);

// One entry as the walk hands it over. Offsets are absolute in the file.
struct PayloadEntry {
  std::uint32_t index = 0;
  std::uint32_t begin = 0;  // offset[i]: start of the path header
  std::uint32_t end = 0;    // offset[i+1]
  std::string path;         // relative path, up to the first NUL (at most 399 bytes)
  std::string folder;       // bytes before the last "\" ("" when none)
  std::string file_name;    // bytes after the last "\"

  std::uint32_t BodyOffset() const { return begin + 400; }
  std::uint32_t BodySize() const { return end - begin - 400; }
};

// Where and why a walk ended. `entry` is the index of the failing entry
// (or the entry count on success); `path` is that entry's path when known.
struct WalkResult {
  PayloadFault fault = PayloadFault::kNone;
  std::uint32_t entry = 0;
  bool at_entry = false;  // the fault belongs to entry `entry`
  std::string path;
  bool ok() const { return fault == PayloadFault::kNone; }
};

// Receives the entries in file order. `file` is the open payload, positioned
// anywhere; the visitor may seek and read it. Return kNone to go on.
class EntryVisitor {
 public:
  virtual ~EntryVisitor() = default;
  // Called once after the offset table is read, before any entry.
  virtual void OnTable(std::uint64_t /*length*/, const std::uint32_t* /*offsets*/,
                       std::uint32_t /*count*/) {}
  virtual PayloadFault OnEntry(const PayloadEntry& entry, platform::InputFile& file) = 0;
};

// True when `path` stays below the folder it is joined to: not absolute
// (no leading "\" or "/"), no ":" anywhere, and no step made only of dots
// and blanks with two dots or more ("..", "...", ".. ").
bool IsSafeRelativePath(const std::string& path);

// Walks the payload held by `payload_file`, which ends where a signed file's
// certificate table begins (PayloadLength). Opens the file once, reads the
// offset table in one read and one 400-byte header per entry. Stops at the
// first fault; entries already visited keep their effects.
WalkResult WalkPayload(const std::string& payload_file, EntryVisitor& visitor);

}  // namespace ovsetup::payload
