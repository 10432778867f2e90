# 64-bit Windows build of the same sources. It hosts the Wine-run tests on
# machines whose kernel cannot start 32-bit Linux programs (and so 32-bit
# Wine); the shipped setup is always the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(OVSETUP_MINGW_TRIPLE x86_64-w64-mingw32)
set(OVSETUP_MINGW_COMPILERS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(OVSETUP_WINE_ARCH win64)
