// A second decoder for the extraction: compressed bodies that were read
// whole (each one piece at most) are decoded into their staged files on a
// thread of its own, a batch at a time, while the extraction goes on
// reading, hashing and decoding the entries after them. Memory: two batches
// of at most kBatchBytes stored bytes (the one being decoded and the one
// being filled) and a decoder (payload/entry_decoder.h, about 4.2 MiB).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "payload/payload_fault.h"
#include "payload/payload_walk.h"
#include "platform/file_io.h"
#include "platform/non_copyable.h"
#include "platform/worker_thread.h"

namespace ovsetup::payload {

class DecodeWorker : platform::NonCopyable {
 public:
  static constexpr std::size_t kBatchBytes = 1 << 20;  // stored bytes of a batch
  static constexpr std::size_t kBatchEntries = 64;     // files a batch holds open

  // One body: its staged file (created by the caller) and its stored bytes.
  struct Body {
    PayloadEntry entry;
    std::size_t tag = 0;  // the caller's
    std::string staged;   // the staged file's name, for a failure's text
    platform::OutputFile out;
    std::unique_ptr<char[]> stored;
  };

  // What became of a batch: kNone with the bytes written, or the first
  // body that failed (kDamagedBody, kBodyWrite with the Windows error).
  struct Result {
    PayloadFault fault = PayloadFault::kNone;
    std::size_t tag = 0;
    std::string staged;
    std::uint32_t system_error = 0;
    std::uint64_t written = 0;
  };

  // Waits for a batch being decoded; bodies never handed over are closed.
  ~DecodeWorker();

  // Whether the next batch has room for a body of `size` stored bytes.
  bool CanTake(std::size_t size) const;
  // A new body of the next batch, `size` bytes in `stored` for the caller
  // to read into and `out` for it to create. Needs CanTake(size).
  Body& Add(const PayloadEntry& entry, std::size_t tag, std::size_t size);

  // True while a batch is being decoded, or its result not yet collected.
  bool busy() const { return busy_; }
  // True when bodies wait for the next batch.
  bool pending() const { return !next_.empty(); }
  // Closes the waiting bodies' files; they are not decoded.
  void Drop();
  // Starts decoding the waiting bodies (each then flushed and closed), on
  // a thread of its own or, where none can be started, before it returns.
  // Must not be busy.
  void Hand();
  // True when the batch is done (then Collect), false after `milliseconds`.
  bool Wait(unsigned milliseconds) { return thread_.Wait(milliseconds); }
  // The result of the batch; the worker is free again.
  Result Collect();

 private:
  static void Run(void* self);

  std::vector<std::unique_ptr<Body>> next_;     // being filled by the caller
  std::size_t next_bytes_ = 0;
  std::vector<std::unique_ptr<Body>> running_;  // being decoded
  Result result_;
  bool busy_ = false;
  platform::WorkerThread thread_;  // last: its destructor waits for the batch in flight
};

}  // namespace ovsetup::payload
