// libFuzzer target: any byte string as a setup file, extracted both ways into
// a scratch folder, the outcome checked against a plain reading of the same
// bytes. Traps when anything lands outside the targets (or, for "Contour",
// outside the stand-in Windows folder), when a successful extraction lacks
// an entry or holds one that differs from its body (a short read or write
// taken for success), and when a failed one leaves any file behind (a staged
// or half-written file, or any entry at all: extractions are all or nothing).
#include <ftw.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "payload/payload_archive.h"
#include "payload/payload_format.h"
#include "payload/signed_image.h"
#include "payload/stored_path_rules.h"

namespace fs = std::filesystem;

namespace {

using namespace ovsetup;
using payload::PayloadFault;
using payload::Selection;

// <temp>/ovsetup-extract-fuzz-PID holds the setup file and "box"; "box"
// holds the two targets and the Windows folder, and nothing else.
struct Scratch {
  Scratch()
      : root(fs::temp_directory_path() / ("ovsetup-extract-fuzz-" + std::to_string(getpid()))),
        setup(root / "setup.exe"), box(root / "box"), all(box / "all"),
        drivers(box / "drivers"), windows(box / "windows") {
    fs::remove_all(root);
    for (const fs::path& folder : {all, drivers, windows}) fs::create_directories(folder);
    setenv("OVSETUP_WINDIR", windows.c_str(), 1);
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  const fs::path root, setup, box, all, drivers, windows;
};

const Scratch& TheScratch() {
  static const Scratch scratch;
  return scratch;
}

// The core's form of a host path.
std::string CorePath(const fs::path& path) {
  std::string core = path.string();
  for (char& c : core) c = c == '/' ? '\\' : c;
  return core;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// `relative` (core form) joined to `base` as the extraction joins it (text
// after text) and resolved as the host does; empty when it would not lie
// strictly below `base`.
std::string Below(const fs::path& base, std::string relative) {
  for (char& c : relative) c = c == '\\' ? '/' : c;
  const std::string joined = fs::path(base.string() + "/" + relative).lexically_normal().string();
  return StartsWith(joined, base.string() + "/") && joined.size() > base.string().size() + 1
             ? joined
             : std::string();
}

// What files the extractions must have left (host path -> body, the last
// write of a path winning).
struct Expected {
  std::map<std::string, std::string> files;
};

// Adds where entry `i` of `data` lands for `selection`, read without the
// walk. The walk has accepted this entry, so a span that does not fit or a
// path that leaves the target is a fault of the walk.
void Plan(const std::uint8_t* data, std::size_t size, std::uint32_t i, Selection selection,
          const fs::path& target, Expected* expected) {
  const std::uint32_t count = payload::ReadLe32(data + size - 4);
  const std::uint8_t* table = data + size - 4 - 4 * std::size_t{count};
  const std::uint32_t begin = payload::ReadLe32(table + 4 * i);
  const std::uint32_t end = payload::ReadLe32(table + 4 * i + 4);
  if (!(begin < end && end - begin > payload::kHeaderSize && end < size)) __builtin_trap();
  const char* header = reinterpret_cast<const char*>(data + begin);
  std::string path(header, payload::kMaxPathLength);
  path.resize(path.find('\0') == std::string::npos ? path.size() : path.find('\0'));
  if (payload::CheckStoredPath(path) != PayloadFault::kNone) __builtin_trap();
  const std::size_t slash = path.rfind('\\');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
  std::string output;
  if (selection == Selection::kAll) {
    if (folder == "MXDriver") return;
    output = folder == "Contour" ? Below(TheScratch().windows, path.substr(slash + 1))
                                 : Below(target, path);
  } else {
    if (folder != "MXDriver" && folder != "QVTDriver" && folder != "QVTDriver\\amd64" &&
        folder != "QVTDriver\\x86")
      return;
    output = Below(target, path);
  }
  if (output.empty()) __builtin_trap();
  expected->files[output].assign(header + payload::kHeaderSize, end - begin - payload::kHeaderSize);
}

// The bytes the payload spans: a signed file's end at its certificate table.
std::size_t PayloadSize(const std::uint8_t* data, std::size_t size) {
  const payload::ReadAt read = [data, size](std::uint64_t at, void* buffer, std::size_t n) {
    if (at > size || n > size - at) return false;
    std::memcpy(buffer, data + at, n);
    return true;
  };
  const payload::CertificateTable table = payload::ReadSecurityDirectory(read, size);
  return table.SignsFile(size) ? table.offset : size;
}

void Extract(const std::uint8_t* data, std::size_t file_size, Selection selection,
             const fs::path& target, Expected* expected) {
  const std::size_t size = PayloadSize(data, file_size);
  const payload::PayloadArchive archive(CorePath(TheScratch().setup));
  const payload::WalkResult result = archive.Extract(CorePath(target) + "\\", selection);
  if (!result.ok()) return;  // nothing may be left
  for (std::uint32_t i = 0; i < result.entry; ++i) Plan(data, size, i, selection, target, expected);
}

std::string ReadFile(const char* path) {
  std::string bytes;
  if (FILE* f = std::fopen(path, "rb")) {
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.append(chunk, n);
    std::fclose(f);
  }
  return bytes;
}

// The scan of one input, for the nftw callback.
struct Scan {
  const Expected* expected = nullptr;
  std::size_t found = 0;
};
Scan* the_scan = nullptr;

// Checks one thing found below the scratch root, children before their
// folder, and removes what the extractions made.
int CheckAndRemove(const char* path, const struct stat*, int type, struct FTW*) {
  const Scratch& s = TheScratch();
  const std::string p = path;
  if (p == s.root || p == s.setup || p == s.box || p == s.all || p == s.drivers || p == s.windows)
    return 0;
  const bool inside = StartsWith(p, s.all.string() + "/") ||
                      StartsWith(p, s.drivers.string() + "/") ||
                      StartsWith(p, s.windows.string() + "/");
  if (!inside) __builtin_trap();  // outside the targets and the Windows folder
  if (type == FTW_F) {
    const auto want = the_scan->expected->files.find(p);
    if (want == the_scan->expected->files.end()) __builtin_trap();  // for no earlier entry
    if (ReadFile(path) != want->second) __builtin_trap();  // a short or wrong body
    ++the_scan->found;
  }
  if (std::remove(path) != 0) __builtin_trap();
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Scratch& scratch = TheScratch();
  if (FILE* f = std::fopen(scratch.setup.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  Expected expected;
  Extract(data, size, Selection::kAll, scratch.all, &expected);
  Extract(data, size, Selection::kDriverSubset, scratch.drivers, &expected);
  Scan scan;
  scan.expected = &expected;
  the_scan = &scan;
  nftw(scratch.root.c_str(), CheckAndRemove, 16, FTW_DEPTH | FTW_PHYS);
  the_scan = nullptr;
  if (scan.found != expected.files.size()) __builtin_trap();  // an earlier entry is missing
  return 0;
}
