// The lookups read the registry view of the 32-bit setup: on 64-bit Windows
// a key that exists only in the 64-bit view is not found.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "install/registry_lookups.h"

namespace ovsetup {
namespace {

// Writes HKLM\`path` "Where"=`text` into one view. False on failure.
bool WriteInView(const std::string& path, REGSAM view, const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  std::unique_ptr<HKEY__, decltype(&RegCloseKey)> owner(key, &RegCloseKey);
  return RegSetValueExA(key, "Where", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool OnWow64OrNative64() {
  if (sizeof(void*) == 8) return true;
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

TEST(RegistryView, OnlyThe32BitViewIsRead) {
  if (!OnWow64OrNative64()) GTEST_SKIP() << "32-bit Windows has one registry view";
  ASSERT_TRUE(WriteInView("SOFTWARE\\OvsetupTests\\View\\Only64", KEY_WOW64_64KEY, "64"));
  ASSERT_TRUE(WriteInView("SOFTWARE\\OvsetupTests\\View\\Only32", KEY_WOW64_32KEY, "32"));
  char buffer[install::kRegistryValueSize + 1];
  std::uint32_t size = install::kRegistryValueSize;
  EXPECT_EQ(1, install::ReadRegistryString(platform::RegistryRoot::LocalMachine,
                                           "SOFTWARE\\OvsetupTests\\View\\Only64", "Where",
                                           buffer, &size));
  size = install::kRegistryValueSize;
  ASSERT_EQ(0, install::ReadRegistryString(platform::RegistryRoot::LocalMachine,
                                           "SOFTWARE\\OvsetupTests\\View\\Only32", "Where",
                                           buffer, &size));
  EXPECT_EQ(std::string("32", 3), std::string(buffer, size));
}

}  // namespace
}  // namespace ovsetup
