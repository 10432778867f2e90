// libFuzzer target: any byte string as a setup file, walked as the extractor
// walks it, every body read back, paths checked as the release tool checks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "payload/payload_walk.h"
#include "platform/text_codec.h"
#include "tools/ovpack/pack_checks.h"

namespace {

using namespace ovsetup;

class ReadEverything : public payload::EntryVisitor {
 public:
  payload::PayloadFault OnEntry(const payload::PayloadEntry& entry,
                                platform::InputFile& file) override {
    order_.Next(entry.folder);
    twins_.Next(entry.path);
    if (entry.path.size() > 399 || entry.folder.size() > entry.path.size()) __builtin_trap();
    const std::size_t size = entry.BodySize();
    std::unique_ptr<char[]> body(new char[size]);
    if (!file.Seek(entry.BodyOffset()) || !file.Read(body.get(), size))
      return payload::PayloadFault::kBodyRead;
    return payload::PayloadFault::kNone;
  }

 private:
  ovpack::FolderOrderCheck order_;
  ovpack::CaseTwinCheck twins_{platform::kCodePageGbk};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("ovsetup-fuzz-" + std::to_string(getpid()) + ".bin"))
          .string();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  ReadEverything visitor;
  payload::WalkPayload(path, visitor);  // "/" paths pass through the stand-in unchanged
  return 0;
}
