#include "install/message_set.h"

namespace ovsetup::install {
namespace {

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
};

const MessageSet kEnglish = {
    "Can't copy files, error!",
    "The path is error!",
    "Please Close CorelDraw, and try to Install!",
    "Can't find Coreldraw!",
    "Please Close AutoCAD, and try to Install!",
    "Can't find AutoCAD!",
    "The setup file is damaged, please get a new copy!",
};

}  // namespace

MessageSet MessageSetFor(LanguageIndex language) {
  MessageSet set = language.Choose(kChinese, kEnglish);
  if (language.value() == 1) set.program_running = "error! please Close the Orvane!";
  return set;
}

const char* SuccessText(LanguageIndex language) {
  return language.Choose("\xB0\xB2\xD7\xB0\xB3\xC9\xB9\xA6!" /* 安装成功! */, "Install OK!");
}

}  // namespace ovsetup::install
