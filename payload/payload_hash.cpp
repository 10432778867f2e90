#include "payload/payload_hash.h"

#include <memory>

#include "payload/payload_format.h"

// xxHash from Debian's libxxhash-dev, header-only. The scalar code path: the
// 32-bit setup runs on processors without SSE2, and one path everywhere
// keeps the builds alike.
#define XXH_INLINE_ALL
#define XXH_VECTOR 0  // XXH_SCALAR
#include <xxhash.h>

namespace ovsetup::payload {

std::uint64_t HashBytes(const void* data, std::size_t size) { return XXH3_64bits(data, size); }

bool HashFileRange(platform::InputFile& file, std::uint64_t begin, std::uint64_t end,
                   std::uint64_t* hash) {
  if (end < begin || !file.Seek(begin)) return false;
  XXH3_state_t state;
  XXH3_INITSTATE(&state);
  XXH3_64bits_reset(&state);
  const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kCopyBufferSize]);
  for (std::uint64_t left = end - begin; left > 0;) {
    const std::size_t piece =
        left < kCopyBufferSize ? static_cast<std::size_t>(left) : kCopyBufferSize;
    if (!file.Read(buffer.get(), piece)) return false;
    XXH3_64bits_update(&state, buffer.get(), piece);
    left -= piece;
  }
  *hash = XXH3_64bits_digest(&state);
  return true;
}

}  // namespace ovsetup::payload
