// Compression of one entry for "ovpack build --compress": the x86 branch
// filter (payload/branch_filter.h), then LZMA with a 4 MiB window (smaller
// for a smaller file), one thread, no end mark. The settings are fixed, so
// every build of ovpack writes the same bytes for the same file.
#pragma once

#include <vector>

namespace ovsetup::ovpack {

// Compresses `file` (a file's bytes) into `body` (5 bytes of LZMA
// properties, then the stream of the filtered bytes). True when `body` is shorter than the
// file; false when the file does not shrink (and is to be stored as is) or
// the coder fails, `body` then empty.
bool CompressEntry(const std::vector<unsigned char>& file, std::vector<unsigned char>* body);

}  // namespace ovsetup::ovpack
