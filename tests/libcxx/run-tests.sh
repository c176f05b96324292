#!/usr/bin/env bash
# Builds and runs the whole test suite with clang 19 and libc++ 19, the
# compiler and C++ library of FreeBSD 14's base system (LLVM 19; Debian:
# clang-19 libc++-19-dev libc++abi-19-dev, which take the place of
# libc++-dev and libc++abi-dev). GoogleTest from the system is built for
# libstdc++, so it is first built for libc++ from the system's GoogleTest
# sources (Debian: googletest) into build/gtest-libcxx.
set -euo pipefail
cd "$(dirname "$0")/../.."
version=19
compiler=clang++-$version
if ! command -v "$compiler" >/dev/null 2>&1 ||
   [ ! -e "/usr/lib/llvm-$version/lib/libc++.so" ] || [ ! -e "/usr/lib/llvm-$version/lib/libc++abi.so" ]; then
  echo "clang $version with its libc++ is not installed (Debian: clang-$version libc++-$version-dev libc++abi-$version-dev)" >&2
  exit 1
fi
c_compiler=${compiler/clang++/clang}
echo "clang and libc++: $compiler"
source_dir=${GTEST_SOURCE_DIR:-/usr/src/googletest}
stamp=build/gtest-libcxx/compiler
if [ ! -f build/gtest-libcxx/install/lib/cmake/GTest/GTestConfig.cmake ] ||
   [ "$(cat "$stamp" 2>/dev/null)" != "$compiler" ]; then
  rm -rf build/gtest-libcxx
  cmake -S "$source_dir" -B build/gtest-libcxx/build -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER="$c_compiler" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_CXX_FLAGS=-stdlib=libc++ \
    -DCMAKE_SHARED_LINKER_FLAGS="-stdlib=libc++ -lc++abi" -DBUILD_GMOCK=OFF \
    -DCMAKE_INSTALL_PREFIX="$PWD/build/gtest-libcxx/install" >/dev/null
  cmake --build build/gtest-libcxx/build
  cmake --install build/gtest-libcxx/build >/dev/null
  echo "$compiler" >"$stamp"
fi
cmake --preset libcxx -DCMAKE_CXX_COMPILER="$compiler"
cmake --build --preset libcxx
ctest --preset libcxx
