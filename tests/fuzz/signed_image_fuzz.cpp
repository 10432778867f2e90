// libFuzzer target: any byte string as a file, its PE headers read for the
// certificate table and the end of its image. A read at or past the end of
// the input is a finding, as is anything the sanitizers see inside the reader.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "payload/signed_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ovsetup::payload::ReadAt read = [data, size](std::uint64_t position, void* buffer,
                                                     std::size_t count) {
    if (position > size || count > size - position) __builtin_trap();
    std::memcpy(buffer, data + position, count);
    return true;
  };
  ovsetup::payload::ReadSecurityDirectory(read, size);
  ovsetup::payload::ReadImageEnd(read, size);
  return 0;
}
