# Cross build for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64-posix). Its POSIX
# thread model is the one whose C++ library has std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VRX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VRX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VRX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VRX_MINGW_TRIPLE}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VRX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime and the thread library linked in: each .exe runs without DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
