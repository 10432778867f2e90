// Linux stand-in of the registry: HKEY_LOCAL_MACHINE's 32-bit view is the
// .reg file named by OVSETUP_REGISTRY, read afresh by every open. No file (or
// no variable) is an empty registry.
#include "platform/registry.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

#include "platform/posix/host_path.h"
#include "platform/posix/reg_file.h"
#include "platform/whole_file.h"

namespace ovsetup::platform {
namespace {

bool LoadRegistry(RegTree* tree) {
  tree->clear();
  const char* file_name = std::getenv("OVSETUP_REGISTRY");
  if (file_name == nullptr || *file_name == '\0') return false;
  std::size_t size = 0;
  const std::unique_ptr<char[]> bytes = ReadWholeFile(FromHostPath(file_name), &size);
  return bytes && ParseRegFile(std::string(bytes.get(), size), tree);
}

}  // namespace

struct RegistryKey::State {
  bool open = false;
  RegKey key;
};

RegistryKey::RegistryKey() : state_(new State) {}

RegistryKey::~RegistryKey() = default;

bool RegistryKey::Open(RegistryRoot, const std::string& path) {
  state_->open = false;
  RegTree tree;
  if (!LoadRegistry(&tree)) return false;
  auto found = tree.find(UpperAnsi(path));
  if (found == tree.end()) return false;
  state_->key = found->second;
  state_->open = true;
  return true;
}

bool RegistryKey::QueryValue(const std::string& name, void* buffer, std::uint32_t* size) const {
  if (!state_->open) return false;
  auto found = state_->key.values.find(UpperAnsi(name));
  if (found == state_->key.values.end() || found->second.data.size() > *size) return false;
  std::memcpy(buffer, found->second.data.data(), found->second.data.size());
  *size = static_cast<std::uint32_t>(found->second.data.size());
  return true;
}

bool RegistryKey::EnumSubKey(std::uint32_t index, char* name, std::uint32_t* size) const {
  if (!state_->open || index >= state_->key.subkeys.size()) return false;
  auto entry = state_->key.subkeys.begin();
  std::advance(entry, index);
  const std::string& text = entry->second;
  if (text.size() + 1 > *size) return false;
  std::memcpy(name, text.c_str(), text.size() + 1);
  *size = static_cast<std::uint32_t>(text.size());
  return true;
}

}  // namespace ovsetup::platform
