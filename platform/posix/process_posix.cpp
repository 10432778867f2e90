// Linux stand-in of program start: the program file is a shell script run by
// /bin/sh, waited for in slices.
#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/path_text.h"
#include "platform/posix/host_path.h"
#include "platform/system_info.h"

extern char** environ;

namespace ovsetup::platform {

ChildProcess::~ChildProcess() {
  // Reap the child if it has ended; a running one is left to run on, as a
  // closed process handle leaves a Windows program running.
  if (handle_ > 0 && !ended_) waitpid(static_cast<pid_t>(handle_), nullptr, WNOHANG);
}

bool ChildProcess::Start(const std::string& program) {
  const std::string path = ToHostPath(program);
  struct stat st;
  // A file that Windows could not start is refused here too, rather than
  // letting the shell start and fail.
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(path.c_str(), R_OK) != 0)
    return false;
  char sh[] = "/bin/sh";
  char* argv[] = {sh, const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  const std::string folder = ToHostPath(WithoutTrailingSlash(FolderOf(program)));
  const bool spawned =
      (folder.empty() || posix_spawn_file_actions_addchdir_np(&actions, folder.c_str()) == 0) &&
      posix_spawn(&pid, sh, &actions, nullptr, argv, environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (!spawned) return false;
  handle_ = pid;
  ended_ = false;
  return true;
}

bool ChildProcess::WaitForEnd(unsigned milliseconds) {
  if (handle_ <= 0) return true;
  if (ended_) return true;
  const std::uint32_t start = TickCount();
  for (;;) {
    const pid_t done = waitpid(static_cast<pid_t>(handle_), nullptr, WNOHANG);
    if (done == static_cast<pid_t>(handle_) || (done < 0 && errno != EINTR)) {
      ended_ = true;
      return true;
    }
    const std::uint32_t spent = TickCount() - start;
    if (spent >= milliseconds) return false;
    const unsigned slice = milliseconds - spent < 5 ? milliseconds - spent : 5;
    SleepFor(slice);
  }
}

}  // namespace ovsetup::platform
