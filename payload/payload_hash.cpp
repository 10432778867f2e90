#include "payload/payload_hash.h"

#include <memory>

#include "payload/payload_format.h"

// xxHash from Debian's libxxhash-dev, header-only. The 32-bit setup takes
// the scalar code path: it runs on processors without SSE2. Every x86-64
// processor has SSE2, which hashes about four times as fast; the hash is
// the same on either path.
#define XXH_INLINE_ALL
#if defined(__x86_64__)
#define XXH_VECTOR 1  // XXH_SSE2
#else
#define XXH_VECTOR 0  // XXH_SCALAR
#endif
#include <xxhash.h>

namespace ovsetup::payload {

std::uint64_t HashBytes(const void* data, std::size_t size) { return XXH3_64bits(data, size); }

StreamHash::StreamHash() : state_(XXH3_createState()) {
  XXH3_64bits_reset(static_cast<XXH3_state_t*>(state_));
}

StreamHash::~StreamHash() { XXH3_freeState(static_cast<XXH3_state_t*>(state_)); }

void StreamHash::Update(const void* data, std::size_t size) {
  XXH3_64bits_update(static_cast<XXH3_state_t*>(state_), data, size);
}

std::uint64_t StreamHash::Digest() const {
  return XXH3_64bits_digest(static_cast<const XXH3_state_t*>(state_));
}

bool HashFileRange(platform::InputFile& file, std::uint64_t begin, std::uint64_t end,
                   std::uint64_t* hash, const platform::CopyPieces& pieces) {
  if (end < begin || !file.Seek(begin)) return false;
  StreamHash stream;
  const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kCopyBufferSize]);
  for (std::uint64_t left = end - begin; left > 0;) {
    const std::size_t piece =
        left < kCopyBufferSize ? static_cast<std::size_t>(left) : kCopyBufferSize;
    if (!file.Read(buffer.get(), piece)) return false;
    stream.Update(buffer.get(), piece);
    left -= piece;
    if (pieces) pieces(piece);
  }
  *hash = stream.Digest();
  return true;
}

}  // namespace ovsetup::payload
