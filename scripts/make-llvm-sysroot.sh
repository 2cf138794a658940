#!/bin/sh
# Makes a Windows sysroot for clang-22 from Debian's sources: the MinGW-w64 headers, CRT
# and import libraries (mingw-w64 10.0.0) and the C++ runtime (libunwind, libc++abi and
# libc++ from llvm-toolchain-22, static, on Windows threads). It also writes the
# compiler drivers the builds call, <triple>-clang, <triple>-clang++ and <triple>-windres,
# into its bin/.
#
# Usage: make-llvm-sysroot.sh <aarch64|x86_64> <folder>
#        make-llvm-sysroot.sh sources <folder>   (only fetches the source tarballs)
# The folder is kept while the script, the source tarballs and the compiler are unchanged;
# otherwise it is made again from nothing. The tarballs go to sources/ beside the folder,
# shared by the sysroots, which can be made at the same time.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
arch=$1
mkdir -p "$2"
root=$(cd "$2" && pwd)
sources=$(dirname "$root")/sources
triple=$arch-w64-mingw32
jobs=$(nproc)
llvm=/usr/lib/llvm-22/bin

case $arch in
aarch64) crt_libs="--disable-lib32 --disable-lib64 --enable-libarm64" ;;
x86_64) crt_libs="--disable-lib32 --enable-lib64 --disable-libarm64" ;;
sources) sources=$root ;;
*) echo "make-llvm-sysroot.sh: no such architecture: $arch" >&2 && exit 2 ;;
esac

mingw=$("$here/fetch-debian-source.sh" mingw-w64 10.0.0-3 "$sources")
llvm_source=$("$here/fetch-debian-source.sh" llvm-toolchain-22 1:22.1.8-1~deb12u1 "$sources")
[ "$arch" != sources ] || exit 0

stamp=$( (cat "$0" "$here/fetch-debian-source.sh"; sha256sum "$mingw" "$llvm_source";
          "$llvm/clang" --version) | sha256sum | cut -d' ' -f1)
if [ "$(cat "$root/stamp" 2>/dev/null)" = "$stamp" ]; then
    exit 0
fi
echo "make-llvm-sysroot.sh: making the $arch sysroot in $root"
started=$(date +%s)
rm -rf "$root" && mkdir -p "$root/bin"
work=$root/work
mkdir -p "$work"
# The steps' output goes to a log, shown only when one of them fails.
log=$root/build.log
trap 'status=$?; [ $status -eq 0 ] || tail -n 40 "$log" >&2' EXIT

# The drivers: the target, this sysroot, lld and the LLVM runtime in place of GCC's.
for driver in clang clang++; do
    cat >"$root/bin/$triple-$driver" <<EOF
#!/bin/sh
exec $llvm/$driver --start-no-unused-arguments --target=$triple --sysroot=$root \\
    -fuse-ld=lld -rtlib=compiler-rt -unwindlib=libunwind -stdlib=libc++ \\
    --end-no-unused-arguments "\$@"
EOF
    chmod +x "$root/bin/$triple-$driver"
done
# The resource compiler takes its target from the name it is called by.
ln -s "$llvm/llvm-windres" "$root/bin/$triple-windres"
cc=$root/bin/$triple-clang

# MinGW-w64: headers first, then the CRT and import libraries built against them. The C
# runtime is the Universal CRT, part of every Windows that runs ARM64 programs; libc++
# needs locale functions that these headers declare only for it.
tar -xjf "$mingw" -C "$work"
mingw_tree=$(echo "$work"/mingw-w64-v*)
mkdir -p "$work/headers" "$work/crt"
# Both trees are built once and thrown away, so neither tracks dependencies: the CRT's
# configure otherwise spends over a minute writing a dependency file for each of its
# thousands of sources, and each compiler call writes one more.
(cd "$work/headers" && "$mingw_tree/mingw-w64-headers/configure" --host="$triple" \
    --prefix="$root" --with-default-msvcrt=ucrt --disable-dependency-tracking >>"$log" 2>&1 &&
    make install >>"$log" 2>&1)
# libunwind reads the ARM64 unwind header through this name, which these headers lack.
if ! grep -q IMAGE_ARM64_RUNTIME_FUNCTION_ENTRY_XDATA "$root/include/winnt.h"; then
    sed -i '/} IMAGE_ARM64_RUNTIME_FUNCTION_ENTRY,\*PIMAGE_ARM64_RUNTIME_FUNCTION_ENTRY;/a\
\
    typedef union IMAGE_ARM64_RUNTIME_FUNCTION_ENTRY_XDATA {\
      ULONG HeaderData;\
      __C89_NAMELESS struct {\
        ULONG FunctionLength : 18;\
        ULONG Version : 2;\
        ULONG ExceptionDataPresent : 1;\
        ULONG EpilogInHeader : 1;\
        ULONG EpilogCount : 5;\
        ULONG CodeWords : 5;\
      } DUMMYSTRUCTNAME;\
    } IMAGE_ARM64_RUNTIME_FUNCTION_ENTRY_XDATA;' "$root/include/winnt.h"
fi
# No debug information (configure's default adds it) and source names relative to the
# source trees, or this folder's path would reach every module linked against the
# libraries: a module is the same from any folder.
flags="-O2 -ffile-prefix-map=$work/="
# shellcheck disable=SC2086 # the list is meant to split
(cd "$work/crt" && "$mingw_tree/mingw-w64-crt/configure" --host="$triple" --prefix="$root" \
    $crt_libs --with-default-msvcrt=ucrt --disable-dependency-tracking CC="$cc" CXX="$cc++" \
    CFLAGS="$flags" CXXFLAGS="$flags" AR="$llvm/llvm-ar" RANLIB="$llvm/llvm-ranlib" \
    DLLTOOL="$llvm/llvm-dlltool" >>"$log" 2>&1 &&
    make -j"$jobs" >>"$log" 2>&1 && make install >>"$log" 2>&1)
echo "make-llvm-sysroot.sh: CRT done after $(($(date +%s) - started)) s"

# The C++ runtime: only the parts of the LLVM tree its build reads, unpacked once for both
# sysroots (the whole tarball is decompressed for them) and linked into the work folder, so
# that each builds from the same place as from a tree unpacked there.
top=$(basename "$llvm_source" .orig.tar.xz)
tree_parent=$sources/tree
(
    flock 9
    if [ "$(cat "$tree_parent/$top.unpacked" 2>/dev/null)" != "$(basename "$llvm_source")" ]; then
        rm -rf "$tree_parent" && mkdir -p "$tree_parent"
        tar -xJf "$llvm_source" -C "$tree_parent" "$top/runtimes" "$top/libunwind" \
            "$top/libcxxabi" "$top/libcxx" "$top/libc" "$top/cmake" "$top/llvm/cmake" \
            "$top/llvm/utils/llvm-lit"
        basename "$llvm_source" >"$tree_parent/$top.unpacked"
    fi
) 9>"$sources/.tree-lock"
cp -al "$tree_parent/$top" "$work/$top" 2>/dev/null || cp -a "$tree_parent/$top" "$work/$top"
llvm_tree=$work/$top
cmake -S "$llvm_tree/runtimes" -B "$work/runtimes" -G Ninja -Wno-dev \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$root" \
    -DCMAKE_C_FLAGS="-ffile-prefix-map=$work/=" -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$work/=" \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$arch" \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cc++" -DCMAKE_ASM_COMPILER="$cc" \
    -DCMAKE_C_COMPILER_WORKS=ON -DCMAKE_CXX_COMPILER_WORKS=ON \
    -DCMAKE_AR="$llvm/llvm-ar" -DCMAKE_RANLIB="$llvm/llvm-ranlib" \
    -DLLVM_ENABLE_RUNTIMES="libunwind;libcxxabi;libcxx" -DLLVM_INCLUDE_TESTS=OFF \
    -DLIBUNWIND_ENABLE_SHARED=OFF -DLIBUNWIND_USE_COMPILER_RT=ON \
    -DLIBCXXABI_ENABLE_SHARED=OFF -DLIBCXXABI_USE_COMPILER_RT=ON \
    -DLIBCXXABI_USE_LLVM_UNWINDER=ON -DLIBCXXABI_HAS_WIN32_THREAD_API=ON \
    -DLIBCXXABI_LIBDIR_SUFFIX="" -DLIBCXXABI_INCLUDE_TESTS=OFF \
    -DLIBCXX_ENABLE_SHARED=OFF -DLIBCXX_USE_COMPILER_RT=ON -DLIBCXX_CXX_ABI=libcxxabi \
    -DLIBCXX_ENABLE_STATIC_ABI_LIBRARY=ON -DLIBCXX_HAS_WIN32_THREAD_API=ON \
    -DLIBCXX_LIBDIR_SUFFIX="" -DLIBCXX_INCLUDE_TESTS=OFF -DLIBCXX_INCLUDE_BENCHMARKS=OFF \
    -DLIBCXX_INSTALL_MODULES=OFF -DLIBCXX_ENABLE_ABI_LINKER_SCRIPT=OFF \
    -DLIBUNWIND_INCLUDE_TESTS=OFF >>"$log" 2>&1
cmake --build "$work/runtimes" -j "$jobs" >>"$log" 2>&1
cmake --install "$work/runtimes" >>"$log" 2>&1

rm -rf "$work"
echo "$stamp" >"$root/stamp"
echo "make-llvm-sysroot.sh: the $arch sysroot took $(($(date +%s) - started)) s"
