#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the suite:
# the MinGW-w64 cross compilers, CMake, Ninja, GoogleTest, Wine (64-bit with
# the 32-bit part, for i686 and x86_64 programs, and its fonts), an X server
# for windows, NSIS and msitools (wixl) for the installers, osslsigncode
# and OpenSSL for signing them (and the throwaway certificate of their
# test), cmark-gfm for the user's guide as HTML, ImageMagick for screenshots and the
# demo's contact sheet, and clang, lld-link and the LLVM tools for the SDK's
# libraries and client check in Microsoft's C++ ABI, mono's C# compiler
# for the SDK's .NET declarations, nlohmann/json for the service
# console's backup files and JSON output and the e2e agent's protocol,
# clang-format 14 for the formatting check, and pytest for the e2e
# scenarios.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have ninja || need+=(ninja-build)
have g++ || need+=(g++)
[ -d /usr/src/googletest ] || [ -f /usr/lib/x86_64-linux-gnu/libgtest.a ] || need+=(libgtest-dev)
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix)
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have i686-w64-mingw32-windres || need+=(binutils-mingw-w64-i686)
have x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
[ -x /usr/lib/wine/wine ] || need+=(wine wine32:i386)
have Xvfb || need+=(xvfb)
[ -f /usr/share/wine/fonts/marlett.ttf ] || need+=(fonts-wine)
have xdotool || need+=(xdotool)
{ have import && have montage; } || need+=(imagemagick)
have makensis || need+=(nsis)
have wixl || need+=(wixl)
{ have msiinfo && have msibuild && have msiextract; } || need+=(msitools)
have osslsigncode || need+=(osslsigncode)
have openssl || need+=(openssl)
have cmark-gfm || need+=(cmark-gfm)
have python3 || need+=(python3)
# pytest for the e2e scenarios, on Debian's own interpreter (CTest calls /usr/bin/python3).
/usr/bin/python3 -c 'import pytest' 2>/dev/null || need+=(python3-pytest)
have strings || need+=(binutils)
have perl || need+=(perl)
have clang++ || need+=(clang)
have lld-link || need+=(lld)
{ have llvm-dlltool && have llvm-undname && have llvm-readobj; } || need+=(llvm)
{ have mcs && have mono; } || need+=(mono-mcs)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
have clang-format-14 || need+=(clang-format-14)

if [ ${#need[@]} -eq 0 ]; then
    exit 0
fi
echo "installing: ${need[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if [[ " ${need[*]} " == *":i386"* ]] && ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${need[@]}"
