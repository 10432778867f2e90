// INI file access for the setup: reads and writes through the private-profile
// seam, plus a key-name listing built from the section's lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/non_copyable.h"

namespace ovsetup::ini {

// Receives one string of a list; returns 0 to stop the walk.
using StringVisitor = std::function<int(const char* text)>;

// Walks `list`, NUL-terminated strings ended by an empty one, and calls
// `visitor` for each string in order. 1 when the end of the list was reached;
// 0 as soon as the visitor returns 0, and 0 for a null list or visitor.
int ForEachString(const char* list, const StringVisitor& visitor);

// One INI file, named by its full path. Holds only the path: every call opens
// and closes the file through the platform. Texts are bytes of the ANSI code
// page. A null section or key is a valid argument everywhere.
class IniFile : platform::NonCopyable {
 public:
  virtual ~IniFile() = default;

  // Stores a copy of `path`. Null empties the stored path: the object then
  // names no file (reads give defaults, writes fail), as before the first call.
  void SetPath(const char* path);

  // The key's value, read whole however long, or `default_value` (null: "")
  // shaped as the platform shapes defaults. With section or key null: a plain
  // copy of the default ("" when null), without reading the file.
  std::string GetString(const char* section, const char* key, const char* default_value) const;

  // Writes `value` (null: "", so the key is never deleted). 0 when section or
  // key is null or the write fails, else 1.
  int WriteString(const char* section, const char* key, const char* value) const;

  // With `buffer` (holding `size` bytes; its first byte is set to NUL first):
  // the section's lines as a NUL-separated list ended by one more NUL, and the
  // platform's count (bytes copied without the final NUL; size - 2 when cut).
  // Without a buffer: the bytes a buffer needs for the whole section, both
  // final NULs included (2 for an empty or missing section). Null section: 0.
  int GetSectionData(const char* section, char* buffer, int size) const;

  // The section's key names (lines with "=" not at their start, trimmed), each
  // NUL-terminated, ended by one more NUL, into `buffer` of `size` bytes. Names
  // that do not fit are cut or left out so that the list and its final NUL
  // stay within `size`. Returns the bytes of the names and their NULs, the
  // final NUL not counted; without a buffer the bytes the whole list needs
  // (so a buffer of that plus one holds it). Null section: 0 and "".
  int GetKeyNames(const char* section, char* buffer, int size) const;

  // Replaces `*keys` with the section's key names in file order, none cut.
  // Null `keys`: nothing happens.
  void GetKeyList(const char* section, std::vector<std::string>* keys) const;

 private:
  std::string path_;  // empty: no file
};

}  // namespace ovsetup::ini
