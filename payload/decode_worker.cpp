#include "payload/decode_worker.h"

#include <utility>

#include "payload/body_output.h"
#include "platform/file_ops.h"

namespace ovsetup::payload {

DecodeWorker::~DecodeWorker() { thread_.Wait(); }

bool DecodeWorker::CanTake(std::size_t size) const {
  return next_.size() < kBatchEntries && next_bytes_ + size <= kBatchBytes;
}

DecodeWorker::Body& DecodeWorker::Add(const PayloadEntry& entry, std::size_t tag,
                                      std::size_t size) {
  next_.emplace_back(new Body);
  Body& body = *next_.back();
  body.entry = entry;
  body.tag = tag;
  body.stored.reset(new char[size]);
  next_bytes_ += size;
  return body;
}

void DecodeWorker::Drop() {
  next_.clear();
  next_bytes_ = 0;
}

void DecodeWorker::Hand() {
  running_ = std::move(next_);
  next_.clear();
  next_bytes_ = 0;
  result_ = Result();
  busy_ = true;
  if (!thread_.Start(Run, this)) Run(this);
}

void DecodeWorker::Run(void* self) {
  DecodeWorker& w = *static_cast<DecodeWorker*>(self);
  for (const std::unique_ptr<Body>& each : w.running_) {
    Body& b = *each;
    BodyOutput body(b.entry, b.out, nullptr);
    PayloadFault fault = body.Put(b.stored.get(), b.entry.BodySize());
    if (fault == PayloadFault::kNone) fault = body.Finish();
    if (fault == PayloadFault::kNone && !(b.out.Flush() && b.out.Close()))
      fault = PayloadFault::kBodyWrite;
    if (fault != PayloadFault::kNone) {
      Result& r = w.result_;
      r.fault = fault;
      r.tag = b.tag;
      r.staged = b.staged;
      // The error is this thread's own, so it is read here.
      if (fault == PayloadFault::kBodyWrite) r.system_error = platform::LastFileError();
      break;
    }
    b.stored.reset();
    w.result_.written += b.entry.decoded_size;
  }
  w.running_.clear();  // closes the files of a batch that stopped
}

DecodeWorker::Result DecodeWorker::Collect() {
  thread_.Wait();
  busy_ = false;
  return result_;
}

}  // namespace ovsetup::payload
