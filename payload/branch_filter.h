// The x86 branch-call filter of compressed entries: the 32-bit operand of
// each near call (E8) and jump (E9) turned from relative to absolute before
// compressing, and back after decoding, so that repeated calls to one
// function become repeated bytes.
//
// The rule, the same both ways so that the decoder picks exactly the places
// the encoder changed: at position k (counted from the entry's first byte),
// a byte E8 or E9 whose operand k+1 .. k+4 lies inside the entry, whose top
// operand byte (k+4) is 00 or FF, and with no E8 or E9 byte in the three
// bytes before it since the last changed operand, has its operand's low 25
// bits offset by k+5 (added when encoding, taken away when decoding, modulo
// 2^25) and bit 24 spread over the top byte again; the scan then goes on
// after the operand. Bytes a changed operand could overlap are never looked
// at again, so the rule reads the same bytes on both sides.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ovsetup::payload {

class BranchFilter {
 public:
  // `encode`: relative to absolute (the packer); else back (the setup).
  explicit BranchFilter(bool encode) : encode_(encode) {}

  // Filters `data[0 .. size)`, the bytes that follow those of earlier calls,
  // in place. Returns how many leading bytes are final; the caller passes
  // the rest (at most 4 bytes) again, in front of the next bytes. With
  // `last` (no bytes follow) every byte is final.
  std::size_t Apply(unsigned char* data, std::size_t size, bool last);

 private:
  bool encode_;
  std::uint64_t at_ = 0;          // position of data[0] in the entry
  std::uint64_t last_opcode_ = 0;  // 1 + where the last E8/E9 since a changed operand lies; 0: none
};

}  // namespace ovsetup::payload
