#include "tools/shown_text.h"

#include <cstdio>

#include "platform/text_codec.h"

namespace ovsetup::tools {

std::string ShownText(const std::string& bytes, unsigned code_page) {
  std::string utf8;
  if (platform::ConvertCodePage(bytes, code_page, platform::kCodePageUtf8, &utf8)) return utf8;
  std::string escaped;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      escaped += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      escaped += hex;
    }
  }
  return escaped;
}

}  // namespace ovsetup::tools
