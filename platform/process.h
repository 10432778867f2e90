// A program started and waited for (the driver-package installer).
#pragma once

#include <cstdint>
#include <string>

#include "platform/non_copyable.h"

namespace ovsetup::platform {

// One started program. Owns its process handle; the destructor closes the
// handle but does not end the program.
class ChildProcess : NonCopyable {
 public:
  ~ChildProcess();

  // Starts `program` (a full path) in its own folder, with its quoted path
  // as its command line ("\"program\""), the caller's environment and no
  // inherited handles: nothing of the caller's current folder reaches it.
  // On Linux the file is run by /bin/sh (extracted files carry no execute
  // bit) as `sh program`. False when it cannot start (missing file, refused).
  bool Start(const std::string& program);

  // Waits up to `milliseconds` for the program to end. True once it has
  // ended (its exit code is not looked at); false while it runs.
  bool WaitForEnd(unsigned milliseconds);

 private:
  std::intptr_t handle_ = -1;  // process handle, or pid on Linux
  bool ended_ = false;
};

}  // namespace ovsetup::platform
