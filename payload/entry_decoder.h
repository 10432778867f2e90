// Decoding of one compressed entry body (payload/compression_record.h) as
// its stored bytes are read, piece by piece, so that memory stays the same
// whatever the body's size: the LZMA window the properties ask for (at most
// kMaxDictionary, 4 MiB), the coder's state (at most 28 KiB: lc + lp of at
// most 4) and one kDecodedPieceSize buffer, about 4.2 MiB in all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "payload/payload_fault.h"
#include "platform/non_copyable.h"

namespace ovsetup::payload {

constexpr std::size_t kDecodedPieceSize = 65536;  // decoded bytes handed over at a time

// Where the decoded bytes of an entry go, in order.
class DecodedSink {
 public:
  virtual ~DecodedSink() = default;
  // False when the bytes could not be taken (a failed write).
  virtual bool Take(const unsigned char* data, std::size_t size) = 0;
};

class EntryDecoder : platform::NonCopyable {
 public:
  // A body that decodes to `decoded_size` bytes, each handed to `sink`
  // (which must outlive the decoder).
  EntryDecoder(std::uint32_t decoded_size, DecodedSink& sink);
  ~EntryDecoder();

  // The next `size` stored bytes. kNone; kDamagedBody when they do not
  // decode (bad properties, a window over 4 MiB, bad data, more than the
  // decoded size); kBodyWrite when the sink refused bytes. After a fault
  // the decoder takes nothing more.
  PayloadFault Feed(const unsigned char* data, std::size_t size);

  // After the last stored byte: kNone when exactly the decoded size came
  // out and the stream ended there, else kDamagedBody (or kBodyWrite).
  PayloadFault Finish();

 private:
  struct State;
  PayloadFault Deliver(bool last);
  std::unique_ptr<State> state_;
};

}  // namespace ovsetup::payload
