#include "platform/filesystem_path.h"

#include <windows.h>

namespace ovsetup::platform {

std::filesystem::path FileSystemPath(const std::string& host_path) {
  const int in_size = static_cast<int>(host_path.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, host_path.data(), in_size, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, host_path.data(), in_size, &wide[0], size);
  return std::filesystem::path(wide);
}

}  // namespace ovsetup::platform
