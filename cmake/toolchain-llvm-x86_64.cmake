# 64-bit Windows on x86 with the toolchain and C++ runtime of the ARM64 module, so that
# what that module links is tested on a processor whose programs run here.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUMETRA_LLVM_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/llvm-common.cmake)
