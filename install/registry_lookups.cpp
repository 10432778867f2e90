#include "install/registry_lookups.h"

namespace ovsetup::install {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

const char kAcadKey[] = "SOFTWARE\\Autodesk\\AutoCAD";
const std::uint32_t kKeyNameSize = 260;

// Subkey `index` of `key`, offering the whole name buffer; false at the end
// of the enumeration or on any error.
bool SubKeyName(const RegistryKey& key, std::uint32_t index, std::string* name) {
  char buffer[kKeyNameSize];
  std::uint32_t length = kKeyNameSize;
  if (!key.EnumSubKey(index, buffer, &length)) return false;
  name->assign(buffer, length);
  return true;
}

// The "AcadLocation" of the product key `path`, offering the whole value
// buffer; false when the key or the value cannot be read.
bool AcadLocation(const std::string& path, std::string* location) {
  RegistryKey product;
  if (!product.Open(RegistryRoot::LocalMachine, path)) return false;
  char value[kRegistryValueSize + 1];
  std::uint32_t size = kRegistryValueSize;
  if (!product.QueryValue("AcadLocation", value, &size)) return false;
  value[size] = '\0';
  location->assign(value);
  return true;
}

}  // namespace

int ReadRegistryString(RegistryRoot root, const std::string& sub_key,
                       const std::string& value_name, char* buffer, std::uint32_t* size) {
  RegistryKey key;
  if (!key.Open(root, sub_key)) return 1;
  return key.QueryValue(value_name, buffer, size) ? 0 : 1;
}

AcadWalk ForEachAcadLocation(const AcadVisitor& visitor) {
  RegistryKey acad;
  if (!acad.Open(RegistryRoot::LocalMachine, kAcadKey)) return AcadWalk::NoAcadKey;
  std::string release_name;
  for (std::uint32_t r = 0; SubKeyName(acad, r, &release_name); ++r) {
    const std::string release_path = std::string(kAcadKey) + "\\" + release_name;
    RegistryKey release;
    if (!release.Open(RegistryRoot::LocalMachine, release_path)) continue;
    std::string product_name;
    for (std::uint32_t p = 0; SubKeyName(release, p, &product_name); ++p) {
      std::string location;
      if (!AcadLocation(release_path + "\\" + product_name, &location)) continue;
      if (visitor(location) == AcadVisit::Stop) return AcadWalk::Stopped;
    }
  }
  return AcadWalk::Walked;
}

}  // namespace ovsetup::install
