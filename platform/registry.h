// Read-only access to HKEY_LOCAL_MACHINE, in the view the 32-bit setup sees
// (on 64-bit Windows the 32-bit view). Names and string data are in the ANSI
// code page. The buffer rules are those of the Win32 registry calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/non_copyable.h"

namespace ovsetup::platform {

// The predefined root keys the setup reads from.
enum class RegistryRoot { LocalMachine };

// A registry key opened for reading. Owns the key; the destructor closes it.
class RegistryKey : NonCopyable {
 public:
  RegistryKey();
  ~RegistryKey();

  // Opens `path` ("SOFTWARE\Autodesk\AutoCAD") below `root` with KEY_READ.
  // False when the key does not exist or cannot be opened.
  bool Open(RegistryRoot root, const std::string& path);

  // Reads the value `name` ("" for the default value) into `buffer`. On entry
  // `*size` is the number of bytes offered; on success it is the number
  // stored (for a string, its NUL included). False when the key is not open,
  // the value is missing or larger than offered, or the read fails.
  bool QueryValue(const std::string& name, void* buffer, std::uint32_t* size) const;

  // Writes the name of subkey number `index` (0, 1, ... in the registry's
  // order) into `name` with a NUL. On entry `*size` is the number of bytes
  // offered, NUL included; on success it is the name's length. False past the
  // last subkey, when the name does not fit, or on any error.
  bool EnumSubKey(std::uint32_t index, char* name, std::uint32_t* size) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace ovsetup::platform
