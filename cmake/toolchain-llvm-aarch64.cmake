# 64-bit Windows on ARM with clang-22, lld-22 and the LLVM C++ runtime.
set(CMAKE_SYSTEM_PROCESSOR ARM64)
set(LUMETRA_LLVM_ARCH aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/llvm-common.cmake)
