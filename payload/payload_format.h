// The payload: a flat archive appended to the setup executable, found from
// the end of the file alone. All integers are unsigned 32-bit little-endian;
// Length is the length of the whole file, or of a signed file up to its
// certificate table (payload/signed_image.h).
//
//   offset[0]                      offset[1]                 offset[N-1]
//   |<-------- entry 0 -------->|<-- entry 1 ... -->|        |
//   +---------------------------+-------------------+--------+-----------------+-----+
//   | (executable image)        | path[400] | body  |  ...   | offset[0..N-1]  |  N  |
//   +---------------------------+-------------------+--------+-----------------+-----+
//                                                             ^ Length-4-4N     ^ Length-4
//
// - N counts offsets: N-1 entries, entry i spans offset[i] .. offset[i+1].
// - offset[N-1] is the end marker; well formed, it equals Length-4-4N.
// - An entry is a 400-byte path header (ANSI code page, "\" separators, up to
//   the first NUL; byte 399 always reads as NUL; bytes after the NUL are
//   left-overs and ignored) followed by the file's bytes, stored as is.
// - A folder's entries come before its subfolders' entries, because
//   extraction creates only the last folder level of each entry.
#pragma once

#include <cstddef>
#include <cstdint>

#include "payload/folder_names.h"  // the payload folders the extractions single out

namespace ovsetup::payload {

constexpr std::size_t kHeaderSize = 400;          // path header of one entry
constexpr std::size_t kMaxPathLength = kHeaderSize - 1;
constexpr std::uint32_t kMaxOffsetCount = 600;     // N, so at most 599 entries
constexpr std::size_t kMaxEntries = kMaxOffsetCount - 1;
constexpr std::size_t kCopyBufferSize = 512000;    // bodies up to this size share one buffer
constexpr std::size_t kOffsetSize = 4;

static_assert(kHeaderSize == 400, "the path header is 400 bytes on disk");
static_assert(kOffsetSize == sizeof(std::uint32_t), "offsets are 32-bit on disk");

// Reads a little-endian 32-bit integer from 4 bytes.
inline std::uint32_t ReadLe32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Writes `v` as 4 little-endian bytes.
inline void WriteLe32(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace ovsetup::payload
