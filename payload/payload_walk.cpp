#include "payload/payload_walk.h"

#include <algorithm>
#include <memory>

#include "payload/compression_record.h"
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
    case PayloadFault::kPathTooLong:
      return "a path the extraction writes would pass the 259 characters Windows takes";
    case PayloadFault::kUntrustedLink:
      return "a folder it writes is a link that a user without rights could have laid";
    case PayloadFault::kDiskFull: return "the target's volume has not enough free space";
    case PayloadFault::kCannotCreate: return "the output file cannot be created";
    case PayloadFault::kBodyRead: return "the body cannot be read whole";
    case PayloadFault::kBodyWrite: return "the body cannot be written whole";
    case PayloadFault::kDamagedBody:
      return "a compressed body does not decode to the size its compression record gives";
    case PayloadFault::kTargetInUse:
      return "an existing file cannot be replaced (a program holds it, or it is read-only or a "
             "folder); nothing was replaced";
    case PayloadFault::kCommitFailed:
      return "a file could not be put in place; the files already replaced have their old "
             "content back";
    case PayloadFault::kVisitorStop: return "stopped";
  }
  return "unknown fault";
}

bool IsDamage(PayloadFault fault) {
  return fault == PayloadFault::kDamagedRecord || fault == PayloadFault::kDamagedLength ||
         fault == PayloadFault::kDamagedHash || fault == PayloadFault::kDamagedTable ||
         fault == PayloadFault::kDamagedBody;
}

namespace {

// OpenPayload once `opened` tells whether the file opened.
WalkResult ReadOpenedPayload(bool opened, bool hash_first, OpenedPayload* payload) {
  WalkResult result;
  auto fail = [&result](PayloadFault fault) {
    result.fault = fault;
    return result;
  };
  platform::InputFile& file = payload->file;
  std::uint64_t file_length = 0;
  if (!opened || !file.Length(&file_length))
    return fail(PayloadFault::kCannotOpen);
  // A signed setup's payload ends at its signature.
  const std::uint64_t length = payload->length = PayloadLength(file, file_length);
  // Before anything else: a damaged setup has no trustworthy table.
  const IntegrityCheck& integrity = payload->integrity =
      hash_first ? CheckIntegrity(file, file_length, length)
                 : ReadIntegrity(file, file_length, length);
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

  std::vector<unsigned char>& tail = payload->tail;
  tail.resize(table_bytes + kOffsetSize);
  if (!file.Seek(length - kOffsetSize - table_bytes) || !file.Read(tail.data(), tail.size()))
    return fail(PayloadFault::kTableRead);
  payload->offsets.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) payload->offsets[i] = ReadLe32(tail.data() + 4 * i);
  if (integrity.has_record &&
      !TableFitsRecord(integrity.record, length, payload->offsets.data(), count))
    return fail(PayloadFault::kDamagedTable);
  if (integrity.has_record && integrity.record.version == kCompressedIntegrityVersion) {
    result.compressed = true;
    const std::uint64_t at = ReadImageEnd(file, file_length) + kIntegrityRecordSize;
    const PayloadFault fault =
        ReadCompressionRecord(file, at, integrity.record.begin, count - 1, &payload->codings);
    if (fault != PayloadFault::kNone) return fail(fault);
  }
  return result;
}

}  // namespace

WalkResult OpenPayload(const std::string& payload_file, bool hash_first, OpenedPayload* payload) {
  return ReadOpenedPayload(payload->file.Open(payload_file), hash_first, payload);
}

WalkResult OpenPayload(const platform::SetupFile& setup, bool hash_first, OpenedPayload* payload) {
  return ReadOpenedPayload(payload->file.Open(setup), hash_first, payload);
}

PayloadFault ReadEntry(OpenedPayload& payload, std::uint32_t i, char* header, PayloadEntry* entry) {
  const std::uint32_t begin = payload.offsets[i];
  const std::uint32_t end = payload.offsets[i + 1];
  if (end >= payload.length) return PayloadFault::kEndBeyondFile;
  // A descending pair would pass the unsigned span test with a huge size.
  if (end < begin) return PayloadFault::kDescending;
  if (end - begin <= kHeaderSize) return PayloadFault::kSpanTooSmall;
  if (!payload.file.Seek(begin) || !payload.file.Read(header, kHeaderSize))
    return PayloadFault::kHeaderRead;
  entry->index = i;
  entry->begin = begin;
  entry->end = end;
  entry->decoded_size = entry->BodySize();
  if (!payload.codings.empty()) {
    const EntryCoding& coding = payload.codings[i];
    entry->compressed = coding.coding == Coding::kLzmaBranch;
    // A stored body is the file; a compressed one holds at least its properties.
    if (entry->compressed ? entry->BodySize() < kLzmaPropertiesSize || coding.decoded_size == 0
                          : coding.decoded_size != entry->BodySize())
      return PayloadFault::kDamagedRecord;
    entry->decoded_size = coding.decoded_size;
  }
  entry->path.assign(header, std::find(header, header + kMaxPathLength, '\0'));  // byte 399: NUL
  if (const PayloadFault rule = CheckStoredPath(entry->path); rule != PayloadFault::kNone)
    return rule;
  const std::size_t slash = entry->path.rfind('\\');
  entry->folder = slash == std::string::npos ? std::string() : entry->path.substr(0, slash);
  entry->file_name = slash == std::string::npos ? entry->path : entry->path.substr(slash + 1);
  return PayloadFault::kNone;
}

WalkResult WalkPayload(const std::string& payload_file, EntryVisitor& visitor) {
  OpenedPayload payload;
  WalkResult result = OpenPayload(payload_file, true, &payload);
  if (!result.ok()) return result;
  const std::uint32_t count = static_cast<std::uint32_t>(payload.offsets.size());
  visitor.OnCompression(result.compressed);
  visitor.OnTable(payload.length, payload.offsets.data(), count);

  char header[kHeaderSize];
  for (std::uint32_t i = 0; i + 1 < count; ++i) {
    result.entry = i;
    result.at_entry = true;
    PayloadEntry entry;
    result.fault = ReadEntry(payload, i, header, &entry);
    result.path = entry.path;
    if (result.fault == PayloadFault::kNone) result.fault = visitor.OnEntry(entry, payload.file);
    if (!result.ok()) return result;
  }
  result.entry = count - 1;
  result.at_entry = false;
  result.path.clear();
  return result;
}

}  // namespace ovsetup::payload
