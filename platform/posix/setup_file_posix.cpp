// Linux stand-in of the setup's own file: a descriptor keeps reading the
// file it opened, whatever is renamed over its name later.
#include "platform/setup_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/host_path.h"

namespace ovsetup::platform {
namespace {

// A descriptor of the regular file at `host_path`, or -1.
int OpenRegular(const std::string& host_path) {
  const int fd = ::open(host_path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

SetupFile::~SetupFile() {
  if (handle_ != -1) ::close(static_cast<int>(handle_));
}

bool SetupFile::Open(const std::string& path) {
  if (handle_ != -1) ::close(static_cast<int>(handle_));
  path_ = path;
  handle_ = OpenRegular(ToHostPath(path));
  return handle_ != -1;
}

OwnFileOpen OpenRunningSetup(SetupFile* file) {
  char host[4096];
  const ssize_t length = ::readlink("/proc/self/exe", host, sizeof host - 1);
  if (length <= 0) return OwnFileOpen::kCannotOpen;
  host[length] = '\0';
  return file->Open(FromHostPath(host)) ? OwnFileOpen::kOpen : OwnFileOpen::kCannotOpen;
}

}  // namespace ovsetup::platform
