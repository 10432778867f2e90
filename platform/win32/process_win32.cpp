#include "platform/process.h"

#include <windows.h>

#include "platform/path_text.h"

namespace ovsetup::platform {

ChildProcess::~ChildProcess() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool ChildProcess::Start(const std::string& program) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  // CreateProcessA may write into the command line: a copy of its own.
  std::string command_line = "\"" + program + "\"";
  const std::string folder = FolderOf(program);
  if (!CreateProcessA(program.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info))
    return false;
  CloseHandle(info.hThread);
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = reinterpret_cast<std::intptr_t>(info.hProcess);
  ended_ = false;
  return true;
}

bool ChildProcess::WaitForEnd(unsigned milliseconds) {
  if (handle_ == -1 || ended_) return true;
  ended_ = WaitForSingleObject(reinterpret_cast<HANDLE>(handle_), milliseconds) != WAIT_TIMEOUT;
  return ended_;
}

}  // namespace ovsetup::platform
