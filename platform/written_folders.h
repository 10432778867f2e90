// The one rule for the folders the elevated setup writes: a link among them
// is followed only when an administrator alone could have laid it, and each
// folder is held from its check to the job's last write.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/non_copyable.h"

namespace ovsetup::platform {

// False when `folder` (a trailing "\" allowed) is a link that a user
// without administrator rights could have laid or changed (IsTrustedLink);
// true for a folder that is no link, a trusted link and a missing path.
bool MayWriteInto(const std::string& folder);

// The folders one job writes, checked before its first byte. Each folder
// that passes and exists as a plain folder is held (HeldFolder: on Windows
// a handle without delete sharing) until this object ends, so that it
// cannot be swapped for a link in between; a missing one is left to the
// writes that make it.
class WrittenFolders : NonCopyable {
 public:
  WrittenFolders() = default;

  // MayWriteInto(`folder`), holding it as above. A folder that passed
  // before is not looked at again.
  bool Check(const std::string& folder);
  // Check on each of `folders` in order: the first that fails, else empty.
  std::string FirstUntrusted(const std::vector<std::string>& folders);

 private:
  std::vector<std::string> passed_;  // each ends with "\"
  std::vector<std::unique_ptr<HeldFolder>> held_;
};

}  // namespace ovsetup::platform
