// A fresh folder under the system's temp folder, removed with its contents
// when the test ends.
#pragma once

#include <filesystem>
#include <string>

#include "platform/non_copyable.h"

namespace ovsetup::testing {

class TempFolder : platform::NonCopyable {
 public:
  TempFolder();
  ~TempFolder();

  // The folder as the host sees it.
  const std::filesystem::path& host() const { return host_; }
  // The folder in the core's form, ending with "\".
  std::string core() const;
  // `relative` ("/" separators) below the folder, as the host sees it.
  std::filesystem::path Host(const std::string& relative) const { return host_ / relative; }

 private:
  std::filesystem::path host_;
};

// Whole-file helpers over host paths.
std::string ReadHostFile(const std::filesystem::path& path);
void WriteHostFile(const std::filesystem::path& path, const std::string& bytes);
// Host path -> the core's form.
std::string CorePath(const std::filesystem::path& path);
// The core's form -> host path.
std::filesystem::path HostPath(const std::string& core_path);

}  // namespace ovsetup::testing
