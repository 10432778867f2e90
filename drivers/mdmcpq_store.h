// Finds the driver-store folder of the system's mdmcpq.inf in the device
// install log.
#pragma once

#include <cstddef>
#include <string>

namespace ovsetup::drivers {

// Scans the log at `log_path` (read whole, once) for the first run of 20 to
// 58 bytes strictly between a "\" and the next "\" or "'" that starts with
// "mdmcpq.inf_" (exact case) and is a plain store folder name: letters,
// digits, "_" and "." only, without "..". Non-zero with the run in `folder`; 0 with
// `folder` untouched when the log cannot be read or holds no such run.
int FindMdmcpqStoreFolder(const std::string& log_path, std::string* folder);

// The scan of FindMdmcpqStoreFolder over the `size` bytes at `bytes`, which
// it never reads outside of; same results.
int ScanForMdmcpqStoreFolder(const char* bytes, std::size_t size, std::string* folder);

}  // namespace ovsetup::drivers
