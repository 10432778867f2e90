// Registry reads over RegOpenKeyExA, RegQueryValueExA and RegEnumKeyExA.
#include "platform/registry.h"

#include <windows.h>

namespace ovsetup::platform {
namespace {

// The shipped 32-bit setup opens keys with KEY_READ alone and so reads the
// 32-bit view on 64-bit Windows. The 64-bit build exists only to stand in for
// it under 64-bit Wine, so it asks for that same view explicitly.
constexpr REGSAM kAccess = sizeof(void*) == 8 ? (KEY_READ | KEY_WOW64_32KEY) : KEY_READ;

// HKEY_LOCAL_MACHINE is the only root.
HKEY RootKey(RegistryRoot) { return HKEY_LOCAL_MACHINE; }

}  // namespace

struct RegistryKey::State {
  HKEY key = nullptr;
};

RegistryKey::RegistryKey() : state_(new State) {}

RegistryKey::~RegistryKey() {
  if (state_->key != nullptr) RegCloseKey(state_->key);
}

bool RegistryKey::Open(RegistryRoot root, const std::string& path) {
  if (state_->key != nullptr) RegCloseKey(state_->key);
  state_->key = nullptr;
  HKEY key = nullptr;
  if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, kAccess, &key) != ERROR_SUCCESS) return false;
  state_->key = key;
  return true;
}

bool RegistryKey::QueryValue(const std::string& name, void* buffer, std::uint32_t* size) const {
  if (state_->key == nullptr) return false;
  DWORD length = *size;
  if (RegQueryValueExA(state_->key, name.c_str(), nullptr, nullptr, static_cast<BYTE*>(buffer),
                       &length) != ERROR_SUCCESS)
    return false;
  *size = length;
  return true;
}

bool RegistryKey::EnumSubKey(std::uint32_t index, char* name, std::uint32_t* size) const {
  if (state_->key == nullptr) return false;
  DWORD length = *size;
  if (RegEnumKeyExA(state_->key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
      ERROR_SUCCESS)
    return false;
  *size = length;
  return true;
}

}  // namespace ovsetup::platform
