// Registry fixtures: .reg files in tests/fixtures that both builds read, the
// Linux stand-in as its whole registry, the Windows build from the test
// prefix's registry.
#pragma once

#include <filesystem>
#include <string>

namespace ovsetup::testing {

// Makes the .reg file `file` what HKEY_LOCAL_MACHINE's 32-bit view holds
// below `replaced` (a key path below HKEY_LOCAL_MACHINE that holds every key
// of the file). On Linux OVSETUP_REGISTRY names the file for the rest of the
// process. Under Wine `replaced` is deleted from the prefix's 32-bit view and
// the file imported into it, so tests that share a prefix must use distinct
// `replaced` keys or run one at a time. False when that fails.
bool UseRegistryFile(const std::filesystem::path& file, const std::string& replaced);

// UseRegistryFile with the fixture tests/fixtures/`name`.
bool UseRegistryFixture(const std::string& name, const std::string& replaced);

}  // namespace ovsetup::testing
