// A file read whole into memory, for the callers that work on all of it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace ovsetup::platform {

// Reads the file `path` in one read into a block of its exact size (one byte
// for an empty file). Null, with `*size` 0, when the file cannot be opened,
// measured or read whole, or no block of its size can be had.
std::unique_ptr<char[]> ReadWholeFile(const std::string& path, std::size_t* size);

}  // namespace ovsetup::platform
