# Cross build of the 32-bit Windows setup with MinGW-w64.
#
# The shipped programs use the win32 thread model: the posix model links a
# threads runtime that imports kernel32 functions Windows XP lacks
# (GetTickCount64). GoogleTest needs std::mutex, which GCC 12's win32 model
# lacks, so the unit suites come from a second build folder of the same
# sources configured with -DOVSETUP_THREAD_MODEL=posix.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(OVSETUP_THREAD_MODEL win32 CACHE STRING "MinGW-w64 thread model: win32 (shipped) or posix")
set(OVSETUP_MINGW_TRIPLE i686-w64-mingw32)
set(OVSETUP_MINGW_COMPILERS ${OVSETUP_THREAD_MODEL})
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(OVSETUP_WINE_ARCH win32)
