#include "payload/payload_walk.h"

#include <cstring>
#include <memory>

#include "payload/integrity_record.h"
#include "payload/payload_format.h"
#include "payload/signed_image.h"
#include "payload/stored_path_rules.h"

namespace ovsetup::payload {

const char* DescribeFault(PayloadFault fault) {
  switch (fault) {
    case PayloadFault::kNone: return "no fault";
    case PayloadFault::kDamagedRecord:
      return "its integrity record is damaged or of an unknown version";
    case PayloadFault::kDamagedLength:
      return "it is cut short or has grown: its length is not the one its integrity record gives";
    case PayloadFault::kDamagedHash:
      return "its payload does not match the hash of its integrity record";
    case PayloadFault::kDamagedTable:
      return "its offset table does not fit its integrity record";
    case PayloadFault::kCannotOpen: return "the payload file cannot be opened";
    case PayloadFault::kTooShort: return "the file is shorter than 4 bytes";
    case PayloadFault::kBadCount: return "the offset count is 0 or above 600";
    case PayloadFault::kTableTooShort: return "the file is shorter than its offset table";
    case PayloadFault::kTableRead: return "the offset table cannot be read";
    case PayloadFault::kEndBeyondFile: return "the entry ends at or beyond the end of the file";
    case PayloadFault::kDescending: return "the entry ends before it begins (descending offsets)";
    case PayloadFault::kSpanTooSmall: return "the entry spans 400 bytes or less (no body)";
    case PayloadFault::kHeaderRead: return "the path header cannot be read";
    case PayloadFault::kUnsafePath:
      return "the path is absolute, holds a ':' or a '..' step";
    case PayloadFault::kDeviceName:
      return "a step of the path is a Windows device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, "
             "CONIN$, CONOUT$), with or without an extension";
    case PayloadFault::kDotOrSpaceEnd:
      return "a step of the path ends in a dot or a space, which Windows drops";
    case PayloadFault::kBadCharacter:
      return "the path holds a control character or one of < > \" | ? *";
    case PayloadFault::kWindowsFolder: return "the Windows folder cannot be found";
    case PayloadFault::kCannotCreate: return "the output file cannot be created";
    case PayloadFault::kBodyRead: return "the body cannot be read whole";
    case PayloadFault::kBodyWrite: return "the body cannot be written whole";
    case PayloadFault::kVisitorStop: return "stopped";
  }
  return "unknown fault";
}

bool IsDamage(PayloadFault fault) {
  return fault == PayloadFault::kDamagedRecord || fault == PayloadFault::kDamagedLength ||
         fault == PayloadFault::kDamagedHash || fault == PayloadFault::kDamagedTable;
}

WalkResult WalkPayload(const std::string& payload_file, EntryVisitor& visitor) {
  WalkResult result;
  auto fail = [&result](PayloadFault fault) {
    result.fault = fault;
    return result;
  };

  platform::InputFile file;
  std::uint64_t file_length = 0;
  if (!file.Open(payload_file) || !file.Length(&file_length))
    return fail(PayloadFault::kCannotOpen);
  // A signed setup's payload ends at its signature.
  const std::uint64_t length = PayloadLength(file, file_length);
  // Before anything else: a damaged setup has no trustworthy table.
  const IntegrityCheck integrity = CheckIntegrity(file, file_length, length);
  result.has_record = integrity.has_record;
  if (integrity.fault != PayloadFault::kNone) return fail(integrity.fault);
  if (length < kOffsetSize) return fail(PayloadFault::kTooShort);

  unsigned char raw_count[kOffsetSize];
  if (!file.Seek(length - kOffsetSize) || !file.Read(raw_count, sizeof raw_count))
    return fail(PayloadFault::kTableRead);
  const std::uint32_t count = ReadLe32(raw_count);
  if (count == 0 || count > kMaxOffsetCount) return fail(PayloadFault::kBadCount);
  const std::uint64_t table_bytes = std::uint64_t{kOffsetSize} * count;
  if (length < table_bytes + kOffsetSize) return fail(PayloadFault::kTableTooShort);

  std::unique_ptr<unsigned char[]> raw_table(new unsigned char[table_bytes]);
  if (!file.Seek(length - kOffsetSize - table_bytes) ||
      !file.Read(raw_table.get(), table_bytes))
    return fail(PayloadFault::kTableRead);
  std::unique_ptr<std::uint32_t[]> offsets(new std::uint32_t[count]);
  for (std::uint32_t i = 0; i < count; ++i) offsets[i] = ReadLe32(raw_table.get() + 4 * i);
  raw_table.reset();
  if (integrity.has_record && !TableFitsRecord(integrity.record, length, offsets.get(), count))
    return fail(PayloadFault::kDamagedTable);
  visitor.OnTable(length, offsets.get(), count);

  char header[kHeaderSize];
  for (std::uint32_t i = 0; i + 1 < count; ++i) {
    result.entry = i;
    result.at_entry = true;
    result.path.clear();
    const std::uint32_t begin = offsets[i];
    const std::uint32_t end = offsets[i + 1];
    if (end >= length) return fail(PayloadFault::kEndBeyondFile);
    // A descending pair would pass the unsigned span test with a huge size.
    if (end < begin) return fail(PayloadFault::kDescending);
    if (end - begin <= kHeaderSize) return fail(PayloadFault::kSpanTooSmall);
    if (!file.Seek(begin) || !file.Read(header, sizeof header))
      return fail(PayloadFault::kHeaderRead);
    header[kMaxPathLength] = '\0';

    PayloadEntry entry;
    entry.index = i;
    entry.begin = begin;
    entry.end = end;
    entry.path.assign(header, std::strlen(header));
    result.path = entry.path;
    if (const PayloadFault rule = CheckStoredPath(entry.path); rule != PayloadFault::kNone)
      return fail(rule);
    const std::size_t slash = entry.path.rfind('\\');
    if (slash != std::string::npos) {
      entry.folder = entry.path.substr(0, slash);
      entry.file_name = entry.path.substr(slash + 1);
    } else {
      entry.file_name = entry.path;
    }
    const PayloadFault fault = visitor.OnEntry(entry, file);
    if (fault != PayloadFault::kNone) return fail(fault);
  }
  result.entry = count - 1;
  result.at_entry = false;
  result.path.clear();
  return result;
}

}  // namespace ovsetup::payload
