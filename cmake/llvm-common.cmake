# Shared part of the clang-22 toolchains: the compiler drivers, the resource compiler and
# the libraries all come from the sysroot that scripts/make-llvm-sysroot.sh makes.
set(LUMETRA_LLVM_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../build/llvm-sysroot/${LUMETRA_LLVM_ARCH}"
    CACHE PATH "Sysroot made by scripts/make-llvm-sysroot.sh")
# The checks CMake compiles in their own projects read the toolchain again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LUMETRA_LLVM_SYSROOT)
get_filename_component(lumetra_sysroot "${LUMETRA_LLVM_SYSROOT}" ABSOLUTE)
set(lumetra_triple ${LUMETRA_LLVM_ARCH}-w64-mingw32)
if(NOT EXISTS "${lumetra_sysroot}/stamp")
  message(FATAL_ERROR "No ${LUMETRA_LLVM_ARCH} sysroot in ${lumetra_sysroot}: run "
                      "scripts/make-llvm-sysroot.sh ${LUMETRA_LLVM_ARCH} ${lumetra_sysroot}")
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${lumetra_sysroot}/bin/${lumetra_triple}-clang)
set(CMAKE_CXX_COMPILER ${lumetra_sysroot}/bin/${lumetra_triple}-clang++)
set(CMAKE_RC_COMPILER ${lumetra_sysroot}/bin/${lumetra_triple}-windres)
set(CMAKE_RC_FLAGS_INIT "--preprocessor-arg=--sysroot=${lumetra_sysroot}")
set(CMAKE_AR /usr/lib/llvm-22/bin/llvm-ar)
set(CMAKE_RANLIB /usr/lib/llvm-22/bin/llvm-ranlib)
set(CMAKE_OBJDUMP /usr/lib/llvm-22/bin/llvm-objdump)
set(CMAKE_FIND_ROOT_PATH ${lumetra_sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every product and sum is rounded on its own, as on the other targets: no fused
# multiply-add anywhere, not only in the converters.
set(CMAKE_C_FLAGS_INIT "-ffp-contract=off")
set(CMAKE_CXX_FLAGS_INIT "-ffp-contract=off")
# The runtime goes into every program and into the module; only system DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
