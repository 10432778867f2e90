// Linux stand-in of the file seam: POSIX descriptors over host paths.
#include "platform/file_io.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/host_path.h"
#include "platform/setup_file.h"

namespace ovsetup::platform {
namespace {

// Runs read/write until `size` bytes moved; false on error or end of file.
template <typename Op, typename Ptr>
bool TransferAll(Op op, int fd, Ptr buffer, std::size_t size) {
  while (size > 0) {
    ssize_t n = op(fd, buffer, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

InputFile::~InputFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool InputFile::Open(const std::string& path) {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = ::open(ToHostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (handle_ < 0) return false;
  struct stat st;
  if (::fstat(static_cast<int>(handle_), &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(static_cast<int>(handle_));
    handle_ = -1;
    return false;
  }
  return true;
}

bool InputFile::Open(const SetupFile& setup) {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = setup.is_open() ? ::fcntl(static_cast<int>(setup.handle()), F_DUPFD_CLOEXEC, 0) : -1;
  return handle_ >= 0;
}

bool InputFile::Length(std::uint64_t* length) const {
  struct stat st;
  if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &st) != 0) return false;
  *length = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool InputFile::Seek(std::uint64_t position) {
  return handle_ >= 0 &&
         ::lseek(static_cast<int>(handle_), static_cast<off_t>(position), SEEK_SET) ==
             static_cast<off_t>(position);
}

bool InputFile::Read(void* buffer, std::size_t size) {
  return handle_ >= 0 &&
         TransferAll(::read, static_cast<int>(handle_), static_cast<char*>(buffer), size);
}

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Create(const std::string& path) {
  Close();
  const std::string host = ToHostPath(path);
  // A file without its owner's write bit is read-only, even for root: Windows
  // refuses to truncate a read-only file.
  struct stat st;
  if (::stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
    return false;
  handle_ = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return handle_ >= 0;
}

bool OutputFile::CreateNew(const std::string& path) {
  Close();
  handle_ = ::open(ToHostPath(path).c_str(),
                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  return handle_ >= 0;
}

bool OutputFile::Write(const void* buffer, std::size_t size) {
  return handle_ >= 0 &&
         TransferAll(::write, static_cast<int>(handle_), static_cast<const char*>(buffer), size);
}

// The stand-in leaves the data to the kernel: a process killed after its
// writes loses none of them, and ext4 writes a file renamed over another one
// before the rename itself (auto_da_alloc). Windows flushes for real.
bool OutputFile::Flush() { return handle_ >= 0; }

bool OutputFile::Close() {
  if (handle_ < 0) return true;
  bool ok = ::close(static_cast<int>(handle_)) == 0;
  handle_ = -1;
  return ok;
}

bool CreateOneFolder(const std::string& path) {
  return ::mkdir(ToHostPath(path).c_str(), 0755) == 0;
}

void RemoveOneFolder(const std::string& path) { (void)::rmdir(ToHostPath(path).c_str()); }

bool GetWindowsFolder(std::string* folder) {
  const char* dir = std::getenv("OVSETUP_WINDIR");
  if (dir == nullptr || *dir == '\0') return false;
  *folder = FromHostPath(dir);
  return true;
}

}  // namespace ovsetup::platform
