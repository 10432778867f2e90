#include "platform/whole_file.h"

#include <cstdint>
#include <new>

#include "platform/file_io.h"

namespace ovsetup::platform {

std::unique_ptr<char[]> ReadWholeFile(const std::string& path, std::size_t* size) {
  *size = 0;
  InputFile file;
  std::uint64_t length = 0;
  if (!file.Open(path) || !file.Length(&length) || length > SIZE_MAX) return nullptr;
  const std::size_t bytes = static_cast<std::size_t>(length);
  std::unique_ptr<char[]> block(new (std::nothrow) char[bytes > 0 ? bytes : 1]);
  if (!block || !file.Read(block.get(), bytes)) return nullptr;
  *size = bytes;
  return block;
}

}  // namespace ovsetup::platform
