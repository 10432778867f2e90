#include "payload/body_output.h"

namespace ovsetup::payload {

BodyOutput::BodyOutput(const PayloadEntry& entry, platform::OutputFile& out, ProgressCount* count)
    : out_(out), count_(count) {
  if (entry.compressed) decoder_.reset(new EntryDecoder(entry.decoded_size, *this));
}

PayloadFault BodyOutput::Put(const char* piece, std::size_t size) {
  if (decoder_) return decoder_->Feed(reinterpret_cast<const unsigned char*>(piece), size);
  return out_.Write(piece, size) ? PayloadFault::kNone : PayloadFault::kBodyWrite;
}

PayloadFault BodyOutput::Finish() {
  return decoder_ ? decoder_->Finish() : PayloadFault::kNone;
}

bool BodyOutput::Take(const unsigned char* data, std::size_t size) {
  if (!out_.Write(data, size)) return false;
  if (count_ != nullptr) count_->Add(size);
  return true;
}

}  // namespace ovsetup::payload
