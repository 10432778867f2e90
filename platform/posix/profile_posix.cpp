// Linux stand-in of the private-profile seam: each call loads the whole file
// into an IniText, answers from it, and a write stores the edited bytes back.
// Buffer filling follows kernel32's counts byte for byte, including where it
// cuts lists that do not fit.
#include "platform/profile.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "platform/file_io.h"
#include "platform/posix/host_path.h"
#include "platform/posix/ini_engine.h"
#include "platform/whole_file.h"

namespace ovsetup::platform {
namespace {

enum class Load { kRead, kMissing, kUnreadable };

Load LoadFile(const std::string& path, std::string* bytes) {
  bytes->clear();
  if (path.empty()) return Load::kMissing;
  std::size_t size = 0;
  const std::unique_ptr<char[]> block = ReadWholeFile(path, &size);
  if (block) {
    bytes->assign(block.get(), size);
    return Load::kRead;
  }
  return ::access(ToHostPath(path).c_str(), F_OK) == 0 ? Load::kUnreadable : Load::kMissing;
}

IniText LoadText(const std::string& path) {
  std::string bytes;
  LoadFile(path, &bytes);
  return IniText(std::move(bytes));
}

// One pair of matching quotes (" or ') around the whole text is removed.
std::string StripQuotes(const std::string& text) {
  if (text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0])
    return text.substr(1, text.size() - 2);
  return text;
}

// The default as kernel32 hands it back: trailing spaces dropped (the first
// byte always stays), then quotes removed.
std::string ShapeDefault(const char* default_value) {
  std::string text = default_value != nullptr ? default_value : "";
  while (text.size() > 1 && text.back() == ' ') text.pop_back();
  return StripQuotes(text);
}

// A single text: at most size - 1 bytes and a NUL. size >= 1.
std::uint32_t CopyText(const std::string& text, char* buffer, std::uint32_t size) {
  const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<std::uint32_t>(n);
}

std::string JoinList(const std::vector<std::string>& items) {
  std::string list;
  for (const std::string& item : items) list.append(item).push_back('\0');
  return list;
}

// Section-name list: fits only with a byte to spare after the final NUL;
// otherwise the first size - 2 bytes, a NUL, and size - 2. size >= 2.
std::uint32_t CopySectionNames(const std::vector<std::string>& names, char* buffer,
                               std::uint32_t size) {
  const std::string list = JoinList(names);
  if (list.size() + 1 < size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<std::uint32_t>(list.size());
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  return size - 2;
}

// Key-name list: name by name, each cut to leave two bytes; stops when two
// bytes or fewer remain. When the buffer ran full the count is size - 2 and
// no list terminator follows the last name. size >= 2.
std::uint32_t CopyKeyNames(const std::vector<std::string>& names, char* buffer,
                           std::uint32_t size) {
  std::uint32_t at = 0, left = size;
  for (const std::string& name : names) {
    if (left <= 2) break;
    const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(name.size(), left - 2));
    std::memcpy(buffer + at, name.data(), n);
    buffer[at + n] = '\0';
    at += n + 1;
    left -= n + 1;
    if (left < 2) return size - 2;
  }
  buffer[at] = '\0';
  return at;
}

// Section lines: fit only with a byte to spare; otherwise the buffer is
// filled, ends with two NULs, and the count is size - 2. size >= 2.
std::uint32_t CopySectionLines(const std::vector<std::string>& lines, char* buffer,
                               std::uint32_t size) {
  const std::string list = JoinList(lines);
  if (list.size() + 2 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    if (list.empty()) buffer[1] = '\0';
    return static_cast<std::uint32_t>(list.size());
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = buffer[size - 1] = '\0';
  return size - 2;
}

}  // namespace

std::uint32_t ReadIniString(const char* section, const char* key, const char* default_value,
                                char* buffer, std::uint32_t size, const std::string& path) {
  if (size == 0) return 0;
  const IniText text = LoadText(path);
  if (section != nullptr && key != nullptr) {
    std::string value;
    if (text.FindValue(section, key, &value)) return CopyText(StripQuotes(value), buffer, size);
    return CopyText(ShapeDefault(default_value), buffer, size);
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  if (section == nullptr) return CopySectionNames(text.SectionNames(), buffer, size);
  // A list whose first name is empty is the empty list.
  const std::vector<std::string> names = text.KeyNames(section);
  if (names.empty() || names[0].empty()) return CopyText(ShapeDefault(default_value), buffer, size);
  return CopyKeyNames(names, buffer, size);
}

std::uint32_t ReadIniSection(const char* section, char* buffer, std::uint32_t size,
                                 const std::string& path) {
  if (size == 0) return 0;
  if (size == 1 || section == nullptr) {
    std::memset(buffer, 0, std::min<std::uint32_t>(size, 2));
    return 0;
  }
  return CopySectionLines(LoadText(path).SectionLines(section), buffer, size);
}

int WriteIniString(const char* section, const char* key, const char* value,
                       const std::string& path) {
  if (section == nullptr || path.empty()) return 0;
  std::string bytes;
  const Load load = LoadFile(path, &bytes);
  if (load == Load::kUnreadable) return 0;
  const bool deleting = key == nullptr || value == nullptr;
  if (load == Load::kMissing && deleting) return 1;  // nothing to delete
  IniText text(std::move(bytes));
  if (key == nullptr) text.DeleteSection(section);
  else if (value == nullptr) text.DeleteKey(section, key);
  else text.SetValue(section, key, value);

  OutputFile out;
  return out.Create(path) && out.Write(text.bytes().data(), text.bytes().size()) && out.Close()
             ? 1
             : 0;
}

}  // namespace ovsetup::platform
