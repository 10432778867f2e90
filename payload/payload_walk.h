// The one entry walk shared by both extractions and by the release tools:
// open the payload file, read N and the offset table, then for every entry
// check its span, read its 400-byte header and hand it to a visitor.
#pragma once

#include <cstdint>
#include <string>

#include "payload/payload_fault.h"
#include "platform/file_io.h"

namespace ovsetup::payload {

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
  bool has_record = false;  // the setup carries an integrity record
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

// Walks the payload held by `payload_file`, which ends where a signed file's
// certificate table begins (PayloadLength). Opens the file once. When the
// setup carries an integrity record, checks the payload against it first
// (reading it whole) and stops at a damage fault before the visitor sees
// anything. Reads the offset table in one read and one 400-byte header per
// entry; every entry's path must pass CheckStoredPath before the visitor
// sees it. Stops at the first fault; entries already visited keep their
// effects.
WalkResult WalkPayload(const std::string& payload_file, EntryVisitor& visitor);

}  // namespace ovsetup::payload
