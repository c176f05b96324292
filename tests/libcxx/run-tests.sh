#!/usr/bin/env bash
# Builds and runs the whole test suite with clang and libc++, the compiler
# and C++ library of FreeBSD's base system. GoogleTest from the system is
# built for libstdc++, so it is first built for libc++ from the system's
# GoogleTest sources (Debian: googletest) into build/gtest-libcxx.
set -euo pipefail
cd "$(dirname "$0")/../.."
source_dir=${GTEST_SOURCE_DIR:-/usr/src/googletest}
if [ ! -f build/gtest-libcxx/install/lib/cmake/GTest/GTestConfig.cmake ]; then
  cmake -S "$source_dir" -B build/gtest-libcxx/build -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-stdlib=libc++ \
    -DCMAKE_SHARED_LINKER_FLAGS="-stdlib=libc++ -lc++abi" -DBUILD_GMOCK=OFF \
    -DCMAKE_INSTALL_PREFIX="$PWD/build/gtest-libcxx/install" >/dev/null
  cmake --build build/gtest-libcxx/build
  cmake --install build/gtest-libcxx/build >/dev/null
fi
cmake --workflow --preset libcxx
