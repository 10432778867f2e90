#include "install/message_set.h"

#include "platform/path_text.h"

namespace ovsetup::install {
namespace {

// 安装目录中有一个链接指向别处,该链接可能被无权限的用户放置,安装未写入任何文件。
const char kUntrustedLink[] =
    "\xB0\xB2\xD7\xB0\xC4\xBF\xC2\xBC\xD6\xD0\xD3\xD0\xD2\xBB\xB8\xF6\xC1\xB4\xBD\xD3\xD6\xB8"
    "\xCF\xF2\xB1\xF0\xB4\xA6\x2C\xB8\xC3\xC1\xB4\xBD\xD3\xBF\xC9\xC4\xDC\xB1\xBB\xCE\xDE\xC8"
    "\xA8\xCF\xDE\xB5\xC4\xD3\xC3\xBB\xA7\xB7\xC5\xD6\xC3\x2C\xB0\xB2\xD7\xB0\xCE\xB4\xD0\xB4"
    "\xC8\xEB\xC8\xCE\xBA\xCE\xCE\xC4\xBC\xFE\xA1\xA3"
    "\r\nA folder the install writes is a link to elsewhere that a user without "
    "administrator rights could have laid; nothing was written.";

// GBK bytes; hex escapes that run into a hex digit are split.
const MessageSet kChinese = {
    // 安装失败! 关闭正在运行的Orvane后重试
    "\xB0\xB2\xD7\xB0\xCA\xA7\xB0\xDC! \xB9\xD8\xB1\xD5\xD5\xFD\xD4\xDA\xD4\xCB\xD0\xD0\xB5\xC4"
    "Orvane\xBA\xF3\xD6\xD8\xCA\xD4",
    // 错误的文件目录!
    "\xB4\xED\xCE\xF3\xB5\xC4\xCE\xC4\xBC\xFE\xC4\xBF\xC2\xBC!",
    // 请关闭CorelDraw,然后再重试!
    "\xC7\xEB\xB9\xD8\xB1\xD5" "CorelDraw,\xC8\xBB\xBA\xF3\xD4\xD9\xD6\xD8\xCA\xD4!",
    // 找不到CorelDraw!
    "\xD5\xD2\xB2\xBB\xB5\xBD" "CorelDraw!",
    // 请关闭AutoCAD,然后再重试!
    "\xC7\xEB\xB9\xD8\xB1\xD5" "AutoCAD,\xC8\xBB\xBA\xF3\xD4\xD9\xD6\xD8\xCA\xD4!",
    // 找不到AutoCAD!
    "\xD5\xD2\xB2\xBB\xB5\xBD" "AutoCAD!",
    // 安装文件已损坏,请重新获取安装程序!
    "\xB0\xB2\xD7\xB0\xCE\xC4\xBC\xFE\xD2\xD1\xCB\xF0\xBB\xB5,\xC7\xEB\xD6\xD8\xD0\xC2"
    "\xBB\xF1\xC8\xA1\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2!",
    // 磁盘空间不足: %2 上需要 %1 MB 可用空间,请清理后重试!
    "\xB4\xC5\xC5\xCC\xBF\xD5\xBC\xE4\xB2\xBB\xD7\xE3: %2 \xC9\xCF\xD0\xE8\xD2\xAA %1 MB "
    "\xBF\xC9\xD3\xC3\xBF\xD5\xBC\xE4,\xC7\xEB\xC7\xE5\xC0\xED\xBA\xF3\xD6\xD8\xCA\xD4!",
    // 安装路径太长,请选择较短的路径!
    "\xB0\xB2\xD7\xB0\xC2\xB7\xBE\xB6\xCC\xAB\xB3\xA4,\xC7\xEB\xD1\xA1\xD4\xF1\xBD\xCF\xB6\xCC"
    "\xB5\xC4\xC2\xB7\xBE\xB6!",
    kUntrustedLink,
};

const MessageSet kEnglish = {
    "Can't copy files, error!",
    "The path is error!",
    "Please Close CorelDraw, and try to Install!",
    "Can't find Coreldraw!",
    "Please Close AutoCAD, and try to Install!",
    "Can't find AutoCAD!",
    "The setup file is damaged, please get a new copy!",
    "Not enough free disk space: %1 MB are needed on %2, please make room and try again!",
    "The install path is too long, please choose a shorter one!",
    kUntrustedLink,
};

// `format` with "%1" and "%2" replaced by `first` and `second`.
std::string FillIn(const char* format, const std::string& first, const std::string& second) {
  std::string text;
  for (const char* p = format; *p != '\0'; ++p) {
    if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) text += *++p == '1' ? first : second;
    else text += *p;
  }
  return text;
}

}  // namespace

MessageSet MessageSetFor(LanguageIndex language) {
  MessageSet set = language.Choose(kChinese, kEnglish);
  if (language.value() == 1) set.program_running = "error! please Close the Orvane!";
  return set;
}

std::string ExtractionStopText(const MessageSet& messages, const payload::WalkResult& result,
                               const char* otherwise) {
  using payload::PayloadFault;
  // A setup file that could not be held open for the run counts as damaged.
  if (payload::IsDamage(result.fault) || result.fault == payload::PayloadFault::kCannotOpen)
    return messages.setup_damaged;
  if (result.fault == PayloadFault::kPathTooLong) return messages.path_too_long;
  if (result.fault == PayloadFault::kUntrustedLink) return messages.untrusted_link;
  if (result.fault != PayloadFault::kDiskFull) return otherwise;
  const std::uint64_t megabytes = (result.bytes_needed + (1u << 20) - 1) >> 20;
  return FillIn(messages.disk_full, std::to_string(megabytes), platform::VolumeName(result.target));
}

const char* SuccessText(LanguageIndex language) {
  return language.Choose("\xB0\xB2\xD7\xB0\xB3\xC9\xB9\xA6!" /* 安装成功! */, "Install OK!");
}

}  // namespace ovsetup::install
