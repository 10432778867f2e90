#include "payload/integrity_record.h"

#include "payload/payload_format.h"
#include "payload/payload_hash.h"
#include "payload/signed_image.h"

namespace ovsetup::payload {
namespace {

void WriteLe64(unsigned char* p, std::uint64_t v) {
  WriteLe32(p, static_cast<std::uint32_t>(v));
  WriteLe32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

std::uint64_t ReadLe64(const unsigned char* p) {
  return ReadLe32(p) | std::uint64_t{ReadLe32(p + 4)} << 32;
}

// How many of the 8 bytes at `p` differ from the tag.
std::size_t TagDistance(const unsigned char* p) {
  std::size_t differ = 0;
  for (std::size_t i = 0; i < sizeof kIntegrityTag; ++i) differ += p[i] != kIntegrityTag[i];
  return differ;
}

}  // namespace

void EncodeIntegrityRecord(const IntegrityRecord& record, unsigned char* out) {
  for (std::size_t i = 0; i < sizeof kIntegrityTag; ++i)
    out[kIntegrityTagAt + i] = kIntegrityTag[i];
  WriteLe32(out + kIntegrityVersionAt, record.version);
  WriteLe32(out + kIntegrityBeginAt, record.begin);
  WriteLe32(out + kIntegrityEndAt, record.end);
  WriteLe64(out + kIntegrityHashAt, record.hash);
}

IntegrityCheck ReadIntegrity(platform::InputFile& file, std::uint64_t file_length,
                             std::uint64_t payload_length) {
  IntegrityCheck check;
  const std::uint64_t at = ReadImageEnd(file, file_length);
  unsigned char raw[kIntegrityRecordSize];
  if (at == 0 || file_length - at < sizeof raw || !file.Seek(at) || !file.Read(raw, sizeof raw))
    return check;
  const std::size_t differ = TagDistance(raw + kIntegrityTagAt);
  if (differ > kIntegrityTagSlack) return check;
  check.has_record = true;
  IntegrityRecord& record = check.record;
  record.version = ReadLe32(raw + kIntegrityVersionAt);
  record.begin = ReadLe32(raw + kIntegrityBeginAt);
  record.end = ReadLe32(raw + kIntegrityEndAt);
  record.hash = ReadLe64(raw + kIntegrityHashAt);

  const bool known = record.version == kIntegrityVersion ||
                     record.version == kCompressedIntegrityVersion;
  if (differ != 0 || !known ||
      record.begin < at + kIntegrityRecordSize || record.begin > record.end) {
    check.fault = PayloadFault::kDamagedRecord;
  } else if (record.end != payload_length) {
    check.fault = PayloadFault::kDamagedLength;
  }
  return check;
}

IntegrityCheck CheckIntegrity(platform::InputFile& file, std::uint64_t file_length,
                              std::uint64_t payload_length) {
  IntegrityCheck check = ReadIntegrity(file, file_length, payload_length);
  if (!check.has_record || check.fault != PayloadFault::kNone) return check;
  std::uint64_t hash = 0;
  if (!HashFileRange(file, check.record.begin, check.record.end, &hash) ||
      hash != check.record.hash)
    check.fault = PayloadFault::kDamagedHash;
  return check;
}

bool TableFitsRecord(const IntegrityRecord& record, std::uint64_t length,
                     const std::uint32_t* offsets, std::uint32_t count) {
  return offsets[0] == record.begin &&
         offsets[count - 1] == length - kOffsetSize - std::uint64_t{kOffsetSize} * count;
}

}  // namespace ovsetup::payload
