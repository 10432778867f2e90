// Names the setup chooses for files it creates (staged files, scratch
// copies, kept old contents): tried as they are, and when taken (a file a
// stopped run left, or a link anyone laid there) with a random part added.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_ops.h"

namespace ovsetup::platform {

// Random forms tried after the plain name is taken.
constexpr int kFreeNameTries = 8;
// Length of the random part: "-" and 32 bits in hex.
constexpr std::size_t kRandomPartLength = 9;

// `path` with a fresh random part inserted before its last `kind_length`
// characters ("~ovsetup-012.new" -> "~ovsetup-012-5f3a09c1.new").
inline std::string WithRandomPart(const std::string& path, std::size_t kind_length) {
  static const char kHex[] = "0123456789abcdef";
  std::string part = "-";
  std::uint32_t bits = UnforeseenBits();
  for (std::size_t i = 1; i < kRandomPartLength; ++i, bits >>= 4) part += kHex[bits & 15];
  return std::string(path).insert(path.size() - kind_length, part);
}

// Runs `make(*path)`, which creates the name new and fails on an existing
// one; while it fails because the name is taken (kErrorFileExists,
// kErrorAlreadyExists), runs it again on random forms of the plain name.
// `*path` ends as the name tried last; false when no name was made.
template <typename Make>
bool UnderFreeName(std::string* path, std::size_t kind_length, Make make) {
  const std::string plain = *path;
  for (int attempt = 0;; ++attempt) {
    if (make(*path)) return true;
    const std::uint32_t error = LastFileError();
    if ((error != kErrorFileExists && error != kErrorAlreadyExists) || attempt == kFreeNameTries)
      return false;
    *path = WithRandomPart(plain, kind_length);
  }
}

}  // namespace ovsetup::platform
