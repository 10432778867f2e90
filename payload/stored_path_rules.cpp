#include "payload/stored_path_rules.h"

#include <algorithm>
#include <cstring>

#include "platform/ansi_text.h"

namespace ovsetup::payload {
namespace {

// Bytes taken by the character at `at` of `text`: 2 for a GBK lead byte
// followed by a trail byte, else 1.
std::size_t CharacterLength(const std::string& text, std::size_t at) {
  if (!platform::IsGbkLeadByte(text[at]) || at + 1 >= text.size()) return 1;
  const unsigned char trail = static_cast<unsigned char>(text[at + 1]);
  return trail >= 0x40 && trail != 0x7F && trail != 0xFF ? 2 : 1;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Steps that lead out of the folder the path is joined to.
bool IsParentStep(const std::string& step) {
  return step.find_first_not_of(". ") == std::string::npos &&
         std::count(step.begin(), step.end(), '.') >= 2;
}

bool IsDeviceName(const std::string& step) {
  static const char* const kDevices[] = {
      "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",   "COM5",   "COM6",
      "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5",   "LPT6",   "LPT7",
      "LPT8", "LPT9", "CONIN$", "CONOUT$"};
  std::string name = step.substr(0, step.find('.'));
  name.erase(name.find_last_not_of(' ') + 1);
  for (char& c : name) c = UpperAscii(c);
  for (const char* device : kDevices)
    if (name == device) return true;
  return false;
}

PayloadFault CheckStep(const std::string& step) {
  if (step.empty()) return PayloadFault::kNone;
  if (IsParentStep(step)) return PayloadFault::kUnsafePath;
  for (std::size_t i = 0; i < step.size(); i += CharacterLength(step, i)) {
    const unsigned char c = static_cast<unsigned char>(step[i]);
    if (c < 0x20 || std::strchr("<>\"|?*", c) != nullptr) return PayloadFault::kBadCharacter;
  }
  if (IsDeviceName(step)) return PayloadFault::kDeviceName;
  if (step.back() == '.' || step.back() == ' ') return PayloadFault::kDotOrSpaceEnd;
  return PayloadFault::kNone;
}

}  // namespace

PayloadFault CheckStoredPath(const std::string& path) {
  if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return PayloadFault::kUnsafePath;
  if (path.find(':') != std::string::npos) return PayloadFault::kUnsafePath;
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t stop = path.find_first_of("\\/", start);
    if (stop == std::string::npos) stop = path.size();
    const PayloadFault fault = CheckStep(path.substr(start, stop - start));
    if (fault != PayloadFault::kNone) return fault;
    start = stop + 1;
  }
  return PayloadFault::kNone;
}

PayloadFault CheckFileName(const std::string& name) {
  if (name.empty()) return PayloadFault::kUnsafePath;
  for (std::size_t i = 0; i < name.size(); i += CharacterLength(name, i))
    if (name[i] == '\\' || name[i] == '/' || name[i] == ':') return PayloadFault::kUnsafePath;
  return CheckStep(name);
}

std::string FoldStoredCase(const std::string& path) {
  std::string folded = path;
  for (std::size_t i = 0; i < folded.size(); i += CharacterLength(folded, i))
    folded[i] = UpperAscii(folded[i]);
  return folded;
}

}  // namespace ovsetup::payload
