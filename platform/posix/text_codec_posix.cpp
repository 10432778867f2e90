// Code-page conversion through glibc's iconv ("CP936" and friends).
#include "platform/text_codec.h"

#include <cerrno>
#include <iconv.h>

#include "platform/non_copyable.h"
#include "platform/posix/host_path.h"

namespace ovsetup::platform {
namespace {

std::string IconvName(unsigned code_page) {
  return code_page == kCodePageUtf8 ? "UTF-8" : "CP" + std::to_string(code_page);
}

// Owns an iconv descriptor.
class Iconv : NonCopyable {
 public:
  Iconv(unsigned from, unsigned to)
      : cd_(iconv_open(IconvName(to).c_str(), IconvName(from).c_str())) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

bool ConvertCodePage(const std::string& text, unsigned from, unsigned to, std::string* out) {
  Iconv cd(from, to);
  if (!cd.ok()) return false;
  out->assign(text.size() * 4 + 8, '\0');
  char* in_at = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  char* out_at = &(*out)[0];
  std::size_t out_left = out->size();
  // Flush included: a stateful target could still owe a reset sequence.
  if (iconv(cd.get(), &in_at, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1) ||
      iconv(cd.get(), nullptr, nullptr, &out_at, &out_left) == static_cast<std::size_t>(-1))
    return false;
  out->resize(out->size() - out_left);
  return true;
}

std::string PathFromHost(const std::string& path) { return FromHostPath(path); }

}  // namespace ovsetup::platform
