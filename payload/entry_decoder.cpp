#include "payload/entry_decoder.h"

#include <cstdlib>
#include <cstring>

#include "LzmaDec.h"
#include "payload/branch_filter.h"
#include "payload/compression_record.h"

namespace ovsetup::payload {
namespace {

constexpr unsigned kMaxLiteralBits = 4;  // lc + lp: the coder's state stays small

void* Allocate(void*, std::size_t size) { return std::malloc(size); }
void Release(void*, void* address) { std::free(address); }

}  // namespace

struct EntryDecoder::State {
  State(std::uint32_t size, DecodedSink& to) : sink(to), left(size) {
    LzmaDec_Construct(&lzma);
  }
  ~State() {
    if (started) LzmaDec_Free(&lzma, &alloc);
  }

  ISzAlloc alloc = {Allocate, Release};
  CLzmaDec lzma;
  DecodedSink& sink;
  BranchFilter filter{false};
  std::uint32_t left;  // decoded bytes still to come
  unsigned char properties[kLzmaPropertiesSize] = {};
  std::size_t properties_read = 0;
  bool started = false;  // the properties were taken and the coder allocated
  bool ended = false;    // the stream said it is finished
  PayloadFault fault = PayloadFault::kNone;
  std::size_t filled = 0;  // decoded bytes in `out`, not yet handed over
  unsigned char out[kDecodedPieceSize];
};

EntryDecoder::EntryDecoder(std::uint32_t decoded_size, DecodedSink& sink)
    : state_(new State(decoded_size, sink)) {}

EntryDecoder::~EntryDecoder() = default;

// Filters and hands over what `out` holds that is final.
PayloadFault EntryDecoder::Deliver(bool last) {
  State& s = *state_;
  const std::size_t done = s.filter.Apply(s.out, s.filled, last);
  if (done > 0 && !s.sink.Take(s.out, done)) return s.fault = PayloadFault::kBodyWrite;
  std::memmove(s.out, s.out + done, s.filled - done);
  s.filled -= done;
  return PayloadFault::kNone;
}

PayloadFault EntryDecoder::Feed(const unsigned char* data, std::size_t size) {
  State& s = *state_;
  if (s.fault != PayloadFault::kNone) return s.fault;
  while (!s.started && size > 0) {
    s.properties[s.properties_read++] = *data++;
    --size;
    if (s.properties_read < kLzmaPropertiesSize) continue;
    CLzmaProps props;
    if (LzmaProps_Decode(&props, s.properties, kLzmaPropertiesSize) != SZ_OK ||
        props.dicSize > kMaxDictionary || props.lc + props.lp > kMaxLiteralBits ||
        LzmaDec_Allocate(&s.lzma, s.properties, kLzmaPropertiesSize, &s.alloc) != SZ_OK)
      return s.fault = PayloadFault::kDamagedBody;
    LzmaDec_Init(&s.lzma);
    s.started = true;
  }
  while (size > 0) {
    if (s.left == 0 || s.ended) return s.fault = PayloadFault::kDamagedBody;  // bytes to spare
    const std::size_t room = sizeof s.out - s.filled;
    SizeT out_size = room < s.left ? room : s.left;
    const bool to_end = out_size == s.left;
    SizeT in_size = size;
    ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
    if (LzmaDec_DecodeToBuf(&s.lzma, s.out + s.filled, &out_size, data, &in_size,
                            to_end ? LZMA_FINISH_END : LZMA_FINISH_ANY, &status) != SZ_OK)
      return s.fault = PayloadFault::kDamagedBody;
    data += in_size;
    size -= in_size;
    s.filled += out_size;
    s.left -= static_cast<std::uint32_t>(out_size);
    s.ended = status == LZMA_STATUS_FINISHED_WITH_MARK;
    if (s.filled == sizeof s.out || s.left == 0) {
      if (Deliver(s.left == 0) != PayloadFault::kNone) return s.fault;
    } else if (in_size == 0 && out_size == 0) {
      return s.fault = PayloadFault::kDamagedBody;  // stuck: the stream ended early
    }
  }
  return PayloadFault::kNone;
}

PayloadFault EntryDecoder::Finish() {
  State& s = *state_;
  if (s.fault != PayloadFault::kNone) return s.fault;
  if (!s.started || s.left != 0) return s.fault = PayloadFault::kDamagedBody;
  return s.filled == 0 ? PayloadFault::kNone : Deliver(true);
}

}  // namespace ovsetup::payload
