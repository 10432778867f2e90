#include "platform/filesystem_path.h"

namespace ovsetup::platform {

std::filesystem::path FileSystemPath(const std::string& host_path) {
  return std::filesystem::path(host_path);
}

}  // namespace ovsetup::platform
