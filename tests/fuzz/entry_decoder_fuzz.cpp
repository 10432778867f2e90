// libFuzzer target: any bytes as a compressed entry body, decoded in pieces
// the input picks. Byte 0 picks the piece size, bytes 1..3 the decoded size
// (below 1 MiB), byte 4 is spare, the rest is the body. Traps when a decoder
// that reports success handed over another number of bytes than asked, and
// when the branch filter, run both ways over the body in those pieces, does
// not give the body back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "payload/branch_filter.h"
#include "payload/entry_decoder.h"

namespace {

using namespace ovsetup::payload;

struct Count : DecodedSink {
  bool Take(const unsigned char*, std::size_t size) override {
    taken += size;
    return true;
  }
  std::size_t taken = 0;
};

// `data` filtered both ways in pieces of `piece` bytes (carrying what is not
// final) equals `data`.
bool FilterRoundTrips(const unsigned char* data, std::size_t size, std::size_t piece) {
  std::vector<unsigned char> encoded(data, data + size);
  BranchFilter(true).Apply(encoded.data(), encoded.size(), true);
  BranchFilter back(false);
  std::vector<unsigned char> decoded, carry;
  for (std::size_t at = 0; at < size; at += piece) {
    const std::size_t end = at + piece < size ? at + piece : size;
    carry.insert(carry.end(), encoded.begin() + at, encoded.begin() + end);
    const std::size_t done = back.Apply(carry.data(), carry.size(), end == size);
    decoded.insert(decoded.end(), carry.begin(), carry.begin() + done);
    carry.erase(carry.begin(), carry.begin() + done);
  }
  return carry.empty() && decoded == std::vector<unsigned char>(data, data + size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const std::size_t piece = 1 + data[0] * 61u;
  const std::uint32_t decoded = data[1] | data[2] << 8 | (data[3] & 0x0F) << 16;
  const unsigned char* body = data + 5;
  const std::size_t body_size = size - 5;

  Count sink;
  PayloadFault fault = PayloadFault::kNone;
  {
    EntryDecoder decoder(decoded, sink);
    for (std::size_t at = 0; at < body_size && fault == PayloadFault::kNone; at += piece)
      fault = decoder.Feed(body + at, piece < body_size - at ? piece : body_size - at);
    if (fault == PayloadFault::kNone) fault = decoder.Finish();
  }
  if (sink.taken > decoded) std::abort();
  if (fault == PayloadFault::kNone && sink.taken != decoded) std::abort();
  if (fault != PayloadFault::kNone && fault != PayloadFault::kDamagedBody) std::abort();
  if (!FilterRoundTrips(body, body_size, piece)) std::abort();
  return 0;
}
