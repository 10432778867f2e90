// Byte rules of texts in the ANSI code page (GBK on a Chinese system), in one
// place.
#pragma once

#include <string>

namespace ovsetup::platform {

// True when `c` starts a double-byte character of code page 936 (GBK): a
// byte 0x81..0xFE. Its trail byte may be any byte from 0x40, letters and "\"
// among them.
constexpr bool IsGbkLeadByte(char c) {
  return static_cast<unsigned char>(c) >= 0x81 && static_cast<unsigned char>(c) <= 0xFE;
}

// Characters of the GBK text `text` as Windows counts them in a path (its
// UTF-16 form): a lead byte and its trail byte are one.
inline std::size_t WideLength(const std::string& text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++n) {
    if (IsGbkLeadByte(text[i]) && i + 1 < text.size()) ++i;
  }
  return n;
}

// Which ends of a text Trim takes bytes from.
enum class TrimEnds { kBoth, kEndOnly };

// `text` without the bytes listed in `blanks` at its start and its end (or,
// with kEndOnly, at its end alone).
inline std::string Trim(const std::string& text, const char* blanks,
                        TrimEnds ends = TrimEnds::kBoth) {
  const std::size_t last = text.find_last_not_of(blanks);
  if (last == std::string::npos) return std::string();
  const std::size_t first = ends == TrimEnds::kBoth ? text.find_first_not_of(blanks) : 0;
  return text.substr(first, last + 1 - first);
}

}  // namespace ovsetup::platform
