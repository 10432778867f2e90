#include "payload/compression_record.h"

#include "payload/payload_format.h"
#include "payload/payload_hash.h"

namespace ovsetup::payload {

void EncodeCompressionRecord(const std::vector<EntryCoding>& codings, unsigned char* out) {
  for (std::size_t i = 0; i < sizeof kCompressionTag; ++i)
    out[kCompressionTagAt + i] = kCompressionTag[i];
  WriteLe32(out + kCompressionCountAt, static_cast<std::uint32_t>(codings.size()));
  unsigned char* entry = out + kCompressionHeaderSize;
  for (const EntryCoding& coding : codings) {
    WriteLe32(entry + kCodingDecodedAt, coding.decoded_size);
    WriteLe32(entry + kCodingKindAt, static_cast<std::uint32_t>(coding.coding));
    entry += kCodingSize;
  }
  const std::uint64_t hash = HashBytes(out + kCompressionHeaderSize, kCodingSize * codings.size());
  WriteLe32(out + kCompressionHashAt, static_cast<std::uint32_t>(hash));
  WriteLe32(out + kCompressionHashAt + 4, static_cast<std::uint32_t>(hash >> 32));
}

PayloadFault ReadCompressionRecord(platform::InputFile& file, std::uint64_t at,
                                   std::uint64_t begin, std::uint32_t count,
                                   std::vector<EntryCoding>* codings) {
  const std::size_t size = CompressionRecordSize(count);
  std::vector<unsigned char> raw(size);
  if (begin < at || begin - at < size || !file.Seek(at) || !file.Read(raw.data(), size))
    return PayloadFault::kDamagedRecord;
  for (std::size_t i = 0; i < sizeof kCompressionTag; ++i)
    if (raw[kCompressionTagAt + i] != kCompressionTag[i]) return PayloadFault::kDamagedRecord;
  const std::uint64_t hash = ReadLe32(&raw[kCompressionHashAt]) |
                             std::uint64_t{ReadLe32(&raw[kCompressionHashAt + 4])} << 32;
  if (ReadLe32(&raw[kCompressionCountAt]) != count ||
      HashBytes(&raw[kCompressionHeaderSize], size - kCompressionHeaderSize) != hash)
    return PayloadFault::kDamagedRecord;
  codings->resize(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const unsigned char* entry = &raw[kCompressionHeaderSize + kCodingSize * i];
    const std::uint32_t kind = ReadLe32(entry + kCodingKindAt);
    if (kind > static_cast<std::uint32_t>(Coding::kLzmaBranch)) return PayloadFault::kDamagedRecord;
    (*codings)[i].coding = static_cast<Coding>(kind);
    (*codings)[i].decoded_size = ReadLe32(entry + kCodingDecodedAt);
  }
  return PayloadFault::kNone;
}

}  // namespace ovsetup::payload
