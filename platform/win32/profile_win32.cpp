// Private-profile seam over kernel32's A calls.
#include "platform/profile.h"

#include <windows.h>

namespace ovsetup::platform {
namespace {

// Some implementations write two terminating NULs even into a one-byte
// buffer (or before a zero-byte one); such sizes are answered here.
bool AnswerTinyList(char* buffer, std::uint32_t size) {
  if (size >= 2) return false;
  if (size == 1) buffer[0] = '\0';
  return true;
}

}  // namespace

std::uint32_t ReadIniString(const char* section, const char* key, const char* default_value,
                                char* buffer, std::uint32_t size, const std::string& path) {
  if (size == 0) return 0;
  if ((section == nullptr || key == nullptr) && AnswerTinyList(buffer, size)) return 0;
  return GetPrivateProfileStringA(section, key, default_value, buffer, size, path.c_str());
}

std::uint32_t ReadIniSection(const char* section, char* buffer, std::uint32_t size,
                                 const std::string& path) {
  if (AnswerTinyList(buffer, size)) return 0;
  if (section == nullptr) {
    buffer[0] = buffer[1] = '\0';
    return 0;
  }
  return GetPrivateProfileSectionA(section, buffer, size, path.c_str());
}

int WriteIniString(const char* section, const char* key, const char* value,
                       const std::string& path) {
  // An empty path would name a file in the Windows folder, and a null section
  // only flushes the system's INI cache.
  if (section == nullptr || path.empty()) return 0;
  return WritePrivateProfileStringA(section, key, value, path.c_str()) ? 1 : 0;
}

}  // namespace ovsetup::platform
