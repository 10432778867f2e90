#include "tools/ovpack/pack_checks.h"

#include "payload/payload_format.h"

namespace ovsetup::ovpack {

std::string FolderOrderCheck::Next(const std::string& folder) {
  if (folder.empty() || made_.count(folder)) return {};
  const std::size_t slash = folder.rfind('\\');
  if (slash != std::string::npos) {
    const std::string parent = folder.substr(0, slash);
    if (parent == payload::kContourFolder || parent == payload::kSerialDriverFolder)
      return "a subfolder of \"" + parent + "\", which is never made under the target";
    if (!made_.count(parent))
      return "folder \"" + parent + "\" has no entry before it, so it would not exist";
  }
  // "Contour" goes to the Windows folder and makes nothing under the target;
  // "MXDriver" is made only by the driver extraction.
  if (folder != payload::kContourFolder && folder != payload::kSerialDriverFolder)
    made_.insert(folder);
  return {};
}

}  // namespace ovsetup::ovpack
