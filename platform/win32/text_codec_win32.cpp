// Code-page conversion through UTF-16, strict in both directions.
#include "platform/text_codec.h"

#include <windows.h>

namespace ovsetup::platform {

bool ConvertCodePage(const std::string& text, unsigned from, unsigned to, std::string* out) {
  out->clear();
  if (text.empty()) return true;
  const int in_size = static_cast<int>(text.size());
  int wide_size = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), in_size, nullptr, 0);
  if (wide_size <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), in_size, &wide[0], wide_size);

  // UTF-8 takes neither flag nor default-character check; other code pages
  // must not fall back to a "best fit" or default character.
  const bool utf8 = to == CP_UTF8;
  BOOL used_default = FALSE;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* check = utf8 ? nullptr : &used_default;
  int size = WideCharToMultiByte(to, flags, wide.data(), wide_size, nullptr, 0, nullptr, check);
  if (size <= 0 || used_default) return false;
  out->assign(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(to, flags, wide.data(), wide_size, &(*out)[0], size, nullptr, check);
  return !used_default;
}

std::string PathFromHost(const std::string& path) { return path; }

}  // namespace ovsetup::platform
