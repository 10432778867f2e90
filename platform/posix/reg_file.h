// The Linux stand-in's registry: the HKEY_LOCAL_MACHINE keys of a registry
// export file (.reg) as regedit writes it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ovsetup::platform {

// One value as RegQueryValueExA hands it over: strings in the ANSI code page
// (GBK) with their NUL, a DWORD as four little-endian bytes.
struct RegValue {
  std::uint32_t type = 0;
  std::string data;
};

struct RegKey {
  // Values by upper-case name ("" the default value).
  std::map<std::string, RegValue> values;
  // Subkey names as written, by upper-case name: the map's order is the
  // order Windows enumerates them in.
  std::map<std::string, std::string> subkeys;
};

// Keys by upper-case path below HKEY_LOCAL_MACHINE ("" is the root). Every
// key named in the file is there with all its parents.
using RegTree = std::map<std::string, RegKey>;

// Upper case of an ANSI (GBK) text: ASCII letters only, trail bytes kept.
std::string UpperAnsi(const std::string& text);

// Parses a .reg file: "Windows Registry Editor Version 5.00" (UTF-16LE with a
// byte-order mark, or UTF-8) or "REGEDIT4" (ANSI or UTF-8). Takes string,
// dword:, hex: and hex(N): values, "@" for the default value, "-" to drop a
// value, comments and "\" continuation lines. Keys of other roots are passed
// over. False, with an empty tree, when the text is not a registry file.
bool ParseRegFile(const std::string& bytes, RegTree* tree);

}  // namespace ovsetup::platform
