// The integrity record: what a setup built by "ovpack build" says about its
// own payload, so that a damaged, cut-short or grown setup is refused before
// anything is written. It detects damage, not tampering: anyone can write a
// matching record, which is what a signature is for.
//
// It lies right where the stub's image ends (the end of its sections' data
// in the file), in front of offset[0], where no reader of the payload looks,
// and is found from the front of the file, so that a setup cut short is
// still recognised. All integers are little-endian.
//
//   image end                                          begin = offset[0]  end
//   | tag[8] | version | begin | end | hash |  0-7 zero bytes  | entries ... table N |
//   0        8         12      16    20     28
//
// - tag: kIntegrityTag. Bytes that differ from it in at most two places are
//   a damaged record; anything else there is no record (a setup without a
//   record, read exactly as before). The tag holds four control bytes, which
//   neither a stored path nor zero padding holds, so a record-less payload
//   never reads as a damaged record.
// - version: kIntegrityVersion, or kCompressedIntegrityVersion.
// - begin: offset[0], the first byte of the payload.
// - end: the setup's length without a certificate table a signature appends
//   later; the offset table ends there.
// - hash: XXH3-64 (seed 0) of the bytes begin .. end (payload/payload_hash.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "payload/payload_fault.h"
#include "platform/file_io.h"

namespace ovsetup::payload {

constexpr unsigned char kIntegrityTag[8] = {0x89, 'O', 'V', 'I', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kIntegrityVersion = 1;
// The version of a setup whose compression record follows this one
// (payload/compression_record.h); otherwise the same.
constexpr std::uint32_t kCompressedIntegrityVersion = 2;
constexpr std::size_t kIntegrityTagAt = 0, kIntegrityVersionAt = 8, kIntegrityBeginAt = 12,
                      kIntegrityEndAt = 16, kIntegrityHashAt = 20;
constexpr std::size_t kIntegrityRecordSize = 28;
constexpr std::size_t kIntegrityTagSlack = 2;  // differing tag bytes that still mark a record

static_assert(sizeof kIntegrityTag == kIntegrityVersionAt, "the tag is 8 bytes");
static_assert(kIntegrityBeginAt == kIntegrityVersionAt + 4 &&
                  kIntegrityEndAt == kIntegrityBeginAt + 4 && kIntegrityHashAt == kIntegrityEndAt + 4,
              "version, begin and end are 32-bit and back to back");
static_assert(kIntegrityRecordSize == kIntegrityHashAt + 8,
              "the hash is 64-bit and ends the record");

struct IntegrityRecord {
  std::uint32_t version = kIntegrityVersion;
  std::uint32_t begin = 0;  // offset[0]
  std::uint32_t end = 0;    // the setup's length without a certificate table
  std::uint64_t hash = 0;   // of the bytes begin .. end
};

// Writes `record`, tag first, as kIntegrityRecordSize bytes at `out`.
void EncodeIntegrityRecord(const IntegrityRecord& record, unsigned char* out);

// What the record of a setup says about it.
struct IntegrityCheck {
  bool has_record = false;                 // a record, intact or damaged, is there
  PayloadFault fault = PayloadFault::kNone;  // kNone or one of the damage faults
  IntegrityRecord record;                  // as read, when has_record
};

// Looks for the record at the image end of the open setup of `file_length`
// bytes and checks what can be checked without reading the payload: the
// version, and `payload_length` (the file's length up to a signature's
// certificate table) against its end. No record: the file is no PE image,
// its sections do not end inside it, or the tag is not there. Moves the
// file's position.
IntegrityCheck ReadIntegrity(platform::InputFile& file, std::uint64_t file_length,
                             std::uint64_t payload_length);

// ReadIntegrity, then, for a record that holds so far, the hash of begin ..
// end (read in 512000-byte pieces).
IntegrityCheck CheckIntegrity(platform::InputFile& file, std::uint64_t file_length,
                              std::uint64_t payload_length);

// True when the offset table (`count` offsets, in a payload of `length`
// bytes) fits `record`: offset[0] is its begin and the end marker the start
// of the table.
bool TableFitsRecord(const IntegrityRecord& record, std::uint64_t length,
                     const std::uint32_t* offsets, std::uint32_t count);

}  // namespace ovsetup::payload
