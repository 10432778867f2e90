// Private-profile (INI file) seam of the core. platform/win32 makes the real
// kernel32 calls; platform/posix runs an INI engine of its own that reads
// files the way kernel32 does and edits only the line a write concerns.
//
// All texts are bytes of the ANSI code page, passed through unchanged.
// Section and key names are matched without regard to letter case, with
// blanks around them ignored; the first matching section and, within it, the
// first matching key win. `path` is the full path of the INI file; an empty
// path names no file (reads see a missing file, writes fail). A relative path
// is not supported (Windows would look in its own folder).
#pragma once

#include <cstdint>
#include <string>

namespace ovsetup::platform {

// Reads into `buffer`, which holds `size` bytes; never writes past them.
//  - section and key given: the key's value (blanks around it dropped, one
//    pair of matching quotes around it removed), or else `default_value`
//    (trailing spaces dropped, quotes removed likewise; null reads as "").
//    Copies at most size - 1 bytes plus a NUL and returns the count copied:
//    size - 1 when the text did not fit.
//  - key null: the section's key names (lines with "=", comments left out)
//    as a list of NUL-terminated names ended by one more NUL; the count
//    excludes that last NUL. Too small a buffer: the names that fit, the last
//    one cut, and size - 2. A section without keys gives `default_value`.
//  - section null: the file's section names, listed the same way.
// size 0 writes nothing and returns 0.
std::uint32_t ReadIniString(const char* section, const char* key, const char* default_value,
                                char* buffer, std::uint32_t size, const std::string& path);

// Reads section `section` into `buffer` (`size` bytes) as a list of lines
// "key=value" (blanks around both dropped, quotes kept) or bare words, each
// NUL-terminated, ended by one more NUL; comments and blank lines left out.
// Returns the bytes copied without the final NUL. When the list and its final
// NUL do not fit with a byte to spare, the buffer is filled, its last two
// bytes set to NUL, and size - 2 returned. A missing section, file or a null
// section gives 0 and an empty list. size below 2 writes at most one NUL and
// returns 0.
std::uint32_t ReadIniSection(const char* section, char* buffer, std::uint32_t size,
                                 const std::string& path);

// Sets `key` of `section` to `value`, creating the file, the section or the
// key when missing. A null value deletes the key, a null key the whole
// section. Returns 1 on success, 0 when the file cannot be written (also for
// a null section or an empty path).
int WriteIniString(const char* section, const char* key, const char* value,
                       const std::string& path);

}  // namespace ovsetup::platform
