// Linux stand-in of folder searches and file copy/delete. It keeps what the
// installs can see of Windows: wildcard patterns match as FindFirstFile
// matches them, and a file without the owner's write bit plays a file with the
// read-only attribute (copied along, blocking overwrite and deletion, even for
// root).
#include "platform/file_ops.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/random.h>
#include <sys/statvfs.h>
#include <ctime>
#include <unistd.h>
#include <vector>

#include "platform/non_copyable.h"
#include "platform/free_name.h"
#include "platform/path_text.h"
#include "platform/posix/host_path.h"

namespace ovsetup::platform {

struct FileSearch::State {
  std::vector<FoundEntry> matches;
  std::size_t next = 0;
};

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// "*" any run of characters, "?" exactly one, everything else itself without
// regard to case (bytes: a GBK character counts as two).
bool Glob(const char* p, const char* n) {
  for (; *p != '\0'; ++p, ++n) {
    if (*p == '*') {
      for (const char* rest = n;; ++rest) {
        if (Glob(p + 1, rest)) return true;
        if (*rest == '\0') return false;
      }
    }
    if (*n == '\0' || (*p != '?' && Upper(*p) != Upper(*n))) return false;
  }
  return *n == '\0';
}

// Windows lets a final ".*" match the end of a name, so "*.*" and "a*.*"
// also take names without a dot.
bool MatchesPattern(const std::string& pattern, const std::string& name) {
  if (Glob(pattern.c_str(), name.c_str())) return true;
  const std::size_t n = pattern.size();
  return n >= 2 && pattern.compare(n - 2, 2, ".*") == 0 &&
         Glob(pattern.substr(0, n - 2).c_str(), name.c_str());
}

bool ReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

// NTFS delivers a folder's entries sorted by their upper-case names.
bool ByUpperName(const FoundEntry& a, const FoundEntry& b) {
  return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                      [](char x, char y) {
                                        return static_cast<unsigned char>(Upper(x)) <
                                               static_cast<unsigned char>(Upper(y));
                                      });
}

// Owns a directory stream.
class Directory : NonCopyable {
 public:
  explicit Directory(const std::string& path) : dir_(::opendir(path.c_str())) {}
  ~Directory() {
    if (dir_ != nullptr) ::closedir(dir_);
  }
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

// Owns a descriptor.
class Descriptor : NonCopyable {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// Copies what `from` holds into `to` in pieces of at most kCopyPieceSize, each
// told to `pieces` when set.
bool CopyContent(int from, int to, const CopyPieces& pieces) {
  std::unique_ptr<char[]> buffer(new char[kCopyPieceSize]);
  for (;;) {
    ssize_t got = ::read(from, buffer.get(), kCopyPieceSize);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(to, buffer.get() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      done += put;
    }
    if (pieces) pieces(static_cast<std::uint64_t>(got));
  }
}

}  // namespace

FileSearch::FileSearch() : state_(new State) {}

FileSearch::~FileSearch() = default;

bool FileSearch::First(const std::string& pattern, FoundEntry* entry) {
  state_->matches.clear();
  state_->next = 0;
  const std::size_t slash = pattern.rfind('\\');
  const std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
  const std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (mask.empty()) return false;

  const std::string host_folder = ToHostPath(folder);
  Directory dir(host_folder);
  if (dir.get() == nullptr) return false;
  while (const dirent* d = ::readdir(dir.get())) {
    if (!MatchesPattern(mask, d->d_name)) continue;
    // A link is listed as what it leads to (Windows too lists a folder link
    // as a folder), and a link that leads nowhere as a file.
    const std::string host_entry = host_folder + "/" + d->d_name;
    struct stat st;
    if (::stat(host_entry.c_str(), &st) != 0 && ::lstat(host_entry.c_str(), &st) != 0) continue;
    state_->matches.push_back(FoundEntry{d->d_name, S_ISDIR(st.st_mode),
                                         S_ISDIR(st.st_mode) ? 0u : std::uint64_t(st.st_size)});
  }
  std::sort(state_->matches.begin(), state_->matches.end(), ByUpperName);
  return Next(entry);
}

bool FileSearch::Next(FoundEntry* entry) {
  if (state_->next >= state_->matches.size()) return false;
  *entry = state_->matches[state_->next++];
  return true;
}

bool CopyOneFile(const std::string& from, const std::string& to, bool fail_if_exists,
                 const CopyPieces& pieces) {
  Descriptor source(::open(ToHostPath(from).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat from_st;
  if (source.get() < 0 || ::fstat(source.get(), &from_st) != 0 || !S_ISREG(from_st.st_mode))
    return false;
  struct stat to_st;
  const bool exists = ::lstat(ToHostPath(to).c_str(), &to_st) == 0;
  if (exists) {
    const bool same_file = to_st.st_dev == from_st.st_dev && to_st.st_ino == from_st.st_ino;
    if (fail_if_exists) errno = EEXIST;
    if (fail_if_exists || same_file || S_ISDIR(to_st.st_mode) ||
        (S_ISREG(to_st.st_mode) && ReadOnly(to_st)))
      return false;
  }
  // The copy is made new (never through a link), then put in place.
  std::string made = fail_if_exists ? to : to + ".new";
  int fd = -1;
  const auto create = [&fd](const std::string& p) {
    fd = ::open(ToHostPath(p).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    return fd >= 0;
  };
  if (!(fail_if_exists ? create(made) : UnderFreeName(&made, 4, create))) return false;
  Descriptor target(fd);
  const std::string host_made = ToHostPath(made);
  if (!CopyContent(source.get(), target.get(), pieces) ||
      ::fchmod(target.get(), from_st.st_mode & 07777) != 0 ||
      (!fail_if_exists && ::rename(host_made.c_str(), ToHostPath(to).c_str()) != 0)) {
    ::unlink(host_made.c_str());  // as CopyFile, leave no partial copy behind
    return false;
  }
  return true;
}

bool IsSingleNamedFile(const std::string& path) {
  struct stat st;
  return ::lstat(ToHostPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
}

bool DeleteOneFile(const std::string& path) {
  const std::string host = ToHostPath(path);
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (!S_ISLNK(st.st_mode) && ReadOnly(st)) return false;
  return ::unlink(host.c_str()) == 0;
}

bool IsLink(const std::string& path) {
  struct stat st;
  return ::lstat(ToHostPath(WithoutTrailingSlash(path)).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool IsTrustedLink(const std::string& path) {
  const std::string host = ToHostPath(WithoutTrailingSlash(path));
  const std::size_t slash = host.rfind('/');
  const std::string parent = slash == std::string::npos || slash == 0 ? "/" : host.substr(0, slash);
  struct stat link, folder;
  const auto trusted_owner = [](uid_t uid) { return uid == 0 || uid == ::geteuid(); };
  return ::lstat(host.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
         trusted_owner(link.st_uid) && ::stat(parent.c_str(), &folder) == 0 &&
         trusted_owner(folder.st_uid) && (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool RemoveLink(const std::string& path) {
  return IsLink(path) && ::unlink(ToHostPath(WithoutTrailingSlash(path)).c_str()) == 0;
}

std::uint32_t LastFileError() {
  switch (errno) {
    case 0: return 0;
    case ENOENT: return kErrorFileNotFound;
    case EEXIST: return kErrorFileExists;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES: case EPERM: case EISDIR: case EROFS: return kErrorAccessDenied;
    case EAGAIN: case EBUSY: case ETXTBSY: return kErrorSharingViolation;
    case ENOSPC: case EDQUOT: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorFilenameTooLong;
    default: return 0x20000000u | static_cast<std::uint32_t>(errno);
  }
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  const std::string host_to = ToHostPath(to);
  struct stat st;
  if (::lstat(host_to.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || ReadOnly(st))) {
    errno = EACCES;  // Windows neither replaces a folder nor a read-only file
    return false;
  }
  return ::rename(ToHostPath(from).c_str(), host_to.c_str()) == 0;
}

bool CanReplaceFile(const std::string& path) {
  const std::string host = ToHostPath(path);
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
  if (S_ISLNK(st.st_mode)) return true;  // replacing it replaces the link alone
  if (!S_ISREG(st.st_mode) || ReadOnly(st)) {
    errno = EACCES;
    return false;
  }
  // A write lease is granted only while no other descriptor has the file
  // open, in this process or any other: the nearest Linux has to opening a
  // file with no sharing. File systems without leases say nothing.
  Descriptor fd(::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return false;
  if (::fcntl(fd.get(), F_SETLEASE, F_WRLCK) != 0) return errno != EAGAIN;
  (void)::fcntl(fd.get(), F_SETLEASE, F_UNLCK);
  return true;
}

bool GetFreeBytes(const std::string& folder, std::uint64_t* bytes) {
  struct statvfs vfs;
  if (::statvfs(ToHostPath(folder).c_str(), &vfs) != 0) return false;
  *bytes = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  return true;
}

HeldFolder::~HeldFolder() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool HeldFolder::Open(const std::string& path) {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  path_ = WithTrailingSlash(path);
  handle_ = ::open(ToHostPath(WithoutTrailingSlash(path)).c_str(),
                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  return handle_ >= 0;
}

bool HeldFolder::DeleteFileIn(const std::string& name) {
  struct stat st;
  const int folder = static_cast<int>(handle_);
  if (folder < 0 || name.find('\\') != std::string::npos ||
      ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))
    return false;
  if (!S_ISLNK(st.st_mode) && ReadOnly(st)) return false;
  return ::unlinkat(folder, name.c_str(), 0) == 0;
}

std::uint32_t UnforeseenBits() {
  std::uint32_t bits = 0;
  if (::getrandom(&bits, sizeof bits, 0) == static_cast<ssize_t>(sizeof bits)) return bits;
  return static_cast<std::uint32_t>(::getpid()) * 2654435761u ^
         static_cast<std::uint32_t>(::time(nullptr));
}

bool MakeHardLink(const std::string& file, const std::string& link) {
  return ::link(ToHostPath(file).c_str(), ToHostPath(link).c_str()) == 0;
}

}  // namespace ovsetup::platform
