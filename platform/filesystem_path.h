// Paths the host gives a tool (command-line arguments) as std::filesystem
// paths, whose names are Unicode inside on Windows.
#pragma once

#include <filesystem>
#include <string>

namespace ovsetup::platform {

// `host_path` as std::filesystem takes it: on Windows its bytes are read in
// the ANSI code page (as the program's arguments arrive), so that a folder
// named in Chinese on a Chinese Windows is found; on Linux the bytes are the
// name. Bytes the code page does not define give a path that names no file.
std::filesystem::path FileSystemPath(const std::string& host_path);

}  // namespace ovsetup::platform
