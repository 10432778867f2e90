// Signed setups: signing a PE image appends its attribute certificate table
// after everything else, the payload included, and records the table's file
// offset and size in the security directory (data directory entry 4) of the
// optional header. The payload then ends where that table begins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/file_io.h"

namespace ovsetup::payload {

// Reads `size` bytes at absolute `position` into `buffer`; false when it
// cannot. The header reader never asks for a byte at or past the file length.
using ReadAt = std::function<bool(std::uint64_t position, void* buffer, std::size_t size)>;

// What the security directory of a PE image says. Unlike the other data
// directories, its "address" is a file offset.
struct CertificateTable {
  std::uint32_t offset = 0;  // file offset of the certificate table
  std::uint32_t size = 0;    // its size in bytes; 0: the image has none

  // True when the table is the file's signature: non-empty and ending exactly
  // at the end of a file of `file_length` bytes.
  bool SignsFile(std::uint64_t file_length) const {
    return size != 0 && std::uint64_t{offset} + size == file_length;
  }
};

// Reads the security directory of the file of `file_length` bytes behind
// `read`: the DOS header ("MZ", e_lfanew), the "PE\0\0" signature, the COFF
// header and a PE32 or PE32+ optional header that holds entry 4. Every field
// is checked to lie inside the file and inside its own header first; any
// damage, a failed read or a missing entry gives an empty table.
CertificateTable ReadSecurityDirectory(const ReadAt& read, std::uint64_t file_length);

// The same over an open file (moves its position).
CertificateTable ReadSecurityDirectory(platform::InputFile& file, std::uint64_t file_length);

// The end of the image's section data in the file of `file_length` bytes
// behind `read`: the largest PointerToRawData + SizeOfRawData of its
// sections (1 to 96 of them, in the section table that follows the optional
// header). Where "ovpack build" appends to a stub, so where a setup's
// integrity record lies (payload/integrity_record.h). 0 when the headers or
// the section table are damaged or cut off, or a section ends past the file.
std::uint64_t ReadImageEnd(const ReadAt& read, std::uint64_t file_length);

// The same over an open file (moves its position).
std::uint64_t ReadImageEnd(platform::InputFile& file, std::uint64_t file_length);

// The payload's Length in an open file of `file_length` bytes: the offset of
// the certificate table when it signs the file, else the file length.
std::uint64_t PayloadLength(platform::InputFile& file, std::uint64_t file_length);

}  // namespace ovsetup::payload
