// Renaming a file over another, for files that must never be seen half
// written: paths in the ANSI code page with "\" as separator.
#pragma once

#include <string>

namespace ovsetup::platform {

// Renames the file `from` to `to` in the same folder, replacing an existing
// `to` in one step: a reader finds the old file or the new one, never part
// of either. A `to` that is a folder or read-only is not replaced; the
// result is false then, and `from` stays.
bool MoveFileOver(const std::string& from, const std::string& to);

}  // namespace ovsetup::platform
