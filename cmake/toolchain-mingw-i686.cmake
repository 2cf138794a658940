# 32-bit Windows with MinGW-w64, the host's original architecture.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LUMETRA_MINGW_PREFIX i686-w64-mingw32)
# The default x87 arithmetic keeps excess precision; the converters must round every
# single-precision step exactly as the other targets do.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
