// Imports through the prefix's own reg.exe, with /reg:32: the view the
// setup reads.
#include "tests/support/registry_fixture.h"

#include <windows.h>

namespace ovsetup::testing {
namespace {

// Owns a kernel handle.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != nullptr) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// Runs `command_line`, waits for it and returns its exit code (-1 when it
// could not be started).
long Run(std::string command_line) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process))
    return -1;
  Handle thread(process.hThread), child(process.hProcess);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(child.get(), 60000) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(child.get(), &code))
    return -1;
  return static_cast<long>(code);
}

// A Linux path (the fixture folder) is on Wine's drive Z:, the Linux root.
std::string WindowsPath(const std::filesystem::path& file) {
  std::string path = file.string();
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

bool UseRegistryFile(const std::filesystem::path& file, const std::string& replaced) {
  (void)Run("reg.exe delete \"HKLM\\" + replaced + "\" /f /reg:32");  // may not exist yet
  return Run("reg.exe import \"" + WindowsPath(file) + "\" /reg:32") == 0;
}

bool UseRegistryFixture(const std::string& name, const std::string& replaced) {
  return UseRegistryFile(std::filesystem::path(OVSETUP_TEST_FIXTURES) / name, replaced);
}

}  // namespace ovsetup::testing
