#include "payload/branch_filter.h"

namespace ovsetup::payload {
namespace {

constexpr std::uint32_t kLow25 = 0x1FFFFFF;
constexpr std::uint32_t kBit24 = 0x1000000;

bool IsBranch(unsigned char c) { return c == 0xE8 || c == 0xE9; }

}  // namespace

std::size_t BranchFilter::Apply(unsigned char* data, std::size_t size, bool last) {
  std::size_t k = 0;
  for (; k < size; ++k) {
    if (k + 5 > size) {
      if (!last) break;   // the operand's bytes come with the next call
      at_ += size;        // no operand fits: the rest stays as it is
      return size;
    }
    if (!IsBranch(data[k])) continue;
    const std::uint64_t position = at_ + k;
    const bool near_branch = last_opcode_ != 0 && last_opcode_ - 1 + 3 >= position;
    last_opcode_ = position + 1;
    const unsigned char top = data[k + 4];
    if (near_branch || (top != 0x00 && top != 0xFF)) continue;
    unsigned char* p = data + k + 1;
    std::uint32_t v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                      static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(top) << 24;
    const std::uint32_t offset = static_cast<std::uint32_t>(position + 5);
    v = (encode_ ? v + offset : v - offset) & kLow25;
    if (v & kBit24) v |= ~kLow25;
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
    k += 4;
    last_opcode_ = 0;
  }
  at_ += k;
  return k;
}

}  // namespace ovsetup::payload
