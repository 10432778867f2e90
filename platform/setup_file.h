// The setup's own file, opened once for the whole run: every extraction of
// the run reads through it, so that a file renamed or put in its place after
// start-up is never read.
#pragma once

#include <cstdint>
#include <string>

#include "platform/non_copyable.h"

namespace ovsetup::platform {

// What opening the running setup's own file found.
enum class OwnFileOpen {
  kOpen,        // open; path() is the executable's path
  kUnnameable,  // its path has a character the ANSI code page lacks
  kCannotOpen,  // named, but not opened (held for writing): path() is set
};

// The setup executable (or, for the tools, a payload file) held open for
// reading. Owns its handle; the destructor closes it.
class SetupFile : NonCopyable {
 public:
  SetupFile() = default;
  ~SetupFile();

  // Opens `path` (ANSI code page) for reading, sharing reads only: while it
  // is open no program can write, rename or delete the file (on Linux the
  // descriptor keeps reading the file it opened, whatever is later renamed
  // over its name). False when it cannot be opened so: missing, or held by
  // another program for writing. `path()` is `path` either way.
  bool Open(const std::string& path);

  // The path it was asked for (the setup folder is cut from it); empty
  // before any open.
  const std::string& path() const { return path_; }
  bool is_open() const { return handle_ != -1; }
  // The open handle (descriptor on Linux), -1 when closed; for InputFile.
  std::intptr_t handle() const { return handle_; }

 private:
  friend OwnFileOpen OpenRunningSetup(SetupFile* file);
  std::intptr_t handle_ = -1;
  std::string path_;
};

// Opens the running executable as `file`, as SetupFile::Open does. On
// Windows through its wide path (GetModuleFileNameW), which must come back
// the same through the ANSI code page (no best-fit stand-in): otherwise
// kUnnameable and nothing is opened. The Linux stand-in opens /proc/self/exe.
OwnFileOpen OpenRunningSetup(SetupFile* file);

}  // namespace ovsetup::platform
