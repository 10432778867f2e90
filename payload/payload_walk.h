// The one entry walk shared by both extractions and by the release tools:
// open the payload file, read N and the offset table, then for every entry
// check its span, read its 400-byte header and hand it to a visitor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payload/compression_record.h"
#include "payload/integrity_record.h"
#include "payload/payload_fault.h"
#include "platform/file_io.h"
#include "platform/setup_file.h"

namespace ovsetup::payload {

// One entry as the walk hands it over. Offsets are absolute in the file.
struct PayloadEntry {
  std::uint32_t index = 0;
  std::uint32_t begin = 0;  // offset[i]: start of the path header
  std::uint32_t end = 0;    // offset[i+1]
  std::string path;         // relative path, up to the first NUL (at most 399 bytes)
  std::string folder;       // bytes before the last "\" ("" when none)
  std::string file_name;    // bytes after the last "\"
  bool compressed = false;  // the body is compressed (payload/compression_record.h)
  std::uint32_t decoded_size = 0;  // the file's size: BodySize() when stored as is

  std::uint32_t BodyOffset() const { return begin + 400; }
  std::uint32_t BodySize() const { return end - begin - 400; }
};

// Where and why a walk or an extraction ended: the one result every caller
// reads to pick its text. `entry` is the index of the failing entry (or the
// entry count on success); `path` is that entry's stored path when known.
struct WalkResult {
  PayloadFault fault = PayloadFault::kNone;
  std::uint32_t entry = 0;
  bool at_entry = false;  // the fault belongs to entry `entry`
  std::string path;
  bool has_record = false;  // the setup carries an integrity record
  bool compressed = false;  // ... and a compression record (ovpack build --compress)
  // The file on disk the fault is about (a target in use, a staged file that
  // failed, a path too long), or for kDiskFull the folder whose volume is
  // short; empty when none.
  std::string target;
  std::uint32_t system_error = 0;  // the Windows error code; 0 when none
  std::uint64_t bytes_needed = 0;  // kDiskFull: what the extraction needs there
  bool ok() const { return fault == PayloadFault::kNone; }
};

// Receives the entries in file order. `file` is the open payload, positioned
// anywhere; the visitor may seek and read it. Return kNone to go on.
class EntryVisitor {
 public:
  virtual ~EntryVisitor() = default;
  // Called once, first, with whether the setup has a compression record.
  virtual void OnCompression(bool /*compressed*/) {}
  // Called once after the offset table is read, before any entry.
  virtual void OnTable(std::uint64_t /*length*/, const std::uint32_t* /*offsets*/,
                       std::uint32_t /*count*/) {}
  virtual PayloadFault OnEntry(const PayloadEntry& entry, platform::InputFile& file) = 0;
};

// A payload file opened for a walk: its length, its record as read, its
// offset table, and the bytes of the table and N as stored (the end of
// what the record's hash covers).
struct OpenedPayload {
  platform::InputFile file;
  std::uint64_t length = 0;  // up to a signature's certificate table
  IntegrityCheck integrity;
  std::vector<std::uint32_t> offsets;
  std::vector<unsigned char> tail;
  std::vector<EntryCoding> codings;  // one per entry; empty without a compression record
};

// Opens `payload_file` and reads its record (hashing the payload first when
// `hash_first`), its count and its offset table, stopping at the first
// fault in that order; a record's damage comes first.
WalkResult OpenPayload(const std::string& payload_file, bool hash_first, OpenedPayload* payload);
// As above, reading the file `setup` holds open (kCannotOpen when it is not).
WalkResult OpenPayload(const platform::SetupFile& setup, bool hash_first, OpenedPayload* payload);

// Checks entry `i`'s span, reads its 400-byte header into `header` and
// fills `entry`; kNone, or the fault of that entry (the stored-path rules
// last). Moves the file's position.
PayloadFault ReadEntry(OpenedPayload& payload, std::uint32_t i, char* header, PayloadEntry* entry);

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
