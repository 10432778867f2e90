#include "tests/support/temp_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "platform/text_codec.h"

namespace fs = std::filesystem;

namespace ovsetup::testing {

TempFolder::TempFolder() {
  static std::atomic<unsigned> serial{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::ostringstream name;
  name << "ovsetup-test-" << stamp << "-" << serial++;
  host_ = fs::temp_directory_path() / name.str();
  fs::create_directories(host_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(host_, ec);
}

std::string TempFolder::core() const {
  std::string path = CorePath(host_);
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteHostFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string CorePath(const fs::path& path) {
  fs::path preferred = path;
  preferred.make_preferred();  // "/" -> "\" on Windows
  return platform::PathFromHost(preferred.string());
}

fs::path HostPath(const std::string& core_path) {
#ifdef _WIN32
  return fs::path(core_path);
#else
  std::string host = core_path;
  for (char& c : host)
    if (c == '\\') c = '/';
  return fs::path(host);
#endif
}

}  // namespace ovsetup::testing
