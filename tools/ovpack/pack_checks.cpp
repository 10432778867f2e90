#include "tools/ovpack/pack_checks.h"

#include "payload/payload_format.h"
#include "payload/stored_path_rules.h"
#include "tools/shown_text.h"

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

std::string CaseTwinCheck::Next(const std::string& path) {
  // The path's folders from the outermost, then the path itself.
  for (std::size_t stop = path.find('\\');; stop = path.find('\\', stop + 1)) {
    const std::string spelling = path.substr(0, stop);
    const auto [it, added] = seen_.emplace(payload::FoldStoredCase(spelling), spelling);
    if (!added && it->second != spelling)
      return (stop == std::string::npos
                  ? std::string("differs")
                  : "its folder \"" + tools::ShownText(spelling, code_page_) + "\" differs") +
             " only in letter case from \"" + tools::ShownText(it->second, code_page_) +
             "\"; Windows holds them as one";
    if (stop == std::string::npos) return {};
  }
}

}  // namespace ovsetup::ovpack
