// The compression record of a setup built with "ovpack build --compress":
// per entry, whether its body is compressed and the size of the file it
// decodes to, known before the first byte is written. Setups built without
// the flag have none and are read exactly as before.
//
// It follows the integrity record (payload/integrity_record.h), whose
// version is then kCompressedIntegrityVersion, in the same place no reader
// of the payload looks: between the stub's image end and offset[0]. The
// integrity hash covers the bodies as stored; the record carries its own
// hash. All integers are little-endian.
//
//   image end    +28                                                  begin
//   | integrity | tag[8] | count | hash | entry 0 | ... | entry count-1 | 0-7 zero bytes | entries ...
//               0        8       12     20
//
//   entry: | decoded size | coding |   (8 bytes each)
//          0              4
//
// - tag: kCompressionTag; count: the payload's entries (N-1); hash: XXH3-64
//   (seed 0) of the count entries' bytes.
// - decoded size: the file's size; for a stored entry its body's size.
// - coding: kStored (the body is the file) or kLzmaBranch: 5 bytes of LZMA
//   properties (a dictionary of at most kMaxDictionary), the LZMA stream
//   without end mark, and the file behind it with the x86 branch filter
//   (payload/branch_filter.h) applied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "payload/payload_fault.h"
#include "platform/file_io.h"

namespace ovsetup::payload {

constexpr unsigned char kCompressionTag[8] = {0x89, 'O', 'V', 'C', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kCompressionTagAt = 0, kCompressionCountAt = 8, kCompressionHashAt = 12,
                      kCompressionHeaderSize = 20;
constexpr std::size_t kCodingDecodedAt = 0, kCodingKindAt = 4, kCodingSize = 8;
constexpr std::uint32_t kMaxDictionary = 4u << 20;  // the decoder's window, bytes
constexpr std::size_t kLzmaPropertiesSize = 5;

static_assert(sizeof kCompressionTag == kCompressionCountAt, "the tag is 8 bytes");
static_assert(kCompressionHashAt == kCompressionCountAt + 4 &&
                  kCompressionHeaderSize == kCompressionHashAt + 8,
              "a 32-bit count, then a 64-bit hash");
static_assert(kCodingKindAt == kCodingDecodedAt + 4 && kCodingSize == kCodingKindAt + 4,
              "an entry's coding is two 32-bit fields");

enum class Coding : std::uint32_t { kStored = 0, kLzmaBranch = 1 };

struct EntryCoding {
  Coding coding = Coding::kStored;
  std::uint32_t decoded_size = 0;
};

// Bytes of the record for `count` entries.
constexpr std::size_t CompressionRecordSize(std::size_t count) {
  return kCompressionHeaderSize + kCodingSize * count;
}

// Writes the record of `codings` as CompressionRecordSize(codings.size())
// bytes at `out`.
void EncodeCompressionRecord(const std::vector<EntryCoding>& codings, unsigned char* out);

// Reads the record at `at` of the open setup for `count` entries; it must
// end at or before `begin` (offset[0]). kNone with `codings` filled, or
// kDamagedRecord (no tag, another count, a hash or a coding that does not
// hold). Moves the file's position.
PayloadFault ReadCompressionRecord(platform::InputFile& file, std::uint64_t at,
                                   std::uint64_t begin, std::uint32_t count,
                                   std::vector<EntryCoding>* codings);

}  // namespace ovsetup::payload
