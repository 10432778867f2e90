// libFuzzer target: any byte string as setupapi.dev.log for the driver-store
// folder scan. Under ASan a read outside the log's bytes traps by itself; a
// name found must be a run of the log that the scan's rule accepts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "drivers/mdmcpq_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* log = reinterpret_cast<const char*>(data);
  std::string folder = "untouched";
  if (!ovsetup::drivers::ScanForMdmcpqStoreFolder(log, size, &folder)) {
    if (folder != "untouched") __builtin_trap();
    return 0;
  }
  // 20 to 58 bytes from "mdmcpq.inf_", after a "\" (or the first byte) and
  // before a "\" or "'".
  if (folder.size() < 20 || folder.size() > 58 || folder.compare(0, 11, "mdmcpq.inf_") != 0)
    __builtin_trap();
  // A plain store folder name: letters, digits, "_" and "." without "..".
  static const char kPlain[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.";
  if (folder.find("..") != std::string::npos ||
      folder.find_first_not_of(kPlain) != std::string::npos)
    __builtin_trap();
  const std::string text(log, size);
  for (std::size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at + 1)) {
    const std::size_t after = at + folder.size();
    if ((at == 1 || (at > 1 && text[at - 1] == '\\')) && after < size &&
        (text[after] == '\\' || text[after] == '\''))
      return 0;
  }
  __builtin_trap();
}
