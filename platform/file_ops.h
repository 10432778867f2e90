// Folder searches and whole-file operations of the core, on paths in the ANSI
// code page with "\" as separator (see file_io.h for reading and writing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/non_copyable.h"

namespace ovsetup::platform {

// One entry delivered by a FileSearch: its name inside its folder, whether
// it is a folder (the directory attribute) and a file's size in bytes.
struct FoundEntry {
  std::string name;
  bool is_folder = false;
  std::uint64_t size = 0;
};

// A search of one folder for the entries matching a pattern (find first,
// find next, close). Owns the search; the destructor closes it.
class FileSearch : NonCopyable {
 public:
  FileSearch();
  ~FileSearch();

  // Starts a search for `pattern`: a path whose last part may hold the
  // wildcards "*" and "?", matched as Windows does ("*.*" also matches names
  // without a dot, case does not matter). A pattern ending in "\" matches
  // nothing. True with the first match in `entry`; false when nothing
  // matches or the folder cannot be read.
  bool First(const std::string& pattern, FoundEntry* entry);
  // The next match of the running search; false at the end.
  bool Next(FoundEntry* entry);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Bytes a copy in pieces moves at a time, the extraction's buffer size.
constexpr std::size_t kCopyPieceSize = 512000;

// Told during a copy how many bytes more it has copied since the last call.
using CopyPieces = std::function<void(std::uint64_t bytes)>;

// Copies the file `from` to `to`, taking over its attributes (a read-only
// source gives a read-only copy). With `fail_if_exists`, an existing `to` (a
// link included) is left alone and the copy fails; without it, `to` is
// replaced unless it is read-only: the copy is made under a new name beside
// it ("NAME.new", random forms when taken) and renamed over it, so that a
// `to` that is a link, or has more than one name, is replaced, never
// written through. With `pieces` set, the bytes go in pieces of at most
// kCopyPieceSize bytes, each told to it, and the copy keeps the source's
// time of last write. A failed copy leaves no partial file. True when it
// was made.
bool CopyOneFile(const std::string& from, const std::string& to, bool fail_if_exists,
                 const CopyPieces& pieces = CopyPieces());

// True when `path` is a plain file with one name: no link (no reparse
// point) and no second hard link (GetFileInformationByHandle's
// nNumberOfLinks; st_nlink on Linux).
bool IsSingleNamedFile(const std::string& path);

// Deletes the file `path`. A read-only file, a folder or a missing file is
// not deleted; the result is false then.
bool DeleteOneFile(const std::string& path);

// True when `path` (a trailing "\" allowed) is itself a link to elsewhere: a
// junction, symbolic link or mount point (any reparse point; on Linux a
// symbolic link), whether or not what it leads to exists. False for a plain
// file or folder and for a missing path.
bool IsLink(const std::string& path);

// True when the link `path` (a trailing "\" allowed) may be followed by a
// setup with administrator rights: only an administrator could have laid or
// changed it. Windows: owned by Administrators, SYSTEM or TrustedInstaller,
// and its access list lets no other account change it (GetSecurityInfo).
// Linux: owned by root or the process's own user, in a folder that no other
// user may write. False for anything else, and for a path that is no link.
bool IsTrustedLink(const std::string& path);

// Removes the link `path` (a trailing "\" allowed) itself, never anything it
// leads to. False when `path` is no link or the link cannot be removed.
bool RemoveLink(const std::string& path);

// A folder held open, so that it cannot be swapped while its files are
// deleted: opened as itself (never through a link) and, on Windows, without
// delete sharing, so that nobody can rename or remove it while held (the
// Linux stand-in works relative to the descriptor instead). The destructor
// lets it go.
class HeldFolder : NonCopyable {
 public:
  HeldFolder() = default;
  ~HeldFolder();

  // Holds the folder `path` (a trailing "\" allowed). False when it is a
  // link, no folder, or cannot be opened.
  bool Open(const std::string& path);
  // Deletes the file `name` directly inside the held folder, a link as a
  // link. A folder, a read-only file or a missing name is not deleted: the
  // result is false then.
  bool DeleteFileIn(const std::string& name);

 private:
  std::intptr_t handle_ = -1;
  std::string path_;  // ends with "\"
};

// Windows error codes that the callers name.
constexpr std::uint32_t kErrorFileNotFound = 2, kErrorPathNotFound = 3, kErrorAccessDenied = 5,
                        kErrorSharingViolation = 32, kErrorFileExists = 80,
                        kErrorDiskFull = 112, kErrorFilenameTooLong = 206,
                        kErrorAlreadyExists = 183;

// The Windows error code of this thread's last failed file call, to be read
// right after the call that failed (GetLastError). The Linux stand-in gives
// the nearest code for errno: 2, 3 (missing folder), 5, 32 (a file in use),
// 80 (EEXIST), 112 (ENOSPC, EDQUOT), 206 (ENAMETOOLONG); 0x20000000 | errno
// for the rest.
std::uint32_t LastFileError();

// Puts the file `from` in the place of `to` on the same volume in one step,
// replacing a `to` that exists: a reader finds the old file or the new one,
// whole (MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
// rename on Linux). A read-only `to`, or one a program holds, is not replaced.
// True when `from` is now `to`.
bool RenameReplacing(const std::string& from, const std::string& to);

// True when nothing stands in the way of replacing the file `path`: it is
// missing, or it opens for writing with no sharing (a file a running program
// holds open, or a loaded DLL, does not). On Linux, another open of the file
// is found by taking a write lease on it, where the file system has leases.
// A folder, or a read-only file, is not replaceable (kErrorAccessDenied).
bool CanReplaceFile(const std::string& path);

// The bytes the caller may still write on the volume that holds the
// existing folder `folder` (GetDiskFreeSpaceExA). False when unknown.
bool GetFreeBytes(const std::string& folder, std::uint64_t* bytes);

// 32 bits for a name no other program can foresee (RtlGenRandom; the Linux
// stand-in reads getrandom). Falls back to the clock and process id.
std::uint32_t UnforeseenBits();

// Gives the existing file `file` a second name `link` on the same volume (a
// hard link: both name one content). False where the volume has no hard
// links (FAT), when `link` exists, or on any failure.
bool MakeHardLink(const std::string& file, const std::string& link);

}  // namespace ovsetup::platform
