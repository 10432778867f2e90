#include "drivers/mdmcpq_store.h"

#include <cstring>
#include <memory>

#include "platform/whole_file.h"

namespace ovsetup::drivers {
namespace {

constexpr char kPrefix[] = "mdmcpq.inf_";
constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;

// A name that stays one folder of the store: no separator, no "..".
bool IsStoreFolderName(const char* name, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    const char c = name[i];
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                       (c >= '0' && c <= '9') || c == '_' || c == '.';
    if (!plain || (c == '.' && i + 1 < length && name[i + 1] == '.')) return false;
  }
  return true;
}

}  // namespace

int FindMdmcpqStoreFolder(const std::string& log_path, std::string* folder) {
  std::size_t size = 0;
  const std::unique_ptr<char[]> bytes = platform::ReadWholeFile(log_path, &size);
  if (!bytes) return 0;
  return ScanForMdmcpqStoreFolder(bytes.get(), size, folder);
}

int ScanForMdmcpqStoreFolder(const char* bytes, std::size_t size, std::string* folder) {
  // `b` is the last backslash seen; it starts on the first byte, whatever it
  // is. An apostrophe ends a run but does not start one.
  std::size_t b = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = bytes[i];
    if (c != '\\' && c != '\'') continue;
    if (i - b > 20 && i - b < 60 && std::memcmp(&bytes[b + 1], kPrefix, kPrefixLength) == 0 &&
        IsStoreFolderName(&bytes[b + 1], i - b - 1)) {
      folder->assign(&bytes[b + 1], i - b - 1);
      return 1;
    }
    if (c == '\\') b = i;
  }
  return 0;
}

}  // namespace ovsetup::drivers
