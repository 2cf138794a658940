# Shared part of the two MinGW-w64 toolchains.
set(CMAKE_C_COMPILER ${LUMETRA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMETRA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMETRA_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LUMETRA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Link the C and C++ runtimes into every program and into the module: a host would not
# find libstdc++-6.dll or libwinpthread-1.dll beside us, and Wine exits silently without them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
