// Folder searches and file copy/delete over the Win32 A calls.
#include "platform/file_ops.h"

#include <windows.h>

namespace ovsetup::platform {

struct FileSearch::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

namespace {

void Fill(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->name = data.cFileName;
  entry->is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

FileSearch::FileSearch() : state_(new State) {}

FileSearch::~FileSearch() {
  if (state_->handle != INVALID_HANDLE_VALUE) FindClose(state_->handle);
}

bool FileSearch::First(const std::string& pattern, FoundEntry* entry) {
  if (state_->handle != INVALID_HANDLE_VALUE) FindClose(state_->handle);
  WIN32_FIND_DATAA data;
  state_->handle = FindFirstFileA(pattern.c_str(), &data);
  if (state_->handle == INVALID_HANDLE_VALUE) return false;
  Fill(data, entry);
  return true;
}

bool FileSearch::Next(FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  if (state_->handle == INVALID_HANDLE_VALUE || !FindNextFileA(state_->handle, &data)) return false;
  Fill(data, entry);
  return true;
}

bool CopyOneFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  return CopyFileA(from.c_str(), to.c_str(), fail_if_exists ? TRUE : FALSE) != 0;
}

bool DeleteOneFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

}  // namespace ovsetup::platform
