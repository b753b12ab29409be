# Cross-building the Windows screensaver on Linux with Debian's mingw-w64 (64-bit, POSIX threads:
# the win32 thread model has no std::thread or std::mutex).
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DHG_HOST_CONTENT=build/content
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(HG_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HG_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HG_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${HG_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${HG_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
