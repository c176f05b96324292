#!/usr/bin/env bash
# Builds and runs the whole test suite with clang and libc++, the compiler
# and C++ library of FreeBSD's base system, with the newest clang whose
# libc++ is installed (Debian 12: clang-14 with libc++-14-dev and
# libc++abi-14-dev; Debian 13: 19; the packages clang, libc++-dev and
# libc++abi-dev bring the default one). GoogleTest from the system is built
# for libstdc++, so it is first built for libc++ from the system's
# GoogleTest sources (Debian: googletest) into build/gtest-libcxx.
set -euo pipefail
cd "$(dirname "$0")/../.."
compiler=
for version in 21 20 19 18 17 16 15 14; do
  if command -v "clang++-$version" >/dev/null 2>&1 &&
     [ -e "/usr/lib/llvm-$version/lib/libc++.so" ] && [ -e "/usr/lib/llvm-$version/lib/libc++abi.so" ]; then
    compiler=clang++-$version
    break
  fi
done
if [ -z "$compiler" ]; then
  echo "no clang with its libc++ is installed (Debian: clang libc++-dev libc++abi-dev)" >&2
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
