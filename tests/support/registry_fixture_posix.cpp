#include "tests/support/registry_fixture.h"

#include <cstdlib>

namespace ovsetup::testing {

bool UseRegistryFile(const std::filesystem::path& file, const std::string&) {
  return setenv("OVSETUP_REGISTRY", file.c_str(), 1) == 0;
}

bool UseRegistryFixture(const std::string& name, const std::string& replaced) {
  return UseRegistryFile(std::filesystem::path(OVSETUP_TEST_FIXTURES) / name, replaced);
}

}  // namespace ovsetup::testing
