# 64-bit Windows cross build of the same sources. It carries the Windows tests on hosts
# that run no i386 code; the product stays the 32-bit build. The -posix compilers are
# required: the default -win32 thread model has no std::thread or std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

find_program(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs the Windows test programs through the 64-bit Wine loader (scripts/common.sh
# sets the prefix). Debian's /usr/bin/wine would pick the 32-bit loader whenever wine32 is installed.
find_program(CMAKE_CROSSCOMPILING_EMULATOR wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH REQUIRED)
