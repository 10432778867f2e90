// Where a staged entry's stored body goes, piece by piece: into its file as
// it is, or, for a compressed entry, through an EntryDecoder.
#pragma once

#include <cstddef>
#include <memory>

#include "payload/entry_decoder.h"
#include "payload/payload_walk.h"
#include "payload/staged_files.h"
#include "platform/file_io.h"

namespace ovsetup::payload {

class BodyOutput : DecodedSink {
 public:
  // Writes `entry`'s file into `out` (open, which must outlive this); for a
  // compressed entry, tells `count` (when given) of each decoded piece
  // written, so that a caller's windows keep answering however far a
  // stored piece decodes.
  BodyOutput(const PayloadEntry& entry, platform::OutputFile& out, ProgressCount* count);

  // The next `size` stored bytes: kNone, kBodyWrite or kDamagedBody.
  PayloadFault Put(const char* piece, std::size_t size);

  // After the last stored byte: kNone, or kDamagedBody when a compressed
  // body did not decode to its size (kBodyWrite on a failed write). Does
  // not close `out`.
  PayloadFault Finish();

 private:
  bool Take(const unsigned char* data, std::size_t size) override;
  platform::OutputFile& out_;
  ProgressCount* count_;
  std::unique_ptr<EntryDecoder> decoder_;  // for a compressed entry
};

}  // namespace ovsetup::payload
