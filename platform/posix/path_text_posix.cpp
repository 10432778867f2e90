// Linux stand-in: the system's code page is OVSETUP_CODEPAGE (936 when unset).
#include <cstdlib>

#include "platform/path_text.h"

namespace ovsetup::platform {

bool IsCodePageLeadByte(char c) {
  const char* text = std::getenv("OVSETUP_CODEPAGE");
  const unsigned code_page =
      text == nullptr || *text == '\0' ? 936 : static_cast<unsigned>(std::strtoul(text, nullptr, 10));
  return IsLeadByteOf(code_page, c);
}

}  // namespace ovsetup::platform
