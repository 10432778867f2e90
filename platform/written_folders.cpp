#include "platform/written_folders.h"

#include <algorithm>

#include "platform/path_text.h"

namespace ovsetup::platform {

bool MayWriteInto(const std::string& folder) {
  return !IsLink(folder) || IsTrustedLink(folder);
}

bool WrittenFolders::Check(const std::string& folder) {
  const std::string path = WithTrailingSlash(folder);
  if (std::find(passed_.begin(), passed_.end(), path) != passed_.end()) return true;
  if (!MayWriteInto(path)) return false;
  passed_.push_back(path);
  auto held = std::make_unique<HeldFolder>();
  if (held->Open(path)) held_.push_back(std::move(held));  // else a trusted link or missing
  return true;
}

std::string WrittenFolders::FirstUntrusted(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders)
    if (!Check(folder)) return folder;
  return "";
}

}  // namespace ovsetup::platform
