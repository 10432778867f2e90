#include "payload/piece_reader.h"

#include "payload/payload_format.h"

namespace ovsetup::payload {

PieceReader::PieceReader(platform::InputFile& file, std::size_t size, char* buffer, bool ahead)
    : file_(file), left_(size), buffers_{buffer, buffer} {
  if (ahead) {
    own_.reset(new char[kCopyBufferSize]);
    buffers_[1] = own_.get();
  }
}

void PieceReader::Run(void* read) {
  Read& r = *static_cast<Read*>(read);
  r.ok = r.file->Read(r.buffer, r.size);
}

std::size_t PieceReader::Take() {
  const std::size_t size = left_ < kCopyBufferSize ? left_ : kCopyBufferSize;
  left_ -= size;
  return size;
}

bool PieceReader::Next(const char** data, std::size_t* size) {
  if (failed_) return false;
  Read done;
  if (pending_.size != 0) {  // read ahead by the last call
    worker_.Wait();
    done = pending_;
    pending_ = Read();
  } else if (left_ != 0) {
    done = {&file_, buffers_[next_], Take(), false};
    Run(&done);
  } else {
    return false;
  }
  if (!done.ok) {
    failed_ = true;
    return false;
  }
  next_ ^= 1;
  if (own_ && left_ != 0) {
    pending_ = {&file_, buffers_[next_], Take(), false};
    if (!worker_.Start(Run, &pending_)) Run(&pending_);  // no thread: read now
  }
  *data = done.buffer;
  *size = done.size;
  return true;
}

}  // namespace ovsetup::payload
