// The hash of an integrity record (payload/integrity_record.h): XXH3-64 with
// seed 0, computed without vector instructions so that it runs the same on
// every processor the setup supports.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/non_copyable.h"

namespace ovsetup::payload {

// The hash of `size` bytes at `data`.
std::uint64_t HashBytes(const void* data, std::size_t size);

// The hash of bytes handed over piece by piece, in order: the same as
// HashBytes of them all. Owns its state.
class StreamHash : platform::NonCopyable {
 public:
  StreamHash();
  ~StreamHash();
  void Update(const void* data, std::size_t size);
  std::uint64_t Digest() const;

 private:
  void* state_;
};

// The hash of the bytes `begin` .. `end` of the open `file`, read in
// 512000-byte pieces through one heap buffer. False when they cannot be
// read whole. Moves the file's position. `pieces`, when set, is told each
// piece's bytes as it is read.
bool HashFileRange(platform::InputFile& file, std::uint64_t begin, std::uint64_t end,
                   std::uint64_t* hash, const platform::CopyPieces& pieces = {});

}  // namespace ovsetup::payload
