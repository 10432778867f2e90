// The C++ runtime's throws, for the shipped programs. Nothing in them
// catches an exception (they build without), so a throw of the runtime (out
// of memory, a string or vector past its max_size, an empty std::function
// called) could only end the program, with abort() as std::terminate did.
// Defined here, those functions end it directly, and the runtime's own
// versions stay out of the link, and with them the throw, the unwinder and
// the exception machinery they pull in (about 19 KiB of setup.exe).
#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

namespace {

void* Allocate(std::size_t size) { return std::malloc(size != 0 ? size : 1); }

[[noreturn]] void OutOfMemory() { std::abort(); }

}  // namespace

void* operator new(std::size_t size) {
  if (void* block = Allocate(size)) return block;
  OutOfMemory();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }

namespace std {

void __throw_bad_alloc() { OutOfMemory(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }

}  // namespace std
