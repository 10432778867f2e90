// The stored bytes of one body, read in order in pieces of at most
// kCopyBufferSize bytes. Read ahead, the next piece is read on a second
// thread while the caller works on the last one (decodes it), so that a
// slow medium and the decoder take turns no more; memory: one more
// kCopyBufferSize buffer.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/file_io.h"
#include "platform/non_copyable.h"
#include "platform/worker_thread.h"

namespace ovsetup::payload {

class PieceReader : platform::NonCopyable {
 public:
  // Reads `size` bytes of `file` from its position, into `buffer` (of
  // kCopyBufferSize bytes, the caller's) and, `ahead`, a buffer of its own.
  // `file` and `buffer` must outlive the reader; the file is read only
  // through it while it lives.
  PieceReader(platform::InputFile& file, std::size_t size, char* buffer, bool ahead);

  // The next piece: true with `data` (valid until the next call) and `size`
  // set; false at the end or on a failed read (then failed()).
  bool Next(const char** data, std::size_t* size);
  bool failed() const { return failed_; }

 private:
  struct Read {
    platform::InputFile* file = nullptr;
    char* buffer = nullptr;
    std::size_t size = 0;
    bool ok = false;
  };
  static void Run(void* read);
  std::size_t Take();  // the next piece's size, taken from what is left

  platform::InputFile& file_;
  std::size_t left_;
  bool failed_ = false;
  char* buffers_[2];
  std::unique_ptr<char[]> own_;  // the second buffer, when reading ahead
  Read pending_;                 // the read on the worker, when pending_.size
  int next_ = 0;                 // the buffer the next piece goes into
  platform::WorkerThread worker_;  // last: its destructor waits for a read in flight
};

}  // namespace ovsetup::payload
