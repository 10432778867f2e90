#include "ini/ini_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/ansi_text.h"
#include "platform/profile.h"

namespace ovsetup::ini {
namespace {

// Reads grow their buffer by this much until the text fits.
constexpr std::uint32_t kReadStep = 512;

// The blanks dropped around a key name.
constexpr char kNameBlanks[] = " \t\r\n";

}  // namespace

int ForEachString(const char* list, const StringVisitor& visitor) {
  if (list == nullptr || !visitor) return 0;
  for (const char* at = list; *at != '\0'; at += std::strlen(at) + 1)
    if (visitor(at) == 0) return 0;
  return 1;
}

void IniFile::SetPath(const char* path) {
  if (path != nullptr) path_ = path;
  else path_.clear();
}

std::string IniFile::GetString(const char* section, const char* key,
                               const char* default_value) const {
  if (default_value == nullptr) default_value = "";
  if (section == nullptr || key == nullptr) return default_value;
  // The platform returns size - 1 when the value did not fit, so a count that
  // reaches size - 1 may be cut: read again with more room.
  for (std::uint32_t size = kReadStep;; size += kReadStep) {
    std::vector<char> block(size + 1);
    const std::uint32_t count =
        platform::ReadIniString(section, key, default_value, block.data(), size, path_);
    if (count + 1 < size) return block.data();
  }
}

int IniFile::WriteString(const char* section, const char* key, const char* value) const {
  if (section == nullptr || key == nullptr) return 0;
  return platform::WriteIniString(section, key, value != nullptr ? value : "", path_);
}

int IniFile::GetSectionData(const char* section, char* buffer, int size) const {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (section == nullptr) return 0;
  if (buffer != nullptr) {
    if (size <= 0) return 0;
    return static_cast<int>(
        platform::ReadIniSection(section, buffer, static_cast<std::uint32_t>(size), path_));
  }
  // A cut section comes back as size - 2: read again until two bytes spare.
  for (std::uint32_t room = kReadStep;; room += kReadStep) {
    std::vector<char> block(room + 1);
    const std::uint32_t count = platform::ReadIniSection(section, block.data(), room, path_);
    if (count + 2 < room) return static_cast<int>(count + 2);
  }
}

int IniFile::GetKeyNames(const char* section, char* buffer, int size) const {
  const bool fill = buffer != nullptr && size > 0;
  if (fill) buffer[0] = '\0';
  if (section == nullptr) return 0;

  const int needed = GetSectionData(section, nullptr, 0);
  std::vector<char> lines(static_cast<std::size_t>(needed) + 1);
  GetSectionData(section, lines.data(), needed + 1);

  int total = 0;
  int room = fill ? size - 1 : 0;  // the list's final NUL always has its byte
  ForEachString(lines.data(), [&](const char* line) {
    // "=" never occurs as the trail byte of a double-byte character in the
    // Windows code pages, so a byte search finds the first "=" character.
    const char* equals = std::strchr(line, '=');
    if (equals == nullptr || equals == line) return 1;
    const std::string name = platform::Trim(std::string(line, equals), kNameBlanks);
    if (name.empty()) return 1;  // an empty name would end the list early
    if (buffer == nullptr) {
      total += static_cast<int>(name.size()) + 1;
    } else if (room >= 2) {
      const int kept = std::min(static_cast<int>(name.size()), room - 1);
      std::memcpy(buffer + total, name.data(), static_cast<std::size_t>(kept));
      buffer[total + kept] = '\0';
      total += kept + 1;
      room -= kept + 1;
    }
    return 1;
  });
  if (fill) buffer[total] = '\0';
  return total;
}

void IniFile::GetKeyList(const char* section, std::vector<std::string>* keys) const {
  if (keys == nullptr) return;
  keys->clear();
  const int total = GetKeyNames(section, nullptr, 0);
  std::vector<char> names(static_cast<std::size_t>(total) + 1);
  GetKeyNames(section, names.data(), total + 1);
  ForEachString(names.data(), [keys](const char* name) {
    keys->push_back(name);
    return 1;
  });
}

}  // namespace ovsetup::ini
