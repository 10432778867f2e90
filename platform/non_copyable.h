// The base of every class that owns something of the system (a file, a
// search, a key, a process, a window): such an object is neither copied nor
// assigned, so exactly one owner releases it.
#pragma once

namespace ovsetup::platform {

class NonCopyable {
 public:
  NonCopyable(const NonCopyable&) = delete;
  NonCopyable& operator=(const NonCopyable&) = delete;

 protected:
  NonCopyable() = default;
  ~NonCopyable() = default;
};

}  // namespace ovsetup::platform
