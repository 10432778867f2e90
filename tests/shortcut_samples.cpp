// Writes sample shortcuts into the current folder for shortcut_lnkinfo_test.sh
// to read back. Texts are in the ANSI code page; the GBK sample needs code
// page 936 (under Wine: LC_ALL=zh_CN.UTF-8). Exit code 1 when a write fails.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/shell_link.h"
#include "platform/text_codec.h"

namespace {

std::string Here(const char* name) {
  return ovsetup::platform::PathFromHost((std::filesystem::current_path() / name).string());
}

}  // namespace

int main() {
  using ovsetup::platform::CreateShortcut;
  using ovsetup::platform::CreateShortcutWithIcon;
  const std::string program = "C:\\Program Files\\Orvane\\Orvane.exe";
  const std::string gbk_program = "C:\\\xBC\xA4\xB9\xE2\\Orvane.exe";  // C:\激光\Orvane.exe
  const std::string gbk_description = "\xBC\xA4\xB9\xE2\xC7\xD0\xB8\xEE";  // 激光切割
  const int failures =
      (CreateShortcut(program, Here("plain.lnk"), program) < 0) +
      (CreateShortcutWithIcon(program, Here("icon.lnk"), "Uninstall Orvane",
                              "C:\\Program Files\\Orvane\\Orvane.ico") < 0) +
      (CreateShortcut(gbk_program, Here("gbk.lnk"), gbk_description) < 0);
  if (failures != 0) std::fprintf(stderr, "%d shortcut(s) not written\n", failures);
  return failures == 0 ? 0 : 1;
}
