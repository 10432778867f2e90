// File access seam of the core: whole-path operations on byte strings in the
// ANSI code page with "\" as separator. platform/win32 makes the real calls;
// platform/posix maps "\" to "/" at each call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/non_copyable.h"

namespace ovsetup::platform {

class SetupFile;

// A file opened for reading. Owns its handle; closed by the destructor.
class InputFile : NonCopyable {
 public:
  ~InputFile();

  // Opens `path` for reading (shared read). False when it cannot be opened.
  bool Open(const std::string& path);
  // Reads the file `setup` holds open, through a second handle of the same
  // open file (DuplicateHandle; dup on Linux): never the path again. The two
  // share the file position. False when `setup` is not open.
  bool Open(const SetupFile& setup);
  // Length of the open file in bytes; false on failure.
  bool Length(std::uint64_t* length) const;
  // Moves to the absolute byte `position`; false on failure.
  bool Seek(std::uint64_t position);
  // Reads exactly `size` bytes into `buffer`; false on an error or a short read.
  bool Read(void* buffer, std::size_t size);

 private:
  std::intptr_t handle_ = -1;
};

// A file created (or truncated) for writing. Owns its handle; the destructor
// closes it.
class OutputFile : NonCopyable {
 public:
  ~OutputFile();

  // Creates `path`, or truncates it if it exists. False when it cannot be
  // created or opened for writing.
  bool Create(const std::string& path);
  // Creates `path` new: never opens a file that exists, nor anything a link
  // there leads to (Windows: CREATE_NEW with FILE_FLAG_OPEN_REPARSE_POINT;
  // Linux: O_EXCL | O_NOFOLLOW). False when it cannot; LastFileError() is
  // kErrorFileExists when the name is taken (a file, folder or link).
  bool CreateNew(const std::string& path);
  // Writes exactly `size` bytes; false on an error or a short write.
  bool Write(const void* buffer, std::size_t size);
  // Makes the bytes written so far reach the disk before it returns
  // (FlushFileBuffers; the Linux stand-in leaves them to the kernel); false
  // on failure.
  bool Flush();
  // Closes the file; false when the close reports an error. Idempotent.
  bool Close();

 private:
  std::intptr_t handle_ = -1;
};

// Creates the last folder of `path` (a trailing "\" is allowed). True only
// when it made the folder: an existing folder and a failure both give false,
// and the installs ignore the result.
bool CreateOneFolder(const std::string& path);

// Removes the folder `path` if it is empty. The result is not reported: a
// folder that still holds anything simply stays.
void RemoveOneFolder(const std::string& path);

// The Windows folder, without a trailing separator guarantee. False when the
// lookup fails (on Linux: OVSETUP_WINDIR unset or empty).
bool GetWindowsFolder(std::string* folder);

}  // namespace ovsetup::platform
