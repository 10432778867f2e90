#include "payload/payload_walk.h"

#include <cstring>
#include <memory>

#include "payload/payload_format.h"
#include "payload/signed_image.h"

namespace ovsetup::payload {

const char* DescribeFault(PayloadFault fault) {
  switch (fault) {
    case PayloadFault::kNone: return "no fault";
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
    case PayloadFault::kWindowsFolder: return "the Windows folder cannot be found";
    case PayloadFault::kCannotCreate: return "the output file cannot be created";
    case PayloadFault::kBodyRead: return "the body cannot be read whole";
    case PayloadFault::kBodyWrite: return "the body cannot be written whole";
    case PayloadFault::kVisitorStop: return "stopped";
  }
  return "unknown fault";
}

bool IsSafeRelativePath(const std::string& path) {
  if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return false;
  if (path.find(':') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t stop = path.find_first_of("\\/", start);
    if (stop == std::string::npos) stop = path.size();
    int dots = 0;
    bool only_dots_and_blanks = stop > start;
    for (std::size_t i = start; i < stop; ++i) {
      if (path[i] == '.') ++dots;
      else if (path[i] != ' ') only_dots_and_blanks = false;
    }
    if (only_dots_and_blanks && dots >= 2) return false;
    start = stop + 1;
  }
  return true;
}

WalkResult WalkPayload(const std::string& payload_file, EntryVisitor& visitor) {
  WalkResult result;
  auto fail = [&result](PayloadFault fault) {
    result.fault = fault;
    return result;
  };

  platform::InputFile file;
  std::uint64_t length = 0;
  if (!file.Open(payload_file) || !file.Length(&length)) return fail(PayloadFault::kCannotOpen);
  length = PayloadLength(file, length);  // a signed setup's payload ends at its signature
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
    if (!IsSafeRelativePath(entry.path)) return fail(PayloadFault::kUnsafePath);
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
