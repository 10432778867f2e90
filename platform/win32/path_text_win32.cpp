#include <windows.h>

#include "platform/path_text.h"

namespace ovsetup::platform {

bool IsCodePageLeadByte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE; }

}  // namespace ovsetup::platform
