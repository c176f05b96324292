#!/usr/bin/env bash
# Cross-builds the three programs and the test programs for FreeBSD 14
# (amd64) against the FreeBSD 14.2 sysroot in ../shared/freebsd-14 (its
# headers, the link stubs of its libraries at their symbol versions, and a
# CMake toolchain file for Debian's clang-19, lld-19 and libc++ 19): a
# release build, warnings as errors. Then checks that each program is a
# FreeBSD executable that needs FreeBSD's own libraries alone and no glibc
# symbol version. The test programs (GoogleTest built for the target from
# the system's sources, Debian: googletest) are compiled and linked, not
# run: nothing here can run a FreeBSD program. Where the sysroot is absent,
# says so and skips (exit status 0).
#
# FREEBSD_SYSROOT_DIR: where the toolchain file and sysroot are
# (default ../shared/freebsd-14 from the repository's root).
set -euo pipefail
cd "$(dirname "$0")/../.."
sysroot_dir=${FREEBSD_SYSROOT_DIR:-../shared/freebsd-14}
toolchain=$sysroot_dir/freebsd-14.cmake
if [ ! -f "$toolchain" ]; then
  echo "SKIPPED: no FreeBSD sysroot ($toolchain is absent): FreeBSD cross-build not done"
  exit 0
fi
toolchain=$(cd "$(dirname "$toolchain")" && pwd)/$(basename "$toolchain")
for tool in clang++-19 ld.lld-19 llvm-readelf-19 llvm-ar-19 file; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is missing (Debian: clang-19 lld-19 llvm-19 libc++-19-dev libc++abi-19-dev file)" >&2
    exit 1
  fi
done

# GoogleTest for the target, position-independent as the test programs are.
gtest=build/gtest-freebsd
source_dir=${GTEST_SOURCE_DIR:-/usr/src/googletest}
if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ] ||
   [ "$(cat "$gtest/toolchain" 2>/dev/null)" != "$toolchain" ]; then
  rm -rf "$gtest"
  cmake -S "$source_dir" -B "$gtest/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DBUILD_GMOCK=OFF \
    -DCMAKE_INSTALL_PREFIX="$PWD/$gtest/install" >/dev/null
  cmake --build "$gtest/build"
  cmake --install "$gtest/build" >/dev/null
  echo "$toolchain" >"$gtest/toolchain"
fi

# The programs and the test programs; the toolchain file finds packages in
# the sysroot only, so GoogleTest's install is added to the roots searched.
build=build/freebsd
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DTARNVEL_WARNINGS_AS_ERRORS=ON -DTARNVEL_BUILD_TESTS=ON \
  -DCMAKE_FIND_ROOT_PATH="$PWD/$gtest/install" >/dev/null
cmake --build "$build"

faults=0
fault() {
  echo "FAULT: $*" >&2
  faults=$((faults + 1))
}
freebsd_elf='ELF 64-bit LSB pie executable, x86-64, version 1 (FreeBSD), dynamically linked, interpreter /libexec/ld-elf.so.1'
allowed=' libc.so.7 libthr.so.3 libm.so.5 libc++.so.1 libcxxrt.so.1 libgcc_s.so.1 '
for program in tarnvel tarnvel-check cgi-bin/tarnvel; do
  path=$build/$program
  description=$(file -b "$path")
  case $description in
  "$freebsd_elf"*) ;;
  *) fault "$program is not a FreeBSD executable: $description" ;;
  esac
  needed=$(llvm-readelf-19 --needed-libs "$path" | sed -n 's/^  *\([^ ]*\.so[^ ]*\)$/\1/p')
  for library in $needed; do
    case $allowed in
    *" $library "*) ;;
    *) fault "$program needs $library, which is not one of FreeBSD's base libraries" ;;
    esac
  done
  if llvm-readelf-19 --version-info --dyn-syms "$path" | grep -q GLIBC; then
    fault "$program asks for a glibc symbol version"
  fi
  echo "$program: FreeBSD executable, needs" $needed
done
# Every test program (and fuzz corpus replay) linked for FreeBSD too.
tests=0
while IFS= read -r -d '' path; do
  description=$(file -b "$path")
  case $description in
  ELF*) ;;
  *) continue ;;
  esac
  case $description in
  *"(FreeBSD)"*) tests=$((tests + 1)) ;;
  *) fault "${path#"$build"/} is not built for FreeBSD: $description" ;;
  esac
done < <(find "$build/tests" "$build/fuzz" -maxdepth 1 -type f -perm -u+x -print0)
echo "$tests test programs compiled and linked for FreeBSD (not run)"
if [ "$tests" -eq 0 ]; then
  fault "no test program was built"
fi
if [ "$faults" -gt 0 ]; then
  echo "$faults fault(s) in the FreeBSD build" >&2
  exit 1
fi
echo "FreeBSD cross-build: clean"
