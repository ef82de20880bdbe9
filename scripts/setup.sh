#!/usr/bin/env bash
# Installs the Debian packages the build needs, if any is missing, then configures and builds
# the given CMake preset (default: "default"; also "asan", "tsan", and "windows" for the 64-bit
# Windows build): every target, or only the TARGETs named and what they need, on every core.
# With --configure-only it stops before the build. "msvc-abi" only installs what
# scripts/check-msvc-abi.sh and the link check of scripts/check-real-sdk.sh need.
# Usage: scripts/setup.sh [--configure-only] [PRESET [TARGET...]]
set -euo pipefail
cd "$(dirname "$0")/.."
build=1
if [[ ${1:-} == --configure-only ]]; then
  build=0
  shift
fi
preset="${1:-default}"
targets=("${@:2}")

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libimgui-dev libstb-dev clang-format
          clang lld llvm valgrind
          xvfb xauth libglfw3-dev libgl1-mesa-dri libgl-dev)
# The Windows build: the MinGW-w64 cross compiler, and Wine to run what it builds (1.5 GB); unzip
# for the host SDK's ImGui, which the checks against the real SDK unpack.
if [[ $preset == windows ]]; then packages+=(g++-mingw-w64-x86-64 wine64 unzip); fi
# The MSVC-ABI build (scripts/check-msvc-abi.sh, scripts/check-real-sdk.sh's link): clang-cl and
# lld-link 16, Wine's DLLs and its UCRT and Windows headers, MinGW-w64's annotation headers.
if [[ $preset == msvc-abi ]]; then packages+=(clang-16 lld-16 llvm-16 wine64 libwine-dev mingw-w64-common unzip); fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

# That build needs the SDK's and the STL's folders, which scripts/check-msvc-abi.sh finds.
[[ $preset == msvc-abi ]] && exit 0
cmake --preset "$preset" >/dev/null
((build)) || exit 0
cmake --build --preset "$preset" -j "$(nproc)" ${targets[@]+--target "${targets[@]}"}
