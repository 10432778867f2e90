// Shell shortcut files (.lnk) for the program install. Texts are in the ANSI
// code page; every call brackets its own use of the shell.
#pragma once

#include <cstdint>
#include <string>

namespace ovsetup::platform {

// A COM result: zero or positive on success, negative on failure.
using ComResult = std::int32_t;

// Refusal of a link path whose UTF-16 form needs more than 259 characters
// (HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE)). Nothing is written then.
constexpr ComResult kLinkPathTooLong = static_cast<ComResult>(0x800700CEu);

// Writes the shortcut `link_path` to `target` with `description`, shown with
// SW_SHOW (5), with the icon at index 0 of `*icon_file`, or with no icon of
// its own (the shell shows the target's) when `icon_file` is null. An
// existing file at `link_path` is replaced. Zero or positive when the file
// was written, negative when anything on the way failed.
ComResult WriteShellLink(const std::string& target, const std::string& link_path,
                         const std::string& description, const std::string* icon_file);

// The shortcut without an icon of its own.
inline ComResult CreateShortcut(const std::string& target, const std::string& link_path,
                                const std::string& description) {
  return WriteShellLink(target, link_path, description, nullptr);
}

// The shortcut with the icon at index 0 of `icon_file`.
inline ComResult CreateShortcutWithIcon(const std::string& target, const std::string& link_path,
                                        const std::string& description,
                                        const std::string& icon_file) {
  return WriteShellLink(target, link_path, description, &icon_file);
}

}  // namespace ovsetup::platform
